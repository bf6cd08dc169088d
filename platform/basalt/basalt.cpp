#include "platform/basalt/basalt.h"
