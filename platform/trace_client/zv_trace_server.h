// Serves the trace commands of this process on a local (Unix domain)
// socket, so that the zvtrace tool can list and call them.
//
// Protocol, one request per line, fields separated by tabs:
//   "list"                    -> one command description per line
//   "call\t<name>\t<arg>..."  -> "ok" then one returned text per line,
//                                or "unknown command"
// Each answer ends with a line holding a single ".". Tabs and line breaks
// inside returned texts are sent as blanks. Commands run on the server's
// own thread, one at a time.
#ifndef PLATFORM_TRACE_CLIENT_ZV_TRACE_SERVER_H
#define PLATFORM_TRACE_CLIENT_ZV_TRACE_SERVER_H

#include <vector>

#include "platform/basalt/zv_string.h"

namespace ZvTraceServer {
// Starts serving on path (an existing socket file there is replaced).
// False when already serving or the socket cannot be set up.
bool start(const char* path);
// Stops serving and removes the socket file.
void stop();
bool isRunning();

// The answer to one request line (without its line end), as the server
// sends it: answer lines each ending with a line break, then ".\n".
CZvString answerRequest(const CZvString& line);

// Client side, used by the zvtrace tool: sends one request and collects the
// answer lines (without the final "."). False when the server cannot be
// reached or the answer is cut off.
bool request(const char* path, const std::vector<CZvString>& fields, std::vector<CZvString>& answer);
}  // namespace ZvTraceServer

#endif  // PLATFORM_TRACE_CLIENT_ZV_TRACE_SERVER_H
