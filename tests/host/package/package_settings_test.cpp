#include <gtest/gtest.h>

#include "host/package/byte_writer.h"
#include "host/package/package_settings.h"
#include "platform/file_system.h"
#include "scratch_dir.h"

using namespace vexil::package;
using vexil::package::testing::ScratchDir;

namespace {

void fileItem(ByteWriter& out, std::string_view name, std::string_view contents) {
  writeTextItem(out, std::string(name));
  out.u32(uint32_t(contents.size()));
  out.bytes(std::span(reinterpret_cast<const uint8_t*>(contents.data()), contents.size()));
}

void font(ByteWriter& out, int32_t height, const char* face) {
  for (int32_t v : {height, 0, 0, 0, 700}) out.i32(v);
  for (uint8_t b : {1, 0, 0, 0, 3, 2, 1, 34}) out.u8(b);
  writeTextItem(out, std::string(face));
}

// A record as a packager would write it, with odd carried values that must come back unchanged.
std::vector<uint8_t> sampleRecord(std::string_view previewName = "preview.bmp") {
  ByteWriter out;
  const char* texts[] = {"Vexil Demo", "The Vexil Demo Saver", "Vexil", "(c) 2026", "Demo", "A demo", "1.0"};
  for (const char* t : texts) writeTextItem(out, std::string(t));
  out.u32(16 | 32);         // wake-up: Esc and the hot key
  out.u32(0x01 | 0x10);     // background colour, no scale
  out.u16(0x51);            // 'Q'
  out.u16(2 | 4);           // Ctrl+Alt
  out.u32(0x00336699);
  out.u32(2);
  fileItem(out, previewName, "BM-preview");
  out.u32(1);
  fileItem(out, "help.chm", "help bytes");
  writeTextItem(out, std::string("Web"));
  writeTextItem(out, std::nullopt);        // absent text
  writeTextItem(out, std::string(""));     // empty text
  writeTextItem(out, std::string("me@example.org"));
  out.u32(7);
  out.u32(8);
  font(out, -12, "Tahoma");
  font(out, -14, "Courier New");
  out.u32(0x100);
  out.u32(0xCAFEF00D);
  fileItem(out, "about.bmp", "BM-about");
  writeRawTextItem(out, std::u16string(u"carried\u0100\uFFFF", 9));  // no NUL, not ANSI
  out.u32(0x11111111);
  writeRawTextItem(out, std::u16string(u"x\0y\0", 4));           // text after a NUL
  out.u32(0x22222222);
  for (int i = 0; i < 16; ++i) out.u8(uint8_t(0xA0 + i));
  out.u32(0x33333333);
  writeRawTextItem(out, std::nullopt);
  out.u16(80);
  out.u16(0xBEEF);
  return out.take();
}

}  // namespace

TEST(PackageSettings, LoadsEveryItemAndExtractsAttachedFiles) {
  ScratchDir dir;
  PackageSettings s;
  ASSERT_TRUE(loadSettings(s, sampleRecord(), dir.path));
  EXPECT_EQ(s.productTexts[0], "Vexil Demo");
  EXPECT_EQ(s.productTexts[6], "1.0");
  EXPECT_EQ(s.wakeupMethod, 48u);
  EXPECT_EQ(s.options, kOptionBackgroundColor | kOptionNoScale);
  EXPECT_EQ(s.hotKeyCode, 0x51);
  EXPECT_EQ(s.hotKeyModifiers, 6);
  EXPECT_EQ(s.backgroundColor, 0x00336699u);
  EXPECT_EQ(s.previewMode, 2u);
  EXPECT_EQ(s.previewFile, dir.path + "preview.bmp");
  EXPECT_EQ(s.helpFile, dir.path + "help.chm");
  EXPECT_EQ(s.links[1], std::nullopt);  // n = 0: absent
  EXPECT_EQ(s.links[2], "");            // n = 1: empty
  EXPECT_EQ(s.linkFonts[1].faceName, "Courier New");
  EXPECT_EQ(s.linkFonts[0].height, -12);
  EXPECT_EQ(s.linkFonts[0].pitchAndFamily, 34);
  EXPECT_EQ(s.aboutPicture, dir.path + "about.bmp");
  EXPECT_EQ(s.timeStamp[15], 0xAF);
  EXPECT_EQ(s.carried33, 80);
  auto about = vexil::platform::readWholeFile(*s.aboutPicture);
  ASSERT_TRUE(about);
  EXPECT_EQ(std::string(about->begin(), about->end()), "BM-about");
}

TEST(PackageSettings, LoadThenStoreGivesTheSameBytes) {
  ScratchDir dir;
  auto record = sampleRecord();
  PackageSettings s;
  ASSERT_TRUE(loadSettings(s, record, dir.path));
  EXPECT_EQ(storeSettings(s), record);
}

TEST(PackageSettings, StoreWritesEmptyFileItemsForMissingFiles) {
  ScratchDir dir;
  PackageSettings s;
  ASSERT_TRUE(loadSettings(s, sampleRecord(), dir.path));
  vexil::platform::deleteFile(*s.helpFile);
  PackageSettings again;
  ASSERT_TRUE(loadSettings(again, storeSettings(s), dir.path));
  EXPECT_EQ(again.helpFile, std::nullopt);  // written as the empty name and a count of 0
  EXPECT_EQ(again.previewFile, dir.path + "preview.bmp");
}

TEST(PackageSettings, EveryTruncationFailsCleanlyAndResetsTheRecord) {
  ScratchDir dir;
  auto record = sampleRecord();
  for (size_t cut = 0; cut < record.size(); ++cut) {
    PackageSettings s;
    s.wakeupMethod = 99;
    ASSERT_FALSE(loadSettings(s, std::span(record).first(cut), dir.path)) << cut;
    EXPECT_EQ(s.wakeupMethod, 0u);
    EXPECT_FALSE(s.productTexts[0]);
  }
}

TEST(PackageSettings, HostileFileNamesAndCountsAreRefused) {
  ScratchDir dir;
  for (std::string name : {"..\\escape.bin", "sub\\x.bin", "C:escape.bin", "/escape.bin", "... ", "a:b", ""}) {
    PackageSettings s;
    ASSERT_TRUE(loadSettings(s, sampleRecord(name), dir.path)) << name;
    EXPECT_EQ(s.previewFile, std::nullopt) << name;  // refused, and the rest of the record still read
    EXPECT_EQ(s.helpFile, dir.path + "help.chm");
    EXPECT_FALSE(vexil::platform::fileExists(dir.path + "..\\escape.bin"));
  }
  ByteWriter huge;
  huge.u32(0xFFFFFFFF);  // a text of four billion units in a handful of bytes
  PackageSettings s;
  EXPECT_FALSE(loadSettings(s, huge.data(), dir.path));
}

TEST(PackageSettings, FaceNamesAreCutToTheFontRecord) {
  ScratchDir dir;
  PackageSettings s;
  ASSERT_TRUE(loadSettings(s, sampleRecord(), dir.path));
  s.linkFonts[0].faceName = std::string(40, 'F');
  PackageSettings again;
  ASSERT_TRUE(loadSettings(again, storeSettings(s), dir.path));
  EXPECT_EQ(again.linkFonts[0].faceName, std::string(31, 'F'));
}
