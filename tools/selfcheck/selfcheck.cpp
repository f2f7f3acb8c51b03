// The runtime's self-check: opens a package the way start-up does (identity, temporary directory,
// settings and their stamp, movie list, every compiled script, About picture, the appended archive
// of additional files) and reports what it found. Exit code 0 when everything is in order, 1 when
// something is not (the last line names the first problem), 2 for a usage mistake.
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
#include "host/package/package_blob.h"
#include "platform/file_system.h"
#include "script/compiler/compiled_script.h"
#include "script/runtime/engine.h"
#include "script/runtime/runtime_error.h"
#include "script/vm/loader.h"
#include "tools/vxpack/project/archive_contents.h"
#include "tools/vxpack/project/package_parts.h"

using namespace vexil::package;
namespace platform = vexil::platform;

namespace {

int failures = 0;
std::string firstProblem;

void check(bool ok, const std::string& what, const std::string& detail = {}) {
  std::printf("%-22s %s%s%s\n", what.c_str(), ok ? "ok" : "FAILED", detail.empty() ? "" : "  ", detail.c_str());
  if (!ok && failures++ == 0) {
    size_t start = what.find_first_not_of(' ');
    firstProblem = what.substr(start == std::string::npos ? 0 : start) + (detail.empty() ? "" : ": " + detail);
  }
}

BOOL CALLBACK addScriptName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
  auto* out = reinterpret_cast<std::vector<std::string>*>(list);
  out->push_back(IS_INTRESOURCE(name) ? "#" + std::to_string(ULONG_PTR(name)) : std::string(name));
  return TRUE;
}

// The names of the module's compiled scripts, in the order the module lists them.
std::vector<std::string> scriptNames(HMODULE module) {
  std::vector<std::string> names;
  EnumResourceNamesA(module ? module : GetModuleHandleA(nullptr), "VEXIL", addScriptName, LONG_PTR(&names));
  return names;
}

// A script decodes, reads as a compiled script and loads into an engine of its own (the loader
// checks every instruction); the reason when it does not.
std::string scriptProblem(const ModuleResources& module, const std::string& name) {
  auto raw = module.readRaw(name, "VEXIL");
  if (!raw) return "cannot be read";
  auto decoded = decodeBlob(*raw);
  if (auto* error = std::get_if<BlobError>(&decoded)) return "does not decode: " + error->describe();
  auto& bytes = std::get<std::vector<uint8_t>>(decoded);
  auto script = vexil::script::readCompiledScript(bytes);
  if (!script) return "not a compiled script (" + std::to_string(bytes.size()) + " bytes)";
  vexil::script::Engine* engine = vexil::script::createEngine(vexil::script::EngineConfig());
  if (!engine) return "no engine to load it into";
  bool loaded = vexil::script::protectedCall(*engine, [&] { vexil::script::loadModule(*engine, *script); });
  std::string problem = loaded ? "" : std::string("does not load: ") + engine->message;
  vexil::script::destroyEngine(engine);
  return problem;
}

std::string text(const Text& t) { return t ? "\"" + *t + "\"" : "(none)"; }

std::string hex(uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", unsigned(v));
  return buffer;
}

// `image` is the file the package lives in: movies beside it and its appended archive are found
// from there.
void checkPackage(const ModuleResources& module, void* other, const std::string& image, const std::string& temp) {
  PackageSettings settings;
  auto st = decodeResource(module, "ST", "LUMARC");
  bool loaded = st && loadSettings(settings, *st, temp);
  check(loaded, "settings record",
        text(settings.productTexts[0]) + ", wake-up " + hex(settings.wakeupMethod) + ", background " +
            hex(settings.backgroundColor));
  // The packager derives the stamp from the settings blob: a stamp that does not match would keep
  // an old registry copy of the settings in use.
  auto stamp = module.readRaw("CS", "LUMARC");
  auto stBlob = module.readRaw("ST", "LUMARC");
  bool stampOk = stamp && stamp->size() == 16 && stBlob && *stamp == vexil::project::settingsStamp(*stBlob);
  check(stampOk, "settings stamp", stampOk ? "" : stamp ? "does not match the settings" : "missing");

  MovieList movies;
  loadMovieList(movies, module, temp, platform::directoryOf(image));
  check(!movies.entries.empty(), "movie list", std::to_string(movies.entries.size()) + " entries");
  for (const auto& entry : movies.entries) {
    auto bytes = platform::readWholeFile(entry.path);
    bool movie = entry.kind != 1 || (bytes && bytes->size() > 8 && (bytes->at(0) == 'F' || bytes->at(0) == 'C') &&
                                     bytes->at(1) == 'W' && bytes->at(2) == 'S');
    check(movie, entry.kind == 1 ? "  movie file" : "  plug-in file",
          entry.path + " (" + std::to_string(bytes ? bytes->size() : 0) + " bytes)");
  }

  CompiledScriptCache scripts(module);
  CachedScript* init = scripts.find("INITIALIZE");
  std::printf("%-22s %s\n", "start-up script", init ? (std::to_string(init->bytes.size()) + " bytes").c_str() : "none");
  for (const std::string& name : scriptNames(static_cast<HMODULE>(other))) {
    std::string problem = scriptProblem(module, name);
    check(problem.empty(), "  script " + name, problem);
  }

  HBITMAP picture = static_cast<HBITMAP>(loadAboutPicture(module, temp));
  BITMAP info{};
  loaded = picture && GetObjectW(picture, sizeof info, &info);
  check(loaded, "about picture", loaded ? std::to_string(info.bmWidth) + "x" + std::to_string(info.bmHeight) : "");
  if (picture) DeleteObject(picture);

  auto file = platform::readWholeFile(image);
  auto archive = vexil::project::listArchive(file ? std::span<const uint8_t>(*file) : std::span<const uint8_t>());
  if (!archive.present) std::printf("%-22s %s\n", "additional files", "none appended");
  else check(archive.problem.empty(), "additional files", std::to_string(archive.entries.size()) + " entries" +
                                                             (archive.problem.empty() ? "" : ": " + archive.problem));
  for (const auto& entry : archive.entries)
    std::printf("  %-20s %s\n", entry.folder ? "folder" : "file",
                (entry.path + (entry.folder ? "" : " (" + std::to_string(entry.size) + " bytes)")).c_str());
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
  if (!id) {
    std::printf("self-check FAILED: %s\n", firstProblem.c_str());
    return 1;
  }

  auto temp = createTempDirectory();
  check(temp.has_value(), "temporary directory", temp.value_or(""));
  if (!temp) {
    std::printf("self-check FAILED: %s\n", firstProblem.c_str());
    return 1;
  }
  checkPackage(module, other, image, *temp);
  check(deleteTempDirectory(*temp) && !platform::fileExists(*temp), "temporary dir removed");

  if (failures)
    std::printf("self-check FAILED (%d): %s\n", failures, firstProblem.c_str());
  else
    std::printf("self-check passed\n");
  if (other) FreeLibrary(other);
  return failures ? 1 : 0;
}
