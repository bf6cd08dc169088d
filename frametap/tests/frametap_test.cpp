#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/capture/capture.h"
#include "platform/capture/capture_recorder.h"
#include "platform/communication/comm_log.h"
#include "platform/communication/process_name.h"

namespace {

struct LogLine {
  communication::LogLevel level;
  std::string text;
};

void collect(communication::LogLevel level, const char* text, void* context) {
  static_cast<std::vector<LogLine>*>(context)->push_back({level, text});
}

// The capture API as libframetap exports it, looked up in its handle.
struct CaptureApi {
  decltype(&capture_create_context) createContext;
  decltype(&capture_destroy_context) destroyContext;
  decltype(&capture_create_buffers) createBuffers;
  decltype(&capture_abort_context) abortContext;
  decltype(&capture_is_property) isProperty;
  decltype(&capture_set_property_i) setPropertyI;
  decltype(&capture_set_property_p) setPropertyP;
  decltype(&capture_get_property_i) getPropertyI;
  decltype(&capture_get_property_p) getPropertyP;
  decltype(&capture_update) update;
  decltype(&capture_get_frame) getFrame;
  decltype(&capture_release_frame) releaseFrame;
  decltype(&capture_put_buffer) putBuffer;
};

template <typename Function>
void lookUp(void* handle, const char* symbol, Function* function) {
  *function = reinterpret_cast<Function>(dlsym(handle, symbol));
}

// Loads libframetap with CAPTURE_LIB set to |captureLib| (unset for null)
// and captures its log lines and what it writes to standard error.
class FrametapTest : public testing::Test {
 protected:
  void load(const char* captureLib) {
    if (captureLib) {
      setenv("CAPTURE_LIB", captureLib, 1);
    } else {
      unsetenv("CAPTURE_LIB");
    }
    capture_recorder_reset();
    communication::setLogSink(&collect, &lines_);

    fflush(stderr);
    int savedStderr = dup(STDERR_FILENO);
    FILE* errors = tmpfile();
    dup2(fileno(errors), STDERR_FILENO);
    handle_ = dlopen(FRAMETAP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    fflush(stderr);
    dup2(savedStderr, STDERR_FILENO);
    close(savedStderr);
    rewind(errors);
    char buffer[512];
    while (fgets(buffer, sizeof(buffer), errors)) stderrText_ += buffer;
    fclose(errors);

    ASSERT_NE(handle_, nullptr) << dlerror();
    lookUp(handle_, "capture_create_context", &api_.createContext);
    lookUp(handle_, "capture_destroy_context", &api_.destroyContext);
    lookUp(handle_, "capture_create_buffers", &api_.createBuffers);
    lookUp(handle_, "capture_abort_context", &api_.abortContext);
    lookUp(handle_, "capture_is_property", &api_.isProperty);
    lookUp(handle_, "capture_set_property_i", &api_.setPropertyI);
    lookUp(handle_, "capture_set_property_p", &api_.setPropertyP);
    lookUp(handle_, "capture_get_property_i", &api_.getPropertyI);
    lookUp(handle_, "capture_get_property_p", &api_.getPropertyP);
    lookUp(handle_, "capture_update", &api_.update);
    lookUp(handle_, "capture_get_frame", &api_.getFrame);
    lookUp(handle_, "capture_release_frame", &api_.releaseFrame);
    lookUp(handle_, "capture_put_buffer", &api_.putBuffer);
  }

  void unload() {
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
  }

  void TearDown() override {
    unload();
    communication::setLogSink(nullptr, nullptr);
    unsetenv("CAPTURE_LIB");
  }

  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const LogLine& line : lines_) result.push_back(line.text);
    return result;
  }

  std::vector<std::string> recordedFunctions() const {
    std::vector<std::string> result;
    capture_call_record record;
    for (size_t i = 0; capture_recorder_get_call(i, &record) == 0; ++i) {
      result.push_back(record.function);
    }
    return result;
  }

  // "[libcapture] pid = <pid>" followed by |rest|.
  static std::string line(const std::string& rest) {
    return "[libcapture] pid = " + std::to_string(getpid()) + rest;
  }

  static std::string pointerText(const void* pointer) {
    char text[32];
    snprintf(text, sizeof(text), "%p", pointer);
    return text;
  }

  static std::string processName() {
    char name[256];
    communication::getPidNameForId(getpid(), name, sizeof(name));
    return name;
  }

  void* handle_ = nullptr;
  CaptureApi api_{};
  std::vector<LogLine> lines_;
  std::string stderrText_;
};

TEST_F(FrametapTest, LoadingTracesItsStepsAndUnloadingSaysDestroy) {
  load(CAPTURE_LIBRARY);
  EXPECT_EQ(texts(), (std::vector<std::string>{
                         line(":" + processName() + " init"),
                         line(std::string(": loaded ") + CAPTURE_LIBRARY),
                         line(", init load"),
                         line(", init complete"),
                     }));
  EXPECT_EQ(stderrText_, "");
  lines_.clear();
  unload();
  EXPECT_EQ(texts(), std::vector<std::string>{line(": destroy")});
}

TEST_F(FrametapTest, EveryFunctionIsForwardedWithItsArgumentsAndResult) {
  load(CAPTURE_LIBRARY);
  lines_.clear();
  const uint32_t abcd = CAPTURE_PROPERTY('A', 'B', 'C', 'D');

  capture_context_t context = api_.createContext(5);
  ASSERT_NE(context, nullptr);
  std::string ctx = pointerText(context);
  EXPECT_EQ(api_.isProperty(context, CAPTURE_PROPERTY_WIDTH), 1);
  EXPECT_EQ(api_.isProperty(context, abcd), 0);
  EXPECT_EQ(api_.setPropertyI(context, CAPTURE_PROPERTY_WIDTH, 64), 0);
  EXPECT_EQ(api_.setPropertyI(context, CAPTURE_PROPERTY_HEIGHT, 48), 0);
  EXPECT_EQ(api_.setPropertyI(context, CAPTURE_PROPERTY_ENABLE, 1), 0);
  int userData = 0;
  EXPECT_EQ(api_.setPropertyP(context, CAPTURE_PROPERTY_USER_DATA, &userData), 0);
  EXPECT_EQ(api_.createBuffers(context, CAPTURE_PROPERTY_FRAME_BUFFERS), 0);
  int32_t width = 0;
  EXPECT_EQ(api_.getPropertyI(context, CAPTURE_PROPERTY_WIDTH, &width), 0);
  EXPECT_EQ(width, 64);
  void* pointer = nullptr;
  EXPECT_EQ(api_.getPropertyP(context, CAPTURE_PROPERTY_USER_DATA, &pointer), 0);
  EXPECT_EQ(pointer, &userData);
  EXPECT_EQ(api_.update(context, 2), 0);
  EXPECT_EQ(api_.getFrame(context, 1000000, 0), 0);  // Success: no trace line.
  EXPECT_EQ(api_.getFrame(context, CAPTURE_TIMEOUT_INFINITE, 0), 1);
  EXPECT_EQ(api_.releaseFrame(context, 0), 0);
  EXPECT_EQ(api_.putBuffer(context, 1, 3), 0);
  EXPECT_EQ(api_.abortContext(context), 0);
  api_.destroyContext(context);

  EXPECT_EQ(recordedFunctions(),
            (std::vector<std::string>{
                "capture_create_context", "capture_is_property", "capture_is_property",
                "capture_set_property_i", "capture_set_property_i", "capture_set_property_i",
                "capture_set_property_p", "capture_create_buffers", "capture_get_property_i",
                "capture_get_property_p", "capture_update", "capture_get_frame",
                "capture_get_frame", "capture_release_frame", "capture_put_buffer",
                "capture_abort_context", "capture_destroy_context"}));
  // Arguments arrive unchanged, the 64-bit time-out included.
  capture_call_record record;
  ASSERT_EQ(capture_recorder_get_call(0, &record), 0);
  EXPECT_EQ(record.args[0], 5u);
  ASSERT_EQ(capture_recorder_get_call(12, &record), 0);
  EXPECT_EQ(record.args[0], reinterpret_cast<uintptr_t>(context));
  EXPECT_EQ(record.args[1], CAPTURE_TIMEOUT_INFINITE);
  ASSERT_EQ(capture_recorder_get_call(14, &record), 0);
  EXPECT_EQ(record.args[1], 1u);
  EXPECT_EQ(record.args[2], 3u);

  EXPECT_EQ(texts(),
            (std::vector<std::string>{
                line(": capture_create_context flags = 5"),
                line(": capture_set_property_i " + ctx + " WIDT=64"),
                line(": capture_set_property_i " + ctx + " HEIG=48"),
                line(": capture_set_property_i " + ctx + " ENAB=1"),
                line(": capture_set_property_p " + ctx + " USER=" + pointerText(&userData)),
                line(": capture_create_buffers " + ctx + "property = " +
                     std::to_string(static_cast<int>(CAPTURE_PROPERTY_FRAME_BUFFERS))),
                line(": capture_update " + ctx + " flags=2"),
                line(": capture_put_buffer " + ctx + " idx=1, flags=3"),
                line(": capture_abort_context " + ctx),
                line(": capture_destroy_context " + ctx),
            }));
}

TEST_F(FrametapTest, PropertyCodesAreTracedLowByteFirst) {
  load(CAPTURE_LIBRARY);
  capture_context_t context = api_.createContext(0);
  std::string ctx = pointerText(context);
  lines_.clear();
  struct Case {
    uint32_t property;
    std::string shown;
  } cases[] = {
      {CAPTURE_PROPERTY('A', 'B', 'C', 'D'), "ABCD"},
      {0x44434241u, "ABCD"},
      // A NUL or control byte would cut or break the line.
      {CAPTURE_PROPERTY('A', '\0', '\n', 'D'), "A..D"},
  };
  for (const Case& c : cases) {
    errno = 0;
    // Unknown to the capture library: its -1 and errno reach the caller.
    EXPECT_EQ(api_.setPropertyI(context, c.property, -7), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(texts().back(), line(": capture_set_property_i " + ctx + " " + c.shown + "=-7"));
  }
  api_.destroyContext(context);
}

TEST_F(FrametapTest, FailedFrameWaitIsTracedWithErrnoAndReachesTheCaller) {
  load(CAPTURE_LIBRARY);
  capture_context_t context = api_.createContext(0);
  lines_.clear();
  capture_recorder_fail_next("capture_get_frame", ETIMEDOUT);
  errno = 0;
  EXPECT_EQ(api_.getFrame(context, 500, 4), -1);
  EXPECT_EQ(errno, ETIMEDOUT);
  EXPECT_EQ(texts(), std::vector<std::string>{line(": capture_get_frame " + pointerText(context) +
                                                   " flags=4, ERROR = " +
                                                   std::to_string(ETIMEDOUT) + ":" +
                                                   strerror(ETIMEDOUT))});
  // Other failures pass through untouched as well.
  capture_recorder_fail_next("capture_create_context", ENODEV);
  errno = 0;
  EXPECT_EQ(api_.createContext(1), nullptr);
  EXPECT_EQ(errno, ENODEV);
  api_.destroyContext(context);
}

// Every function of a layer without the real function: the API's error
// result and ENOSYS.
void expectAllUnavailable(const CaptureApi& api) {
  capture_context_t context = reinterpret_cast<capture_context_t>(0x1000);
  int32_t integer = 0;
  void* pointer = nullptr;
  struct Case {
    const char* function;
    int result;
  } cases[] = {
      {"create_buffers", api.createBuffers(context, 1)},
      {"abort_context", api.abortContext(context)},
      {"is_property", api.isProperty(context, 1)},
      {"set_property_i", api.setPropertyI(context, 1, 2)},
      {"set_property_p", api.setPropertyP(context, 1, nullptr)},
      {"get_property_i", api.getPropertyI(context, 1, &integer)},
      {"get_property_p", api.getPropertyP(context, 1, &pointer)},
      {"update", api.update(context, 0)},
      {"get_frame", api.getFrame(context, 0, 0)},
      {"release_frame", api.releaseFrame(context, 0)},
      {"put_buffer", api.putBuffer(context, 0, 0)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.result, strcmp(c.function, "is_property") == 0 ? 0 : -1) << c.function;
  }
  // errno of each call, one by one.
  errno = 0;
  api.update(context, 0);
  EXPECT_EQ(errno, ENOSYS);
  errno = 0;
  api.isProperty(context, 1);
  EXPECT_EQ(errno, ENOSYS);
}

TEST_F(FrametapTest, WithoutCaptureLibVariableEveryFunctionFailsCleanly) {
  load(nullptr);
  EXPECT_EQ(texts(), (std::vector<std::string>{
                         line(":" + processName() + " init"),
                         "[libcapture] ERROR pid = " + std::to_string(getpid()) + ":" +
                             processName() + " no env var CAPTURE_LIB",
                     }));
  EXPECT_EQ(lines_.back().level, communication::LogLevel::kError);
  errno = 0;
  EXPECT_EQ(api_.createContext(0), nullptr);
  EXPECT_EQ(errno, ENOSYS);
  errno = 0;
  api_.destroyContext(reinterpret_cast<capture_context_t>(0x1000));
  EXPECT_EQ(errno, ENOSYS);
  expectAllUnavailable(api_);
  EXPECT_EQ(capture_recorder_call_count(), 0u);
}

TEST_F(FrametapTest, UnloadableLibraryIsReportedWithTheLoaderMessage) {
  load("/nonexistent/libcapture.so");
  ASSERT_EQ(lines_.size(), 2u);
  EXPECT_EQ(lines_[1].level, communication::LogLevel::kError);
  std::string expectedStart =
      line(":" + processName() + " ERROR /nonexistent/libcapture.so: /nonexistent/libcapture.so");
  EXPECT_EQ(lines_[1].text.substr(0, expectedStart.size()), expectedStart) << lines_[1].text;
  expectAllUnavailable(api_);
}

TEST_F(FrametapTest, MissingSymbolsAreReportedAndTheRestStillForward) {
  load(PARTIAL_CAPTURE_LIBRARY);
  EXPECT_EQ(texts().back(), line(", init complete"));
  // One standard-error line per missing symbol, in resolving order.
  const char* missing[] = {"capture_create_buffers", "capture_abort_context",
                           "capture_is_property",    "capture_set_property_i",
                           "capture_set_property_p", "capture_get_property_i",
                           "capture_get_property_p", "capture_update",
                           "capture_get_frame",      "capture_release_frame",
                           "capture_put_buffer"};
  size_t at = 0;
  for (const char* symbol : missing) {
    std::string expected = "[] pid=" + std::to_string(getpid()) + " ERROR: lib_init " + symbol + ": ";
    size_t found = stderrText_.find(expected, at);
    ASSERT_NE(found, std::string::npos) << symbol << "\n" << stderrText_;
    at = found + expected.size();
  }
  EXPECT_NE(api_.createContext(0), nullptr);  // Present: forwarded.
  expectAllUnavailable(api_);
}

}  // namespace
