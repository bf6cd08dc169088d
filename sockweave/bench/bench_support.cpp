#include "sockweave/bench/bench_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sockweave_bench {

bool makeConnections(int count, std::vector<int>& clients, std::vector<int>& servers) {
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 128) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listener);
    return false;
  }
  const int one = 1;
  for (int i = 0; i < count; ++i) {
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    const int server = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (server < 0) return false;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    clients.push_back(client);
    servers.push_back(server);
  }
  ::close(listener);
  return true;
}

}  // namespace sockweave_bench
