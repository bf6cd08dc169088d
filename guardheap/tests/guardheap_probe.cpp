// Runs under the guard-page allocator (LD_PRELOAD) in a child process of
// guardheap_test and reports what it sees on standard output, one
// "key=value" per line. Faults end it with SIGSEGV, which the test expects
// where a guard page is touched.
//
//   guardheap_probe layout <size>        where the block lies, its size word
//   guardheap_probe write <size> <offset>  writes one byte at block + offset
//   guardheap_probe read <size> <offset>   reads one byte at block + offset
//   guardheap_probe unmap <size>         pages mapped around the block before
//                                        and after free()
//   guardheap_probe battery              every entry point, in-bounds only
//   guardheap_probe threads              allocation from several threads
//   guardheap_probe settings             the two exported settings
//   guardheap_probe set-side <value>     sets the side, then allocates

#include <dlfcn.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

// The battery checks that a failed realloc() leaves the old block usable,
// which the compiler cannot know.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif

namespace {

uintptr_t pageSize() { return static_cast<uintptr_t>(getpagesize()); }

int* exportedSetting(const char* name) {
  return static_cast<int*>(dlsym(RTLD_DEFAULT, name));
}

// Permissions ("rw-p", "r--p", "---p") of the mapping holding |address|.
std::string permissionsAt(uintptr_t address) {
  FILE* maps = fopen("/proc/self/maps", "r");
  if (!maps) return "?";
  char line[512];
  std::string result = "unmapped";
  while (fgets(line, sizeof(line), maps)) {
    unsigned long start, end;
    char perms[8];
    if (sscanf(line, "%lx-%lx %7s", &start, &end, perms) == 3 && address >= start &&
        address < end) {
      result = perms;
      break;
    }
  }
  fclose(maps);
  return result;
}

bool pageMapped(uintptr_t page) {
  return msync(reinterpret_cast<void*>(page), pageSize(), MS_ASYNC) == 0 || errno != ENOMEM;
}

uint32_t sizeWordOf(const void* block) {
  // The word lies outside the block the compiler knows of; hide where the
  // address came from so it does not judge the read by the block's bounds.
  uintptr_t address = reinterpret_cast<uintptr_t>(block) - 4;
  asm("" : "+r"(address));
  uint32_t word;
  memcpy(&word, reinterpret_cast<const void*>(address), sizeof(word));
  return word;
}

int failures = 0;
void check(bool condition, const char* what) {
  if (!condition) {
    printf("FAIL: %s\n", what);
    ++failures;
  }
}

void fillAndVerify(unsigned char* block, size_t size, unsigned char seed, const char* what) {
  for (size_t i = 0; i < size; ++i) block[i] = static_cast<unsigned char>(seed + i);
  for (size_t i = 0; i < size; ++i) {
    if (block[i] != static_cast<unsigned char>(seed + i)) {
      check(false, what);
      return;
    }
  }
}

void runBattery() {
  // Sizes around the page and the alignment steps.
  const size_t sizes[] = {0, 1, 3, 4, 15, 16, 17, 100, 4080, 4092, 4093, 4095, 4096, 4097, 9000};
  for (size_t size : sizes) {
    auto* block = static_cast<unsigned char*>(malloc(size));
    check(block != nullptr, "malloc");
    check(reinterpret_cast<uintptr_t>(block) % 16 == 0, "malloc alignment");
    check(malloc_usable_size(block) >= size, "usable size");
    fillAndVerify(block, size, 3, "malloc contents");
    free(block);

    auto* zeroed = static_cast<unsigned char*>(calloc(size, 1));
    bool allZero = true;
    for (size_t i = 0; i < size; ++i) allZero = allZero && zeroed[i] == 0;
    check(allZero, "calloc zeroes");
    free(zeroed);
  }
  // Plain blocks recycled by the C library must be cleared by calloc too.
  for (int round = 0; round < 50; ++round) {
    auto* dirty = static_cast<unsigned char*>(malloc(64));
    memset(dirty, 0xFF, 64);
    free(dirty);
    auto* zeroed = static_cast<unsigned char*>(calloc(8, 8));
    for (int i = 0; i < 64; ++i) check(zeroed[i] == 0, "calloc after reuse");
    free(zeroed);
  }
  volatile size_t huge = SIZE_MAX / 2;  // volatile: keeps the compiler from judging the size.
  check(calloc(huge, 4) == nullptr && errno == ENOMEM, "calloc overflow");

  // realloc copies the smaller of the two sizes.
  auto* block = static_cast<unsigned char*>(malloc(100));
  fillAndVerify(block, 100, 7, "realloc source");
  block = static_cast<unsigned char*>(realloc(block, 50));
  for (int i = 0; i < 50; ++i) check(block[i] == static_cast<unsigned char>(7 + i), "shrunk copy");
  block = static_cast<unsigned char*>(realloc(block, 200));
  for (int i = 0; i < 50; ++i) check(block[i] == static_cast<unsigned char>(7 + i), "grown copy");
  fillAndVerify(block, 200, 9, "grown block");
  check(realloc(block, 0) == nullptr, "realloc to 0 frees");
  block = static_cast<unsigned char*>(realloc(nullptr, 30));
  fillAndVerify(block, 30, 1, "realloc of null");
  check(realloc(block, huge * 2) == nullptr, "impossible realloc fails");
  fillAndVerify(block, 30, 1, "block kept after failed realloc");
  free(block);
  free(nullptr);

  // Aligned entry points: aligned, usable and freed by free() or realloc().
  const size_t alignments[] = {16, 32, 64, 256, 4096, 8192};
  for (size_t alignment : alignments) {
    for (size_t size : {size_t{1}, size_t{100}, size_t{5000}}) {
      void* aligned = nullptr;
      check(posix_memalign(&aligned, alignment, size) == 0, "posix_memalign");
      check(reinterpret_cast<uintptr_t>(aligned) % alignment == 0, "posix_memalign alignment");
      fillAndVerify(static_cast<unsigned char*>(aligned), size, 5, "posix_memalign contents");
      free(aligned);

      auto* other = static_cast<unsigned char*>(aligned_alloc(alignment, size));
      check(reinterpret_cast<uintptr_t>(other) % alignment == 0, "aligned_alloc alignment");
      fillAndVerify(other, size, 6, "aligned_alloc contents");
      other = static_cast<unsigned char*>(realloc(other, size + 10));
      fillAndVerify(other, size + 10, 6, "realloc of aligned block");
      free(other);

      auto* old = static_cast<unsigned char*>(memalign(alignment, size));
      check(reinterpret_cast<uintptr_t>(old) % alignment == 0, "memalign alignment");
      fillAndVerify(old, size, 8, "memalign contents");
      free(old);
    }
  }
  void* unused = nullptr;
  volatile size_t oddAlignment = 24;  // volatile: the compiler would reject it up front.
  check(posix_memalign(&unused, oddAlignment, 10) == EINVAL, "posix_memalign rejects 24");
  check(aligned_alloc(oddAlignment, 10) == nullptr && errno == EINVAL, "aligned_alloc rejects 24");
  auto* rounded = static_cast<unsigned char*>(memalign(oddAlignment, 10));
  check(reinterpret_cast<uintptr_t>(rounded) % 32 == 0, "memalign rounds 24 up to 32");
  free(rounded);
  auto* paged = static_cast<unsigned char*>(valloc(10));
  check(reinterpret_cast<uintptr_t>(paged) % pageSize() == 0, "valloc alignment");
  free(paged);
  paged = static_cast<unsigned char*>(pvalloc(10));
  check(reinterpret_cast<uintptr_t>(paged) % pageSize() == 0, "pvalloc alignment");
  fillAndVerify(paged, pageSize(), 2, "pvalloc gives a whole page");
  free(paged);
  auto* array = static_cast<unsigned char*>(reallocarray(nullptr, 10, 10));
  fillAndVerify(array, 100, 4, "reallocarray");
  check(reallocarray(array, huge, 4) == nullptr, "reallocarray overflow");
  free(array);

  // Blocks of the C library's own helpers come back through free().
  char* copy = strdup("guarded text");
  check(strcmp(copy, "guarded text") == 0, "strdup");
  free(copy);
  std::vector<std::string> texts(100, std::string(300, 'x'));
  texts.clear();
}

void runThreads() {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      std::vector<unsigned char*> blocks;
      for (int i = 0; i < 400; ++i) {
        size_t size = static_cast<size_t>((i * 37 + t * 11) % 5000);
        auto* block = static_cast<unsigned char*>(malloc(size));
        memset(block, t + 1, size);
        blocks.push_back(block);
        if (blocks.size() > 20) {
          free(blocks.front());
          blocks.erase(blocks.begin());
        }
      }
      for (unsigned char* block : blocks) free(block);
    });
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 2) return 2;
  std::string scenario = argv[1];
  size_t size = argc > 2 ? strtoull(argv[2], nullptr, 10) : 0;
  long offset = argc > 3 ? strtol(argv[3], nullptr, 10) : 0;

  if (scenario == "layout") {
    auto* block = static_cast<unsigned char*>(malloc(size));
    uintptr_t address = reinterpret_cast<uintptr_t>(block);
    uintptr_t end = address + ((size + 15) & ~size_t{15});
    printf("page_offset=%lu\n", static_cast<unsigned long>(address % pageSize()));
    printf("size_word=%u\n", sizeWordOf(block));
    printf("below=%s\n", permissionsAt(address - 1).c_str());
    printf("above=%s\n", permissionsAt(end).c_str());
    free(block);
  } else if (scenario == "write" || scenario == "read") {
    auto* block = static_cast<volatile unsigned char*>(malloc(size));
    for (size_t i = 0; i < size; ++i) block[i] = 1;
    printf("in_bounds=ok\n");
    if (scenario == "write") {
      block[offset] = 2;
    } else {
      printf("value=%u\n", static_cast<unsigned>(block[offset]));
    }
    printf("survived\n");
  } else if (scenario == "unmap") {
    auto* block = static_cast<unsigned char*>(malloc(size));
    uintptr_t first = (reinterpret_cast<uintptr_t>(block) & ~(pageSize() - 1)) - pageSize();
    std::string before, after;
    for (int page = 0; page < 3; ++page) before += pageMapped(first + page * pageSize()) ? '1' : '0';
    free(block);
    for (int page = 0; page < 3; ++page) after += pageMapped(first + page * pageSize()) ? '1' : '0';
    printf("before=%s\nafter=%s\n", before.c_str(), after.c_str());
  } else if (scenario == "battery") {
    runBattery();
    printf(failures ? "failures=%d\n" : "battery=ok\n", failures);
  } else if (scenario == "threads") {
    runThreads();
    printf("threads=ok\n");
  } else if (scenario == "settings") {
    free(malloc(1));
    int* side = exportedSetting("CHECK_MEM_BARRIER_SIDE");
    int* threshold = exportedSetting("CHECK_MEM_BARRIER_SIZE");
    if (!side || !threshold) return 3;
    printf("side=%d\nsize=%d\n", *side, *threshold);
  } else if (scenario == "set-side") {
    *exportedSetting("CHECK_MEM_BARRIER_SIDE") = atoi(argv[2]);
    free(malloc(64));
    printf("survived\n");
  } else {
    return 2;
  }
  return failures ? 1 : 0;
}
