// vxpack: makes the package resources of a Vexil build from plain files.
//   vxpack blob IN OUT                       compress a file into a package blob
//   vxpack id OUT TEXT                       the application identity ("Company/Profile")
//   vxpack stamp OUT BLOB                    the 16-byte settings stamp derived from the "ST" blob
//   vxpack settings OUT [KEY=VALUE...]       a settings record (see kSettingKeys below)
//   vxpack movielist OUT FLAGS KIND:FILE...  a movie list; with flag 2 the files are embedded
//   vxpack bitmap OUT WIDTH HEIGHT RRGGBB    a solid 24-bit Windows bitmap
// Every output is raw: wrap settings and movie lists with "blob" before packaging them.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/package/byte_writer.h"
#include "host/package/package_blob.h"
#include "host/package/movie_list.h"
#include "host/package/package_settings.h"
#include "platform/file_system.h"

using namespace vexil::package;

namespace {

using Args = std::vector<std::string>;

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "vxpack: %s\n", message.c_str());
  std::exit(1);
}

std::vector<uint8_t> readFile(const std::string& path) {
  auto bytes = vexil::platform::readWholeFile(path);
  if (!bytes) fail("cannot read " + path);
  return *bytes;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (!vexil::platform::writeWholeFile(path, bytes.data(), bytes.size())) fail("cannot write " + path);
}

uint32_t number(const std::string& text) { return uint32_t(std::strtoul(text.c_str(), nullptr, 0)); }

std::string baseName(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

int blob(const Args& a) {
  writeFile(a.at(1), encodeBlob(readFile(a.at(0))));
  return 0;
}

int identity(const Args& a) {
  ByteWriter out;
  writeTextItem(out, a.at(1));
  auto item = out.take();
  std::vector<uint8_t> bytes(item.begin() + 4, item.end());  // the text without its count
  bytes.resize(bytes.size() + 32, 0);                        // reserved for the packager
  writeFile(a.at(0), bytes);
  return 0;
}

// Any change of the blob changes the stamp: CRC-32 and Adler-32 of the bytes, forwards and in
// two halves.
int stamp(const Args& a) {
  auto b = readFile(a.at(1));
  size_t half = b.size() / 2;
  ByteWriter out;
  out.u32(uint32_t(crc32(0, b.data(), uInt(b.size()))));
  out.u32(uint32_t(adler32(1, b.data(), uInt(b.size()))));
  out.u32(uint32_t(crc32(0, b.data(), uInt(half))));
  out.u32(uint32_t(b.size()));
  writeFile(a.at(0), out.take());
  return 0;
}

const std::map<std::string, std::function<void(PackageSettings&, const std::string&)>> kSettingKeys = {
    {"product", [](auto& s, auto& v) { s.productTexts[0] = v; }},
    {"title", [](auto& s, auto& v) { s.productTexts[1] = v; }},
    {"company", [](auto& s, auto& v) { s.productTexts[2] = v; }},
    {"legal", [](auto& s, auto& v) { s.productTexts[3] = v; }},
    {"short", [](auto& s, auto& v) { s.productTexts[4] = v; }},
    {"description", [](auto& s, auto& v) { s.productTexts[5] = v; }},
    {"version", [](auto& s, auto& v) { s.productTexts[6] = v; }},
    {"wakeup", [](auto& s, auto& v) { s.wakeupMethod = number(v); }},
    {"options", [](auto& s, auto& v) { s.options = number(v); }},
    {"hotkey", [](auto& s, auto& v) { s.hotKeyCode = uint16_t(number(v)); }},
    {"modifiers", [](auto& s, auto& v) { s.hotKeyModifiers = uint16_t(number(v)); }},
    {"background", [](auto& s, auto& v) {
       uint32_t rgb = number(v);  // 0xRRGGBB becomes the bytes red, green, blue, 0
       s.backgroundColor = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
     }},
    {"preview-mode", [](auto& s, auto& v) { s.previewMode = number(v); }},
    {"preview-file", [](auto& s, auto& v) { s.previewFile = v; }},
    {"help-file", [](auto& s, auto& v) { s.helpFileOption = 1, s.helpFile = v; }},
    {"web-caption", [](auto& s, auto& v) { s.links[0] = v; }},
    {"web-address", [](auto& s, auto& v) { s.links[1] = v; }},
    {"mail-caption", [](auto& s, auto& v) { s.links[2] = v; }},
    {"mail-address", [](auto& s, auto& v) { s.links[3] = v; }},
    {"about-flags", [](auto& s, auto& v) { s.aboutFlags = number(v); }},
    {"about-picture", [](auto& s, auto& v) { s.aboutPicture = v; }},
};

int settings(const Args& a) {
  PackageSettings s;
  s.carried33 = 80;
  for (auto& font : s.linkFonts) font.height = -11, font.weight = 400, font.faceName = "Tahoma";
  for (size_t i = 1; i < a.size(); ++i) {
    size_t eq = a[i].find('=');
    auto key = kSettingKeys.find(a[i].substr(0, eq));
    if (eq == std::string::npos || key == kSettingKeys.end()) fail("unknown setting " + a[i]);
    key->second(s, a[i].substr(eq + 1));
  }
  writeFile(a.at(0), storeSettings(s));
  return 0;
}

int movieList(const Args& a) {
  uint32_t flags = number(a.at(1));
  ByteWriter out;
  out.u32(flags);
  out.u32(uint32_t(a.size() - 2));
  for (size_t i = 2; i < a.size(); ++i) {
    size_t colon = a[i].find(':');
    if (colon == std::string::npos) fail("expected KIND:FILE, got " + a[i]);
    std::string file = a[i].substr(colon + 1);
    out.u32(number(a[i].substr(0, colon)));
    writeTextItem(out, baseName(file));
    if (flags & kMovieListEmbedded) {
      auto bytes = readFile(file);
      out.u32(uint32_t(bytes.size()));
      out.bytes(bytes);
    }
  }
  writeFile(a.at(0), out.take());
  return 0;
}

int bitmap(const Args& a) {
  uint32_t w = number(a.at(1)), h = number(a.at(2)), rgb = number(a.at(3));
  uint32_t stride = (w * 3 + 3) & ~3u, image = stride * h;
  ByteWriter out;
  out.u8('B');
  out.u8('M');
  for (uint32_t v : {54 + image, 0u, 54u, 40u, w, h}) out.u32(v);
  out.u16(1);
  out.u16(24);
  for (uint32_t v : {0u, image, 2835u, 2835u, 0u, 0u}) out.u32(v);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      out.u8(uint8_t(rgb));
      out.u8(uint8_t(rgb >> 8));
      out.u8(uint8_t(rgb >> 16));
    }
    for (uint32_t pad = w * 3; pad < stride; ++pad) out.u8(0);
  }
  writeFile(a.at(0), out.take());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::map<std::string, std::pair<size_t, int (*)(const Args&)>> commands = {
      {"blob", {2, blob}}, {"id", {2, identity}}, {"stamp", {2, stamp}}, {"settings", {1, settings}},
      {"movielist", {2, movieList}}, {"bitmap", {4, bitmap}}};
  if (argc < 2 || !commands.count(argv[1])) {
    std::fprintf(stderr, "usage: vxpack blob|id|stamp|settings|movielist|bitmap ARGS...\n");
    return 2;
  }
  auto [minimum, run] = commands.at(argv[1]);
  Args args(argv + 2, argv + argc);
  if (args.size() < minimum) fail(std::string("too few arguments for ") + argv[1]);
  try {
    return run(args);
  } catch (const std::out_of_range&) {
    fail(std::string("too few arguments for ") + argv[1]);
  }
}
