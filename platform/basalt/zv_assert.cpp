#include "platform/basalt/zv_assert.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<unsigned> gCheapAsserts{0};
std::atomic<unsigned> gAsserts{0};

const char* orUnknown(const char* text) { return text ? text : "(unknown)"; }
}  // namespace

void doCheapAssert(int line, const char* file) {
  gCheapAsserts.fetch_add(1, std::memory_order_relaxed);
  std::fprintf(stderr, "cheap assertion failed at %s:%d\n", orUnknown(file), line);
}

void doAssert(int line, const char* file, const char* text) {
  gAsserts.fetch_add(1, std::memory_order_relaxed);
  std::fprintf(stderr, "assertion failed at %s:%d: %s\n", orUnknown(file), line, orUnknown(text));
}

void doFatalError(int line, const char* file, const char* text) {
  std::fprintf(stderr, "fatal error at %s:%d: %s\n", orUnknown(file), line, orUnknown(text));
  std::fflush(stderr);
  std::abort();
}

namespace ZvAssertStats {
unsigned cheapAsserts() { return gCheapAsserts.load(std::memory_order_relaxed); }
unsigned asserts() { return gAsserts.load(std::memory_order_relaxed); }
void reset() {
  gCheapAsserts.store(0, std::memory_order_relaxed);
  gAsserts.store(0, std::memory_order_relaxed);
}
}  // namespace ZvAssertStats
