#include "platform/qrvi/qrvi.h"
