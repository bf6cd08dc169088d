#include "memgauge/pxm_assert.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace zv_memgauge {

void pxmAssertionFailed(const char* file, unsigned line) {
  const char* slash = strrchr(file, '/');
  fprintf(stderr, "PXM ASSERTION in File: %s, Line: %u\n", slash ? slash + 1 : file, line);
  fflush(stderr);
  abort();
}

}  // namespace zv_memgauge
