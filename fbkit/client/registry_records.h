// Registry records: plain value types that applications use to exchange
// registry contents, with sorted-list wrappers and their event-stream form.
//
// Stream forms use the machine's own byte order and carry pad bytes, which
// writers fill with zero and readers skip. Lists are an int32 element count
// followed by the elements.
#ifndef FBKIT_CLIENT_REGISTRY_RECORDS_H
#define FBKIT_CLIENT_REGISTRY_RECORDS_H

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

#include "platform/basalt/zv_stream.h"

namespace ZvMOSTTypes {
// 1 means communication is up.
using tMostCommunicationState = int32_t;
}  // namespace ZvMOSTTypes

// One FBlock on the ring as a registry row.
class CZvMOSTRegEntry {
  auto tied() const { return std::tie(deviceID, fblockKey, nodeAddress, state, flag); }

 public:
  static constexpr uint32_t kStreamSize = 16;

  CZvMOSTRegEntry() = default;
  CZvMOSTRegEntry(uint16_t deviceID, uint16_t fblockKey, uint16_t nodeAddress,
                  ZvMOSTTypes::tMostCommunicationState state = 1, uint8_t flag = 0)
      : deviceID(deviceID), fblockKey(fblockKey), nodeAddress(nodeAddress), state(state),
        flag(flag) {}

  bool operator==(const CZvMOSTRegEntry& o) const { return tied() == o.tied(); }
  bool operator!=(const CZvMOSTRegEntry& o) const { return !(*this == o); }
  bool operator<(const CZvMOSTRegEntry& o) const { return tied() < o.tied(); }

  void writeToStream(IZvOStream& stream) const;
  bool readFromStream(IZvIStream& stream);

  uint16_t deviceID = 0x7FFF;
  uint16_t fblockKey = 0;
  uint16_t nodeAddress = 0;
  ZvMOSTTypes::tMostCommunicationState state = 1;
  uint8_t flag = 0;

};

// A subnet and its node position.
class CZvSubnetEntry {
  auto tied() const { return std::tie(deviceID, subnetID); }

 public:
  static constexpr uint32_t kStreamSize = 4;

  CZvSubnetEntry() = default;
  CZvSubnetEntry(uint16_t deviceID, uint8_t subnetID) : deviceID(deviceID), subnetID(subnetID) {}

  bool operator==(const CZvSubnetEntry& o) const { return tied() == o.tied(); }
  bool operator!=(const CZvSubnetEntry& o) const { return !(*this == o); }
  bool operator<(const CZvSubnetEntry& o) const { return tied() < o.tied(); }

  void writeToStream(IZvOStream& stream) const;
  bool readFromStream(IZvIStream& stream);

  uint16_t deviceID = 0;
  uint8_t subnetID = 0;

};

// A logical device: the device ID it reaches and its FBlock key.
class CZvLogDevEntry {
  auto tied() const { return std::tie(deviceID, fblockKey); }

 public:
  static constexpr uint32_t kStreamSize = 4;

  CZvLogDevEntry() = default;
  CZvLogDevEntry(uint16_t deviceID, uint16_t fblockKey) : deviceID(deviceID), fblockKey(fblockKey) {}

  bool operator==(const CZvLogDevEntry& o) const { return tied() == o.tied(); }
  bool operator!=(const CZvLogDevEntry& o) const { return !(*this == o); }
  bool operator<(const CZvLogDevEntry& o) const { return tied() < o.tied(); }

  void writeToStream(IZvOStream& stream) const;
  bool readFromStream(IZvIStream& stream);

  uint16_t deviceID = 0x7FFF;
  uint16_t fblockKey = 0;

};

namespace ZvRegistryStream {
bool writeCount(IZvOStream& stream, size_t count);
// Reads the count; false for a short read or a negative count.
bool readCount(IZvIStream& stream, int32_t* count);
void writeElement(IZvOStream& stream, uint8_t subnetID);
bool readElement(IZvIStream& stream, uint8_t* subnetID);
template <typename Record>
void writeElement(IZvOStream& stream, const Record& record) {
  record.writeToStream(stream);
}
template <typename Record>
bool readElement(IZvIStream& stream, Record* record) {
  return record->readFromStream(stream);
}
}  // namespace ZvRegistryStream

// An ascending list of records without duplicates.
template <typename T>
class TZvSortedVector {
 public:
  using const_iterator = typename std::vector<T>::const_iterator;

  // Inserts in order; false when an equal element is present.
  bool insert(const T& value) {
    auto it = std::lower_bound(items_.begin(), items_.end(), value);
    if (it != items_.end() && *it == value) return false;
    items_.insert(it, value);
    return true;
  }
  bool erase(const T& value) {
    auto it = std::lower_bound(items_.begin(), items_.end(), value);
    if (it == items_.end() || !(*it == value)) return false;
    items_.erase(it);
    return true;
  }
  bool contains(const T& value) const {
    return std::binary_search(items_.begin(), items_.end(), value);
  }
  void clear() { items_.clear(); }
  size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  const T& operator[](size_t i) const { return items_[i]; }
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }
  bool operator==(const TZvSortedVector& o) const { return items_ == o.items_; }
  bool operator!=(const TZvSortedVector& o) const { return !(*this == o); }

  void writeToStream(IZvOStream& stream) const {
    ZvRegistryStream::writeCount(stream, items_.size());
    for (const T& item : items_) ZvRegistryStream::writeElement(stream, item);
  }

  // Reads a count and that many elements. The count comes from outside, so
  // the list grows element by element as data actually arrives instead of
  // being sized up front; a short or negative input leaves the list empty
  // and returns false. Unordered or repeated input is brought into order.
  bool readFromStream(IZvIStream& stream) {
    items_.clear();
    int32_t count = 0;
    if (!ZvRegistryStream::readCount(stream, &count)) return false;
    std::vector<T> read;
    for (int32_t i = 0; i < count; ++i) {
      T item{};
      if (!ZvRegistryStream::readElement(stream, &item)) return false;
      read.push_back(item);
    }
    std::sort(read.begin(), read.end());
    read.erase(std::unique(read.begin(), read.end()), read.end());
    items_ = std::move(read);
    return true;
  }

 private:
  std::vector<T> items_;
};

using CZvSortedMOSTRegEntryVector = TZvSortedVector<CZvMOSTRegEntry>;
using CZvSortedSubnetEntryVector = TZvSortedVector<CZvSubnetEntry>;
using CZvSortedLogDevEntryVector = TZvSortedVector<CZvLogDevEntry>;
using CZvSortedSubnetIDVector = TZvSortedVector<uint8_t>;

template <typename T>
IZvOStream& operator<<(IZvOStream& stream, const TZvSortedVector<T>& list) {
  list.writeToStream(stream);
  return stream;
}
template <typename T>
IZvIStream& operator>>(IZvIStream& stream, TZvSortedVector<T>& list) {
  list.readFromStream(stream);
  return stream;
}

#endif  // FBKIT_CLIENT_REGISTRY_RECORDS_H
