// Umbrella header of the communication library (log lines, named channels,
// PNG images, dynamic loading, process names).
#ifndef PLATFORM_COMMUNICATION_COMMUNICATION_H
#define PLATFORM_COMMUNICATION_COMMUNICATION_H

#include "platform/communication/buffer.h"
#include "platform/communication/comm_log.h"
#include "platform/communication/dyn_lib.h"
#include "platform/communication/file_type.h"
#include "platform/communication/image.h"
#include "platform/communication/process_name.h"
#include "platform/communication/resource_manager.h"
#include "platform/communication/resource_manager_client.h"

#endif  // PLATFORM_COMMUNICATION_COMMUNICATION_H
