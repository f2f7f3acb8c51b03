#include "player/swf/swf_reader.h"

#include <algorithm>

#include "platform/file_system.h"
#include "platform/text_case.h"
#include "player/swf/byte_reader.h"
#include "player/swf/movie_text.h"
#include "player/swf/swf_error.h"
#include "player/swf/tag_codes.h"

namespace vexil::swf {
namespace {

struct TagHeader {
  TagCode code;
  uint32_t length;
};

TagHeader readTagHeader(ByteReader& reader) {
  uint16_t word = reader.u16();
  uint32_t length = word & kLongTagLength;
  if (length == kLongTagLength) length = reader.u32();
  return {static_cast<TagCode>(word >> 6), length};
}

uint32_t readRgb(ByteReader& reader) {
  uint32_t red = reader.u8(), green = reader.u8(), blue = reader.u8();
  return (red << 16) | (green << 8) | blue;
}

// Reads the top-level tags into frames. Sprites keep their own timelines, which this model does not
// play, so a DefineSprite is skipped whole.
void readTags(ByteReader& reader, Movie& movie) {
  const uint8_t version = movie.header.version;
  Frame current;
  bool pending = false;  // current holds something not yet closed by a ShowFrame
  while (!reader.atEnd()) {
    TagHeader tag = readTagHeader(reader);
    ByteReader body(reader.bytes(tag.length), kErrorTagPastEnd);
    if (tag.code == TagCode::End) break;
    switch (tag.code) {
      case TagCode::ShowFrame:
        movie.frames.push_back(std::move(current));
        current = Frame{};
        pending = false;
        break;
      case TagCode::SetBackgroundColor:
        if (!movie.backgroundColor) movie.backgroundColor = readRgb(body);
        break;
      case TagCode::FrameLabel:
        current.labels.push_back(movieTextToUtf8(body.cString(), version));
        pending = true;
        break;
      case TagCode::DoAction: {
        auto code = body.bytes(body.remaining());
        current.actions.push_back({{code.begin(), code.end()}, false});
        pending = true;
        break;
      }
      case TagCode::DoInitAction: {
        body.u16();  // the sprite it initialises; its actions run on the main timeline here
        auto code = body.bytes(body.remaining());
        current.actions.push_back({{code.begin(), code.end()}, true});
        pending = true;
        break;
      }
      default:
        break;
    }
  }
  if (pending) movie.frames.push_back(std::move(current));
}

}  // namespace

std::optional<size_t> Movie::findLabel(std::string_view label) const {
  for (size_t i = 0; i < frames.size(); ++i) {
    for (const std::string& name : frames[i].labels) {
      if (platform::equalsIgnoringAsciiCase(name, label)) return i;
    }
  }
  return std::nullopt;
}

ReadResult readMovie(std::span<const uint8_t> file, const ReadLimits& limits) {
  ReadResult result;
  try {
    DecodedMovie decoded = decodeMovie(file, limits);
    Movie movie;
    movie.header = decoded.header;
    movie.decodedLength = decoded.bytes.size();
    ByteReader reader(std::span(decoded.bytes).subspan(decoded.tagsOffset), kErrorTagPastEnd);
    readTags(reader, movie);
    // The header's count is what the player reports; frames it promises but the file lacks are
    // empty, and at least one frame always exists.
    size_t frameCount = std::max<size_t>({movie.frames.size(), size_t{movie.header.frameCount}, size_t{1}});
    movie.frames.resize(frameCount);
    result.movie = std::move(movie);
  } catch (const SwfError& error) {
    result.error = error.what();
  }
  return result;
}

ReadResult readMovieFile(std::string_view path, const ReadLimits& limits) {
  auto bytes = platform::readWholeFile(path);
  if (!bytes) return {std::nullopt, kErrorCannotOpen};
  return readMovie(*bytes, limits);
}

}  // namespace vexil::swf
