// Umbrella header of the service-interface middleware (broker, proxies, stubs, wire streams).
#ifndef PLATFORM_QRVI_QRVI_H
#define PLATFORM_QRVI_QRVI_H

#include "platform/qrvi/client_base.h"
#include "platform/qrvi/proxy_base.h"
#include "platform/qrvi/qrv_trace_stream.h"
#include "platform/qrvi/qrvi_stream.h"
#include "platform/qrvi/service_broker.h"
#include "platform/qrvi/service_events.h"
#include "platform/qrvi/service_frame.h"
#include "platform/qrvi/service_interface.h"
#include "platform/qrvi/service_reports.h"
#include "platform/qrvi/service_types.h"
#include "platform/qrvi/stub_base.h"

#endif  // PLATFORM_QRVI_QRVI_H
