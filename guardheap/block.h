// Blocks of the guard-page allocator and the header in front of each one.
//
// Every block handed out is preceded by 16 bytes, written field by field:
//   user - 16: the requested size (64-bit)
//   user -  8: a tag: a magic number, log2 of the block's alignment and its kind
//   user -  4: the 32-bit size word (plain and guard-below blocks: the requested
//              size; guard-above blocks: the size rounded up to the alignment;
//              0xFFFFFFFF for sizes that do not fit in 32 bits)
// Blocks are aligned to 16 bytes at least, as the C library's own malloc
// aligns them on 64-bit machines.
#ifndef GUARDHEAP_BLOCK_H
#define GUARDHEAP_BLOCK_H

#include <cstddef>
#include <cstdint>

namespace zv_guardheap {

constexpr size_t kHeaderSize = 16;
constexpr size_t kMinAlignment = 16;

enum BlockKind : uint32_t {
  kPlainBlock = 1,       // From the C library's internal allocator.
  kGuardBelowBlock = 2,  // Own mapping, read-only page below.
  kGuardAboveBlock = 3,  // Own mapping, inaccessible page above.
};

struct BlockInfo {
  BlockKind kind;
  size_t size;       // As requested.
  size_t alignment;  // 16 or more, a power of two.
};

// Reads the header of |user|; false when it carries no valid tag (the
// pointer did not come from this allocator, or the header was overwritten).
bool readBlockInfo(const void* user, BlockInfo* info);

// |alignment| must be a power of two of at least kMinAlignment. Each returns
// null with errno set on failure.
void* allocatePlain(size_t size, size_t alignment);
void* allocateGuarded(size_t size, size_t alignment, int side);

// Gives the block described by |info| back.
void releaseBlock(void* user, const BlockInfo& info);

}  // namespace zv_guardheap

#endif  // GUARDHEAP_BLOCK_H
