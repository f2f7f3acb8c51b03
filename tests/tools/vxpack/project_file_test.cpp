// The project file: every settings item by its readable name, and every mistake named by file,
// line and key.
#include <gtest/gtest.h>

#include "host/package/movie_list.h"
#include "project_fixture.h"
#include "tools/vxpack/project/project_file.h"

namespace vexil::project {
namespace {

using namespace vexil::package;

class ProjectFile : public testing::ProjectFolder {};

TEST_F(ProjectFile, ReadsEveryItemByItsReadableName) {
  Project p = readProject(project(R"({
  "$schema": "../docs/project-file.schema.json",
  "identity": "Me/My Saver",
  "movies": { "files": ["movie.swf"], "random": true, "plugIns": ["readme.txt"] },
  "scripts": { "INITIALIZE": "start.vxs", "helper": "start.vxs" },
  "files": ["readme.txt", { "path": "data", "name": "extra" }],
  "about": { "product": "P", "title": "T", "company": "C", "legal": "L", "shortName": "S",
             "description": "D", "version": "1.2", "showMovie": true, "picture": "about.bmp",
             "web": { "caption": "site", "address": "http://example.com/" },
             "mail": { "caption": "write", "address": "me@example.com" } },
  "settings": { "wakeUp": ["mouse-move", "escape", "hot-key"], "background": "#E07A1F",
                "muteSpeakers": true, "hideCursor": true, "disableCdAutorun": true, "noScale": true,
                "hotKey": { "key": "q", "ctrl": true, "alt": true }, "preview": { "file": "movie.swf" },
                "helpFile": "readme.txt" },
  "player": false
})"));
  const PackageSettings& s = p.settings;
  EXPECT_EQ(p.identity, "Me/My Saver");
  EXPECT_EQ(p.movieFlags, 1u | kMovieListEmbedded);
  ASSERT_EQ(p.movies.size(), 1u);
  EXPECT_EQ(p.movies[0], path("movie.swf"));
  EXPECT_EQ(p.plugIns.size(), 1u);
  ASSERT_EQ(p.scripts.size(), 2u);
  EXPECT_EQ(p.scripts[1].name, "helper");
  EXPECT_FALSE(p.scripts[0].compiled);
  ASSERT_EQ(p.files.size(), 2u);
  EXPECT_EQ(p.files[1].name, "extra");
  EXPECT_TRUE(p.noPlayer);
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(p.settings.productTexts[i], std::string(1, "PTCLSD1"[i]) + (i == 6 ? ".2" : ""));
  EXPECT_EQ(s.links[1], "http://example.com/");
  EXPECT_EQ(s.links[2], "write");
  EXPECT_EQ(s.aboutFlags, kAboutShowPicture | kAboutShowFirstMovie);
  ASSERT_TRUE(p.picture);
  EXPECT_EQ(p.picture->path, path("about.bmp"));
  EXPECT_EQ(s.wakeupMethod, 4u | 16u | 32u);
  EXPECT_EQ(s.backgroundColor, 0x1F7AE0u);  // bytes red, green, blue
  EXPECT_EQ(s.options, kOptionBackgroundColor | kOptionMuteSpeakers | kOptionHideCursor | kOptionDisableCDAutoRun |
                           kOptionNoScale);
  EXPECT_EQ(s.hotKeyCode, 'Q');
  EXPECT_EQ(s.hotKeyModifiers, 6);
  EXPECT_EQ(s.previewMode, 2u);
  EXPECT_EQ(s.previewFile, path("movie.swf"));
  EXPECT_EQ(s.helpFileOption, 1u);
}

TEST_F(ProjectFile, DefaultsWakeOnButtonsMovementKeysAndEsc) {
  Project p = readProject(project(R"({"identity": "Me/Saver", "movies": ["movie.swf"]})"));
  EXPECT_EQ(p.settings.wakeupMethod, 0x1Fu);
  EXPECT_EQ(p.settings.options, 0u);
  EXPECT_FALSE(p.picture);
  EXPECT_TRUE(p.scripts.empty());
}

TEST_F(ProjectFile, NamesFileLineAndKeyOfEveryMistake) {
  struct Case {
    const char* text;
    const char* expected;  // what follows "project.json:"
  };
  const Case cases[] = {
      {"{\"identity\": \"a/b\",\n\"movies\": [\"movie.swf\"],\n\"colour\": 1}", "3: colour: unknown key (allowed here:"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"],\n\"settings\": {\n\"background\": \"E07A1\"}}",
       "3: settings.background: expected a colour \"#RRGGBB\""},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"settings\": {\"background\": 336699}}",
       "1: settings.background: expected a string, got a number"},
      {"{\"identity\": \"a/b\",\n\"movies\": [\"missing.swf\"]}", "2: movies: file not found: missing.swf"},
      {"{\"identity\": \"a/b\",\n\"movies\": [\"notmovie.swf\"]}", "2: movies: not a movie (no SWF header)"},
      {"{\"identity\": \"a/b\", \"movies\": []}", "1: movies: expected at least one movie"},
      {"{\"identity\": \"a/b\"}", "1: movies: missing"},
      {"{\"movies\": [\"movie.swf\"]}", "1: identity: missing"},
      {"{\"identity\": \"/b\", \"movies\": [\"movie.swf\"]}", "1: identity: expected \"Company/Saver name\""},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"],\n\"scripts\": {\"1st\": \"start.vxs\"}}",
       "2: scripts.1st: a script name is"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"scripts\": {\"INITIALIZE\": \"gone.vxs\"}}",
       "1: scripts.INITIALIZE: file not found: gone.vxs"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"scripts\": {\"x\": \"start.vxs\", \"X\": \"start.vxs\"}}",
       "1: scripts.X: a script of this name"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"],\n\"settings\": {\"wakeUp\": [\"banana\"]}}",
       "2: settings.wakeUp: unknown wake-up \"banana\""},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"settings\": {\"wakeUp\": [\"hot-key\"]}}",
       "1: settings.wakeUp: \"hot-key\" wakes the saver only with a \"hotKey\""},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"settings\": {\"hotKey\": {\"key\": 300}}}",
       "1: settings.hotKey.key: expected a whole number from 1 to 254, got 300"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"settings\": {\"hotKey\": {\"key\": 1.5}}}",
       "1: settings.hotKey.key: expected a whole number"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"settings\": {\"preview\": \"nothing\"}}",
       "1: settings.preview: expected \"icon\""},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"settings\": {\"muteSpeakers\": \"yes\"}}",
       "1: settings.muteSpeakers: expected true or false"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"about\": {\"picture\": \"readme.txt\"}}",
       "1: about.picture: not a Windows bitmap"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"about\": {\"picture\": {\"width\": 0, \"height\": 1, "
       "\"colour\": \"#000000\"}}}",
       "1: about.picture.width: expected a whole number from 1 to 4096"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"about\": {\"web\": {\"url\": \"x\"}}}",
       "1: about.web.url: unknown key"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"files\": [\"readme.txt\", \"readme.txt\"]}",
       "1: files: \"readme.txt\" is given twice"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"files\": [{\"path\": \"data\", \"name\": \"a/b\"}]}",
       "1: files: an archive name is one name"},
      {"{\"identity\": \"a/b\", \"movies\": {\"files\": [\"a/movie.swf\"], \"embed\": false}}",
       "1: movies.files: a movie that is not embedded is a bare file name"},
      {"{\"identity\": \"a/b\", \"movies\": [\"movie.swf\"], \"player\": true}",
       "1: player: expected the player control's file, or false"},
      {"{\"identity\": \"a/b\",\n\"movies\": [\"movie.swf\"]\n\"files\": []}", "3: expected ',' or '}'"},
  };
  for (const Case& c : cases) {
    std::string file = project(c.text);
    try {
      readProject(file);
      ADD_FAILURE() << c.text << ": accepted";
    } catch (const ProjectError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(file + ":" + c.expected, 0), 0u) << c.text << "\n  gave: " << e.what();
    }
  }
}

TEST_F(ProjectFile, MissingProjectFileIsNamed) {
  try {
    readProject(path("none.json"));
    FAIL();
  } catch (const ProjectError& e) {
    EXPECT_NE(std::string(e.what()).find("none.json: cannot read the project file"), std::string::npos);
  }
}

}  // namespace
}  // namespace vexil::project
