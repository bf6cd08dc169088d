// Bulk throughput of 64 KiB writes over loopback TCP: through
// CZvSocketStream and, as the baseline, plain send() calls. A reader thread
// drains the other end.
#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "benchmark/benchmark.h"
#include "sockweave/bench/bench_support.h"
#include "sockweave/zv_socket.h"
#include "sockweave/zv_socket_stream.h"

namespace {

constexpr size_t kChunk = 64 * 1024;

template <typename WriteChunk>
void runBulk(benchmark::State& state, WriteChunk writeChunk) {
  std::vector<int> clients;
  std::vector<int> servers;
  if (!sockweave_bench::makeConnections(1, clients, servers)) {
    state.SkipWithError("no loopback connection");
    return;
  }
  std::thread reader([fd = servers[0]] {
    std::vector<char> sink(256 * 1024);
    while (::recv(fd, sink.data(), sink.size(), 0) > 0) {
    }
    ::close(fd);
  });
  std::vector<char> chunk(kChunk, 'b');
  {
    CZvSocket socket(nullptr, clients[0]);  // closes the descriptor when done
    CZvSocketStream stream(socket);
    for (auto _ : state) {
      if (!writeChunk(stream, clients[0], chunk)) {
        state.SkipWithError("short write");
        break;
      }
    }
  }
  reader.join();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kChunk));
}

void BM_Bulk_SocketStream_64KiB(benchmark::State& state) {
  runBulk(state, [](CZvSocketStream& stream, int, const std::vector<char>& chunk) {
    return stream.write(chunk.data(), static_cast<uint32_t>(chunk.size())) == chunk.size();
  });
}

void BM_Bulk_PlainSend_64KiB(benchmark::State& state) {
  runBulk(state, [](CZvSocketStream&, int fd, const std::vector<char>& chunk) {
    size_t sent = 0;
    while (sent < chunk.size()) {
      const ssize_t n = ::send(fd, chunk.data() + sent, chunk.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return false;
      sent += static_cast<size_t>(n);
    }
    return true;
  });
}

BENCHMARK(BM_Bulk_SocketStream_64KiB)->UseRealTime();
BENCHMARK(BM_Bulk_PlainSend_64KiB)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
