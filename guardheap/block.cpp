#include "guardheap/block.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "guardheap/raw_output.h"
#include "guardheap/settings.h"

// The C library's own allocator, under the names it exports for allocators
// that replace malloc and still want to use it.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace zv_guardheap {
namespace {

constexpr uint32_t kTagMagic = 0x47480000u;
constexpr uint32_t kTagMagicMask = 0xFFFF0000u;

unsigned log2Of(size_t powerOfTwo) { return static_cast<unsigned>(__builtin_ctzl(powerOfTwo)); }

size_t pageSize() { return static_cast<size_t>(getpagesize()); }

void writeHeader(unsigned char* user, BlockKind kind, size_t size, size_t alignment,
                 uint32_t sizeWord) {
  uint64_t fullSize = size;
  uint32_t tag = kTagMagic | (log2Of(alignment) << 8) | kind;
  memcpy(user - 16, &fullSize, sizeof(fullSize));
  memcpy(user - 8, &tag, sizeof(tag));
  memcpy(user - 4, &sizeWord, sizeof(sizeWord));
}

uint32_t sizeWordOf(size_t size) { return size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(size); }

// Pages of a guard-below mapping besides the guard: ((size + 3) / page) + 1.
bool guardBelowPages(size_t size, size_t* pages) {
  if (size > SIZE_MAX - 3) return false;
  *pages = (size + 3) / pageSize() + 1;
  return true;
}

// A guard-above block ends where the guard begins; its header must fit in
// the pages before it.
bool guardAboveLayout(size_t size, size_t alignment, size_t* rounded, size_t* pages) {
  if (size > SIZE_MAX - alignment - kHeaderSize - pageSize()) return false;
  *rounded = (size + alignment - 1) & ~(alignment - 1);
  *pages = (*rounded + kHeaderSize + pageSize() - 1) / pageSize();
  return true;
}

void reportMappingFailure(int error) {
  const char* parts[] = {"ERROR: malloc_prot(): ", errorText(error), "\n", nullptr};
  writeParts(STDOUT_FILENO, parts);
}

}  // namespace

bool readBlockInfo(const void* user, BlockInfo* info) {
  const unsigned char* bytes = static_cast<const unsigned char*>(user);
  uint64_t fullSize;
  uint32_t tag;
  memcpy(&fullSize, bytes - 16, sizeof(fullSize));
  memcpy(&tag, bytes - 8, sizeof(tag));
  uint32_t kind = tag & 0xFF;
  uint32_t shift = (tag >> 8) & 0xFF;
  if ((tag & kTagMagicMask) != kTagMagic || kind < kPlainBlock || kind > kGuardAboveBlock ||
      shift < 4 || shift > 40) {
    return false;
  }
  info->kind = static_cast<BlockKind>(kind);
  info->size = static_cast<size_t>(fullSize);
  info->alignment = size_t{1} << shift;
  return true;
}

void* allocatePlain(size_t size, size_t alignment) {
  // The header takes the first |alignment| bytes, so the block stays aligned.
  if (size > SIZE_MAX - alignment) {
    errno = ENOMEM;
    return nullptr;
  }
  unsigned char* start = static_cast<unsigned char*>(
      alignment == kMinAlignment ? __libc_malloc(size + alignment)
                                 : __libc_memalign(alignment, size + alignment));
  if (!start) return nullptr;
  unsigned char* user = start + alignment;
  writeHeader(user, kPlainBlock, size, alignment, sizeWordOf(size));
  return user;
}

void* allocateGuarded(size_t size, size_t alignment, int side) {
  const size_t page = pageSize();
  size_t pages = 0;
  size_t rounded = 0;
  bool fits = side == kSideBelow ? guardBelowPages(size, &pages)
                                 : guardAboveLayout(size, alignment, &rounded, &pages);
  if (!fits || pages > SIZE_MAX / page - 1) {
    errno = ENOMEM;
    return nullptr;
  }
  size_t length = (pages + 1) * page;
  void* mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) {
    int error = errno;
    reportMappingFailure(error);
    errno = error;
    return nullptr;
  }
  unsigned char* base = static_cast<unsigned char*>(mapping);
  unsigned char* user;
  unsigned char* guard;
  int guardProtection;
  if (side == kSideBelow) {
    // Page 0 is the guard; the header ends it, so it is written before the
    // page becomes read-only.
    guard = base;
    user = base + page;
    guardProtection = PROT_READ;
    writeHeader(user, kGuardBelowBlock, size, alignment, sizeWordOf(size));
  } else {
    guard = base + pages * page;
    user = guard - rounded;
    guardProtection = PROT_NONE;
    writeHeader(user, kGuardAboveBlock, size, alignment, sizeWordOf(rounded));
  }
  if (mprotect(guard, page, guardProtection) != 0) {
    int error = errno;
    munmap(mapping, length);
    reportMappingFailure(error);
    errno = error;
    return nullptr;
  }
  return user;
}

void releaseBlock(void* user, const BlockInfo& info) {
  unsigned char* bytes = static_cast<unsigned char*>(user);
  const size_t page = pageSize();
  size_t pages = 0;
  size_t rounded = 0;
  switch (info.kind) {
    case kPlainBlock:
      __libc_free(bytes - info.alignment);
      return;
    case kGuardBelowBlock:
      guardBelowPages(info.size, &pages);
      munmap(bytes - page, (pages + 1) * page);
      return;
    case kGuardAboveBlock:
      guardAboveLayout(info.size, info.alignment, &rounded, &pages);
      munmap(bytes + rounded - pages * page, (pages + 1) * page);
      return;
  }
}

}  // namespace zv_guardheap
