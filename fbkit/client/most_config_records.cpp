#include "fbkit/client/most_config_records.h"

#define ZV_PARAM(type, name) type name##_,
#define ZV_INIT(type, name) name(name##_),
CZvLogFuncBaseConfig::CZvLogFuncBaseConfig(ZV_LOGFUNC_CONFIG_FIELDS(ZV_PARAM) int)
    : ZV_LOGFUNC_CONFIG_FIELDS(ZV_INIT) useCount(0) {}
#undef ZV_INIT
#undef ZV_PARAM
