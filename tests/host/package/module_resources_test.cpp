// The package decoders on real resources of this executable, looked up the way the runtime does.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/package/about_picture.h"
#include "host/package/compiled_script_cache.h"
#include "host/package/module_resources.h"
#include "host/package/movie_list.h"
#include "host/package/package_settings.h"
#include "platform/file_system.h"
#include "scratch_dir.h"

using namespace vexil::package;
using vexil::package::testing::ScratchDir;

TEST(ModuleResources, NamesAndTypesCompareWithoutCase) {
  ModuleResources module;
  auto id = module.readRaw("id", "Lumarc");
  ASSERT_TRUE(id);
  EXPECT_GT(id->size(), 32u);
  EXPECT_EQ(module.readRaw("ID", "LUMARC"), id);
  EXPECT_EQ(module.readRaw("CS", "LUMARC")->size(), 16u);
  EXPECT_FALSE(module.readRaw("NOPE", "LUMARC"));
  EXPECT_FALSE(module.readRaw("ID", "VEXIL"));
}

TEST(ModuleResources, SettingsAndMoviesDecodeFromThePackage) {
  ScratchDir temp;
  ModuleResources module;
  auto st = decodeResource(module, "ST", "LUMARC");
  ASSERT_TRUE(st);
  PackageSettings settings;
  ASSERT_TRUE(loadSettings(settings, *st, temp.path));
  EXPECT_EQ(settings.productTexts[0], "Vexil Fixture");
  EXPECT_EQ(settings.wakeupMethod, 16u);
  EXPECT_EQ(settings.backgroundColor, 0x00996633u);          // 0x336699 as bytes red, green, blue
  EXPECT_EQ(settings.carried33, 80);

  MovieList list;
  loadMovieList(list, module, temp.path, "C:\\unused\\");
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(list.entries[0].path, temp.path + "intro.swf");
  EXPECT_EQ(list.entries[1].path, temp.path + "Plug_Ins\\plugin.dll");
  EXPECT_EQ(list.entries[1].kind, kEntryPlugIn);
  auto movie = vexil::platform::readWholeFile(list.entries[0].path);
  ASSERT_TRUE(movie);
  EXPECT_EQ(std::string(movie->begin(), movie->begin() + 3), "FWS");
}

TEST(ModuleResources, ScriptsAreFoundWithTheTypeSpelledVexil) {
  ModuleResources module;
  CompiledScriptCache cache(module);
  CachedScript* script = cache.find("Initialize");
  ASSERT_NE(script, nullptr);
  EXPECT_EQ(std::string(script->bytes.begin(), script->bytes.begin() + 4), "VS1b");
  EXPECT_EQ(cache.find("INITIALIZE"), script);
  EXPECT_EQ(cache.find("missing"), nullptr);
}

TEST(ModuleResources, AnEmptySupportSlotIsABadLength) {
  ModuleResources module;
  auto slot = module.readRaw("$1", "SUPPORT");
  ASSERT_TRUE(slot);
  EXPECT_EQ(slot->size(), 1u);
  auto result = decodeBlob(*slot);
  ASSERT_TRUE(std::holds_alternative<BlobError>(result));
  EXPECT_EQ(std::get<BlobError>(result).message, kBadBlobLength);
  EXPECT_FALSE(decodeResource(module, "$1", "support"));
}

TEST(ModuleResources, TheAboutPictureLoadsAsABitmapAndStaysExtracted) {
  ScratchDir temp;
  ModuleResources module;
  HBITMAP bitmap = static_cast<HBITMAP>(loadAboutPicture(module, temp.path));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ASSERT_TRUE(GetObjectW(bitmap, sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 8);
  EXPECT_EQ(info.bmHeight, 4);
  DeleteObject(bitmap);
  EXPECT_TRUE(vexil::platform::fileExists(temp.path + "Lumarc.BK"));
  EXPECT_EQ(extractAboutPicture(module, temp.path), temp.path + "Lumarc.BK");
}
