// The runtime's self-check: opens a package the way start-up does (identity, temporary directory,
// settings, movie list, start-up script, About picture, the appended archive) and reports what it
// found. Exit code 0 when everything is in order, 1 when something is not, 2 for a usage mistake.
//   selfcheck             checks the package this executable carries
//   selfcheck FILE.scr    checks the package another saver carries (its resources are read as
//                         data; nothing of it runs)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "host/package/about_picture.h"
#include "host/package/additional_files.h"
#include "host/package/app_identity.h"
#include "host/package/compiled_script_cache.h"
#include "host/package/module_resources.h"
#include "host/package/movie_list.h"
#include "host/package/package_settings.h"
#include "host/package/temp_directory.h"
#include "platform/file_system.h"

using namespace vexil::package;
namespace platform = vexil::platform;

namespace {

int failures = 0;

void check(bool ok, const char* what, const std::string& detail = {}) {
  std::printf("%-22s %s%s%s\n", what, ok ? "ok" : "FAILED", detail.empty() ? "" : "  ", detail.c_str());
  if (!ok) ++failures;
}

std::string text(const Text& t) { return t ? "\"" + *t + "\"" : "(none)"; }

std::string hex(uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", unsigned(v));
  return buffer;
}

// `image` is the file the package lives in: movies beside it and its appended archive are found
// from there.
void checkPackage(const ModuleResources& module, const std::string& image, const std::string& temp) {
  PackageSettings settings;
  auto st = decodeResource(module, "ST", "LUMARC");
  bool loaded = st && loadSettings(settings, *st, temp);
  check(loaded, "settings record",
        text(settings.productTexts[0]) + ", wake-up " + hex(settings.wakeupMethod) + ", background " +
            hex(settings.backgroundColor));
  check(module.readRaw("CS", "LUMARC").value_or(std::vector<uint8_t>()).size() == 16, "settings stamp");

  MovieList movies;
  loadMovieList(movies, module, temp, platform::directoryOf(image));
  check(!movies.entries.empty(), "movie list", std::to_string(movies.entries.size()) + " entries");
  for (const auto& entry : movies.entries) {
    auto bytes = platform::readWholeFile(entry.path);
    bool movie = bytes && bytes->size() > 8 && (bytes->at(0) == 'F' || bytes->at(0) == 'C');
    check(movie, "  movie file", entry.path + " (" + std::to_string(bytes ? bytes->size() : 0) + " bytes)");
  }

  CompiledScriptCache scripts(module);
  CachedScript* init = scripts.find("INITIALIZE");
  check(init != nullptr, "start-up script", init ? std::to_string(init->bytes.size()) + " bytes" : "");

  HBITMAP picture = static_cast<HBITMAP>(loadAboutPicture(module, temp));
  BITMAP info{};
  loaded = picture && GetObjectW(picture, sizeof info, &info);
  check(loaded, "about picture", loaded ? std::to_string(info.bmWidth) + "x" + std::to_string(info.bmHeight) : "");
  if (picture) DeleteObject(picture);

  std::string extra = getAdditionalFile(image, temp, "readme.txt");
  std::printf("%-22s %s\n", "additional files", extra.empty() ? "none appended" : extra.c_str());
}

constexpr char kUsage[] =
    "usage: selfcheck            check the package this executable carries\n"
    "       selfcheck FILE.scr   check the package another saver carries\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    bool help = argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    std::fputs(kUsage, help ? stdout : stderr);
    return help ? 0 : 2;
  }
  std::string image = argc == 2 ? argv[1] : platform::executablePath();
  HMODULE other = nullptr;
  if (argc == 2) {
    other = LoadLibraryExA(image.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!other) {
      std::fprintf(stderr, "selfcheck: %s is not a Windows program that can be read\n", image.c_str());
      return 1;
    }
  }
  std::printf("Vexil self-check of %s\n", image.c_str());
  ModuleResources module(other);
  auto id = readIdentity(module, "Vexil");
  check(id.has_value(), "identity", id ? id->registryKey + " / " + id->profileName : kInvalidApplicationData);
  if (!id) return 1;

  auto temp = createTempDirectory();
  check(temp.has_value(), "temporary directory", temp.value_or(""));
  if (!temp) return 1;
  checkPackage(module, image, *temp);
  check(deleteTempDirectory(*temp) && !platform::fileExists(*temp), "temporary dir removed");

  std::printf(failures ? "self-check FAILED (%d)\n" : "self-check passed\n", failures);
  if (other) FreeLibrary(other);
  return failures ? 1 : 0;
}
