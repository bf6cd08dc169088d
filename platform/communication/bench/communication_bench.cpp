// Message channel round trips and PNG writing at the sizes the frame
// watchdog uses (284-byte commands, 72-pixel-wide history screenshots).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/communication/image.h"
#include "platform/communication/resource_manager.h"
#include "platform/communication/resource_manager_client.h"

namespace {

void BM_ChannelRoundTrip(benchmark::State& state) {
  std::string name = "bench-" + std::to_string(getpid());
  communication::ResourceManager server(name.c_str());
  communication::ResourceManagerClient client(name.c_str());
  if (!server.start() || !client.start()) {
    state.SkipWithError("channel did not start");
    return;
  }
  const size_t size = static_cast<size_t>(state.range(0));
  std::vector<char> message(size, 'm');
  std::vector<char> buffer(size);
  communication::IoState io;
  uint64_t id = 0;
  for (auto _ : state) {
    client.write(message.data(), message.size());
    long count = server.read(&id, buffer.data(), buffer.size(), io);
    server.write(id, buffer.data(), static_cast<unsigned long>(count));
    size_t done = 0;
    while (done < size) done += static_cast<size_t>(client.read(buffer.data() + done, size - done));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChannelRoundTrip)->Arg(284)->Arg(4096)->UseRealTime();

void BM_SavePng(benchmark::State& state) {
  const unsigned rows = static_cast<unsigned>(state.range(0));
  std::vector<unsigned char> pixels(72 * 4 * rows);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 13);
  communication::Image image(72, rows, 72 * 4, 4, communication::Image::kRgba8888, pixels.data());
  FILE* file = tmpfile();
  for (auto _ : state) {
    rewind(file);
    benchmark::DoNotOptimize(image.savePng(file));
  }
  fclose(file);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SavePng)->Arg(32)->Arg(512);

}  // namespace

BENCHMARK_MAIN();
