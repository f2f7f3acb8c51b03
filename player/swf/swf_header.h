#pragma once
// The fixed start of every movie: signature, version, file length, and (after the optional zlib
// body) the frame rectangle, frame rate and frame count.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vexil::swf {

struct TwipsRect {
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

// Twips to whole pixels: one pixel is 20 twips and the fraction is dropped (toward zero).
inline int32_t twipsToPixels(int32_t twips) { return twips / 20; }

struct SwfHeader {
  char signature = 'F';      // 'F' plain, 'C' zlib-compressed after the first eight bytes
  uint8_t version = 0;
  uint32_t fileLength = 0;   // as the header states it
  TwipsRect frameRect;
  uint16_t frameRate = 0;    // 8.8 fixed point frames per second
  uint16_t frameCount = 0;

  bool compressed() const { return signature == 'C'; }
  unsigned wholeFrameRate() const { return frameRate >> 8; }
  double framesPerSecond() const { return frameRate / 256.0; }
};

struct ReadLimits {
  // Upper bound for the movie's uncompressed size; the header's length can claim up to 4 GiB and a
  // small zlib stream can expand to that, so neither is trusted.
  size_t maxMovieBytes = 64u << 20;
};

// The whole movie as plain bytes, the first eight being the original header (with 'F' in place of
// 'C'), and the header fields read from it. Throws SwfError.
struct DecodedMovie {
  SwfHeader header;
  std::vector<uint8_t> bytes;
  size_t tagsOffset = 0;  // where the tag stream starts in bytes
};

DecodedMovie decodeMovie(std::span<const uint8_t> file, const ReadLimits& limits);

}  // namespace vexil::swf
