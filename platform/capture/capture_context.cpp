// A capture library with the capture API, for desks without capture
// hardware: contexts keep their properties and buffers, and a started
// context hands out its buffers as frames in turn. Every call is recorded
// (see capture_recorder.h).

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "platform/capture/call_log.h"
#include "platform/capture/capture.h"

struct capture_context {
  explicit capture_context(uint32_t contextFlags) : flags(contextFlags) {}
  const uint32_t flags;
  std::mutex mutex;
  std::map<uint32_t, int32_t> integers;
  std::map<uint32_t, void*> pointers;
  std::vector<std::vector<uint8_t>> buffers;
  std::vector<void*> bufferAddresses;
  std::vector<bool> held;  // Frames handed out and not yet released.
  uint32_t nextFrame = 0;
  bool running = false;
  bool aborted = false;
};

namespace {

using capture_internal::recordCall;
using capture_internal::takeInjectedFailure;

constexpr int32_t kMaxBuffers = 16;
constexpr int32_t kMaxDimension = 4096;

bool isIntegerProperty(uint32_t property) {
  switch (property) {
    case CAPTURE_PROPERTY_DEVICE:
    case CAPTURE_PROPERTY_SOURCE_INDEX:
    case CAPTURE_PROPERTY_WIDTH:
    case CAPTURE_PROPERTY_HEIGHT:
    case CAPTURE_PROPERTY_BUFFER_COUNT:
    case CAPTURE_PROPERTY_ENABLE:
      return true;
  }
  return false;
}

bool isPointerProperty(uint32_t property) {
  return property == CAPTURE_PROPERTY_FRAME_BUFFERS || property == CAPTURE_PROPERTY_USER_DATA;
}

uint64_t addressOf(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

// Ends an int-returning call: records it and leaves errno as the caller sees it.
int finish(const char* function, std::initializer_list<uint64_t> args, int result, int error) {
  recordCall(function, args, result, result < 0 ? error : 0);
  if (result < 0) errno = error;
  return result;
}

int32_t integerOr(const capture_context* context, uint32_t property, int32_t fallback) {
  auto found = context->integers.find(property);
  return found == context->integers.end() ? fallback : found->second;
}

}  // namespace

extern "C" {

capture_context_t capture_create_context(uint32_t flags) {
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) {
    recordCall(__func__, {flags}, 0, error);
    errno = error;
    return nullptr;
  }
  capture_context_t context = new capture_context(flags);
  recordCall(__func__, {flags}, static_cast<int64_t>(addressOf(context)), 0);
  return context;
}

void capture_destroy_context(capture_context_t context) {
  recordCall(__func__, {addressOf(context)}, 0, 0);
  delete context;
}

int capture_create_buffers(capture_context_t context, uint32_t property) {
  std::initializer_list<uint64_t> args = {addressOf(context), property};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  if (!context || property != CAPTURE_PROPERTY_FRAME_BUFFERS) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  int32_t count = integerOr(context, CAPTURE_PROPERTY_BUFFER_COUNT, 2);
  int32_t width = integerOr(context, CAPTURE_PROPERTY_WIDTH, 0);
  int32_t height = integerOr(context, CAPTURE_PROPERTY_HEIGHT, 0);
  if (count < 1 || count > kMaxBuffers || width < 1 || width > kMaxDimension || height < 1 ||
      height > kMaxDimension) {
    return finish(__func__, args, -1, EINVAL);
  }
  context->buffers.assign(static_cast<size_t>(count),
                          std::vector<uint8_t>(static_cast<size_t>(width) * height * 4));
  context->bufferAddresses.clear();
  for (auto& buffer : context->buffers) context->bufferAddresses.push_back(buffer.data());
  context->held.assign(static_cast<size_t>(count), false);
  context->nextFrame = 0;
  context->pointers[property] = context->bufferAddresses.data();
  return finish(__func__, args, 0, 0);
}

int capture_abort_context(capture_context_t context) {
  std::initializer_list<uint64_t> args = {addressOf(context)};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  if (!context) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  context->aborted = true;
  return finish(__func__, args, 0, 0);
}

int capture_is_property(capture_context_t context, uint32_t property) {
  int known = context && (isIntegerProperty(property) || isPointerProperty(property)) ? 1 : 0;
  recordCall(__func__, {addressOf(context), property}, known, 0);
  return known;
}

int capture_set_property_i(capture_context_t context, uint32_t property, int32_t value) {
  std::initializer_list<uint64_t> args = {addressOf(context), property,
                                          static_cast<uint64_t>(static_cast<int64_t>(value))};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  if (!context || !isIntegerProperty(property)) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  context->integers[property] = value;
  return finish(__func__, args, 0, 0);
}

int capture_set_property_p(capture_context_t context, uint32_t property, void* value) {
  std::initializer_list<uint64_t> args = {addressOf(context), property, addressOf(value)};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  // The frame buffer list belongs to the library.
  if (!context || property != CAPTURE_PROPERTY_USER_DATA) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  context->pointers[property] = value;
  return finish(__func__, args, 0, 0);
}

int capture_get_property_i(capture_context_t context, uint32_t property, int32_t* value) {
  std::initializer_list<uint64_t> args = {addressOf(context), property, addressOf(value)};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  if (!context || !value || !isIntegerProperty(property)) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  *value = integerOr(context, property, 0);
  return finish(__func__, args, 0, 0);
}

int capture_get_property_p(capture_context_t context, uint32_t property, void** value) {
  std::initializer_list<uint64_t> args = {addressOf(context), property, addressOf(value)};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  if (!context || !value || !isPointerProperty(property)) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  auto found = context->pointers.find(property);
  *value = found == context->pointers.end() ? nullptr : found->second;
  return finish(__func__, args, 0, 0);
}

int capture_update(capture_context_t context, uint32_t flags) {
  std::initializer_list<uint64_t> args = {addressOf(context), flags};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  if (!context) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  bool enable = integerOr(context, CAPTURE_PROPERTY_ENABLE, 0) != 0;
  // Capturing needs somewhere to capture to.
  if (enable && context->buffers.empty()) return finish(__func__, args, -1, EINVAL);
  context->running = enable;
  return finish(__func__, args, 0, 0);
}

int capture_get_frame(capture_context_t context, uint64_t timeout, uint32_t flags) {
  std::initializer_list<uint64_t> args = {addressOf(context), timeout, flags};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  if (!context) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  if (context->aborted) return finish(__func__, args, -1, ECANCELED);
  if (!context->running) return finish(__func__, args, -1, EINVAL);
  // No hardware delivers frames here: a frame is ready whenever a buffer is
  // free, and with every buffer held none will come, so no time is spent
  // waiting for the time-out.
  size_t count = context->held.size();
  for (size_t step = 0; step < count; ++step) {
    size_t index = (context->nextFrame + step) % count;
    if (!context->held[index]) {
      context->held[index] = true;
      context->nextFrame = static_cast<uint32_t>((index + 1) % count);
      return finish(__func__, args, static_cast<int>(index), 0);
    }
  }
  return finish(__func__, args, -1, ETIMEDOUT);
}

int capture_release_frame(capture_context_t context, uint32_t index) {
  std::initializer_list<uint64_t> args = {addressOf(context), index};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  if (!context) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  if (index >= context->held.size() || !context->held[index]) {
    return finish(__func__, args, -1, EINVAL);
  }
  context->held[index] = false;
  return finish(__func__, args, 0, 0);
}

int capture_put_buffer(capture_context_t context, uint32_t index, uint32_t flags) {
  std::initializer_list<uint64_t> args = {addressOf(context), index, flags};
  int error = 0;
  if (takeInjectedFailure(__func__, &error)) return finish(__func__, args, -1, error);
  if (!context) return finish(__func__, args, -1, EINVAL);
  std::lock_guard<std::mutex> lock(context->mutex);
  if (index >= context->held.size()) return finish(__func__, args, -1, EINVAL);
  context->held[index] = false;
  return finish(__func__, args, 0, 0);
}

}  // extern "C"
