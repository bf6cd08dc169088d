// The echo server as a process of its own, for the tests and benchmarks that
// cross a process boundary. Usage: dsysmost_test_server <namespace> <role>
#include <csignal>
#include <cstdio>

#include "fbkit/client/tests/dsysmost_echo_server.h"
#include "platform/basalt/zv_event_loop.h"
#include "platform/qrvi/service_broker.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <namespace> <role>\n", argv[0]);
    return 2;
  }
  CZvServiceBroker::setNamespace(argv[1]);
  zv_test::EchoServer server(argv[2]);
  server.setMOSTCommunicationState(DSYSMOSTTypes::COMMUNICATION_UP);
  server.setRegistry({{0x0101, 0x2201}});
  server.setDeviceID(0x0100);
  if (!server.offer(true)) return 3;
  CZvEventLoop::current().run();  // until the test ends the process
  return 0;
}
