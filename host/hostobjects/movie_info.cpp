#include "host/hostobjects/movie_info.h"

#include "player/swf/byte_reader.h"
#include "player/swf/swf_error.h"
#include "player/swf/swf_header.h"
#include "player/swf/tag_codes.h"

namespace vexil::hostobjects {

namespace {

bool isMovieSignature(std::span<const uint8_t> bytes) {
  return bytes.size() >= 3 && (bytes[0] == 'F' || bytes[0] == 'C') && bytes[1] == 'W' && bytes[2] == 'S';
}

// The background colour: the first SetBackgroundColor before the end tag; -1 when there is none.
int64_t backgroundColor(const swf::DecodedMovie& movie) {
  swf::ByteReader tags(std::span<const uint8_t>(movie.bytes).subspan(movie.tagsOffset), swf::kErrorTagPastEnd);
  while (tags.remaining() >= 2) {
    uint16_t code = tags.u16();
    uint32_t length = code & 0x3F;
    if (length == 0x3F) length = tags.u32();
    uint16_t type = code >> 6;
    if (type == 0) break;  // End
    if (type == uint16_t(swf::TagCode::SetBackgroundColor) && length >= 3) {
      auto rgb = tags.bytes(3);
      return int64_t(rgb[0]) << 16 | int64_t(rgb[1]) << 8 | rgb[2];
    }
    tags.skip(length);
  }
  return -1;
}

std::optional<MovieInfo> readMovie(std::span<const uint8_t> file, size_t maxMovieBytes) {
  try {
    swf::DecodedMovie movie = swf::decodeMovie(file, swf::ReadLimits{maxMovieBytes});
    const swf::SwfHeader& h = movie.header;
    MovieInfo info;
    info.xMin = swf::twipsToPixels(h.frameRect.xMin);
    info.xMax = swf::twipsToPixels(h.frameRect.xMax);
    info.yMin = swf::twipsToPixels(h.frameRect.yMin);
    info.yMax = swf::twipsToPixels(h.frameRect.yMax);
    info.rate = h.wholeFrameRate();
    info.size = h.fileLength;
    info.frameCount = h.frameCount;
    info.version = h.version;
    try {
      info.backgroundColor = backgroundColor(movie);
    } catch (const swf::SwfError&) {
      // A damaged tag after the header: the header's facts stand, without a colour.
    }
    return info;
  } catch (const swf::SwfError&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<MovieInfo> readMovieInfo(std::span<const uint8_t> file, size_t maxMovieBytes) {
  if (isMovieSignature(file)) return readMovie(file, maxMovieBytes);
  // A player executable: ... movie (L bytes), then L as the last four bytes.
  if (file.size() < 12) return std::nullopt;
  size_t end = file.size();
  uint64_t length = uint64_t(file[end - 4]) | uint64_t(file[end - 3]) << 8 | uint64_t(file[end - 2]) << 16 |
                    uint64_t(file[end - 1]) << 24;
  if (length + 8 > end) return std::nullopt;
  auto movie = file.subspan(end - 8 - length, length);
  if (!isMovieSignature(movie)) return std::nullopt;
  return readMovie(movie, maxMovieBytes);
}

}  // namespace vexil::hostobjects
