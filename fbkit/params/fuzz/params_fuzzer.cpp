// Runs every parameter type's validateStream and readFromStream over
// arbitrary payloads. The first two bytes shape the parameters (widths,
// limits, layout), the rest is the payload.
//
// Checks, besides the sanitizers' memory checks:
// - validation and reading consume the same bytes when both succeed;
// - for parameters whose reading is as strict as their validation (full
//   ranges, no length limits), a read never succeeds where validation
//   failed;
// - a value that was read can be written and read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "fbkit/params/para_bit_field.h"
#include "fbkit/params/para_bool.h"
#include "fbkit/params/para_bool_field.h"
#include "fbkit/params/para_classified_stream.h"
#include "fbkit/params/para_number.h"
#include "fbkit/params/para_stream.h"
#include "fbkit/params/para_string.h"
#include "platform/basalt/zv_trace.h"

namespace {

#define FUZZ_CHECK(cond) \
  do {                   \
    if (!(cond)) abort(); \
  } while (0)

struct Subject {
  std::function<CZvParameterBase*()> make;
  // Reading fails wherever validation fails.
  bool strict;
  // Compares the received values of two parameters of this kind; null when
  // a write-and-read-back of the value is not expected to reproduce it.
  std::function<bool(CZvParameterBase&, CZvParameterBase&)> sameValue;
};

bool sameStream(CZvParameterBase& a, CZvParameterBase& b) {
  return a.getValueStream() == b.getValueStream();
}

std::vector<Subject> subjects(uint8_t shape, uint8_t limit) {
  const uint32_t width = (shape & 0x3F) + 1;  // 1 to 64
  const bool compact = (shape & 0x40) != 0;
  const auto sameNumber = [](CZvParameterBase& a, CZvParameterBase& b) {
    auto& x = static_cast<CZvParaNumber&>(a);
    auto& y = static_cast<CZvParaNumber&>(b);
    return x.getValueINT8() == y.getValueINT8() && x.getValueUINT8() == y.getValueUINT8() &&
           x.getValueINT16() == y.getValueINT16() && x.getValueUINT16() == y.getValueUINT16() &&
           x.getValueINT32() == y.getValueINT32() && x.getValueUINT32() == y.getValueUINT32();
  };
  std::vector<Subject> all = {
      {[] { return new CZvParaNumber(uint8_t{0}); }, true, sameNumber},
      {[] { return new CZvParaNumber(int8_t{0}); }, true, sameNumber},
      {[] { return new CZvParaNumber(uint16_t{0}, &sParaNumberInfoUInt16_0_to_4095); }, true,
       sameNumber},
      {[] { return new CZvParaNumber(int16_t{0}, int16_t{-300}, int16_t{300}); }, true, sameNumber},
      {[] { return new CZvParaNumber(uint32_t{0}); }, true, sameNumber},
      {[] { return new CZvParaNumber(int32_t{0}); }, true, sameNumber},
      {[] { return new CZvParaBool(); }, false,
       [](CZvParameterBase& a, CZvParameterBase& b) { return a.getValueBool() == b.getValueBool(); }},
      {[width] { return new CZvParaBoolField(width); }, width == 64,
       [](CZvParameterBase& a, CZvParameterBase& b) {
         return static_cast<CZvParaBoolField&>(a).extractBoolField().value ==
                static_cast<CZvParaBoolField&>(b).extractBoolField().value;
       }},
      {[width, compact] { return new CZvParaBitField(width, compact); }, width == 64 && !compact,
       nullptr},
      {[] { return new CZvParaString(); }, true,
       [](CZvParameterBase& a, CZvParameterBase& b) { return a.getValueString() == b.getValueString(); }},
      {[limit] { return new CZvParaString("", limit, false); }, false, nullptr},
      {[] { return new CZvParaStream(); }, true, sameStream},
      {[limit] { return new CZvParaStream(limit); }, true, nullptr},
      {[] { return new CZvParaShortStream(); }, true, sameStream},
      {[limit] { return new CZvParaShortStream(limit); }, false, nullptr},
      {[] { return new CZvParaClassifiedStream(); }, true,
       [](CZvParameterBase& a, CZvParameterBase& b) {
         auto& x = static_cast<CZvParaClassifiedStream&>(a);
         auto& y = static_cast<CZvParaClassifiedStream&>(b);
         return x.getValueStream() == y.getValueStream() && x.getMediaType() == y.getMediaType();
       }},
      {[limit] { return new CZvParaClassifiedStream(limit, "x"); }, false, nullptr},
  };
  return all;
}

void exercise(const Subject& subject, const uint8_t* data, uint32_t size) {
  CZvByteStream stream(data, size);
  std::unique_ptr<CZvParameterBase> parameter(subject.make());
  const bool valid = parameter->validateStream(&stream);
  const uint32_t validated = stream.getReadPosition();
  FUZZ_CHECK(validated <= size);

  stream.rewind();
  const bool read = parameter->readFromStream(&stream, false, CZvParameterBase::OPTYPE_NONE);
  const uint32_t consumed = stream.getReadPosition();
  FUZZ_CHECK(consumed <= size);
  if (valid && read) FUZZ_CHECK(validated == consumed);
  // An empty payload reads as an empty string by design.
  const bool emptyString = size == 0 && parameter->getParaType() == CZvParameterBase::PARA_STRING;
  if (subject.strict && !valid && !emptyString) FUZZ_CHECK(!read);

  // Touch what a read produced.
  (void)parameter->getMOSTSize();
  (void)parameter->canBeSend();
  (void)parameter->clearError();

  if (!read || !subject.sameValue) return;
  CZvByteStream out;
  if (!parameter->writeToStream(&out, CZvParameterBase::OPTYPE_NONE)) return;
  std::unique_ptr<CZvParameterBase> copy(subject.make());
  FUZZ_CHECK(copy->readFromStream(&out, false, CZvParameterBase::OPTYPE_NONE));
  FUZZ_CHECK(subject.sameValue(*parameter, *copy));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Rejected payloads are the normal case here; keep the output quiet.
  ZvTrace::setLevels("framework_comm_most_*=off");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;
  const uint8_t shape = data[0];
  const uint8_t limit = data[1];
  for (const Subject& subject : subjects(shape, limit)) {
    exercise(subject, data + 2, static_cast<uint32_t>(size - 2));
  }
  return 0;
}
