#include "platform/trace_client/zv_trace_server.h"

#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/trace_client/zv_trace_callback.h"

namespace ZvTraceServer {
namespace {
constexpr size_t kMaxRequest = 64 * 1024;

struct Server {
  std::mutex mutex;
  pthread_t thread{};
  std::atomic<bool> stopping{false};
  int listenFd = -1;
  std::string path;
};

Server& server() {
  static Server* instance = new Server();  // never destroyed: may be stopped during exit
  return *instance;
}

bool fillAddress(const char* path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof(address));
  address.sun_family = AF_UNIX;
  if (path == nullptr || std::strlen(path) >= sizeof(address.sun_path)) return false;
  std::strncpy(address.sun_path, path, sizeof(address.sun_path) - 1);
  return true;
}

bool writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string flatten(const CZvString& text) {
  std::string result = text.toStdString();
  for (char& c : result) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return result;
}

std::vector<std::string> splitFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return fields;
}

std::string answerLine(const std::string& line) {
  const std::vector<std::string> fields = splitFields(line);
  std::string out;
  if (fields[0] == "list") {
    for (const CZvString& name : ZvTraceCommands::list()) {
      out += flatten(ZvTraceCommands::describe(name.c_str())) + "\n";
    }
  } else if (fields[0] == "call" && fields.size() >= 2) {
    std::vector<CZvString> args(fields.begin() + 2, fields.end());
    bool found = false;
    const std::vector<CZvString> returned = ZvTraceCommands::call(fields[1].c_str(), args, &found);
    out += found ? "ok\n" : "unknown command\n";
    for (const CZvString& text : returned) out += flatten(text) + "\n";
  } else {
    out += "bad request\n";
  }
  return out + ".\n";
}

void serveClient(int fd) {
  std::string buffer;
  char chunk[1024];
  while (!server().stopping.load()) {
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, 100);
    if (ready < 0) break;
    if (ready == 0) continue;
    const ssize_t n = ::recv(fd, chunk, sizeof(chunk), 0);
    if (n <= 0) break;
    buffer.append(chunk, static_cast<size_t>(n));
    size_t eol;
    while ((eol = buffer.find('\n')) != std::string::npos) {
      const std::string line = buffer.substr(0, eol);
      buffer.erase(0, eol + 1);
      if (!writeAll(fd, answerLine(line))) return;
    }
    if (buffer.size() > kMaxRequest) break;  // a line that never ends: drop the client
  }
}

void* serveLoop(void* arg) {
  const int listenFd = static_cast<int>(reinterpret_cast<intptr_t>(arg));
  while (!server().stopping.load()) {
    pollfd p{listenFd, POLLIN, 0};
    const int ready = ::poll(&p, 1, 100);
    if (ready <= 0) continue;
    const int fd = ::accept(listenFd, nullptr, nullptr);
    if (fd < 0) continue;
    serveClient(fd);  // one client at a time keeps this small; commands are short
    ::close(fd);
  }
  return nullptr;
}
}  // namespace

CZvString answerRequest(const CZvString& line) { return CZvString(answerLine(line.toStdString())); }

bool start(const char* path) {
  Server& s = server();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.listenFd >= 0) return false;
  sockaddr_un address;
  if (!fillAddress(path, address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ::unlink(path);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 4) != 0) {
    ::close(fd);
    return false;
  }
  s.listenFd = fd;
  s.path = path;
  s.stopping.store(false);
  // pthread_create reports failure by its result, where std::thread throws.
  if (pthread_create(&s.thread, nullptr, serveLoop, reinterpret_cast<void*>(static_cast<intptr_t>(fd))) !=
      0) {
    ::close(fd);
    ::unlink(path);
    s.listenFd = -1;
    return false;
  }
  return true;
}

void stop() {
  Server& s = server();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.listenFd < 0) return;
  s.stopping.store(true);
  pthread_join(s.thread, nullptr);
  ::close(s.listenFd);
  ::unlink(s.path.c_str());
  s.listenFd = -1;
}

bool isRunning() {
  Server& s = server();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.listenFd >= 0;
}

bool request(const char* path, const std::vector<CZvString>& fields, std::vector<CZvString>& answerLines) {
  answerLines.clear();
  sockaddr_un address;
  if (fields.empty() || !fillAddress(path, address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return false;
  }
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    line += flatten(fields[i]);
  }
  line += '\n';
  bool complete = false;
  if (writeAll(fd, line)) {
    std::string buffer;
    char chunk[1024];
    ssize_t n;
    while (!complete && (n = ::recv(fd, chunk, sizeof(chunk), 0)) > 0) {
      buffer.append(chunk, static_cast<size_t>(n));
      size_t eol;
      while ((eol = buffer.find('\n')) != std::string::npos) {
        const std::string text = buffer.substr(0, eol);
        buffer.erase(0, eol + 1);
        if (text == ".") {
          complete = true;
          break;
        }
        answerLines.emplace_back(text);
      }
    }
  }
  ::close(fd);
  return complete;
}
}  // namespace ZvTraceServer
