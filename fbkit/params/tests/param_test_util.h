// Helpers shared by the parameter tests: payloads from byte lists and
// a configuration whose parameter handling keeps the cache apart.
#ifndef FBKIT_PARAMS_TESTS_PARAM_TEST_UTIL_H
#define FBKIT_PARAMS_TESTS_PARAM_TEST_UTIL_H

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "fbkit/client/most_config.h"
#include "platform/basalt/zv_byte_stream.h"

using Bytes = std::vector<uint8_t>;

inline CZvByteStream payload(const Bytes& bytes) {
  return CZvByteStream(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

inline Bytes contents(const CZvByteStream& stream) {
  return Bytes(stream.getData(), stream.getData() + stream.getSize());
}

// A configuration with parameter handling 1: reads from messages leave the
// value for sending alone unless the caller asks for it.
class CSeparateCacheConfig : public CZvMOSTPrjConfig {
 public:
  int32_t getParameterHandling() const override { return 1; }
};

// Installs CSeparateCacheConfig for the lifetime of the object.
class ScopedSeparateCache {
 public:
  ScopedSeparateCache() { ZvSystemConfig::setMOSTConfig(&mConfig); }
  ~ScopedSeparateCache() { ZvSystemConfig::setMOSTConfig(nullptr); }

 private:
  CSeparateCacheConfig mConfig;
};

#endif  // FBKIT_PARAMS_TESTS_PARAM_TEST_UTIL_H
