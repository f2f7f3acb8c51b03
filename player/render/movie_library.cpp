#include "player/render/movie_library.h"

#include "player/render/display_tag_codes.h"
#include "player/render/image_decoder.h"
#include "player/render/record_reader.h"
#include "player/render/shape_reader.h"
#include "player/swf/swf_error.h"
#include "player/swf/swf_header.h"

namespace vexil::render {
namespace {

using swf::ByteReader;

constexpr const char* kErrorTag = "tag runs past its end";

struct Tag {
  DisplayTag code;
  std::span<const uint8_t> body;
};

Tag readTag(ByteReader& reader) {
  uint16_t word = reader.u16();
  uint32_t length = word & 0x3F;
  if (length == 0x3F) length = reader.u32();
  // A tag claiming more than is left gets what is left: truncated files still show their start.
  auto body = reader.bytes(std::min<size_t>(length, reader.remaining()));
  return {static_cast<DisplayTag>(word >> 6), body};
}

DisplayCommand readPlaceObject(ByteReader& body) {
  DisplayCommand command;
  command.character = body.u16();
  command.depth = body.u16();
  command.matrix = readMatrix(body);
  if (!body.atEnd()) command.colorTransform = readColorTransform(body, false);
  return command;
}

// PlaceObject2 and 3 share their layout up to the clip depth; the rest (filters, blend modes,
// clip actions) is not drawn.
DisplayCommand readPlaceObject2(ByteReader& body, bool third) {
  DisplayCommand command;
  uint8_t flags = body.u8();
  uint8_t flags2 = third ? body.u8() : 0;
  command.depth = body.u16();
  command.move = flags & 0x01;
  if (third && ((flags2 & 0x08) || ((flags2 & 0x10) && (flags & 0x02)))) body.cString();  // class name
  if (flags & 0x02) command.character = body.u16();
  if (flags & 0x04) command.matrix = readMatrix(body);
  if (flags & 0x08) command.colorTransform = readColorTransform(body, true);
  if (flags & 0x10) command.ratio = body.u16();
  if (flags & 0x20) command.name = body.cString();
  if (flags & 0x40) command.clipDepth = body.u16();
  return command;
}

class LibraryReader {
 public:
  explicit LibraryReader(MovieLibrary& library) : library_(library) {}

  void readTimeline(ByteReader& reader, Timeline& timeline, bool isRoot);

 private:
  void readTag(const Tag& tag, std::vector<DisplayCommand>& frame, bool isRoot);
  void defineShape(ByteReader& body, int version);
  void defineMorphShape(ByteReader& body, int version);
  void defineSprite(ByteReader& body);
  void defineLossless(ByteReader& body, bool withAlpha);
  void defineJpeg(ByteReader& body, DisplayTag code);
  void defineButton(ByteReader& body, bool second);
  void defineFont(std::span<const uint8_t> bytes, DisplayTag code);
  void defineText(ByteReader& body, bool second);
  void addBitmap(uint16_t id, std::optional<Bitmap> image);

  MovieLibrary& library_;
  std::vector<uint8_t> jpegTables_;
};

void LibraryReader::readTimeline(ByteReader& reader, Timeline& timeline, bool isRoot) {
  std::vector<DisplayCommand> frame;
  std::vector<std::vector<uint8_t>> actions;
  bool pending = false;
  while (!reader.atEnd()) {
    Tag tag = render::readTag(reader);
    if (tag.code == DisplayTag::End) break;
    if (tag.code == DisplayTag::ShowFrame) {
      timeline.frames.push_back(std::move(frame));
      timeline.actions.push_back(std::move(actions));
      frame.clear();
      actions.clear();
      pending = false;
      continue;
    }
    if (!isRoot && tag.code == DisplayTag::DoAction) {
      actions.emplace_back(tag.body.begin(), tag.body.end());
      pending = true;
      continue;
    }
    if (!isRoot && tag.code == DisplayTag::FrameLabel) {
      ByteReader body(tag.body, kErrorTag);
      try {
        timeline.labels.emplace_back(body.cString(), timeline.frames.size());
      } catch (const swf::SwfError&) {
        ++library_.skippedTags;
      }
      continue;
    }
    try {
      size_t before = frame.size();
      readTag(tag, frame, isRoot);
      pending = pending || frame.size() != before;
    } catch (const swf::SwfError&) {
      ++library_.skippedTags;
    }
  }
  if (pending || timeline.frames.empty()) {
    timeline.frames.push_back(std::move(frame));
    timeline.actions.push_back(std::move(actions));
  }
}

void LibraryReader::readTag(const Tag& tag, std::vector<DisplayCommand>& frame, bool isRoot) {
  ByteReader body(tag.body, kErrorTag);
  switch (tag.code) {
    case DisplayTag::PlaceObject: frame.push_back(readPlaceObject(body)); return;
    case DisplayTag::PlaceObject2: frame.push_back(readPlaceObject2(body, false)); return;
    case DisplayTag::PlaceObject3: frame.push_back(readPlaceObject2(body, true)); return;
    case DisplayTag::RemoveObject: body.u16(); [[fallthrough]];
    case DisplayTag::RemoveObject2: {
      DisplayCommand command;
      command.remove = true;
      command.depth = body.u16();
      frame.push_back(command);
      return;
    }
    default: break;
  }
  // Definitions and settings belong to the main timeline only; inside sprites they are ignored.
  if (!isRoot) return;
  switch (tag.code) {
    case DisplayTag::SetBackgroundColor:
      if (!library_.background) library_.background = readRgb(body) & 0xFFFFFF;
      break;
    case DisplayTag::DefineShape: defineShape(body, 1); break;
    case DisplayTag::DefineShape2: defineShape(body, 2); break;
    case DisplayTag::DefineShape3: defineShape(body, 3); break;
    case DisplayTag::DefineShape4: defineShape(body, 4); break;
    case DisplayTag::DefineMorphShape: defineMorphShape(body, 1); break;
    case DisplayTag::DefineMorphShape2: defineMorphShape(body, 2); break;
    case DisplayTag::DefineSprite: defineSprite(body); break;
    case DisplayTag::DefineBitsLossless: defineLossless(body, false); break;
    case DisplayTag::DefineBitsLossless2: defineLossless(body, true); break;
    case DisplayTag::JpegTables: jpegTables_.assign(tag.body.begin(), tag.body.end()); break;
    case DisplayTag::DefineBits:
    case DisplayTag::DefineBitsJpeg2:
    case DisplayTag::DefineBitsJpeg3: defineJpeg(body, tag.code); break;
    case DisplayTag::DefineButton: defineButton(body, false); break;
    case DisplayTag::DefineButton2: defineButton(body, true); break;
    case DisplayTag::DefineFont:
    case DisplayTag::DefineFont2:
    case DisplayTag::DefineFont3: defineFont(tag.body, tag.code); break;
    case DisplayTag::DefineText: defineText(body, false); break;
    case DisplayTag::DefineText2: defineText(body, true); break;
    default: break;
  }
}

void skipRect(ByteReader& body) {
  unsigned bits = body.bits(5);
  for (int i = 0; i < 4; ++i) body.signedBits(bits);
  body.alignToByte();
}

void LibraryReader::defineShape(ByteReader& body, int version) {
  uint16_t id = body.u16();
  skipRect(body);
  bool nonZero = false;
  if (version == 4) {
    skipRect(body);  // edge bounds
    nonZero = (body.u8() & 0x04) != 0;
  }
  Shape shape = readStyledShape(body, version);
  shape.nonZero = nonZero;
  library_.characters[id] = std::move(shape);
}

void LibraryReader::defineMorphShape(ByteReader& body, int version) {
  uint16_t id = body.u16();
  skipRect(body);  // start bounds
  skipRect(body);  // end bounds
  if (version == 2) {
    skipRect(body);  // start edge bounds
    skipRect(body);  // end edge bounds
    body.u8();       // stroke scaling flags
  }
  library_.characters[id] = readMorphShape(body, version);
}

void LibraryReader::defineSprite(ByteReader& body) {
  uint16_t id = body.u16();
  body.u16();  // frame count: the ShowFrame tags decide
  auto timeline = std::make_shared<Timeline>();
  ByteReader tags(body.bytes(body.remaining()), kErrorTag);
  readTimeline(tags, *timeline, false);
  library_.characters[id] = std::move(timeline);
}

void LibraryReader::addBitmap(uint16_t id, std::optional<Bitmap> image) {
  if (!image) return;
  library_.bitmapPixels += static_cast<uint64_t>(image->width) * image->height;
  library_.bitmaps[id] = std::move(*image);
}

uint64_t budgetLeft(const MovieLibrary& library) {
  return library.bitmapPixels >= kMaxMovieBitmapPixels ? 0 : kMaxMovieBitmapPixels - library.bitmapPixels;
}

void LibraryReader::defineLossless(ByteReader& body, bool withAlpha) {
  uint16_t id = body.u16();
  uint8_t format = body.u8();
  int width = body.u16(), height = body.u16();
  uint8_t tableSize = format == 3 ? body.u8() : 0;
  addBitmap(id, decodeLossless(format, width, height, tableSize, body.bytes(body.remaining()), withAlpha,
                               budgetLeft(library_)));
}

void LibraryReader::defineJpeg(ByteReader& body, DisplayTag code) {
  uint16_t id = body.u16();
  std::span<const uint8_t> data, alpha, tables;
  if (code == DisplayTag::DefineBitsJpeg3) {
    uint32_t alphaOffset = body.u32();
    data = body.bytes(std::min<size_t>(alphaOffset, body.remaining()));
    alpha = body.bytes(body.remaining());
  } else {
    data = body.bytes(body.remaining());
  }
  if (code == DisplayTag::DefineBits) tables = jpegTables_;
  addBitmap(id, decodeJpeg(tables, data, alpha, budgetLeft(library_)));
}

// Buttons draw their up state: it becomes a one-frame timeline of its own.
void LibraryReader::defineButton(ByteReader& body, bool second) {
  uint16_t id = body.u16();
  if (second) {
    body.u8();   // track as menu
    body.u16();  // offset to the actions
  }
  auto timeline = std::make_shared<Timeline>();
  timeline->frames.resize(1);
  for (;;) {
    uint8_t flags = body.u8();
    if (flags == 0) break;
    DisplayCommand command;
    command.character = body.u16();
    command.depth = body.u16();
    command.matrix = readMatrix(body);
    if (second) command.colorTransform = readColorTransform(body, true);
    if (second && (flags & 0x10)) {  // filter list: not drawn, but its bytes must be passed
      break;
    }
    if (second && (flags & 0x20)) body.u8();  // blend mode
    if (flags & 0x01) timeline->frames[0].push_back(command);
  }
  library_.characters[id] = std::move(timeline);
}

void LibraryReader::defineFont(std::span<const uint8_t> bytes, DisplayTag code) {
  ByteReader body(bytes, kErrorTag);
  uint16_t id = body.u16();
  Font font;
  std::vector<uint32_t> offsets;
  size_t tableStart = body.position();
  if (code == DisplayTag::DefineFont) {
    uint16_t first = body.u16();
    offsets.push_back(first);
    for (size_t i = 1; i < first / 2u; ++i) offsets.push_back(body.u16());
  } else {
    uint8_t flags = body.u8();
    body.u8();  // language
    body.skip(body.u8());  // name
    uint16_t count = body.u16();
    tableStart = body.position();
    bool wide = flags & 0x08;
    for (uint16_t i = 0; i < count; ++i) offsets.push_back(wide ? body.u32() : body.u16());
    if (code == DisplayTag::DefineFont3) font.unitsPerEm = 1024 * 20;
  }
  // Offsets count from the start of the offset table; a glyph that cannot be read stays empty.
  for (uint32_t offset : offsets) {
    font.glyphs.emplace_back();
    if (tableStart + offset >= bytes.size()) continue;
    try {
      ByteReader glyph(bytes.subspan(tableStart + offset), kErrorTag);
      font.glyphs.back() = readGlyphShape(glyph);
    } catch (const swf::SwfError&) {
    }
  }
  library_.fonts[id] = std::move(font);
}

void LibraryReader::defineText(ByteReader& body, bool second) {
  uint16_t id = body.u16();
  StaticText text;
  skipRect(body);
  text.matrix = readMatrix(body);
  unsigned glyphBits = body.u8(), advanceBits = body.u8();
  GlyphRun run;
  double x = 0, y = 0;
  for (;;) {
    uint8_t flags = body.u8();
    if (flags == 0) break;
    if (flags & 0x80) {
      if (flags & 0x08) run.font = body.u16();
      if (flags & 0x04) run.color = second ? readRgba(body) : readRgb(body);
      if (flags & 0x01) x = body.s16();
      if (flags & 0x02) y = body.s16();
      if (flags & 0x08) run.height = body.u16();
    }
    uint8_t count = body.u8();
    GlyphRun current = run;
    current.glyphs.clear();
    for (uint8_t i = 0; i < count; ++i) {
      uint32_t glyph = body.bits(glyphBits);
      int32_t advance = body.signedBits(advanceBits);
      current.glyphs.push_back({glyph, {x, y}});
      x += advance;
    }
    body.alignToByte();
    text.runs.push_back(std::move(current));
  }
  library_.characters[id] = std::move(text);
}

}  // namespace

const Character* MovieLibrary::find(uint16_t id) const {
  auto found = characters.find(id);
  return found == characters.end() ? nullptr : &found->second;
}

std::optional<MovieLibrary> readLibrary(std::span<const uint8_t> file, std::string* error) {
  try {
    swf::DecodedMovie decoded = swf::decodeMovie(file, {});
    MovieLibrary library;
    const swf::TwipsRect& rect = decoded.header.frameRect;
    library.originX = rect.xMin;
    library.originY = rect.yMin;
    library.width = std::max(0, rect.xMax - rect.xMin);
    library.height = std::max(0, rect.yMax - rect.yMin);
    library.frameRate = decoded.header.framesPerSecond() > 0 ? decoded.header.framesPerSecond() : 12;
    ByteReader reader(std::span<const uint8_t>(decoded.bytes).subspan(decoded.tagsOffset), kErrorTag);
    LibraryReader(library).readTimeline(reader, library.root, true);
    return library;
  } catch (const swf::SwfError& failure) {
    if (error) *error = failure.what();
    return std::nullopt;
  }
}

}  // namespace vexil::render
