#pragma once
// The facts a script can ask of a movie file without playing it: frame rectangle, rate, length,
// frame count, version and background colour. A player executable with a movie appended (the
// movie, then its length in the last four bytes) is read through the movie it carries.
#include <cstdint>
#include <optional>
#include <span>

namespace vexil::hostobjects {

struct MovieInfo {
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // pixels
  uint32_t rate = 0;                                // whole frames per second
  uint32_t size = 0;                                // the movie's length as its header states it
  uint32_t frameCount = 0;
  uint32_t version = 0;
  int64_t backgroundColor = -1;                     // 0xRRGGBB; -1 when the movie sets none
};

// Nothing when the bytes are neither a movie nor an executable carrying one, or the movie is
// damaged. Compressed movies inflate to at most maxMovieBytes.
std::optional<MovieInfo> readMovieInfo(std::span<const uint8_t> file, size_t maxMovieBytes = size_t(64) << 20);

}  // namespace vexil::hostobjects
