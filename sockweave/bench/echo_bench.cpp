// Echo ping-pong of 64-byte messages over loopback TCP. The client side is
// the same plain blocking loop for every variant; the server side is the
// loop under test, running on its own thread:
//   ZvIO/queued_writer : the read handler queues a write handler, which
//                        writes the echo when the socket is writable
//   epoll/armed_out    : the same two steps by hand (EPOLLOUT armed per echo)
//   ZvIO/direct        : the read handler writes the echo itself
//   epoll/direct       : the same by hand
// Round trips per second are reported as the "round_trips" rate, and the
// server thread's CPU time per round trip as "server_cpu_ns".
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <time.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "benchmark/benchmark.h"
#include "sockweave/bench/bench_support.h"
#include "sockweave/io/zv_io_descriptor_device.h"
#include "sockweave/io/zv_io_dispatcher.h"

namespace {

constexpr size_t kMessageSize = 64;

// ---- ZvIO server -----------------------------------------------------------

class ZvEchoServer {
 public:
  ZvEchoServer(const std::vector<int>& fds, bool queuedWriter)
      : mDispatcher(256), mOpen(static_cast<int>(fds.size())), mQueuedWriter(queuedWriter) {
    for (int fd : fds) mDispatcher.doEnqueueEvent(fd, new Reader(*this), ZvIO::kPollIn);
  }
  void run() {
    while (mOpen > 0) mDispatcher.poll(0);
  }

 private:
  class Writer : public ZvIO::HandlerBase {
   public:
    Writer(const char* data, size_t size) : mSize(size) { std::memcpy(mData, data, size); }
    bool handleEvent(int fd, int) override {
      ::send(fd, mData, mSize, MSG_NOSIGNAL);
      return false;
    }

   private:
    char mData[kMessageSize];
    size_t mSize;
  };

  class Reader : public ZvIO::HandlerBase {
   public:
    explicit Reader(ZvEchoServer& server) : mServer(server) {}
    bool handleEvent(int fd, int) override {
      char buffer[kMessageSize];
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) {
        ZvIO::DescriptorDevice(&mServer.mDispatcher, fd).close();
        --mServer.mOpen;
        return false;
      }
      if (mServer.mQueuedWriter) {
        mServer.mDispatcher.doEnqueueEvent(fd, new Writer(buffer, static_cast<size_t>(n)), ZvIO::kPollOut);
      } else {
        ::send(fd, buffer, static_cast<size_t>(n), MSG_NOSIGNAL);
      }
      return true;
    }

   private:
    ZvEchoServer& mServer;
  };

  ZvIO::Dispatcher mDispatcher;
  int mOpen;
  bool mQueuedWriter;
};

// ---- hand-written epoll server ----------------------------------------------

void runEpollServer(const std::vector<int>& fds, bool armOut) {
  const int epfd = epoll_create1(EPOLL_CLOEXEC);
  struct Pending {
    char data[kMessageSize];
    size_t size = 0;
  };
  std::vector<Pending> pending(1024);
  for (int fd : fds) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    epoll_ctl(epfd, EPOLL_CTL_ADD, fd, &event);
  }
  int open = static_cast<int>(fds.size());
  epoll_event events[64];
  while (open > 0) {
    const int count = epoll_wait(epfd, events, 64, -1);
    for (int i = 0; i < count; ++i) {
      const int fd = events[i].data.fd;
      Pending& slot = pending[static_cast<size_t>(fd)];
      if (events[i].events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
        const ssize_t n = ::recv(fd, slot.data, sizeof slot.data, 0);
        if (n <= 0) {
          epoll_ctl(epfd, EPOLL_CTL_DEL, fd, nullptr);
          ::close(fd);
          --open;
          continue;
        }
        if (!armOut) {
          ::send(fd, slot.data, static_cast<size_t>(n), MSG_NOSIGNAL);
          continue;
        }
        slot.size = static_cast<size_t>(n);
        epoll_event event{};
        event.events = EPOLLIN | EPOLLOUT;
        event.data.fd = fd;
        epoll_ctl(epfd, EPOLL_CTL_MOD, fd, &event);
      } else if ((events[i].events & EPOLLOUT) && slot.size != 0) {
        ::send(fd, slot.data, slot.size, MSG_NOSIGNAL);
        slot.size = 0;
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = fd;
        epoll_ctl(epfd, EPOLL_CTL_MOD, fd, &event);
      }
    }
  }
  ::close(epfd);
}

int64_t threadCpuNs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// ---- the common client ----------------------------------------------------

enum class ServerKind { kZvQueuedWriter, kEpollArmedOut, kZvDirect, kEpollDirect };

void runEcho(benchmark::State& state, ServerKind kind) {
  const int connections = static_cast<int>(state.range(0));
  std::vector<int> clients;
  std::vector<int> servers;
  if (!sockweave_bench::makeConnections(connections, clients, servers)) {
    state.SkipWithError("no loopback connections");
    return;
  }
  int64_t serverCpuNs = 0;
  std::thread server([&] {
    const int64_t cpuStart = threadCpuNs();
    switch (kind) {
      case ServerKind::kZvQueuedWriter: ZvEchoServer(servers, true).run(); break;
      case ServerKind::kZvDirect: ZvEchoServer(servers, false).run(); break;
      case ServerKind::kEpollArmedOut: runEpollServer(servers, true); break;
      case ServerKind::kEpollDirect: runEpollServer(servers, false); break;
    }
    serverCpuNs = threadCpuNs() - cpuStart;
  });
  char message[kMessageSize];
  std::memset(message, 'm', sizeof message);
  char reply[kMessageSize];
  for (auto _ : state) {
    for (int fd : clients) ::send(fd, message, sizeof message, MSG_NOSIGNAL);
    for (int fd : clients) ::recv(fd, reply, sizeof reply, MSG_WAITALL);
  }
  for (int fd : clients) ::close(fd);
  server.join();
  const double roundTrips = static_cast<double>(state.iterations()) * connections;
  state.counters["round_trips"] = benchmark::Counter(roundTrips, benchmark::Counter::kIsRate);
  // CPU the server loop spent per round trip: the loop's own cost, which
  // scheduling noise on a busy machine does not blur as much as wall time.
  state.counters["server_cpu_ns"] = roundTrips > 0 ? static_cast<double>(serverCpuNs) / roundTrips : 0;
}

void BM_Echo_ZvIO_QueuedWriter(benchmark::State& state) { runEcho(state, ServerKind::kZvQueuedWriter); }
void BM_Echo_Epoll_ArmedOut(benchmark::State& state) { runEcho(state, ServerKind::kEpollArmedOut); }
void BM_Echo_ZvIO_Direct(benchmark::State& state) { runEcho(state, ServerKind::kZvDirect); }
void BM_Echo_Epoll_Direct(benchmark::State& state) { runEcho(state, ServerKind::kEpollDirect); }

BENCHMARK(BM_Echo_ZvIO_QueuedWriter)->Arg(1)->Arg(100)->UseRealTime();
BENCHMARK(BM_Echo_Epoll_ArmedOut)->Arg(1)->Arg(100)->UseRealTime();
BENCHMARK(BM_Echo_ZvIO_Direct)->Arg(1)->Arg(100)->UseRealTime();
BENCHMARK(BM_Echo_Epoll_Direct)->Arg(1)->Arg(100)->UseRealTime();

}  // namespace
