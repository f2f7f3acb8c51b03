// Movie files and player executables from outside, as a script's getMovieInfo reads them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "host/hostobjects/movie_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexil::hostobjects::readMovieInfo(std::span<const uint8_t>(data, size), size_t(1) << 20);
  return 0;
}
