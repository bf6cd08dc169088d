// zvtrace: lists and calls the trace commands that a process serves on a
// local socket (ZvTraceServer).
//   zvtrace SOCKET list
//   zvtrace SOCKET call NAME [ARG...]
// Exit status: 0 on success, 1 for an unknown command or a failed request,
// 2 for wrong usage.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/trace_client/zv_trace_server.h"

int main(int argc, char** argv) {
  const bool isList = argc == 3 && std::strcmp(argv[2], "list") == 0;
  const bool isCall = argc >= 4 && std::strcmp(argv[2], "call") == 0;
  if (!isList && !isCall) {
    std::fprintf(stderr, "usage: %s SOCKET list | %s SOCKET call NAME [ARG...]\n", argv[0], argv[0]);
    return 2;
  }
  std::vector<CZvString> fields;
  for (int i = 2; i < argc; ++i) fields.emplace_back(argv[i]);
  std::vector<CZvString> answer;
  if (!ZvTraceServer::request(argv[1], fields, answer)) {
    std::fprintf(stderr, "zvtrace: no answer from %s\n", argv[1]);
    return 1;
  }
  size_t first = 0;
  if (isCall) {
    if (answer.empty() || answer[0] != "ok") {
      std::fprintf(stderr, "zvtrace: %s\n", answer.empty() ? "empty answer" : answer[0].c_str());
      return 1;
    }
    first = 1;
  }
  for (size_t i = first; i < answer.size(); ++i) std::printf("%s\n", answer[i].c_str());
  return 0;
}
