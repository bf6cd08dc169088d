// Umbrella header of libfbkit: include this to use the whole library.
#ifndef FBKIT_FBKIT_H
#define FBKIT_FBKIT_H

// The MOST message model and the DSYSMOSTServer interface.
#include "fbkit/client/dsysmost_client_base.h"
#include "fbkit/client/dsysmost_dummy_impl.h"
#include "fbkit/client/dsysmost_events.h"
#include "fbkit/client/dsysmost_notification.h"
#include "fbkit/client/dsysmost_proxy.h"
#include "fbkit/client/dsysmost_request.h"
#include "fbkit/client/dsysmost_response.h"
#include "fbkit/client/dsysmost_server_types.h"
#include "fbkit/client/dsysmost_stub.h"
#include "fbkit/client/dsysmost_type_trace.h"
#include "fbkit/client/dsysmost_types.h"
#include "fbkit/client/most_header.h"
#include "fbkit/client/most_message.h"
#include "fbkit/client/most_message_data.h"
#include "fbkit/client/most_trace_message.h"
#include "fbkit/client/most_types.h"

// The MOST client, configuration, registry records, implicit filter, profiler.
#include "fbkit/client/implicit_filter.h"
#include "fbkit/client/most_client_impl.h"
#include "fbkit/client/most_config_manager.h"
#include "fbkit/client/most_config_records.h"
#include "fbkit/client/most_error_handler.h"
#include "fbkit/client/most_message_view.h"
#include "fbkit/client/performance_info.h"
#include "fbkit/client/registry_records.h"

// The FBlock side: device admin, devices and the function contract.
#include "fbkit/fblock/device_admin.h"
#include "fbkit/fblock/device_base.h"
#include "fbkit/fblock/device_impl_base.h"
#include "fbkit/fblock/device_info_data.h"
#include "fbkit/fblock/fkt_ids_codec.h"
#include "fbkit/fblock/function_base.h"

namespace zv_fbkit {
// Version of the library as "major.minor.patch".
const char* libraryVersion();
}  // namespace zv_fbkit

#endif  // FBKIT_FBKIT_H
