// Configuration of the simulated MOST server: the node's own device ID, the
// control-message size above which payloads are segmented, and further
// simulated nodes whose FBlocks appear in the registry.
//
// Text form, one item per line, '#' starts a comment:
//   node-id 0x0100
//   segment-size 45
//   remote 0x0200 0x2201 0x3101     # a node and the FBlock keys it offers
#ifndef TOOLS_MOSTSIM_SIM_CONFIG_H
#define TOOLS_MOSTSIM_SIM_CONFIG_H

#include <cstdint>
#include <string>
#include <vector>

struct SZvSimRemoteNode {
  uint16_t deviceID = 0;
  std::vector<uint16_t> fblockKeys;
};

struct SZvSimConfig {
  uint16_t nodeDeviceID = 0x0100;
  uint32_t segmentSize = 45;
  std::vector<SZvSimRemoteNode> remoteNodes;
};

namespace ZvSimConfig {
// Parses the text form into config (which keeps its defaults for items not
// given). Returns false with a message naming the line for anything
// malformed: unknown words, numbers out of range, a node without FBlocks,
// a segment size of 0.
bool parse(const std::string& text, SZvSimConfig& config, std::string& error);
bool load(const char* path, SZvSimConfig& config, std::string& error);
}  // namespace ZvSimConfig

#endif  // TOOLS_MOSTSIM_SIM_CONFIG_H
