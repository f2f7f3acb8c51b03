#include "player/swf/swf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "player/swf/bit_writer.h"
#include "player/swf/movie_text.h"
#include "player/swf/tag_codes.h"

namespace vexil::swf {
namespace {

void appendFrame(std::vector<uint8_t>& out, const FrameSpec& frame, uint8_t version) {
  out.insert(out.end(), frame.displayTags.begin(), frame.displayTags.end());
  for (const std::string& label : frame.labels) {
    std::string text = utf8ToMovieText(label, version);
    std::vector<uint8_t> body(text.begin(), text.end());
    body.push_back(0);
    appendTag(out, TagCode::FrameLabel, body);
  }
  for (const auto& block : frame.initActions) {
    std::vector<uint8_t> body;
    appendU16(body, 1);  // sprite id: this writer has no sprites, the id is nominal
    body.insert(body.end(), block.begin(), block.end());
    appendTag(out, TagCode::DoInitAction, body);
  }
  for (const auto& block : frame.actions) appendTag(out, TagCode::DoAction, block);
  appendTag(out, TagCode::ShowFrame, {});
}

std::vector<uint8_t> deflateBytes(const std::vector<uint8_t>& input) {
  uLongf size = compressBound(static_cast<uLong>(input.size()));
  std::vector<uint8_t> output(size);
  if (compress2(output.data(), &size, input.data(), static_cast<uLong>(input.size()), 6) != Z_OK) {
    throw std::runtime_error("deflate failed");
  }
  output.resize(size);
  return output;
}

}  // namespace

std::vector<uint8_t> writeMovie(const MovieOutline& outline) {
  std::vector<uint8_t> body;
  appendRect(body, outline.frameRect);
  appendU16(body, outline.frameRate);
  appendU16(body, outline.frameCountOverride.value_or(static_cast<uint16_t>(outline.frames.size())));
  if (outline.backgroundColor) {
    uint32_t rgb = *outline.backgroundColor;
    appendTag(body, TagCode::SetBackgroundColor,
              {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)});
  }
  body.insert(body.end(), outline.definitions.begin(), outline.definitions.end());
  for (const FrameSpec& frame : outline.frames) appendFrame(body, frame, outline.version);
  appendTag(body, TagCode::End, {});

  std::vector<uint8_t> file{static_cast<uint8_t>(outline.compressed ? 'C' : 'F'), 'W', 'S', outline.version};
  appendU32(file, static_cast<uint32_t>(8 + body.size()));
  if (outline.compressed) body = deflateBytes(body);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

}  // namespace vexil::swf
