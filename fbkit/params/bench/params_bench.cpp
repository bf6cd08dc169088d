// Cost of the parameter layer for a typical property payload: a 16-bit
// number, a bool and a 20-character UTF-8 string.
#include <cstring>

#include <benchmark/benchmark.h>

#include "fbkit/params/para_bool.h"
#include "fbkit/params/para_number.h"
#include "fbkit/params/para_string.h"

namespace {

constexpr char kText[] = "Radio Station Twenty";  // 20 characters
constexpr uint8_t kNone = CZvParameterBase::OPTYPE_NONE;

CZvByteStream propertyPayload() {
  CZvByteStream payload;
  const uint8_t head[] = {0x12, 0x34, 0x01, 0x02};
  payload.write(head, sizeof(head));
  payload.write(kText, sizeof(kText));  // with its terminator
  return payload;
}

void BM_ValidateAndReadProperty(benchmark::State& state) {
  CZvParaNumber number(uint16_t{0});
  CZvParaBool flag;
  CZvParaString text;
  CZvParameterBase* params[] = {&number, &flag, &text};
  CZvByteStream payload = propertyPayload();
  for (auto _ : state) {
    payload.rewind();
    bool ok = true;
    for (CZvParameterBase* p : params) ok = p->validateStream(&payload) && ok;
    payload.rewind();
    for (CZvParameterBase* p : params) ok = p->readFromStream(&payload, false, kNone) && ok;
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_ValidateAndReadProperty);

void BM_WriteProperty(benchmark::State& state) {
  CZvParaNumber number(uint16_t{0});
  CZvParaBool flag;
  CZvParaString text;
  number.setValueUINT16(0x1234);
  flag.setValueBool(true);
  text.setStringEncoding(CZvParaString::STR_UTF8);
  text.setValueString(kText);
  CZvParameterBase* params[] = {&number, &flag, &text};
  CZvByteStream payload;
  payload.reserve(64);
  for (auto _ : state) {
    payload.clear();
    bool ok = true;
    for (CZvParameterBase* p : params) ok = p->canBeSend() && p->writeToStream(&payload, kNone) && ok;
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_WriteProperty);

// UTF-16 takes the conversion path both ways.
void BM_StringUTF16RoundTrip(benchmark::State& state) {
  CZvParaString sender;
  sender.setStringEncoding(CZvParaString::STR_UTF16);
  sender.setValueString("Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln!!!!!");
  CZvParaString receiver;
  CZvByteStream payload;
  payload.reserve(64);
  for (auto _ : state) {
    payload.clear();
    sender.writeToStream(&payload, kNone);
    benchmark::DoNotOptimize(receiver.validateStream(&payload));
    payload.rewind();
    benchmark::DoNotOptimize(receiver.readFromStream(&payload, false, kNone));
  }
}
BENCHMARK(BM_StringUTF16RoundTrip);

}  // namespace

BENCHMARK_MAIN();
