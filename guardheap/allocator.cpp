// The allocation functions of the C library, replaced. A program loads this
// library ahead of the C library; every entry point that hands out or takes
// back blocks is here, so a block from any of them may go to any other.

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "guardheap/block.h"
#include "guardheap/raw_output.h"
#include "guardheap/settings.h"

namespace zv_guardheap {
namespace {

bool isPowerOfTwo(size_t value) { return value != 0 && (value & (value - 1)) == 0; }

// Chooses plain or guarded for a block of |size| bytes aligned to
// |alignment| (a power of two).
void* allocate(size_t size, size_t alignment) {
  if (alignment < kMinAlignment) alignment = kMinAlignment;
  if (!settleSettings()) return allocatePlain(size, alignment);
  int side = __atomic_load_n(&CHECK_MEM_BARRIER_SIDE, __ATOMIC_RELAXED);
  int threshold = __atomic_load_n(&CHECK_MEM_BARRIER_SIZE, __ATOMIC_RELAXED);
  if (side == kSideNone || (threshold > 0 && size < static_cast<size_t>(threshold))) {
    return allocatePlain(size, alignment);
  }
  if (side != kSideBelow && side != kSideAbove) failOnIllegalSide(side);
  // A guarded block begins (guard below) or ends (guard above) at a page
  // boundary; alignments beyond a page cannot be kept that way.
  if (alignment > static_cast<size_t>(getpagesize())) return allocatePlain(size, alignment);
  return allocateGuarded(size, alignment, side);
}

// The header of a block to be freed or resized. A pointer that did not
// come from here is a fault of the program: stop before damage is done.
BlockInfo blockInfoOrDie(const void* pointer, const char* function) {
  BlockInfo info;
  if (!readBlockInfo(pointer, &info)) {
    const char* parts[] = {"libguardheap: ", function, "(): invalid pointer\n", nullptr};
    writeParts(STDERR_FILENO, parts);
    abort();
  }
  return info;
}

void release(void* pointer, const char* function) {
  BlockInfo info = blockInfoOrDie(pointer, function);
  if (info.kind != kPlainBlock) {
    int side = __atomic_load_n(&CHECK_MEM_BARRIER_SIDE, __ATOMIC_RELAXED);
    if (side != kSideNone && side != kSideBelow && side != kSideAbove) failOnIllegalSide(side);
  }
  releaseBlock(pointer, info);
}

}  // namespace
}  // namespace zv_guardheap

using zv_guardheap::allocate;
using zv_guardheap::isPowerOfTwo;
using zv_guardheap::kMinAlignment;

#define ZV_EXPORT __attribute__((visibility("default")))

extern "C" {

ZV_EXPORT void* malloc(size_t size) { return allocate(size, kMinAlignment); }

ZV_EXPORT void free(void* pointer) {
  if (pointer) zv_guardheap::release(pointer, "free");
}

ZV_EXPORT void* realloc(void* pointer, size_t size) {
  if (!pointer) return allocate(size, kMinAlignment);
  if (size == 0) {
    zv_guardheap::release(pointer, "realloc");
    return nullptr;
  }
  zv_guardheap::BlockInfo old = zv_guardheap::blockInfoOrDie(pointer, "realloc");
  void* moved = allocate(size, kMinAlignment);
  // On failure the old block stays as it was.
  if (!moved) return nullptr;
  memcpy(moved, pointer, old.size < size ? old.size : size);
  zv_guardheap::release(pointer, "realloc");
  return moved;
}

ZV_EXPORT void* calloc(size_t count, size_t size) {
  size_t total;
  if (__builtin_mul_overflow(count, size, &total)) {
    errno = ENOMEM;
    return nullptr;
  }
  void* block = allocate(total, kMinAlignment);
  // Fresh mappings are zero already; only plain blocks need clearing.
  zv_guardheap::BlockInfo info;
  if (block && zv_guardheap::readBlockInfo(block, &info) &&
      info.kind == zv_guardheap::kPlainBlock) {
    memset(block, 0, total);
  }
  return block;
}

ZV_EXPORT void* reallocarray(void* pointer, size_t count, size_t size) {
  size_t total;
  if (__builtin_mul_overflow(count, size, &total)) {
    errno = ENOMEM;
    return nullptr;
  }
  return realloc(pointer, total);
}

ZV_EXPORT int posix_memalign(void** result, size_t alignment, size_t size) {
  if (!isPowerOfTwo(alignment) || alignment % sizeof(void*) != 0) return EINVAL;
  int savedErrno = errno;
  void* block = allocate(size, alignment);
  if (!block) {
    errno = savedErrno;
    return ENOMEM;
  }
  *result = block;
  return 0;
}

ZV_EXPORT void* aligned_alloc(size_t alignment, size_t size) {
  if (!isPowerOfTwo(alignment)) {
    errno = EINVAL;
    return nullptr;
  }
  return allocate(size, alignment);
}

ZV_EXPORT void* memalign(size_t alignment, size_t size) {
  // Like the C library: other alignments are rounded up to a power of two.
  if (alignment > SIZE_MAX / 2 + 1) {
    errno = EINVAL;
    return nullptr;
  }
  size_t rounded = 1;
  while (rounded < alignment) rounded <<= 1;
  return allocate(size, rounded);
}

ZV_EXPORT void* valloc(size_t size) { return allocate(size, static_cast<size_t>(getpagesize())); }

ZV_EXPORT void* pvalloc(size_t size) {
  size_t page = static_cast<size_t>(getpagesize());
  if (size > SIZE_MAX - page) {
    errno = ENOMEM;
    return nullptr;
  }
  return allocate((size + page - 1) & ~(page - 1), page);
}

ZV_EXPORT size_t malloc_usable_size(void* pointer) {
  if (!pointer) return 0;
  return zv_guardheap::blockInfoOrDie(pointer, "malloc_usable_size").size;
}

}  // extern "C"
