// CZvMOSTSegmentAssembler: joins the segments of segmented MOST messages
// (transmission info 19 first, 20 middle, 21 last). Segments belong together
// when their headers are equal in all seven fields.
#ifndef FBKIT_CLIENT_SEGMENT_ASSEMBLER_H
#define FBKIT_CLIENT_SEGMENT_ASSEMBLER_H

#include <cstddef>
#include <cstdint>

#include "fbkit/client/dsysmost_types.h"

class CZvMOSTSegmentAssembler {
 public:
  // A whole message must fit the 16-bit MOST length.
  static constexpr uint32_t kMaxMessageSize = 0xFFFF;
  // Partial messages of more distinct headers push out the oldest.
  static constexpr size_t kMaxPartialMessages = 16;

  CZvMOSTSegmentAssembler() { mPartial.reserve(2); }

  // Takes one segment. Returns true when it completed a message, which is
  // then in whole with transmission info 0. A middle or last segment without
  // its first one is dropped, and so is a message that grows too large.
  bool add(const DSYSMOSTTypes::MessageType& segment, int32_t transmissionInfo,
           DSYSMOSTTypes::MessageType& whole);
  size_t partialCount() const { return mPartial.size(); }

 private:
  DSYSMOSTTypes::MessageVector mPartial;
};

#endif  // FBKIT_CLIENT_SEGMENT_ASSEMBLER_H
