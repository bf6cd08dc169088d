// Option parsing of the toolkit: getopt(3) semantics, with the state kept in
// a record instead of globals.
#include <stdio.h>
#include <string.h>

#include "memgauge/pxm_assert.h"
#include "memgauge/toolkit/toolkit.h"

namespace {

const char* programName(const char* path) {
  if (path == nullptr) return "";
  const char* slash = strrchr(path, '/');
  return slash ? slash + 1 : path;
}

}  // namespace

extern "C" int _tbox_getopt(int argc, char* const argv[], const char* optstring,
                            SZvGetoptState* state) {
  ZV_PXM_ASSERT(argv != nullptr && optstring != nullptr && state != nullptr);
  state->optarg = nullptr;
  bool quiet = optstring[0] == ':';
  if (state->next_char == 0) {
    if (state->optind >= argc || argv[state->optind] == nullptr) return -1;
    const char* word = argv[state->optind];
    if (word[0] != '-' || word[1] == '\0') return -1;
    if (strcmp(word, "--") == 0) {
      ++state->optind;
      return -1;
    }
    state->next_char = 1;
  }
  const char* word = argv[state->optind];
  char option = word[state->next_char++];
  bool word_done = word[state->next_char] == '\0';
  const char* option_entry = option == ':' ? nullptr : strchr(optstring, option);
  state->optopt = static_cast<unsigned char>(option);
  if (option_entry == nullptr) {
    if (state->opterr && !quiet) {
      fprintf(stderr, "%s: illegal option -- %c\n", programName(argv[0]), option);
    }
    if (word_done) {
      ++state->optind;
      state->next_char = 0;
    }
    return '?';
  }
  if (option_entry[1] != ':') {
    if (word_done) {
      ++state->optind;
      state->next_char = 0;
    }
    return option;
  }
  // The option takes a value: the rest of this word or the next word.
  if (!word_done) {
    state->optarg = const_cast<char*>(word + state->next_char);
    ++state->optind;
  } else if (state->optind + 1 < argc && argv[state->optind + 1] != nullptr) {
    state->optarg = argv[state->optind + 1];
    state->optind += 2;
  } else {
    ++state->optind;
    state->next_char = 0;
    if (quiet) return ':';
    if (state->opterr) {
      fprintf(stderr, "%s: option requires an argument -- %c\n", programName(argv[0]), option);
    }
    return '?';
  }
  state->next_char = 0;
  return option;
}
