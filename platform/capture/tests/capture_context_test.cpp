#include <gtest/gtest.h>

#include <cerrno>

#include "platform/capture/capture.h"
#include "platform/capture/capture_recorder.h"

namespace {

// A context with two 8x8 buffers, started.
capture_context_t startedContext() {
  capture_context_t context = capture_create_context(0);
  capture_set_property_i(context, CAPTURE_PROPERTY_WIDTH, 8);
  capture_set_property_i(context, CAPTURE_PROPERTY_HEIGHT, 8);
  capture_set_property_i(context, CAPTURE_PROPERTY_ENABLE, 1);
  capture_create_buffers(context, CAPTURE_PROPERTY_FRAME_BUFFERS);
  capture_update(context, 0);
  return context;
}

TEST(CaptureContextTest, FramesComeFromFreeBuffersInTurn) {
  capture_context_t context = startedContext();
  void* buffers = nullptr;
  ASSERT_EQ(capture_get_property_p(context, CAPTURE_PROPERTY_FRAME_BUFFERS, &buffers), 0);
  EXPECT_NE(static_cast<void**>(buffers)[1], nullptr);

  EXPECT_EQ(capture_get_frame(context, 0, 0), 0);
  EXPECT_EQ(capture_get_frame(context, 0, 0), 1);
  // Both held: no frame can come.
  errno = 0;
  EXPECT_EQ(capture_get_frame(context, 0, 0), -1);
  EXPECT_EQ(errno, ETIMEDOUT);
  EXPECT_EQ(capture_release_frame(context, 1), 0);
  EXPECT_EQ(capture_get_frame(context, 0, 0), 1);
  // Releasing a frame not held, or out of range, is an error.
  EXPECT_EQ(capture_release_frame(context, 2), -1);
  EXPECT_EQ(capture_release_frame(context, 0), 0);
  EXPECT_EQ(capture_release_frame(context, 0), -1);
  EXPECT_EQ(errno, EINVAL);

  EXPECT_EQ(capture_abort_context(context), 0);
  EXPECT_EQ(capture_get_frame(context, 0, 0), -1);
  EXPECT_EQ(errno, ECANCELED);
  capture_destroy_context(context);
}

TEST(CaptureContextTest, ConfigurationErrors) {
  capture_context_t context = capture_create_context(0);
  struct Case {
    const char* what;
    int result;
  } cases[] = {
      {"buffers without a size", capture_create_buffers(context, CAPTURE_PROPERTY_FRAME_BUFFERS)},
      {"buffers for an integer property", capture_create_buffers(context, CAPTURE_PROPERTY_WIDTH)},
      {"unknown integer property",
       capture_set_property_i(context, CAPTURE_PROPERTY('X', 'X', 'X', 'X'), 1)},
      {"frame list is read-only",
       capture_set_property_p(context, CAPTURE_PROPERTY_FRAME_BUFFERS, nullptr)},
      {"integer read of a pointer property",
       capture_get_property_i(context, CAPTURE_PROPERTY_USER_DATA, nullptr)},
      {"frame before start", capture_get_frame(context, 0, 0)},
      {"null context", capture_update(nullptr, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, -1) << c.what;
  capture_set_property_i(context, CAPTURE_PROPERTY_ENABLE, 1);
  EXPECT_EQ(capture_update(context, 0), -1) << "enabled without buffers";
  EXPECT_EQ(capture_is_property(nullptr, CAPTURE_PROPERTY_WIDTH), 0);
  capture_destroy_context(context);
}

TEST(CaptureRecorderTest, RecordsCallsAndInjectsOneFailure) {
  capture_recorder_reset();
  capture_recorder_fail_next("capture_update", EIO);
  capture_context_t context = capture_create_context(9);
  errno = 0;
  EXPECT_EQ(capture_update(context, 3), -1);
  EXPECT_EQ(errno, EIO);
  EXPECT_EQ(capture_update(context, 3), 0);  // Used up.
  capture_destroy_context(context);

  ASSERT_EQ(capture_recorder_call_count(), 4u);
  capture_call_record record;
  ASSERT_EQ(capture_recorder_get_call(1, &record), 0);
  EXPECT_STREQ(record.function, "capture_update");
  EXPECT_EQ(record.args[1], 3u);
  EXPECT_EQ(record.result, -1);
  EXPECT_EQ(record.error, EIO);
  EXPECT_EQ(capture_recorder_get_call(4, &record), -1);
}

}  // namespace
