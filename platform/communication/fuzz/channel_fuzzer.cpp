// Peers may send anything: messages of any size and content must reach the
// reader intact or cut to its buffer (never overrunning it), in order, and
// the client's byte stream must carry the server's messages without loss,
// however its reads split them.
//
// Input: byte 0 picks the server's read buffer size, byte 1 the client's
// read piece size; then messages as [length byte][bytes].
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/communication/resource_manager.h"
#include "platform/communication/resource_manager_client.h"

namespace {

struct Channel {
  Channel()
      : name("fuzz-" + std::to_string(getpid())), server(name.c_str()), client(name.c_str()) {
    if (!server.start() || !client.start()) abort();
    // Learn the client's id from a first message.
    client.write("hello", 5);
    communication::IoState state;
    char buffer[8];
    if (server.read(&clientId, buffer, sizeof(buffer), state) != 5) abort();
  }
  std::string name;
  communication::ResourceManager server;
  communication::ResourceManagerClient client;
  uint64_t clientId = 0;
};

Channel& channel() {
  static Channel* instance = new Channel;
  return *instance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  Channel& link = channel();
  const size_t readSize = data[0];
  const size_t pieceSize = data[1] % 64 + 1;
  std::vector<std::string> messages;
  for (size_t at = 2; at < size;) {
    size_t length = data[at++];
    length = length < size - at ? length : size - at;
    if (length > 0) messages.emplace_back(reinterpret_cast<const char*>(data + at), length);
    at += length;
  }

  std::vector<char> piece(pieceSize);
  for (const std::string& message : messages) {
    if (link.client.write(message.data(), message.size()) != static_cast<long>(message.size())) {
      abort();
    }
    // Guard bytes behind the buffer catch an overrun.
    std::vector<char> buffer(readSize + 16, '\x5A');
    communication::IoState state;
    uint64_t id = 0;
    long count = link.server.read(&id, buffer.data(), readSize, state);
    size_t expected = message.size() < readSize ? message.size() : readSize;
    if (count != static_cast<long>(expected) || id != link.clientId ||
        state.messageSize != message.size() || state.truncated != (expected < message.size()) ||
        memcmp(buffer.data(), message.data(), expected) != 0) {
      abort();
    }
    for (size_t i = readSize; i < buffer.size(); ++i) {
      if (buffer[i] != '\x5A') abort();
    }
    // Read back at once, so that no socket buffer fills up and blocks.
    link.server.write(id, message.data(), message.size());
    std::string received;
    while (received.size() < message.size()) {
      long count = link.client.read(piece.data(), piece.size());
      if (count <= 0 || static_cast<size_t>(count) > pieceSize) abort();
      received.append(piece.data(), static_cast<size_t>(count));
    }
    if (received != message) abort();
  }
  return 0;
}
