// Feeds arbitrary texts to the endpoint parsers and arbitrary skip counts to
// the vector-list helper. The first byte picks the target.
#include <sys/uio.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sockweave/io/zv_io_endpoint.h"
#include "sockweave/io/zv_io_iov.h"

namespace {

void fuzzIPv4Text(const std::string& text) {
  const ZvIO::IPv4::Endpoint endpoint(text.c_str());
  if (endpoint.isUnspecified()) return;
  // What was accepted must print and parse back to the same endpoint.
  char printed[ZvIO::IPv4::Endpoint::kTextSize];
  endpoint.toString(printed);
  const ZvIO::IPv4::Endpoint again(printed);
  if (again.getAddress() != endpoint.getAddress() || again.getPort() != endpoint.getPort()) abort();
}

void fuzzUnixPath(const std::string& path) {
  const ZvIO::Unix::Endpoint endpoint(path.c_str());
  if (endpoint.isValid() && endpoint.size() > sizeof(sockaddr_un)) abort();
}

void fuzzIov(const uint8_t* data, size_t size) {
  // Piece lengths from the input, then a skip count.
  std::vector<iovec> pieces;
  std::vector<std::vector<char>> storage;
  size_t offset = 0;
  while (offset < size && pieces.size() < 16) {
    const size_t length = data[offset++] % 32;
    storage.emplace_back(length);
    pieces.push_back(iovec{storage.back().data(), length});
  }
  const size_t total = ZvIO::ZvPrivate::calculate_total_length(pieces.data(), static_cast<int>(pieces.size()));
  const size_t skip = size > 0 ? data[size - 1] * 2u : 0;
  iovec* vector = pieces.data();
  int count = static_cast<int>(pieces.size());
  ZvIO::ZvPrivate::adopt_iov_pointers(vector, count, skip);
  if (count < 0 || vector + count > pieces.data() + pieces.size()) abort();
  const size_t left = ZvIO::ZvPrivate::calculate_total_length(vector, count);
  if (left != (skip >= total ? 0 : total - skip)) abort();
  for (int i = 0; i < count; ++i) std::memset(vector[i].iov_base, 0, vector[i].iov_len);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 3) {
    case 0:
      fuzzIPv4Text(text);
      break;
    case 1:
      fuzzUnixPath(text);
      break;
    default:
      fuzzIov(data + 1, size - 1);
      break;
  }
  return 0;
}
