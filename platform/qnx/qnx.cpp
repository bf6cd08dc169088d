#include "platform/qnx/qnx.h"
