// Internal: the call record behind capture_recorder.h.
#ifndef PLATFORM_CAPTURE_CALL_LOG_H
#define PLATFORM_CAPTURE_CALL_LOG_H

#include <cstdint>
#include <initializer_list>

namespace capture_internal {

// Appends one call; |error| is errno of a failed call, else 0.
void recordCall(const char* function, std::initializer_list<uint64_t> args, int64_t result,
                int error);

// True (with the errno to use) when a failure of |function| was requested;
// the request is used up.
bool takeInjectedFailure(const char* function, int* error);

}  // namespace capture_internal

#endif  // PLATFORM_CAPTURE_CALL_LOG_H
