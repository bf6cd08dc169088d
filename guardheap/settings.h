// The two settings of the guard-page allocator, read from the environment
// once per process.
#ifndef GUARDHEAP_SETTINGS_H
#define GUARDHEAP_SETTINGS_H

extern "C" {
// -2 until the environment has been read; then -1 (nothing is guarded),
// 0 (the guard page lies below each block) or 1 (above it). Exported so
// that a program or debugger can read or change it.
extern int CHECK_MEM_BARRIER_SIDE;
// The smallest block size that is guarded; 0 unless set.
extern int CHECK_MEM_BARRIER_SIZE;
}

namespace zv_guardheap {

enum Side { kSideNone = -1, kSideBelow = 0, kSideAbove = 1 };

// Reads the environment on the first call that can see it and prints which
// guard is active. Returns false while the process is too young to have an
// environment (the dynamic loader's first allocations); allocations made
// then are plain. Safe from any number of threads at once; never allocates.
bool settleSettings();

// Prints the message for a side value other than -1, 0 and 1 and ends the
// process with status 1.
[[noreturn]] void failOnIllegalSide(int side);

}  // namespace zv_guardheap

#endif  // GUARDHEAP_SETTINGS_H
