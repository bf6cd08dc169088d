// Umbrella header of the service-interface middleware (broker, proxies, stubs, wire streams).
#ifndef PLATFORM_QRVI_QRVI_H
#define PLATFORM_QRVI_QRVI_H

#endif  // PLATFORM_QRVI_QRVI_H
