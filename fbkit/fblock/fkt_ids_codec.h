// The FktIDs payload: the function IDs of an FBlock as a list of boundaries
// (first absent ID, first present ID again, ...) packed as 12-bit values.
#ifndef FBKIT_FBLOCK_FKT_IDS_CODEC_H
#define FBKIT_FBLOCK_FKT_IDS_CODEC_H

#include <cstdint>
#include <vector>

namespace ZvFktIDs {

// Boundary list of an ascending list of function IDs below 0x1000. Function
// 0x000 always counts as present.
std::vector<uint16_t> toBoundaries(const std::vector<uint16_t>& sortedIDs);
// Two 12-bit values in three bytes; an odd last value takes two bytes.
std::vector<uint8_t> pack(const std::vector<uint16_t>& values);
std::vector<uint8_t> encode(const std::vector<uint16_t>& sortedIDs);

}  // namespace ZvFktIDs

#endif  // FBKIT_FBLOCK_FKT_IDS_CODEC_H
