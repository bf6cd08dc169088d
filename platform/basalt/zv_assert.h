// Assertions and fatal errors.
//
// A cheap assertion marks an internal inconsistency: it reports file and line
// and processing carries on. A fatal error marks misuse that a correct
// program never commits: it reports and ends the process with abort().
// Nothing here throws.
#ifndef PLATFORM_BASALT_ZV_ASSERT_H
#define PLATFORM_BASALT_ZV_ASSERT_H

// Reports "cheap assertion failed at <file>:<line>" and returns.
void doCheapAssert(int line, const char* file);
// Reports "assertion failed at <file>:<line>: <text>" and returns.
void doAssert(int line, const char* file, const char* text);
// Reports "fatal error at <file>:<line>: <text>" and aborts.
[[noreturn]] void doFatalError(int line, const char* file, const char* text);

// Counters of the reports above, for tests.
namespace ZvAssertStats {
unsigned cheapAsserts();
unsigned asserts();
void reset();
}  // namespace ZvAssertStats

#define ZV_CHEAP_ASSERT(cond)                       \
  do {                                              \
    if (!(cond)) doCheapAssert(__LINE__, __FILE__); \
  } while (0)

#define ZV_ASSERT(cond, text)                          \
  do {                                                 \
    if (!(cond)) doAssert(__LINE__, __FILE__, (text)); \
  } while (0)

#define ZV_FATAL(text) doFatalError(__LINE__, __FILE__, (text))

#endif  // PLATFORM_BASALT_ZV_ASSERT_H
