#include "platform/loom/loom.h"
