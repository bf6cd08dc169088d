// Loopback TCP connections for the benchmarks.
#ifndef SOCKWEAVE_BENCH_BENCH_SUPPORT_H
#define SOCKWEAVE_BENCH_BENCH_SUPPORT_H

#include <vector>

namespace sockweave_bench {

// count connected loopback TCP pairs with TCP_NODELAY on both ends.
// clients[i] is connected to servers[i]. False on failure.
bool makeConnections(int count, std::vector<int>& clients, std::vector<int>& servers);

}  // namespace sockweave_bench

#endif  // SOCKWEAVE_BENCH_BENCH_SUPPORT_H
