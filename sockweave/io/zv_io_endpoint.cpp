#include "sockweave/io/zv_io_endpoint.h"

#include <arpa/inet.h>
#include <stdio.h>

#include <cstddef>
#include <cstring>

#include "platform/basalt/zv_assert.h"

namespace ZvIO {
namespace IPv4 {

namespace {
constexpr const char* kAssertSource = "IPv4";
constexpr int kNullTextLine = 20;

// inet_addr() with INADDR_NONE for malformed text told apart from the
// literal broadcast address. False for malformed text.
bool parseAddress(const char* text, in_addr_t* result) {
  *result = ::inet_addr(text);
  return *result != INADDR_NONE || std::strcmp(text, "255.255.255.255") == 0;
}

// A decimal port of 1 to 5 digits, at most 65535.
bool parsePort(const char* text, uint16_t* port) {
  uint32_t value = 0;
  size_t digits = 0;
  for (; text[digits] != '\0'; ++digits) {
    const char c = text[digits];
    if (c < '0' || c > '9' || digits == 5) return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  if (digits == 0 || value > 0xFFFF) return false;
  *port = static_cast<uint16_t>(value);
  return true;
}
}  // namespace

Endpoint::Endpoint() { std::memset(&mAddress, 0, sizeof mAddress); }

Endpoint::Endpoint(const char* address, uint16_t port) : Endpoint() {
  if (address == nullptr) {
    doCheapAssert(__LINE__, kAssertSource);
    return;
  }
  in_addr_t parsed = 0;
  if (!parseAddress(address, &parsed)) return;
  mAddress.sin_family = AF_INET;
  mAddress.sin_addr.s_addr = parsed;
  mAddress.sin_port = htons(port);
}

Endpoint::Endpoint(const char* text) : Endpoint() {
  if (text == nullptr) {
    doCheapAssert(kNullTextLine, kAssertSource);
    return;
  }
  char copy[kMaxTextLength + 1];
  const size_t length = strnlen(text, kMaxTextLength + 1);
  // A longer text cut short could name another port; refuse it instead.
  if (length > kMaxTextLength) return;
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  char* colon = std::strrchr(copy, ':');
  if (colon == nullptr) return;
  *colon = '\0';
  in_addr_t parsed = 0;
  uint16_t port = 0;
  if (!parseAddress(copy, &parsed) || !parsePort(colon + 1, &port)) return;
  mAddress.sin_family = AF_INET;
  mAddress.sin_addr.s_addr = parsed;
  mAddress.sin_port = htons(port);
}

void Endpoint::set(uint32_t address, uint16_t port) {
  mAddress.sin_family = AF_INET;
  mAddress.sin_addr.s_addr = htonl(address);
  mAddress.sin_port = htons(port);
}

void Endpoint::toString(char (&buffer)[kTextSize]) const {
  char address[INET_ADDRSTRLEN] = "0.0.0.0";
  ::inet_ntop(AF_INET, &mAddress.sin_addr, address, sizeof address);
  snprintf(buffer, kTextSize, "%s:%d", address, static_cast<int>(getPort()));
}

bool Endpoint::isUnspecified() const {
  static const sockaddr_in kZero{};
  return std::memcmp(&mAddress, &kZero, sizeof mAddress) == 0;
}

}  // namespace IPv4

namespace Unix {

namespace {
constexpr const char* kAssertSource = "Unix";
constexpr int kNullPathLine = 15;
constexpr int kLongNameLine = 26;
}  // namespace

Endpoint::Endpoint(const char* path) : mSize(sizeof(sa_family_t)) {
  std::memset(&mAddress, 0, sizeof mAddress);
  if (path == nullptr) {
    doCheapAssert(kNullPathLine, kAssertSource);
    return;
  }
  constexpr size_t kPathOffset = offsetof(sockaddr_un, sun_path);
  if (path[0] == '\0') {
    const char* name = path + 1;
    const size_t length = strnlen(name, kMaxAbstractLength + 1);
    if (length > kMaxAbstractLength) {
      doCheapAssert(kLongNameLine, kAssertSource);
      return;
    }
    mAddress.sun_family = AF_UNIX;
    std::memcpy(mAddress.sun_path + 1, name, length);
    mSize = static_cast<socklen_t>(kPathOffset + 1 + length);
    return;
  }
  const size_t length = strnlen(path, kMaxPathLength + 1);
  if (length > kMaxPathLength) {
    // Cutting the path short would name another socket.
    doCheapAssert(kLongNameLine, kAssertSource);
    return;
  }
  mAddress.sun_family = AF_UNIX;
  std::memcpy(mAddress.sun_path, path, length);
  mSize = static_cast<socklen_t>(kPathOffset + length + 1);
}

}  // namespace Unix
}  // namespace ZvIO
