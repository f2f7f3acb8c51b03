// Writes the seed corpus of the package fuzzers: one well-formed input per decoder, built with
// the same writers the packager uses.  Usage: package_seed_writer SEED_DIR
#include <cstdio>
#include <string>

#include "host/package/archive_writer.h"
#include "host/package/byte_writer.h"
#include "host/package/package_blob.h"
#include "host/package/text_item.h"
#include "platform/file_system.h"

using namespace vexil::package;

static std::vector<uint8_t> bytesOf(std::string_view s) { return {s.begin(), s.end()}; }

static void save(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (!vexil::platform::writeWholeFile(path, bytes.data(), bytes.size())) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

static std::vector<uint8_t> settingsSeed() {
  ByteWriter out;
  for (int i = 0; i < 7; ++i) writeTextItem(out, "text " + std::to_string(i));
  for (uint32_t v : {48u, 0x11u}) out.u32(v);
  out.u16(0x51);
  out.u16(6);
  out.u32(0x336699);
  out.u32(2);
  writeTextItem(out, std::string("p.bmp"));
  out.u32(3);
  out.bytes(bytesOf("BMx"));
  out.u32(0);
  writeTextItem(out, std::string(""));
  out.u32(0);
  for (int i = 0; i < 4; ++i) writeTextItem(out, i == 1 ? Text() : Text("link"));
  out.u32(1);
  out.u32(2);
  for (int f = 0; f < 2; ++f) {
    for (int i = 0; i < 5; ++i) out.i32(-12);
    for (int i = 0; i < 8; ++i) out.u8(1);
    writeTextItem(out, std::string("Tahoma"));
  }
  out.u32(0x100);
  out.u32(0);
  writeTextItem(out, std::string("a.bmp"));
  out.u32(2);
  out.bytes(bytesOf("BM"));
  writeRawTextItem(out, std::u16string(u"carried"));
  out.u32(1);
  writeRawTextItem(out, std::nullopt);
  out.u32(2);
  for (int i = 0; i < 16; ++i) out.u8(uint8_t(i));
  out.u32(3);
  writeRawTextItem(out, std::u16string(u"x\0", 2));
  out.u16(80);
  out.u16(0);
  return out.take();
}

static std::vector<uint8_t> movieListSeed(uint32_t flags) {
  ByteWriter out;
  out.u32(flags);
  out.u32(3);
  const char* names[] = {"intro.swf", "plug.dll", "main.swf"};
  for (int i = 0; i < 3; ++i) {
    out.u32(i == 1 ? 2 : 1);
    writeTextItem(out, std::string(names[i]));
    if (flags & 2) {
      out.u32(4);
      out.bytes(bytesOf("FWS\x06"));
    }
  }
  return out.take();
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: package_seed_writer SEED_DIR\n");
    return 2;
  }
  std::string dir = std::string(argv[1]) + "/";
  vexil::platform::createDirectory(dir);
  for (const char* group : {"blob", "settings", "movie_list", "archive"}) vexil::platform::createDirectory(dir + group);
  save(dir + "blob/text", encodeBlob(bytesOf("a short text that the blob carries, twice: a short text")));
  save(dir + "blob/empty", encodeBlob({}));
  save(dir + "settings/record", settingsSeed());
  save(dir + "movie_list/embedded", movieListSeed(3));
  save(dir + "movie_list/external", movieListSeed(0));
  std::vector<ArchiveNode> root = {
      {"a.txt", false, bytesOf("hello"), {}},
      {"Data", true, {}, {{"big.bin", false, std::vector<uint8_t>(5000, 'z'), {}},
                          {"Deep", true, {}, {{"x.txt", false, bytesOf("x"), {}}}}}}};
  auto archive = buildArchive(root);
  for (uint8_t pick : {0, 1, 2, 3}) {
    std::vector<uint8_t> input = {pick, 'M', 'Z'};
    input.insert(input.end(), archive.begin(), archive.end());
    save(dir + "archive/pick" + std::to_string(pick), input);
  }
  return 0;
}
