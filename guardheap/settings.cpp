#include "guardheap/settings.h"

#include <sched.h>
#include <unistd.h>

#include <cstdlib>

#include "guardheap/raw_output.h"

extern "C" {
__attribute__((visibility("default"))) int CHECK_MEM_BARRIER_SIDE = -2;
__attribute__((visibility("default"))) int CHECK_MEM_BARRIER_SIZE = 0;
}

extern char** environ;

namespace zv_guardheap {
namespace {

enum SettleState { kUnsettled = 0, kSettling = 1, kSettled = 2 };
int gSettleState = kUnsettled;

void readEnvironment() {
  int side = kSideNone;
  if (const char* text = getenv("CHECK_MEM_BARRIER_SIDE")) {
    int value = atoi(text);
    if (value == kSideBelow || value == kSideAbove) side = value;
  }
  int size = 0;
  if (const char* text = getenv("CHECK_MEM_BARRIER_SIZE")) {
    size = atoi(text);
    if (size < 0) size = 0;
  }
  __atomic_store_n(&CHECK_MEM_BARRIER_SIZE, size, __ATOMIC_RELAXED);
  __atomic_store_n(&CHECK_MEM_BARRIER_SIDE, side, __ATOMIC_RELAXED);

  const char* line = side == kSideBelow   ? "check lower memory barrier\n"
                     : side == kSideAbove ? "check upper memory barrier\n"
                                          : "check memory barrier deactivated\n";
  const char* parts[] = {line, nullptr};
  writeParts(STDOUT_FILENO, parts);
}

}  // namespace

bool settleSettings() {
  if (__atomic_load_n(&gSettleState, __ATOMIC_ACQUIRE) == kSettled) return true;
  // Before the C library has set up the environment every lookup would say
  // "not set"; wait for it rather than settle on a wrong answer.
  if (__atomic_load_n(&environ, __ATOMIC_RELAXED) == nullptr) return false;
  int expected = kUnsettled;
  if (__atomic_compare_exchange_n(&gSettleState, &expected, kSettling, false, __ATOMIC_ACQ_REL,
                                  __ATOMIC_ACQUIRE)) {
    readEnvironment();
    __atomic_store_n(&gSettleState, kSettled, __ATOMIC_RELEASE);
    return true;
  }
  // Another thread is reading the environment; it takes microseconds.
  while (__atomic_load_n(&gSettleState, __ATOMIC_ACQUIRE) != kSettled) sched_yield();
  return true;
}

void failOnIllegalSide(int side) {
  char number[24];
  const char* parts[] = {"libpagewall.so: illegal value for CHECK_MEM_BARRIER_SIDE: ",
                         formatDecimal(side, number), "\n", nullptr};
  writeParts(STDOUT_FILENO, parts);
  // _exit: exit handlers could allocate, and this may run inside the C
  // library with its locks held.
  _exit(1);
}

}  // namespace zv_guardheap

