// Raw stack dump of the calling thread, for analysis against a map file:
// every 32-bit word between the stack pointer and the top of the stack, seven
// to a line, each line guarded by the CRC-32 of its words.
#include <pthread.h>
#include <stdio.h>
#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "memgauge/pxm_assert.h"
#include "memgauge/toolkit/toolkit.h"

namespace {

constexpr size_t kWordsPerLine = 7;                // 7 x "%08x," = 63 of 70 characters
constexpr size_t kMaxDumpBytes = 256 * 1024;       // a runaway stack is cut here

// Prefix of every line: the tool id when there is one.
void linePrefix(FILE* file, int tool_id) {
  if (tool_id > 0) fprintf(file, "%d ", tool_id);
}

// The stack holds other frames' red zones under AddressSanitizer; reading
// them here is intended, so this function is not instrumented.
__attribute__((no_sanitize("address"), noinline)) void copyStackWords(const uintptr_t from,
                                                                      size_t count,
                                                                      uint32_t* out) {
  const volatile uint32_t* words = reinterpret_cast<const volatile uint32_t*>(from);
  for (size_t index = 0; index < count; ++index) out[index] = words[index];
}

void dumpLine(FILE* file, int tool_id, uintptr_t address, const uint32_t* words, size_t count) {
  linePrefix(file, tool_id);
  fprintf(file, "%08lx:", static_cast<unsigned long>(address));
  unsigned char bytes[kWordsPerLine * 4];
  for (size_t index = 0; index < count; ++index) {
    fprintf(file, "%08x,", words[index]);
    memcpy(bytes + index * 4, &words[index], 4);
  }
  fprintf(file, ":%08x\n", _tbox_crc32(bytes, count * 4));
}

}  // namespace

extern "C" __attribute__((noinline)) int _tbox_doStackBacktrace_file_and_toolid(FILE* file,
                                                                               const char* from,
                                                                               int tool_id) {
  ZV_PXM_ASSERT(file != nullptr && from != nullptr);
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return -1;
  void* stack_low = nullptr;
  size_t stack_size = 0;
  pthread_attr_getstack(&attributes, &stack_low, &stack_size);
  pthread_attr_destroy(&attributes);
  uintptr_t top = reinterpret_cast<uintptr_t>(stack_low) + stack_size;
  uintptr_t sp = reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) & ~uintptr_t{3};
  if (sp < reinterpret_cast<uintptr_t>(stack_low) || sp >= top) return -1;
  size_t bytes = top - sp;
  if (bytes > kMaxDumpBytes) bytes = kMaxDumpBytes;
  size_t word_count = bytes / 4;

  int pid = getpid();
  int tid = static_cast<int>(syscall(SYS_gettid));
  linePrefix(file, tool_id);
  fprintf(file, "[backtrace] INFO - BT in TID(%d) from %s: PID(%d)\n", tid, from, pid);
  linePrefix(file, tool_id);
  fprintf(file, "data below is the actual callstack V2.3\n");
  linePrefix(file, tool_id);
  fprintf(file, "usable for analysis with proper project MAP file\n");
  linePrefix(file, tool_id);
  fprintf(file, "*!B\n");
  linePrefix(file, tool_id);
  fprintf(file, "PID(%d) TID(%d) SP(%08lx) TOP(%08lx) WORDS(%zu)\n", pid, tid,
          static_cast<unsigned long>(sp), static_cast<unsigned long>(top), word_count);
  linePrefix(file, tool_id);
  fprintf(file, "*_B\n");
  linePrefix(file, tool_id);
  fprintf(file, "*!C\n");
  for (size_t done = 0; done < word_count; done += kWordsPerLine) {
    size_t count = word_count - done < kWordsPerLine ? word_count - done : kWordsPerLine;
    uint32_t words[kWordsPerLine];
    uintptr_t address = sp + done * 4;
    copyStackWords(address, count, words);
    dumpLine(file, tool_id, address, words, count);
  }
  linePrefix(file, tool_id);
  fprintf(file, "*_C\n");
  return _tbox_dump_sharedobject_mappings_file_and_toolid(pid, file, tool_id);
}

extern "C" int _tbox_doStackBacktrace_file(FILE* file, const char* from) {
  return _tbox_doStackBacktrace_file_and_toolid(file, from, 0);
}

extern "C" int _tbox_doStackBacktrace(const char* from) {
  return _tbox_doStackBacktrace_file_and_toolid(stdout, from, 0);
}
