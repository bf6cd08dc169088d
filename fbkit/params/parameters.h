// All typed MOST parameters, their container and raw payload data.
#ifndef FBKIT_PARAMS_PARAMETERS_H
#define FBKIT_PARAMS_PARAMETERS_H

#include "fbkit/params/para_bit_field.h"
#include "fbkit/params/para_bool.h"
#include "fbkit/params/para_bool_field.h"
#include "fbkit/params/para_classified_stream.h"
#include "fbkit/params/para_most_data.h"
#include "fbkit/params/para_number.h"
#include "fbkit/params/para_number_info.h"
#include "fbkit/params/para_stream.h"
#include "fbkit/params/para_string.h"
#include "fbkit/params/parameter_base.h"
#include "fbkit/params/parameter_container.h"

#endif  // FBKIT_PARAMS_PARAMETERS_H
