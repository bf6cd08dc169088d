// The contract every parameter shares, the container and raw MOST data.
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "fbkit/params/para_bit_field.h"
#include "fbkit/params/para_bool.h"
#include "fbkit/params/para_bool_field.h"
#include "fbkit/params/para_classified_stream.h"
#include "fbkit/params/para_most_data.h"
#include "fbkit/params/para_number.h"
#include "fbkit/params/para_stream.h"
#include "fbkit/params/para_string.h"
#include "fbkit/params/parameter_container.h"
#include "fbkit/params/tests/param_test_util.h"
#include "platform/basalt/zv_assert.h"

namespace {

std::vector<std::unique_ptr<CZvParameterBase>> oneOfEachType() {
  std::vector<std::unique_ptr<CZvParameterBase>> all;
  all.emplace_back(new CZvParaNumber(uint16_t{1}));
  all.emplace_back(new CZvParaBool(true));
  all.emplace_back(new CZvParaBoolField(8));
  all.emplace_back(new CZvParaBitField(8));
  all.emplace_back(new CZvParaString("text"));
  all.emplace_back(new CZvParaStream());
  all.emplace_back(new CZvParaShortStream());
  all.emplace_back(new CZvParaClassifiedStream());
  return all;
}

TEST(ParameterBase, NothingCanBeSentBeforeASet) {
  for (const auto& parameter : oneOfEachType()) {
    SCOPED_TRACE(parameter->getParaType());
    EXPECT_FALSE(parameter->canBeSend());
  }
}

TEST(ParameterBase, TypeCodes) {
  std::vector<int32_t> types;
  for (const auto& parameter : oneOfEachType()) types.push_back(parameter->getParaType());
  EXPECT_EQ((std::vector<int32_t>{1, 4, 7, 3, 5, 6, 9, 8}), types);
}

TEST(ParameterBase, GettersOfAnotherTypeAssertAndAnswerEmpty) {
  CZvParaBool flag(true);
  CZvParameterBase& base = flag;
  ZvAssertStats::reset();
  EXPECT_EQ(0, base.getValueUINT32());
  EXPECT_EQ(0, base.getValueINT8());
  EXPECT_TRUE(base.getValueString().isEmpty());
  EXPECT_EQ(0u, base.getValueStream().getSize());
  EXPECT_FALSE(base.getValueBit(0));
  EXPECT_EQ(5u, ZvAssertStats::cheapAsserts());
  EXPECT_FALSE(base.setValueUINT8(1));
  EXPECT_FALSE(base.setValueString("x"));
  EXPECT_FALSE(base.match("x"));
}

TEST(ParameterBase, ContainerSettersListOnceAndOnlyOnSuccess) {
  CZvParameterContainer container(4);
  CZvParaNumber number(uint8_t{0}, &sParaNumberInfoUInt8_0_to_5);
  CZvParaBool flag;
  EXPECT_FALSE(number.setValueUINT8(9, container));
  EXPECT_TRUE(container.isEmpty());
  EXPECT_TRUE(flag.setValueBool(true, container));
  EXPECT_TRUE(number.setValueUINT8(2, container));
  EXPECT_TRUE(number.setValueUINT8(3, container));
  EXPECT_TRUE(flag.update(container));
  ASSERT_EQ(2u, container.getSize());
  EXPECT_EQ(&flag, container.getParameter(0));
  EXPECT_EQ(&number, container.getParameter(1));
  EXPECT_EQ(nullptr, container.getParameter(2));
  EXPECT_TRUE(container.removeParameter(&flag));
  EXPECT_FALSE(container.contains(&flag));
}

TEST(ParameterBase, InvalidateKeepsOnlyThePersistentFlag) {
  CZvParaNumber owning(uint8_t{1}, uint8_t{0}, uint8_t{9});
  CZvByteStream stream = payload({3});
  ASSERT_TRUE(owning.readFromStream(&stream, false, CZvParameterBase::OPTYPE_NONE));
  ASSERT_TRUE(owning.setValueUINT8(4));
  owning.invalidateData();
  EXPECT_EQ(CZvParameterBase::FLAG_PERSISTENT, owning.getFlags());
  EXPECT_FALSE(owning.canBeSend());
  owning.setError(6);
  owning.ClearErrorAfterMOSTRead();
  EXPECT_EQ(0, owning.getError());
}

TEST(ParaMOSTData, RangesOfGetAndSet) {
  const uint8_t bytes[] = {10, 11, 12, 13, 14};
  CZvParaMOSTData data(bytes, 5);
  std::unique_ptr<uint8_t[]> all(data.getAllStoredMOSTData());
  ASSERT_NE(nullptr, all);
  EXPECT_EQ(0, std::memcmp(all.get(), bytes, 5));
  std::unique_ptr<uint8_t[]> part(data.getMOSTData(1, 3));
  ASSERT_NE(nullptr, part);
  EXPECT_EQ(11, part[0]);
  EXPECT_EQ(12, part[1]);
  // Only (0, 0) addresses from the start.
  EXPECT_EQ(nullptr, data.getMOSTData(0, 3));
  EXPECT_EQ(nullptr, data.getMOSTData(3, 3));
  EXPECT_EQ(nullptr, data.getMOSTData(2, 6));

  const uint8_t patch[] = {99, 98};
  EXPECT_TRUE(data.setMOSTData(patch, 2, 4));
  EXPECT_EQ(99, data.getData()[2]);
  EXPECT_EQ(98, data.getData()[3]);
  EXPECT_FALSE(data.setMOSTData(patch, 4, 6));
  EXPECT_FALSE(data.setMOSTData(nullptr, 0, 2));
  EXPECT_TRUE(data.setMOSTData(patch, 0, 2));
  EXPECT_EQ(2u, data.getSize());

  CZvParaMOSTData copy(data);
  CZvByteStream out;
  ASSERT_TRUE(copy.writeToMOST(&out));
  EXPECT_EQ((Bytes{99, 98}), contents(out));
  EXPECT_FALSE(copy.readFromMOST(&out));

  EXPECT_FALSE(data.setMOSTData(nullptr));
  EXPECT_EQ(0u, data.getSize());
  EXPECT_EQ(nullptr, data.getAllStoredMOSTData());
  EXPECT_EQ(0u, CZvParaMOSTData(bytes, 0).getSize());
}

}  // namespace
