#include "tools/mostsim/sim_config.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

bool parseNumber(const std::string& word, uint32_t max, uint32_t& value) {
  if (word.empty() || word[0] == '-' || word[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long parsed = std::strtoul(word.c_str(), &end, 0);
  if (errno != 0 || end == word.c_str() || *end != '\0' || parsed > max) return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}

}  // namespace

namespace ZvSimConfig {

bool parse(const std::string& text, SZvSimConfig& config, std::string& error) {
  SZvSimConfig result = config;
  std::istringstream lines(text);
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& what) {
    error = "line " + std::to_string(lineNo) + ": " + what;
    return false;
  };
  while (std::getline(lines, line)) {
    ++lineNo;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword)) continue;
    std::vector<std::string> args;
    for (std::string w; words >> w;) args.push_back(w);
    uint32_t value = 0;
    if (keyword == "node-id") {
      if (args.size() != 1 || !parseNumber(args[0], 0xFFFE, value) || value == 0) {
        return fail("node-id needs one device ID from 0x0001 to 0xFFFE");
      }
      result.nodeDeviceID = static_cast<uint16_t>(value);
    } else if (keyword == "segment-size") {
      if (args.size() != 1 || !parseNumber(args[0], 0xFFFF, value) || value == 0) {
        return fail("segment-size needs one size from 1 to 65535");
      }
      result.segmentSize = value;
    } else if (keyword == "remote") {
      if (args.size() < 2) return fail("remote needs a device ID and at least one FBlock key");
      SZvSimRemoteNode node;
      if (!parseNumber(args[0], 0xFFFE, value) || value == 0) return fail("bad device ID");
      node.deviceID = static_cast<uint16_t>(value);
      for (size_t i = 1; i < args.size(); ++i) {
        if (!parseNumber(args[i], 0xFFFF, value)) return fail("bad FBlock key '" + args[i] + "'");
        node.fblockKeys.push_back(static_cast<uint16_t>(value));
      }
      result.remoteNodes.push_back(node);
    } else {
      return fail("unknown item '" + keyword + "'");
    }
  }
  config = result;
  return true;
}

bool load(const char* path, SZvSimConfig& config, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = std::string("cannot read ") + path;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  return parse(text.str(), config, error);
}

}  // namespace ZvSimConfig
