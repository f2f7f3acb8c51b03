#include "player/swf/movie_text.h"

#include "platform/text_encoding.h"

namespace vexil::swf {

std::string movieTextToUtf8(std::string_view raw, uint8_t version) {
  if (version >= kFirstUtf8Version) return std::string(raw);
  return platform::utf16ToUtf8(platform::ansiToUtf16(raw));
}

std::string utf8ToMovieText(std::string_view text, uint8_t version) {
  if (version >= kFirstUtf8Version) return std::string(text);
  return platform::utf16ToAnsi(platform::utf8ToUtf16(text));
}

}  // namespace vexil::swf
