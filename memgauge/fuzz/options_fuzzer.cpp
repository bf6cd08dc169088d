// Arbitrary command lines for memgauge's option parser: the input split at
// line feeds gives the words.
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "memgauge/options.h"
#include "memgauge/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words{"memgauge"};
  std::string current;
  for (size_t index = 0; index < size && words.size() < 32; ++index) {
    if (data[index] == '\n') {
      words.push_back(current);
      current.clear();
    } else if (data[index] != '\0') {
      current.push_back(static_cast<char>(data[index]));
    }
  }
  words.push_back(current);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  zv_memgauge::parseOptions(1, static_cast<int>(words.size()), argv.data());
  zv_memgauge::resetSettings();
  return 0;
}
