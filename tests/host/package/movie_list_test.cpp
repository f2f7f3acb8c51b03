#include <gtest/gtest.h>

#include "host/package/byte_writer.h"
#include "host/package/movie_list.h"
#include "host/package/text_item.h"
#include "platform/file_system.h"
#include "scratch_dir.h"

using namespace vexil::package;
using vexil::package::testing::ScratchDir;

namespace {

struct Item {
  uint32_t kind;
  std::string name;
  std::string contents;
};

std::vector<uint8_t> listStream(uint32_t flags, const std::vector<Item>& items, uint32_t count = ~0u) {
  ByteWriter out;
  out.u32(flags);
  out.u32(count == ~0u ? uint32_t(items.size()) : count);
  for (const auto& item : items) {
    out.u32(item.kind);
    writeTextItem(out, item.name);
    if (flags & kMovieListEmbedded) {
      out.u32(uint32_t(item.contents.size()));
      out.bytes(std::span(reinterpret_cast<const uint8_t*>(item.contents.data()), item.contents.size()));
    }
  }
  return out.take();
}

MovieList load(const std::vector<uint8_t>& stream, const std::string& temp, const std::string& exe = "X:\\app\\") {
  MemoryResources package;
  package.add("ML", "LUMARC", encodeBlob(stream));
  MovieList list;
  loadMovieList(list, package, temp, exe);
  return list;
}

std::string contentsOf(const std::string& path) {
  auto bytes = vexil::platform::readWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

}  // namespace

TEST(MovieList, EmbeddedEntriesAreWrittenAndPlugInsGoToTheirFolder) {
  ScratchDir dir;
  auto list = load(listStream(kMovieListEmbedded | kMovieListRandom,
                              {{1, "intro.swf", "FWS-intro"}, {2, "xtra.dll", "MZ-plugin"}, {1, "main.swf", ""}}),
                   dir.path);
  EXPECT_EQ(list.flags, 3u);
  ASSERT_EQ(list.entries.size(), 3u);
  EXPECT_EQ(list.entries[0].path, dir.path + "intro.swf");
  EXPECT_EQ(list.entries[1].path, dir.path + "Plug_Ins\\xtra.dll");
  EXPECT_EQ(list.entries[1].kind, 2u);
  EXPECT_TRUE(vexil::platform::directoryExists(dir.path + "Plug_Ins"));
  EXPECT_EQ(contentsOf(list.entries[0].path), "FWS-intro");
  EXPECT_EQ(contentsOf(list.entries[1].path), "MZ-plugin");
  EXPECT_EQ(contentsOf(list.entries[2].path), "");
}

TEST(MovieList, ExternalEntriesListOnlyMoviesBesideTheExecutable) {
  ScratchDir dir;
  auto list = load(listStream(0, {{1, "a.swf", ""}, {2, "p.dll", ""}, {1, "b.swf", ""}}), dir.path);
  ASSERT_EQ(list.entries.size(), 2u);
  EXPECT_EQ(list.entries[0].path, "X:\\app\\a.swf");
  EXPECT_EQ(list.entries[1].path, "X:\\app\\b.swf");
  EXPECT_FALSE(vexil::platform::directoryExists(dir.path + "Plug_Ins"));
}

TEST(MovieList, BadStreamsKeepWhatWasReadBeforeTheError) {
  ScratchDir dir;
  auto stream = listStream(kMovieListEmbedded, {{1, "one.swf", "1111"}, {1, "two.swf", "2222"}});
  stream.resize(stream.size() - 2);  // the second file is cut short
  auto list = load(stream, dir.path);
  ASSERT_EQ(list.entries.size(), 1u);
  EXPECT_EQ(list.entries[0].path, dir.path + "one.swf");

  // A count far beyond the entries present reads what is there and stops.
  EXPECT_EQ(load(listStream(0, {{1, "a.swf", ""}}, 0xFFFFFFFF), dir.path).entries.size(), 1u);
  // A missing or undecodable "ML" leaves the list empty.
  MemoryResources none;
  MovieList list2;
  loadMovieList(list2, none, dir.path, "X:\\");
  EXPECT_TRUE(list2.entries.empty());
}

TEST(MovieList, NamesThatWouldLeaveTheTemporaryDirectoryAreRefused) {
  ScratchDir dir;
  auto list = load(listStream(kMovieListEmbedded, {{1, "..\\outside.swf", "x"},
                                                   {2, "..\\..\\outside.dll", "x"},
                                                   {1, "C:\\abs.swf", "x"},
                                                   {1, "\\root.swf", "x"},
                                                   {1, "ok.swf", "fine"}}),
                   dir.path);
  ASSERT_EQ(list.entries.size(), 1u);  // the refused entries are skipped, the good one kept
  EXPECT_EQ(list.entries[0].path, dir.path + "ok.swf");
  EXPECT_FALSE(vexil::platform::fileExists(dir.path + "..\\outside.swf"));
  EXPECT_FALSE(vexil::platform::fileExists(dir.path + "Plug_Ins\\..\\..\\outside.dll"));
}
