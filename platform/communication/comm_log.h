// Log lines of the communication library: COMM_LOG and COMM_ERROR.
//
// Every line goes to standard error as "<UTC time> <level> <text>\n". Tests
// (and tools that keep their own log) can install a sink that receives the
// formatted text instead; the sink is process-wide.
#ifndef PLATFORM_COMMUNICATION_COMM_LOG_H
#define PLATFORM_COMMUNICATION_COMM_LOG_H

namespace communication {

enum class LogLevel { kInfo, kError };

// Receives one formatted line, without timestamp and without trailing
// newline. May be called from any thread; calls are serialized, so a sink
// must not log itself.
using LogSink = void (*)(LogLevel level, const char* text, void* context);

// Installs |sink| (null restores standard error) and returns the previous
// sink with its context through the optional out-parameters.
void setLogSink(LogSink sink, void* context, LogSink* previousSink = nullptr,
                void** previousContext = nullptr);

// printf-style; lines of any length are written whole.
void logLine(LogLevel level, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace communication

#define COMM_LOG(...) ::communication::logLine(::communication::LogLevel::kInfo, __VA_ARGS__)
#define COMM_ERROR(...) ::communication::logLine(::communication::LogLevel::kError, __VA_ARGS__)

#endif  // PLATFORM_COMMUNICATION_COMM_LOG_H
