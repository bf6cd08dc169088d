// demo_fblock: a MOST application with one FBlock (AmFm-like 0x22, instance
// 1) that runs until SIGINT or SIGTERM. It answers FktIDs, Notification,
// NotificationCheck and Version itself through the framework, and Volume
// (0x400) and Greeting (0x401) through its own functions.
// Usage: demo_fblock [--role NAME] [--fblock 0xKEY]
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <unistd.h>

#include "examples/demo_fblock/demo_functions.h"
#include "fbkit/client/most_client_impl.h"
#include "fbkit/fblock/device_base.h"
#include "fbkit/fblock/device_impl_base.h"
#include "platform/basalt/zv_event_loop.h"

namespace {

class CDemoDeviceImpl : public CZvDeviceImplBase {
 public:
  explicit CDemoDeviceImpl(CZvMOSTAdapter& adapter) : CZvDeviceImplBase(adapter) {}
  void processEvent(const CZvDeviceInfoEvent& event) override { dispatch({0, nullptr, nullptr}, event); }
  void onDeviceActivated(uint16_t key) override {
    std::printf("demo_fblock: FBlock %04X active\n", key);
    std::fflush(stdout);
  }
  void onDeviceDeactivated(uint16_t key) override {
    std::printf("demo_fblock: FBlock %04X inactive\n", key);
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  const char* role = "MOSTSubSystem";
  uint16_t key = 0x2201;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--role") == 0 && i + 1 < argc) {
      role = argv[++i];
    } else if (std::strcmp(argv[i], "--fblock") == 0 && i + 1 < argc) {
      key = static_cast<uint16_t>(std::strtoul(argv[++i], nullptr, 0));
    } else {
      std::fprintf(stderr, "usage: demo_fblock [--role NAME] [--fblock 0xKEY]\n");
      return 2;
    }
  }
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  CZvEventLoop& loop = CZvEventLoop::current();
  CDemoVolume volume;
  CDemoGreeting greeting("Hello from FBlock 0x22 on a desk: this text needs several control messages.");
  {
    CZvMOSTClientImpl client(role);
    CZvMOSTAdapter adapter(&client);
    auto* device = new CZvDeviceBase(static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key),
                                     nullptr, &client, true);
    device->setVersionEnabled(true);
    device->setVersion(1, 2, 3);
    device->addFunction(&volume);
    device->addFunction(&greeting);
    client.getDeviceAdmin().addDevice(key, device);
    CDemoDeviceImpl impl(adapter);
    device->registerBaseListener(&impl);
    device->sendRegistration(true);
    std::printf("demo_fblock: FBlock %04X waiting for the MOST server '%s'\n", key, role);
    std::fflush(stdout);

    std::thread waiter([&loop, stopSignals] {
      int signal = 0;
      sigwait(&stopSignals, &signal);
      loop.quit();
    });
    loop.run();
    kill(getpid(), SIGTERM);
    waiter.join();
  }
  std::printf("demo_fblock: stopped\n");
  return 0;
}
