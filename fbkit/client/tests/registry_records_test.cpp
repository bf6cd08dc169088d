#include <gtest/gtest.h>

#include <cstring>

#include "fbkit/client/registry_records.h"
#include "platform/basalt/zv_byte_stream.h"

namespace {

template <typename T>
T readNative(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

TEST(RegistryRecordsTest, EmptyRecordsHoldTheirDefaults) {
  CZvMOSTRegEntry reg;
  EXPECT_EQ(reg.deviceID, 0x7FFF);
  EXPECT_EQ(reg.state, 1);
  EXPECT_EQ(CZvLogDevEntry().deviceID, 0x7FFF);
  EXPECT_EQ(CZvSubnetEntry().subnetID, 0);
}

TEST(RegistryRecordsTest, RegEntryStreamFormPutsEachFieldAtItsOffset) {
  CZvSortedMOSTRegEntryVector list;
  list.insert(CZvMOSTRegEntry(0x0101, 0x2201, 0x0003, 1, 0xAB));
  CZvByteStream out;
  out << list;
  ASSERT_EQ(out.getSize(), 4u + 16u);
  const uint8_t* p = out.getData();
  EXPECT_EQ(readNative<int32_t>(p), 1);
  EXPECT_EQ(readNative<uint16_t>(p + 4), 0x0101);
  EXPECT_EQ(readNative<uint16_t>(p + 6), 0x2201);
  EXPECT_EQ(readNative<uint16_t>(p + 8), 0x0003);
  EXPECT_EQ(readNative<int32_t>(p + 12), 1);
  EXPECT_EQ(p[16], 0xAB);
}

TEST(RegistryRecordsTest, ListsRoundTripSorted) {
  CZvSortedLogDevEntryVector logDevs;
  logDevs.insert(CZvLogDevEntry(0x0200, 0x2201));
  logDevs.insert(CZvLogDevEntry(0x0100, 0x3101));
  EXPECT_FALSE(logDevs.insert(CZvLogDevEntry(0x0100, 0x3101)));
  EXPECT_EQ(logDevs[0].deviceID, 0x0100);

  CZvSortedSubnetIDVector subnets;
  subnets.insert(3);
  subnets.insert(1);
  CZvSortedSubnetEntryVector subnetEntries;
  subnetEntries.insert(CZvSubnetEntry(0x1234, 7));

  CZvByteStream stream;
  stream << logDevs << subnets << subnetEntries;
  EXPECT_EQ(stream.getSize(), (4u + 8u) + (4u + 2u) + (4u + 4u));

  CZvSortedLogDevEntryVector logDevsBack;
  CZvSortedSubnetIDVector subnetsBack;
  CZvSortedSubnetEntryVector subnetEntriesBack;
  EXPECT_TRUE(logDevsBack.readFromStream(stream));
  EXPECT_TRUE(subnetsBack.readFromStream(stream));
  EXPECT_TRUE(subnetEntriesBack.readFromStream(stream));
  EXPECT_EQ(logDevsBack, logDevs);
  EXPECT_EQ(subnetsBack, subnets);
  EXPECT_EQ(subnetEntriesBack, subnetEntries);
}

TEST(RegistryRecordsTest, MalformedListsAreRejectedAndLeaveTheListEmpty) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const int32_t negative = -1;
  const int32_t huge = 0x7FFFFFFF;
  const int32_t two = 2;
  std::vector<uint8_t> negativeCount(4), hugeCount(4), truncated(4 + 4 + 3);
  std::memcpy(negativeCount.data(), &negative, 4);
  std::memcpy(hugeCount.data(), &huge, 4);  // claims far more than it has
  std::memcpy(truncated.data(), &two, 4);   // one element and a partial one
  const Case cases[] = {
      {"no count", {0x01, 0x00}},
      {"negative count", negativeCount},
      {"huge count", hugeCount},
      {"truncated element", truncated},
  };
  for (const Case& c : cases) {
    CZvByteStream in(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    CZvSortedLogDevEntryVector list;
    list.insert(CZvLogDevEntry(1, 1));
    EXPECT_FALSE(list.readFromStream(in)) << c.what;
    EXPECT_TRUE(list.empty()) << c.what;
  }
}

}  // namespace
