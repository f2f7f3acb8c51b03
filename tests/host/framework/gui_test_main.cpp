// The entry of the host's window tests: they need the virtual display, and without one the whole
// executable reports itself skipped (exit code 77) instead of failing.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) {
    std::printf("no display: skipped\n");
    return 77;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
