#include "platform/communication/dyn_lib.h"

#include <gtest/gtest.h>

#include <string>

namespace communication {
namespace {

TEST(DynLibTest, SuccessClearsTheErrorText) {
  DynLib library;
  ASSERT_TRUE(library.open(COMM_DYNLIB_FIXTURE));
  EXPECT_EQ(library.error(), nullptr);
  auto answer = reinterpret_cast<int (*)()>(library.loadFunc("comm_fixture_answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(library.error(), nullptr);
  EXPECT_EQ(answer(), 42);

  // A failure sets the text, the next success clears it again.
  EXPECT_EQ(library.loadFunc("comm_fixture_missing"), nullptr);
  ASSERT_NE(library.error(), nullptr);
  EXPECT_NE(std::string(library.error()).find("comm_fixture_missing"), std::string::npos);
  EXPECT_NE(library.loadFunc("comm_fixture_answer"), nullptr);
  EXPECT_EQ(library.error(), nullptr);
  library.close();
  EXPECT_FALSE(library.isOpen());
}

TEST(DynLibTest, FailuresCarryTheLoaderMessage) {
  DynLib library;
  EXPECT_EQ(library.loadFunc("anything"), nullptr);  // Nothing loaded yet.
  EXPECT_NE(library.error(), nullptr);

  EXPECT_FALSE(library.open("/nonexistent/libmissing.so"));
  ASSERT_NE(library.error(), nullptr);
  EXPECT_NE(std::string(library.error()).find("/nonexistent/libmissing.so"), std::string::npos);

  EXPECT_FALSE(library.open(nullptr));
  EXPECT_NE(library.error(), nullptr);
  library.close();  // Closing with nothing open is harmless.
}

}  // namespace
}  // namespace communication
