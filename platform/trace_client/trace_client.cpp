#include "platform/trace_client/trace_client.h"
