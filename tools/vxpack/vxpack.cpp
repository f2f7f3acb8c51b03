// vxpack: makes the package resources of a Vexil build from plain files.
//   vxpack blob IN OUT                       compress a file into a package blob
//   vxpack id OUT TEXT                       the application identity ("Company/Profile")
//   vxpack stamp OUT BLOB                    the 16-byte settings stamp derived from the "ST" blob
//   vxpack settings OUT [KEY=VALUE...]       a settings record (see kSettingKeys below)
//   vxpack movielist OUT FLAGS KIND:FILE...  a movie list; with flag 2 the files are embedded
//   vxpack bitmap OUT WIDTH HEIGHT RRGGBB    a solid 24-bit Windows bitmap
//   vxpack movie OUT WIDTH HEIGHT RRGGBB     a plain looping movie in one colour
//   vxpack build PROJECT.json -o OUT.scr [--stub STUB]   a finished saver from a project file
//   vxpack put PROGRAM TYPE NAME FILE        one resource, as the file's bytes, into a program
// Every output is raw: wrap settings and movie lists with "blob" before packaging them. Numbers are
// decimal or hexadecimal after "0x"; colours are six hexadecimal digits (with or without "0x" or
// "#"). A mistake in the arguments names the argument and exits with 2; `vxpack --help` and
// `vxpack COMMAND --help` describe the commands.
#include <zlib.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/package/byte_writer.h"
#include "host/package/package_blob.h"
#include "host/package/movie_list.h"
#include "host/package/package_settings.h"
#include "platform/file_system.h"
#include "player/swf/action_builder.h"
#include "player/swf/swf_writer.h"
#include "script/runtime/engine.h"
#include "tools/vxpack/project/package_build.h"
#include "tools/vxpack/project/package_parts.h"
#include "tools/vxpack/project/package_writer.h"
#include "tools/vxpack/project/project_file.h"

using namespace vexil::package;

namespace {

using Args = std::vector<std::string>;

constexpr char kStubName[] = "vexil_stub.scr";
constexpr char kPlayerName[] = "vexil_player.dll";

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "vxpack: %s\n", message.c_str());
  std::exit(1);
}

// A mistake in the command line, as opposed to a file that cannot be read or written.
[[noreturn]] void usageError(const std::string& message) {
  std::fprintf(stderr, "vxpack: %s\n", message.c_str());
  std::exit(2);
}

std::vector<uint8_t> readFile(const std::string& path) {
  auto bytes = vexil::platform::readWholeFile(path);
  if (!bytes) fail("cannot read " + path);
  return *bytes;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (!vexil::platform::writeWholeFile(path, bytes.data(), bytes.size())) fail("cannot write " + path);
}

bool hexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// The whole text as a decimal number, or a hexadecimal one after "0x", up to `limit`.
uint32_t number(const std::string& text, const std::string& what, uint32_t limit = 0xFFFFFFFFu) {
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  std::string digits = hex ? text.substr(2) : text;
  bool ok = !digits.empty() && digits.size() <= 10;
  for (char c : digits) ok = ok && (hex ? hexDigit(c) : (c >= '0' && c <= '9'));
  unsigned long long value = ok ? std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10) : 0;
  if (!ok || value > limit)
    usageError(what + ": expected a number from 0 to " + std::to_string(limit) +
               " (decimal, or hexadecimal after 0x), got '" + text + "'");
  return uint32_t(value);
}

// RRGGBB, 0xRRGGBB or #RRGGBB: 0xRRGGBB.
uint32_t colour(const std::string& text, const std::string& what) {
  std::string digits = text;
  if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0) digits = digits.substr(2);
  else if (digits.rfind('#', 0) == 0) digits = digits.substr(1);
  bool ok = digits.size() == 6;
  for (char c : digits) ok = ok && hexDigit(c);
  if (!ok) usageError(what + ": expected a colour of six hexadecimal digits RRGGBB, got '" + text + "'");
  return uint32_t(std::strtoul(digits.c_str(), nullptr, 16));
}

std::string baseName(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

int blob(const Args& a) {
  writeFile(a.at(1), encodeBlob(readFile(a.at(0))));
  return 0;
}

int identity(const Args& a) {
  writeFile(a.at(0), vexil::project::identityBytes(a.at(1)));
  return 0;
}

int stamp(const Args& a) {
  writeFile(a.at(0), vexil::project::settingsStamp(readFile(a.at(1))));
  return 0;
}

const std::map<std::string, std::function<void(PackageSettings&, const std::string&)>> kSettingKeys = {
    {"product", [](auto& s, auto& v) { s.productTexts[0] = v; }},
    {"title", [](auto& s, auto& v) { s.productTexts[1] = v; }},
    {"company", [](auto& s, auto& v) { s.productTexts[2] = v; }},
    {"legal", [](auto& s, auto& v) { s.productTexts[3] = v; }},
    {"short", [](auto& s, auto& v) { s.productTexts[4] = v; }},
    {"description", [](auto& s, auto& v) { s.productTexts[5] = v; }},
    {"version", [](auto& s, auto& v) { s.productTexts[6] = v; }},
    {"wakeup", [](auto& s, auto& v) { s.wakeupMethod = number(v, "wakeup"); }},
    {"options", [](auto& s, auto& v) { s.options = number(v, "options"); }},
    {"hotkey", [](auto& s, auto& v) { s.hotKeyCode = uint16_t(number(v, "hotkey", 0xFFFF)); }},
    {"modifiers", [](auto& s, auto& v) { s.hotKeyModifiers = uint16_t(number(v, "modifiers", 0xFFFF)); }},
    {"background", [](auto& s, auto& v) {
       uint32_t rgb = colour(v, "background");  // 0xRRGGBB becomes the bytes red, green, blue, 0
       s.backgroundColor = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
     }},
    {"preview-mode", [](auto& s, auto& v) { s.previewMode = number(v, "preview-mode"); }},
    {"preview-file", [](auto& s, auto& v) { s.previewFile = v; }},
    {"help-file", [](auto& s, auto& v) { s.helpFileOption = 1, s.helpFile = v; }},
    {"web-caption", [](auto& s, auto& v) { s.links[0] = v; }},
    {"web-address", [](auto& s, auto& v) { s.links[1] = v; }},
    {"mail-caption", [](auto& s, auto& v) { s.links[2] = v; }},
    {"mail-address", [](auto& s, auto& v) { s.links[3] = v; }},
    {"about-flags", [](auto& s, auto& v) { s.aboutFlags = number(v, "about-flags"); }},
    {"about-picture", [](auto& s, auto& v) { s.aboutPicture = v; }},
};

int settings(const Args& a) {
  PackageSettings s;
  s.carried33 = 80;
  for (auto& font : s.linkFonts) font.height = -11, font.weight = 400, font.faceName = "Tahoma";
  for (size_t i = 1; i < a.size(); ++i) {
    size_t eq = a[i].find('=');
    auto key = kSettingKeys.find(a[i].substr(0, eq));
    if (eq == std::string::npos || key == kSettingKeys.end()) usageError("unknown setting " + a[i]);
    key->second(s, a[i].substr(eq + 1));
  }
  writeFile(a.at(0), storeSettings(s));
  return 0;
}

int movieList(const Args& a) {
  uint32_t flags = number(a.at(1), "movie list flags");
  ByteWriter out;
  out.u32(flags);
  out.u32(uint32_t(a.size() - 2));
  for (size_t i = 2; i < a.size(); ++i) {
    size_t colon = a[i].find(':');
    if (colon == std::string::npos) usageError("expected KIND:FILE, got " + a[i]);
    std::string file = a[i].substr(colon + 1);
    out.u32(number(a[i].substr(0, colon), "movie kind"));
    writeTextItem(out, baseName(file));
    if (flags & kMovieListEmbedded) {
      auto bytes = readFile(file);
      out.u32(uint32_t(bytes.size()));
      out.bytes(bytes);
    }
  }
  writeFile(a.at(0), out.take());
  return 0;
}

int bitmap(const Args& a) {
  uint32_t w = number(a.at(1), "bitmap width", 16384), h = number(a.at(2), "bitmap height", 16384);
  writeFile(a.at(0), vexil::project::solidBitmap(w, h, colour(a.at(3), "bitmap colour")));
  return 0;
}

// A looping movie of one colour whose first frame says it started through the trace: something to
// start a project with until there is a movie of one's own.
int movie(const Args& a) {
  uint32_t w = number(a.at(1), "movie width", 2880), h = number(a.at(2), "movie height", 2880);
  if (w == 0 || h == 0) usageError("movie: width and height must be at least 1");
  vexil::swf::MovieOutline outline;
  outline.backgroundColor = colour(a.at(3), "movie colour");
  outline.frameRect = {0, int32_t(w * 20), 0, int32_t(h * 20)};
  outline.frameRate = 4 << 8;
  vexil::swf::FrameSpec first, middle, last;
  first.actions = {vexil::swf::ActionBuilder().fsCommand("Vexil_Trace", "movie started").bytes()};
  last.actions = {vexil::swf::ActionBuilder().gotoFrame(1).play().bytes()};  // loop past the first frame
  outline.frames = {first, middle, last};
  writeFile(a.at(0), vexil::swf::writeMovie(outline));
  return 0;
}

// The runtime stub `build` copies: --stub, or the one installed beside this program.
std::string stubPath(const std::string& given) {
  if (!given.empty()) return given;
  std::string beside = vexil::platform::directoryOf(vexil::platform::executablePath()) + kStubName;
  if (!vexil::platform::fileExists(beside))
    usageError("no runtime stub beside vxpack (" + beside +
               "): name one with --stub FILE (the Windows builds put " + kStubName + " beside their vxpack.exe)");
  return beside;
}

int build(const Args& a) {
  std::string project, output, stub;
  for (size_t i = 0; i < a.size(); ++i) {
    if ((a[i] == "-o" || a[i] == "--stub") && i + 1 < a.size()) {
      std::string& target = a[i] == "-o" ? output : stub;
      target = a[++i];
    }
    else if (a[i].starts_with("-")) usageError("build: unknown option " + a[i]);
    else if (project.empty()) project = a[i];
    else usageError("build: more than one project file: " + a[i]);
  }
  if (project.empty() || output.empty()) usageError("build: expected PROJECT.json -o OUT.scr");
  stub = stubPath(stub);
  auto report = [](const std::string& line) { std::fprintf(stderr, "vxpack: %s\n", line.c_str()); };
  vexil::script::Engine* engine = vexil::script::createEngine(vexil::script::EngineConfig());
  if (!engine) fail("cannot create a script engine");
  try {
    vexil::project::Project p = vexil::project::readProject(project);
    // The player control the stub was built with lies beside it.
    std::string player = vexil::platform::directoryOf(stub) + kPlayerName;
    if (p.player.empty() && !p.noPlayer && vexil::platform::fileExists(player)) p.player = player;
    auto package = vexil::project::buildPackage(p, project, *engine, report);
    vexil::script::destroyEngine(engine);
    engine = nullptr;
    vexil::project::writePackage(stub, output, package);
    std::printf("vxpack: wrote %s: %zu resources, %zu scripts, %zu movies, additional files %zu bytes\n",
                output.c_str(), package.resources.size(), p.scripts.size(), p.movies.size(), package.archive.size());
    return 0;
  } catch (const std::exception& e) {
    if (engine) vexil::script::destroyEngine(engine);
    std::string text = e.what();
    if (!text.empty() && text.back() == '\n') text.pop_back();
    fail(text);
  }
}

int put(const Args& a) {
  try {
    vexil::project::writeResourcesInto(a.at(0), {{a.at(1), a.at(2), readFile(a.at(3))}}, false);
  } catch (const std::runtime_error& e) {
    fail(e.what());
  }
  return 0;
}

struct Command {
  const char* name;
  size_t minimum;  // arguments after the command's name
  int (*run)(const Args&);
  const char* usage;
};

const Command kCommands[] = {
    {"blob", 2, blob, "blob IN OUT                       compress a file into a package blob"},
    {"id", 2, identity, "id OUT TEXT                       the application identity (\"Company/Profile\")"},
    {"stamp", 2, stamp, "stamp OUT BLOB                    the 16-byte settings stamp of the settings blob"},
    {"settings", 1, settings,
     "settings OUT [KEY=VALUE...]       a settings record; keys: product title company legal short\n"
     "                                                description version wakeup options hotkey modifiers\n"
     "                                                background (RRGGBB) preview-mode preview-file help-file\n"
     "                                                web-caption web-address mail-caption mail-address\n"
     "                                                about-flags about-picture"},
    {"movielist", 2, movieList, "movielist OUT FLAGS KIND:FILE...  a movie list; with flag 2 the files are embedded"},
    {"bitmap", 4, bitmap, "bitmap OUT WIDTH HEIGHT RRGGBB    a solid 24-bit Windows bitmap"},
    {"movie", 4, movie, "movie OUT WIDTH HEIGHT RRGGBB     a plain looping movie of one colour (a start)"},
    {"build", 3, build,
     "build PROJECT.json -o OUT.scr [--stub STUB]\n"
     "                                                a finished saver: the project's package written into a\n"
     "                                                copy of the runtime stub (by default the vexil_stub.scr\n"
     "                                                beside vxpack); see docs/project-file.md"},
    {"put", 4, put, "put PROGRAM TYPE NAME FILE        one resource (the file's bytes, raw) into a program"},
};

constexpr char kNotes[] =
    "Numbers are decimal or hexadecimal after 0x. Outputs are raw: wrap settings and movie lists\n"
    "with \"blob\" before packaging them.\n";

// Every command's usage, or one command's.
void printUsage(std::FILE* to, const Command* only) {
  bool first = true;
  for (const Command& c : kCommands) {
    if (only && only != &c) continue;
    std::fprintf(to, "%s vxpack %s\n", first ? "usage:" : "      ", c.usage);
    first = false;
  }
  if (!only) std::fputs(kNotes, to);
}

bool isHelp(const char* arg) { return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && isHelp(argv[1])) {
    printUsage(stdout, nullptr);
    return 0;
  }
  const Command* command = nullptr;
  for (const Command& c : kCommands)
    if (argc >= 2 && std::strcmp(argv[1], c.name) == 0) command = &c;
  if (!command) {
    printUsage(stderr, nullptr);
    return 2;
  }
  if (argc == 3 && isHelp(argv[2])) {
    printUsage(stdout, command);
    return 0;
  }
  Args args(argv + 2, argv + argc);
  if (args.size() < command->minimum) {
    printUsage(stderr, command);
    return 2;
  }
  try {
    return command->run(args);
  } catch (const std::out_of_range&) {
    printUsage(stderr, command);
    return 2;
  }
}
