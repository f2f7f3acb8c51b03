#include "player/swf/swf_writer.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "player/swf/movie_text.h"
#include "player/swf/tag_codes.h"

namespace vexil::swf {
namespace {

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void write(uint32_t value, unsigned count) {
    for (unsigned i = count; i-- > 0;) {
      if (used_ == 0) out_.push_back(0);
      if ((value >> i) & 1u) out_.back() |= static_cast<uint8_t>(0x80u >> used_);
      used_ = (used_ + 1) % 8;
    }
  }

 private:
  std::vector<uint8_t>& out_;
  unsigned used_ = 0;
};

void appendU16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void appendU32(std::vector<uint8_t>& out, uint32_t value) {
  appendU16(out, static_cast<uint16_t>(value));
  appendU16(out, static_cast<uint16_t>(value >> 16));
}

// Signed fields need one bit more than the magnitude.
unsigned bitsFor(int32_t value) {
  uint32_t magnitude = static_cast<uint32_t>(value < 0 ? ~value : value);
  unsigned bits = 1;
  while (magnitude) {
    ++bits;
    magnitude >>= 1;
  }
  return bits;
}

void appendRect(std::vector<uint8_t>& out, const TwipsRect& rect) {
  unsigned bits = std::min(31u, std::max({bitsFor(rect.xMin), bitsFor(rect.xMax), bitsFor(rect.yMin), bitsFor(rect.yMax)}));
  BitWriter writer(out);
  writer.write(bits, 5);
  for (int32_t value : {rect.xMin, rect.xMax, rect.yMin, rect.yMax}) {
    writer.write(static_cast<uint32_t>(value) & ((bits < 32 ? (1u << bits) : 0u) - 1u), bits);
  }
}

void appendTag(std::vector<uint8_t>& out, TagCode code, const std::vector<uint8_t>& body) {
  uint16_t word = static_cast<uint16_t>(static_cast<uint16_t>(code) << 6);
  if (body.size() < kLongTagLength) {
    appendU16(out, static_cast<uint16_t>(word | body.size()));
  } else {
    appendU16(out, static_cast<uint16_t>(word | kLongTagLength));
    appendU32(out, static_cast<uint32_t>(body.size()));
  }
  out.insert(out.end(), body.begin(), body.end());
}

void appendFrame(std::vector<uint8_t>& out, const FrameSpec& frame, uint8_t version) {
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
  for (const FrameSpec& frame : outline.frames) appendFrame(body, frame, outline.version);
  appendTag(body, TagCode::End, {});

  std::vector<uint8_t> file{static_cast<uint8_t>(outline.compressed ? 'C' : 'F'), 'W', 'S', outline.version};
  appendU32(file, static_cast<uint32_t>(8 + body.size()));
  if (outline.compressed) body = deflateBytes(body);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

}  // namespace vexil::swf
