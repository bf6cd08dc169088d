#include "fbkit/params/para_number_info.h"

// constexpr construction makes these constant-initialised, so parameters
// built during static initialisation of other files find them ready.
constexpr CZvParaNumberInfo sParaNumberInfoUInt8(ZvNumberUInt8);
constexpr CZvParaNumberInfo sParaNumberInfoInt8(ZvNumberInt8);
constexpr CZvParaNumberInfo sParaNumberInfoUInt16(ZvNumberUInt16);
constexpr CZvParaNumberInfo sParaNumberInfoInt16(ZvNumberInt16);
constexpr CZvParaNumberInfo sParaNumberInfoUInt32(ZvNumberUInt32);
constexpr CZvParaNumberInfo sParaNumberInfoInt32(ZvNumberInt32);
constexpr CZvParaNumberInfo sParaNumberInfoUInt8_1_to_255(uint8_t{1}, uint8_t{255});
constexpr CZvParaNumberInfo sParaNumberInfoUInt8_0_to_5(uint8_t{0}, uint8_t{5});
constexpr CZvParaNumberInfo sParaNumberInfoUInt16_0_to_4095(uint16_t{0}, uint16_t{4095});

constexpr const CZvParaNumberInfo* const LUTNumberPrecision[7] = {
    &sParaNumberInfoUInt8,  &sParaNumberInfoUInt8,  &sParaNumberInfoInt8,  &sParaNumberInfoUInt16,
    &sParaNumberInfoInt16, &sParaNumberInfoUInt32, &sParaNumberInfoInt32,
};
