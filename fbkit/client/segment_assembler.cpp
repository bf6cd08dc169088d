#include "fbkit/client/segment_assembler.h"

#include <algorithm>

bool CZvMOSTSegmentAssembler::add(const DSYSMOSTTypes::MessageType& segment,
                                  int32_t transmissionInfo, DSYSMOSTTypes::MessageType& whole) {
  auto partial = std::find_if(mPartial.begin(), mPartial.end(),
                              [&segment](const DSYSMOSTTypes::MessageType& m) {
                                return m.header == segment.header;
                              });
  if (transmissionInfo == DSYSMOSTTypes::SEGMENT_FIRST) {
    if (partial != mPartial.end()) mPartial.erase(partial);
    if (mPartial.size() >= kMaxPartialMessages) mPartial.erase(mPartial.begin());
    mPartial.push_back(segment);
    return false;
  }
  if (partial == mPartial.end()) return false;  // no first segment: dropped
  CZvBuffer& data = partial->data;
  if (static_cast<uint64_t>(data.getSize()) + segment.data.getSize() > kMaxMessageSize) {
    mPartial.erase(partial);
    return false;
  }
  data.copyTo(segment.data.getData(), segment.data.getSize(), data.getSize());
  if (transmissionInfo != DSYSMOSTTypes::SEGMENT_LAST) return false;
  whole = *partial;
  mPartial.erase(partial);
  whole.transmissionVariant.setTransmissionInfo(DSYSMOSTTypes::TRANSMISSION_INFO_NONE);
  return true;
}
