// The package a project makes: every resource decodes to what the project says, scripts are
// compiled on the way (a compile error names the project's line and the script's), large items
// report their progress, and the native writer puts the package into a stub.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/package/byte_reader.h"
#include "host/package/movie_list.h"
#include "host/package/package_blob.h"
#include "pe_test_image.h"
#include "platform/file_system.h"
#include "project_fixture.h"
#include "script/compiler/compiled_script.h"
#include "script/runtime/engine.h"
#include "tools/vxpack/pe/pe_resources.h"
#include "tools/vxpack/project/package_build.h"
#include "tools/vxpack/project/package_parts.h"
#include "tools/vxpack/project/package_writer.h"

namespace vexil::project {
namespace {

using namespace vexil::package;

class PackageBuild : public testing::ProjectFolder {
 protected:
  void SetUp() override {
    ProjectFolder::SetUp();
    engine_ = script::createEngine(script::EngineConfig());
    ASSERT_NE(engine_, nullptr);
  }
  void TearDown() override {
    script::destroyEngine(engine_);
    ProjectFolder::TearDown();
  }

  BuiltPackage build(const std::string& text, std::vector<std::string>* report = nullptr) {
    std::string file = project(text);
    Project p = readProject(file);
    return buildPackage(p, file, *engine_, [&](const std::string& line) {
      if (report) report->push_back(line);
    });
  }

  static std::vector<uint8_t> resource(const BuiltPackage& b, const std::string& type, const std::string& name) {
    for (auto& r : b.resources)
      if (r.type == type && r.name == name) return r.bytes;
    ADD_FAILURE() << "no resource " << type << "/" << name;
    return {};
  }
  static std::vector<uint8_t> decoded(const BuiltPackage& b, const std::string& type, const std::string& name) {
    auto result = decodeBlob(resource(b, type, name));
    EXPECT_TRUE(std::holds_alternative<std::vector<uint8_t>>(result)) << type << "/" << name;
    return std::holds_alternative<std::vector<uint8_t>>(result) ? std::get<std::vector<uint8_t>>(result)
                                                                : std::vector<uint8_t>{};
  }

  script::Engine* engine_ = nullptr;
};

TEST_F(PackageBuild, EveryResourceDecodesToWhatTheProjectSays) {
  BuiltPackage b = build(R"({"identity": "Me/Saver", "movies": ["movie.swf"],
    "scripts": {"INITIALIZE": "start.vxs"}, "files": ["readme.txt", "data"],
    "about": {"product": "Saver", "picture": {"width": 3, "height": 2, "colour": "#102030"}},
    "settings": {"background": "#336699", "wakeUp": ["any-key"]}})");

  auto id = resource(b, "LUMARC", "ID");
  EXPECT_EQ(id, identityBytes("Me/Saver"));
  EXPECT_EQ(id.size(), 2 * 9 + 32u);

  auto settingsBlob = resource(b, "LUMARC", "ST");
  EXPECT_EQ(resource(b, "LUMARC", "CS"), settingsStamp(settingsBlob));
  PackageSettings s;
  std::string temp = (folder_ / "temp").string() + "/";
  std::filesystem::create_directories(temp);
  ASSERT_TRUE(loadSettings(s, decoded(b, "LUMARC", "ST"), temp));
  EXPECT_EQ(s.productTexts[0], "Saver");
  EXPECT_EQ(s.wakeupMethod, 8u);
  EXPECT_EQ(s.backgroundColor, 0x996633u);
  EXPECT_EQ(s.aboutFlags, kAboutShowPicture);

  auto movieList = decoded(b, "LUMARC", "ML");
  ByteReader ml(movieList);
  EXPECT_EQ(ml.u32(), kMovieListEmbedded);
  EXPECT_EQ(ml.u32(), 1u);
  EXPECT_EQ(ml.u32(), 1u);  // a movie

  EXPECT_EQ(decoded(b, "LUMARC", "BK"), solidBitmap(3, 2, 0x102030));
  EXPECT_TRUE(script::readCompiledScript(decoded(b, "VEXIL", "INITIALIZE")));

  ASSERT_GT(b.archive.size(), 12u);
  EXPECT_EQ(std::string(b.archive.begin(), b.archive.begin() + 3), "LAF");
}

TEST_F(PackageBuild, CompileErrorNamesTheProjectLineAndTheScriptLine) {
  try {
    build("{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"],\n\"scripts\": {\n\"INITIALIZE\": \"broken.vxs\"}}");
    FAIL() << "a broken script was packed";
  } catch (const ProjectError& e) {
    std::string text = e.what();
    EXPECT_NE(text.find("project.json:3: scripts.INITIALIZE: the script does not compile"), std::string::npos) << text;
    EXPECT_NE(text.find("broken.vxs:3:"), std::string::npos) << text;  // lines counted from 1
  }
}

TEST_F(PackageBuild, CompiledScriptsGoInAsTheyAreAndDamagedOnesAreRefused) {
  auto compiled = decoded(build(R"({"identity": "a/b", "movies": ["movie.swf"],
    "scripts": {"INITIALIZE": "start.vxs"}})"), "VEXIL", "INITIALIZE");
  write("start.vxc", std::string(compiled.begin(), compiled.end()));
  auto again = build(R"({"identity": "a/b", "movies": ["movie.swf"], "scripts": {"INITIALIZE": "start.vxc"}})");
  EXPECT_EQ(decoded(again, "VEXIL", "INITIALIZE"), compiled);

  write("damaged.vxc", std::string(compiled.begin(), compiled.begin() + 12));
  EXPECT_THROW(build(R"({"identity": "a/b", "movies": ["movie.swf"], "scripts": {"x": "damaged.vxc"}})"),
               ProjectError);
}

TEST_F(PackageBuild, LargeMoviesReportTheirProgress) {
  std::string big = std::string("FWS\x06", 4);
  for (uint32_t i = 0; big.size() < (6u << 20); ++i) big += std::to_string(i * 7919u % 100003u);
  write("big.swf", big);
  std::vector<std::string> report;
  BuiltPackage b = build(R"({"identity": "a/b", "movies": ["big.swf"]})", &report);
  ASSERT_GE(report.size(), 3u);
  EXPECT_NE(report.front().find("compressing the movies"), std::string::npos) << report.front();
  EXPECT_NE(report.back().find("100%"), std::string::npos) << report.back();
  auto ml = decoded(b, "LUMARC", "ML");
  EXPECT_EQ(ml.size(), big.size() + 5 * 4 + 2 * 8);  // flags, count, kind, name "big.swf", size
}

TEST(PackageParts, BlobInStepsIsTheSameAsTheOneStepBlob) {
  std::vector<uint8_t> data;
  for (uint32_t i = 0; data.size() < (3u << 20); ++i) data.push_back(uint8_t(i * 2654435761u >> 24 & 0x3F));
  int calls = 0;
  EXPECT_EQ(encodeBlobInSteps(data, [&](int) { ++calls; }), encodeBlob(data));
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(encodeBlobInSteps({}, nullptr), encodeBlob({}));
}

#ifndef _WIN32
// The native writer: the stub's own resources stay, an earlier package's resources go.
TEST_F(PackageBuild, NativeWriterKeepsTheStubsResourcesAndDropsAnEarlierPackage) {
  pe::ResourceTable stub;
  stub[{pe::ResourceId::of("#14"), pe::ResourceId::of("#128"), 1033}] = {{1, 2, 3}, 0};
  stub[{pe::ResourceId::of("VEXIL"), pe::ResourceId::of("OLD"), 0}] = {{4}, 0};
  pe::testing::TestImage plan{true, {{".text"}, {".rsrc"}, {".reloc", 12, 0x42000040}}, stub, {}, false};
  auto image = pe::testing::makeImage(plan);
  std::string stubPath = path("stub.scr"), out = path("out.scr");
  ASSERT_TRUE(platform::writeWholeFile(stubPath, image.data(), image.size()));

  BuiltPackage b = build(R"({"identity": "a/b", "movies": ["movie.swf"], "files": ["readme.txt"]})");
  writePackage(stubPath, out, b);
  auto written = platform::readWholeFile(out);
  ASSERT_TRUE(written);
  auto table = pe::readResources(*written);
  EXPECT_TRUE(table.contains({pe::ResourceId::of("#14"), pe::ResourceId::of("#128"), 1033}));
  EXPECT_FALSE(table.contains({pe::ResourceId::of("VEXIL"), pe::ResourceId::of("OLD"), 0}));
  EXPECT_EQ(table.at({pe::ResourceId::of("LUMARC"), pe::ResourceId::of("ID"), 0}).bytes, identityBytes("a/b"));
  EXPECT_TRUE(std::equal(b.archive.begin(), b.archive.end(), written->end() - long(b.archive.size())));

  // A stub that is not a program is named in the message.
  ASSERT_TRUE(platform::writeWholeFile(stubPath, "text", 4));
  try {
    writePackage(stubPath, out, b);
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("not a Windows program"), std::string::npos) << e.what();
  }
}
#endif

}  // namespace
}  // namespace vexil::project
