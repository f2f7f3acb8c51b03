// The application's plain decisions: run mode from the command line, version checks, which movie
// plays, and where the settings record comes from.
#include <gtest/gtest.h>

#include <map>

#include "host/app/command_line.h"
#include "host/app/movie_choice.h"
#include "host/app/player_version.h"
#include "host/app/settings_loader.h"
#include "host/package/byte_writer.h"
#include "host/package/package_blob.h"

using namespace vexil::app;
using vexil::package::MovieList;

TEST(CommandLine, FirstArgumentChoosesTheRunMode) {
  struct Case {
    std::vector<std::string> arguments;
    RunMode mode;
  } cases[] = {
      {{}, RunMode::Configure},
      {{"/c"}, RunMode::Configure},
      {{"-C"}, RunMode::Configure},
      {{"/c:1234"}, RunMode::Configure},
      {{"cfg"}, RunMode::Configure},
      {{"/S"}, RunMode::FullScreen},
      {{"-s"}, RunMode::FullScreen},
      {{"s"}, RunMode::FullScreen},
      {{"/p", "1234"}, RunMode::Preview},
      {{"/P"}, RunMode::Preview},
      {{"/x"}, RunMode::Exit},
      {{""}, RunMode::Exit},
      {{"/"}, RunMode::Exit},
      {{"-setdefault"}, RunMode::Install},
      {{"-SETDEFAULT"}, RunMode::Install},
      {{"/setdefault"}, RunMode::FullScreen},  // a switch: "s" by prefix
      {{"-setdefaults"}, RunMode::FullScreen},
      {{"/s", "/c"}, RunMode::FullScreen},    // only the first argument decides
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseRunMode(c.arguments), c.mode) << (c.arguments.empty() ? "(none)" : c.arguments[0]);
  }
}

TEST(CommandLine, SwitchMatchingRule) {
  struct Case {
    const char* argument;
    const char* name;
    bool matches;
  } cases[] = {
      {"/c", "c", true},   {"-C", "c", true},      {"c", "c", true},     {"/c:1234", "c", true},
      {"cfg", "c", true},  {"//c", "c", false},    {"-", "c", false},    {"/sa", "save", false},
      {"/SAVE", "save", true}, {"/saver", "save", true}, {"x", "c", false},
  };
  for (const Case& c : cases) EXPECT_EQ(switchMatches(c.argument, c.name), c.matches) << c.argument << " " << c.name;
}

TEST(CommandLine, PreviewParentReadsLikeAtol) {
  EXPECT_EQ(previewParent({"/p", "1234"}), 1234);
  EXPECT_EQ(previewParent({"/p", "  56x"}), 56);
  EXPECT_EQ(previewParent({"/p", "none"}), 0);
  EXPECT_EQ(previewParent({"/p"}), std::nullopt);
}

TEST(CommandLine, ConfigureOwnerAfterTheColonOrAsSecondArgument) {
  struct Case {
    std::vector<std::string> arguments;
    std::optional<long> owner;
  };
  const Case cases[] = {
      {{"/c:1234"}, 1234},   {{"-C:65550"}, 65550}, {{"/c", "4321"}, 4321}, {{"/c"}, std::nullopt},
      {{}, std::nullopt},    {{"/c:0"}, std::nullopt}, {{"/c:junk"}, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(configureOwner(c.arguments), c.owner) << ::testing::PrintToString(c.arguments);
}

TEST(Versions, PlayerFromSevenZeroThirtyTwo) {
  struct Case {
    uint32_t ms, ls;
    bool good;
  } cases[] = {
      {0x00060000, 0x00000000, false}, {0x00070000, 0x001F0000, false}, {0x00070000, 0x001FFFFF, false},
      {0x00070000, 0x00200000, true},  {0x00070000, 0x00210000, true},  {0x00070001, 0x00000000, true},
      {0x00080000, 0x00000000, true},  {0x00000000, 0xFFFFFFFF, false},
  };
  for (const Case& c : cases) EXPECT_EQ(isGoodPlayerVersion({c.ms, c.ls}), c.good) << std::hex << c.ms << " " << c.ls;
}

TEST(Versions, OleAutFromTwoTwenty) {
  struct Case {
    uint32_t ms;
    bool good;
  } cases[] = {{0x00020013, false}, {0x00020014, true}, {0x00020028, true}, {0x00030000, true},
               {0x00010063, false}, {0x00000000, false}};
  for (const Case& c : cases) EXPECT_EQ(isGoodOleAutVersion({c.ms, 0}), c.good) << std::hex << c.ms;
}

TEST(MovieChoice, HookThenRandomThenFirstAndNeverAPlugIn) {
  MovieList list;
  list.entries = {{"a.swf", 1}, {"plug.dll", 2}, {"b.swf", 1}, {"c.swf", 1}};
  auto draw = [](int value) { return [value] { return value; }; };
  EXPECT_EQ(chooseMovie(list, std::string("hook.swf"), draw(0)), "hook.swf");
  EXPECT_EQ(chooseMovie(list, std::nullopt, draw(7)), "a.swf");  // not random: the first
  list.flags = vexil::package::kMovieListRandom;
  EXPECT_EQ(chooseMovie(list, std::nullopt, draw(0)), "a.swf");
  EXPECT_EQ(chooseMovie(list, std::nullopt, draw(1)), "b.swf");
  EXPECT_EQ(chooseMovie(list, std::nullopt, draw(5)), "c.swf");
  EXPECT_EQ(chooseMovie(MovieList{}, std::nullopt, draw(3)), "");
  MovieList plugInsOnly;
  plugInsOnly.entries = {{"plug.dll", 2}};
  EXPECT_EQ(chooseMovie(plugInsOnly, std::nullopt, draw(0)), "");
}

namespace {

class MemoryProfile : public SettingsProfile {
 public:
  std::map<std::string, std::vector<uint8_t>> values;
  std::vector<std::string> writes;
  std::optional<std::vector<uint8_t>> read(const char* value) const override {
    auto it = values.find(value);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool write(const char* value, const std::vector<uint8_t>& bytes) override {
    values[value] = bytes;
    writes.push_back(value);
    return true;
  }
};

vexil::package::MemoryResources packageWith(const std::string& product, uint8_t stampByte) {
  vexil::package::PackageSettings settings;
  settings.productTexts[0] = product;
  settings.wakeupMethod = 16;
  vexil::package::MemoryResources resources;
  resources.add("ST", "LUMARC", vexil::package::encodeBlob(vexil::package::storeSettings(settings)));
  resources.add("CS", "LUMARC", std::vector<uint8_t>(16, stampByte));
  return resources;
}

}  // namespace

TEST(SettingsOrigin, StoredCopyLivesWhileTheStampMatchesAndYieldsToANewPackage) {
  MemoryProfile profile;
  vexil::package::PackageSettings settings;
  auto first = packageWith("first", 1);
  // A first run takes the package's record and keeps a copy: the options before the stamp.
  EXPECT_EQ(loadRunSettings(settings, first, profile, ""), SettingsOrigin::Package);
  EXPECT_EQ(settings.productTexts[0], "first");
  EXPECT_EQ(profile.writes, (std::vector<std::string>{kOptionsValue, kStampValue}));

  // The user's change (as the settings dialog would store it) survives a restart.
  settings.wakeupMethod = 4;
  storeRunSettings(settings, profile);
  profile.writes.clear();
  EXPECT_EQ(loadRunSettings(settings, first, profile, ""), SettingsOrigin::Stored);
  EXPECT_EQ(settings.wakeupMethod, 4u);
  EXPECT_TRUE(profile.writes.empty());

  // A changed package replaces it.
  auto second = packageWith("second", 2);
  EXPECT_EQ(loadRunSettings(settings, second, profile, ""), SettingsOrigin::Package);
  EXPECT_EQ(settings.productTexts[0], "second");
  EXPECT_EQ(settings.wakeupMethod, 16u);
  EXPECT_EQ(profile.values[kStampValue], std::vector<uint8_t>(16, 2));

  // A stored copy that does not parse is not used.
  profile.values[kOptionsValue] = {1, 2, 3};
  EXPECT_EQ(loadRunSettings(settings, second, profile, ""), SettingsOrigin::Package);
  EXPECT_EQ(settings.productTexts[0], "second");
}

TEST(SettingsOrigin, ConfirmedRecordIsStoredWithTheStampSoTheNextRunKeepsIt) {
  MemoryProfile profile;
  vexil::package::PackageSettings settings;
  auto package = packageWith("confirmed", 7);
  settings.wakeupMethod = 2;
  // Nothing stored before (a profile from another package, or none): the stamp goes with it.
  EXPECT_TRUE(storeConfirmedSettings(settings, package, profile));
  EXPECT_EQ(profile.writes, (std::vector<std::string>{kOptionsValue, kStampValue}));
  EXPECT_EQ(profile.values[kStampValue], std::vector<uint8_t>(16, 7));
  EXPECT_EQ(loadRunSettings(settings, package, profile, ""), SettingsOrigin::Stored);
  EXPECT_EQ(settings.wakeupMethod, 2u);
}

TEST(SettingsOrigin, PackageWithoutSettingsLeavesTheRecordEmpty) {
  MemoryProfile profile;
  vexil::package::PackageSettings settings;
  settings.wakeupMethod = 99;
  vexil::package::MemoryResources empty;
  EXPECT_EQ(loadRunSettings(settings, empty, profile, ""), SettingsOrigin::Package);
  EXPECT_EQ(settings.wakeupMethod, 0u);
  EXPECT_FALSE(settings.productTexts[0].has_value());
}
