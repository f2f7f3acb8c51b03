#pragma once
// A screensaver project: the JSON file that `vxpack build` turns into a finished saver. Reading it
// checks everything that can be checked before building: unknown keys, values of the wrong kind,
// files that do not exist, colours, numbers and names out of range. Paths are relative to the
// project file's folder.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/package/package_settings.h"

namespace vexil::project {

// A mistake in a project file, named by file, line and key: "my.json:12: settings.background: ...".
class ProjectError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ProjectScript {
  std::string name;  // the resource name; the start-up script is INITIALIZE
  std::string path;
  bool compiled = false;  // a compiled file rather than source
  int line = 0;           // where the project names it
};

struct ProjectFile {
  std::string path;  // the file or folder to add
  std::string name;  // its name in the archive
  int line = 0;
};

struct ProjectPicture {
  std::string path;  // a .bmp file, or empty for a solid picture
  uint32_t width = 0, height = 0, colour = 0;  // 0xRRGGBB
};

struct Project {
  std::string folder;  // the project file's folder, ending in a separator (or empty)
  std::string identity;
  uint32_t movieFlags = 0;
  std::vector<std::string> movies;   // kind 1
  std::vector<std::string> plugIns;  // kind 2
  std::vector<ProjectScript> scripts;
  std::vector<ProjectFile> files;
  std::optional<ProjectPicture> picture;
  std::string player;  // the player control to carry, or empty for the one beside the stub
  bool noPlayer = false;  // "player": false carries none
  vexil::package::PackageSettings settings;
};

// Whether two resource or archive names are the same for Windows (ASCII case folded).
bool sameNameIgnoringCase(const std::string& a, const std::string& b);

// Reads the project at `path` (reading and checking the files it names for existence).
Project readProject(const std::string& path);
// The same from text already read; `path` names the file in messages and gives the folder.
Project parseProject(const std::string& text, const std::string& path);

}  // namespace vexil::project
