#include "platform/communication/communication.h"
