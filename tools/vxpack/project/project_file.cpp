#include "tools/vxpack/project/project_file.h"

#include <cctype>
#include <functional>
#include <map>

#include "host/package/movie_list.h"
#include "platform/file_system.h"
#include "script/compiler/compiled_script.h"
#include "tools/vxpack/project/json_value.h"

namespace vexil::project {

namespace {

using Kind = JsonValue::Kind;
using vexil::package::PackageSettings;

constexpr uint32_t kDefaultWakeUp = 0x1F;  // buttons, mouse movement, any key, Esc

const std::map<std::string, uint32_t> kWakeUpNames = {
    {"left-button", 1}, {"right-button", 2}, {"mouse-move", 4}, {"any-key", 8}, {"escape", 16}, {"hot-key", 32}};

// Where a value is and how to name it: "settings.background".
class Reader {
 public:
  Reader(std::string file, std::string folder) : file_(std::move(file)), folder_(std::move(folder)) {}

  [[noreturn]] void fail(const JsonValue& v, const std::string& key, const std::string& message) const {
    throw ProjectError(file_ + ":" + std::to_string(v.line) + ": " + (key.empty() ? "" : key + ": ") + message);
  }

  void need(const JsonValue& v, Kind kind, const std::string& key) const {
    if (v.kind != kind)
      fail(v, key, std::string("expected ") + JsonValue::kindName(kind) + ", got " + JsonValue::kindName(v.kind));
  }

  // Calls the handler of each member; a key without a handler is a mistake named with the keys
  // that are allowed.
  void members(const JsonValue& object, const std::string& key,
               const std::vector<std::pair<std::string, std::function<void(const JsonValue&, const std::string&)>>>&
                   handlers) const {
    need(object, Kind::Object, key);
    for (size_t i = 0; i < object.members.size(); ++i) {
      auto& [name, value] = object.members[i];
      std::string full = key.empty() ? name : key + "." + name;
      bool known = false;
      for (auto& [allowed, handle] : handlers)
        if (allowed == name) handle(value, full), known = true;
      if (!known) {
        std::string list;
        for (auto& [allowed, _] : handlers) list += (list.empty() ? "" : ", ") + allowed;
        JsonValue at;
        at.line = object.memberLines[i];
        fail(at, full, "unknown key (allowed here: " + list + ")");
      }
    }
  }

  std::string text(const JsonValue& v, const std::string& key) const {
    need(v, Kind::String, key);
    return v.text;
  }

  bool flag(const JsonValue& v, const std::string& key) const {
    need(v, Kind::Boolean, key);
    return v.boolean;
  }

  uint32_t whole(const JsonValue& v, const std::string& key, uint32_t low, uint32_t high) const {
    need(v, Kind::Number, key);
    bool integral = v.text.find_first_of(".eE") == std::string::npos;
    if (!integral || v.number < low || v.number > high)
      fail(v, key, "expected a whole number from " + std::to_string(low) + " to " + std::to_string(high) + ", got " +
                       v.text);
    return uint32_t(v.number);
  }

  // "#RRGGBB", "RRGGBB" or "0xRRGGBB": 0xRRGGBB.
  uint32_t colour(const JsonValue& v, const std::string& key) const {
    std::string t = text(v, key), digits = t;
    if (digits.starts_with("#")) digits = digits.substr(1);
    else if (digits.starts_with("0x") || digits.starts_with("0X")) digits = digits.substr(2);
    bool ok = digits.size() == 6;
    for (char c : digits) ok = ok && std::isxdigit(static_cast<unsigned char>(c));
    if (!ok) fail(v, key, "expected a colour \"#RRGGBB\" (six hexadecimal digits), got \"" + t + "\"");
    return uint32_t(std::stoul(digits, nullptr, 16));
  }

  // A path relative to the project's folder that must name an existing file (or folder).
  std::string existing(const JsonValue& v, const std::string& key, bool folderAllowed = false) const {
    std::string name = text(v, key);
    if (name.empty()) fail(v, key, "expected a file name, got \"\"");
    std::string path = isAbsolute(name) ? name : folder_ + name;
    bool folder = platform::directoryExists(path);
    if (folder && !folderAllowed) fail(v, key, "\"" + name + "\" is a folder, not a file");
    if (!folder && !platform::fileExists(path)) fail(v, key, "file not found: " + name + " (looked for " + path + ")");
    return path;
  }

  const std::string& file() const { return file_; }

 private:
  static bool isAbsolute(const std::string& p) {
    return p.starts_with("/") || p.starts_with("\\") || (p.size() > 2 && p[1] == ':');
  }

  std::string file_, folder_;
};

std::string baseName(const std::string& path) {
  std::string p = path;
  while (!p.empty() && (p.back() == '/' || p.back() == '\\')) p.pop_back();
  size_t cut = p.find_last_of("\\/");
  return cut == std::string::npos ? p : p.substr(cut + 1);
}

// The first bytes of a file (only those: a project may name something that never ends).
std::vector<uint8_t> head(const std::string& path, size_t count) {
  std::vector<uint8_t> bytes(count);
  auto file = platform::File::open(path, platform::File::Mode::Read);
  bytes.resize(file.isOpen() ? file.read(bytes.data(), count) : 0);
  return bytes;
}

bool startsWith(const std::string& path, std::initializer_list<std::string_view> magics) {
  auto bytes = head(path, 4);
  for (auto magic : magics)
    if (bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin())) return true;
  return false;
}

void readMovies(const Reader& r, const JsonValue& v, Project& p) {
  const JsonValue* files = &v;
  const JsonValue* plugIns = nullptr;
  bool embed = true;
  std::string key = "movies";
  if (v.kind == Kind::Object) {
    files = nullptr;
    r.members(v, key, {{"files", [&](auto& f, auto&) { files = &f; }},
                       {"random", [&](auto& f, auto& k) { p.movieFlags |= r.flag(f, k) ? 1 : 0; }},
                       {"embed", [&](auto& f, auto& k) { embed = r.flag(f, k); }},
                       {"plugIns", [&](auto& f, auto&) { plugIns = &f; }}});
    if (!files) r.fail(v, key, "\"files\" is missing: the movies to play");
    key = "movies.files";
  } else if (v.kind != Kind::Array) {
    r.fail(v, key, "expected an array of movie files, or an object with \"files\"");
  }
  if (embed) p.movieFlags |= vexil::package::kMovieListEmbedded;
  r.need(*files, Kind::Array, key);
  if (files->items.empty()) r.fail(*files, key, "expected at least one movie");
  for (const JsonValue& f : files->items) {
    if (!embed) {
      std::string name = r.text(f, key);
      if (name.empty() || name.find_first_of("\\/") != std::string::npos)
        r.fail(f, key, "a movie that is not embedded is a bare file name beside the saver, got \"" + name + "\"");
      p.movies.push_back(name);
      continue;
    }
    std::string path = r.existing(f, key);
    if (!startsWith(path, {"FWS", "CWS"})) r.fail(f, key, "not a movie (no SWF header): " + f.text);
    p.movies.push_back(path);
  }
  if (plugIns) {
    if (!embed) r.fail(*plugIns, "movies.plugIns", "plug-in files are carried only when the movies are embedded");
    r.need(*plugIns, Kind::Array, "movies.plugIns");
    for (const JsonValue& f : plugIns->items) p.plugIns.push_back(r.existing(f, "movies.plugIns"));
  }
}

bool validScriptName(const std::string& name) {
  if (name.empty() || name.size() > 64 || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.') return false;
  return true;
}

void readScripts(const Reader& r, const JsonValue& v, Project& p) {
  r.need(v, Kind::Object, "scripts");
  for (size_t i = 0; i < v.members.size(); ++i) {
    auto& [name, file] = v.members[i];
    std::string key = "scripts." + name;
    if (!validScriptName(name)) {
      JsonValue at;
      at.line = v.memberLines[i];
      r.fail(at, key, "a script name is letters, digits, '_', '-' or '.', not starting with a digit");
    }
    for (auto& s : p.scripts)
      if (sameNameIgnoringCase(s.name, name)) r.fail(file, key, "a script of this name (ignoring case) is given twice");
    ProjectScript s{name, r.existing(file, key), false, file.line};
    s.compiled = vexil::script::hasCompiledMagic(head(s.path, 4096));  // after an optional "#" line
    p.scripts.push_back(s);
  }
}

void readFiles(const Reader& r, const JsonValue& v, Project& p) {
  r.need(v, Kind::Array, "files");
  for (const JsonValue& item : v.items) {
    ProjectFile f;
    f.line = item.line;
    if (item.kind == Kind::Object) {
      const JsonValue* path = nullptr;
      r.members(item, "files", {{"path", [&](auto& x, auto&) { path = &x; }},
                                {"name", [&](auto& x, auto& k) { f.name = r.text(x, k); }}});
      if (!path) r.fail(item, "files", "\"path\" is missing");
      f.path = r.existing(*path, "files.path", true);
      if (f.name.empty()) f.name = baseName(f.path);
    } else {
      f.path = r.existing(item, "files", true);
      f.name = baseName(f.path);
    }
    if (f.name.find_first_of("\\/") != std::string::npos || f.name == "." || f.name == "..")
      r.fail(item, "files", "an archive name is one name without folders, got \"" + f.name + "\"");
    for (auto& other : p.files)
      if (sameNameIgnoringCase(other.name, f.name)) r.fail(item, "files", "\"" + f.name + "\" is given twice");
    p.files.push_back(f);
  }
}

void readPicture(const Reader& r, const JsonValue& v, Project& p) {
  ProjectPicture picture;
  const std::string key = "about.picture";
  if (v.kind == Kind::String) {
    picture.path = r.existing(v, key);
    if (!startsWith(picture.path, {"BM"})) r.fail(v, key, "not a Windows bitmap (.bmp): " + v.text);
  } else {
    bool width = false, height = false, colour = false;
    r.members(v, key, {{"width", [&](auto& x, auto& k) { picture.width = r.whole(x, k, 1, 4096), width = true; }},
                       {"height", [&](auto& x, auto& k) { picture.height = r.whole(x, k, 1, 4096), height = true; }},
                       {"colour", [&](auto& x, auto& k) { picture.colour = r.colour(x, k), colour = true; }}});
    if (!width || !height || !colour) r.fail(v, key, "a solid picture needs \"width\", \"height\" and \"colour\"");
  }
  p.picture = picture;
  p.settings.aboutFlags |= vexil::package::kAboutShowPicture;
}

void readLink(const Reader& r, const JsonValue& v, const std::string& key, PackageSettings& s, size_t first) {
  r.members(v, key, {{"caption", [&](auto& x, auto& k) { s.links[first] = r.text(x, k); }},
                     {"address", [&](auto& x, auto& k) { s.links[first + 1] = r.text(x, k); }}});
}

void readAbout(const Reader& r, const JsonValue& v, Project& p) {
  auto& s = p.settings;
  auto product = [&](size_t index) {
    return [&, index](const JsonValue& x, const std::string& k) { s.productTexts[index] = r.text(x, k); };
  };
  r.members(v, "about",
            {{"product", product(0)},
             {"title", product(1)},
             {"company", product(2)},
             {"legal", product(3)},
             {"shortName", product(4)},
             {"description", product(5)},
             {"version", product(6)},
             {"picture", [&](auto& x, auto&) { readPicture(r, x, p); }},
             {"showMovie",
              [&](auto& x, auto& k) {
                if (r.flag(x, k)) s.aboutFlags |= vexil::package::kAboutShowFirstMovie;
              }},
             {"web", [&](auto& x, auto& k) { readLink(r, x, k, s, 0); }},
             {"mail", [&](auto& x, auto& k) { readLink(r, x, k, s, 2); }}});
}

void readHotKey(const Reader& r, const JsonValue& v, PackageSettings& s) {
  bool key = false;
  auto modifier = [&](uint16_t bit) {
    return [&, bit](const JsonValue& x, const std::string& k) {
      if (r.flag(x, k)) s.hotKeyModifiers |= bit;
    };
  };
  r.members(v, "settings.hotKey",
            {{"key",
              [&](auto& x, auto& k) {
                key = true;
                if (x.kind == Kind::String) {
                  // A letter or digit stands for its own key code.
                  char c = x.text.size() == 1 ? char(std::toupper(static_cast<unsigned char>(x.text[0]))) : 0;
                  if (!std::isalnum(static_cast<unsigned char>(c)))
                    r.fail(x, k, "expected one letter or digit, or a virtual-key number, got \"" + x.text + "\"");
                  s.hotKeyCode = uint16_t(c);
                } else {
                  s.hotKeyCode = uint16_t(r.whole(x, k, 1, 254));
                }
              }},
             {"shift", modifier(1)},
             {"ctrl", modifier(2)},
             {"alt", modifier(4)}});
  if (!key) r.fail(v, "settings.hotKey", "\"key\" is missing");
}

void readPreview(const Reader& r, const JsonValue& v, PackageSettings& s) {
  const std::string key = "settings.preview";
  if (v.kind == Kind::String) {
    if (v.text == "icon") s.previewMode = 0;
    else if (v.text == "first-movie") s.previewMode = 1;
    else r.fail(v, key, "expected \"icon\", \"first-movie\" or {\"file\": ...}, got \"" + v.text + "\"");
    return;
  }
  r.members(v, key, {{"file", [&](auto& x, auto& k) {
                        s.previewFile = r.existing(x, k);
                        if (!startsWith(*s.previewFile, {"FWS", "CWS", "BM"}))
                          r.fail(x, k, "a preview is a movie (.swf) or a bitmap (.bmp): " + x.text);
                        s.previewMode = 2;
                      }}});
  if (!s.previewFile) r.fail(v, key, "\"file\" is missing");
}

void readSettings(const Reader& r, const JsonValue& v, PackageSettings& s) {
  auto option = [&](uint32_t bit) {
    return [&, bit](const JsonValue& x, const std::string& k) {
      if (r.flag(x, k)) s.options |= bit;
    };
  };
  using namespace vexil::package;
  r.members(v, "settings",
            {{"wakeUp",
              [&](auto& x, auto& k) {
                r.need(x, Kind::Array, k);
                s.wakeupMethod = 0;
                for (const JsonValue& item : x.items) {
                  auto found = kWakeUpNames.find(r.text(item, k));
                  if (found == kWakeUpNames.end())
                    r.fail(item, k, "unknown wake-up \"" + item.text +
                                        "\" (known: left-button, right-button, mouse-move, any-key, escape, hot-key)");
                  s.wakeupMethod |= found->second;
                }
              }},
             {"background",
              [&](auto& x, auto& k) {
                uint32_t rgb = r.colour(x, k);  // 0xRRGGBB becomes the bytes red, green, blue, 0
                s.backgroundColor = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
                s.options |= kOptionBackgroundColor;
              }},
             {"muteSpeakers", option(kOptionMuteSpeakers)},
             {"hideCursor", option(kOptionHideCursor)},
             {"disableCdAutorun", option(kOptionDisableCDAutoRun)},
             {"noScale", option(kOptionNoScale)},
             {"hotKey", [&](auto& x, auto&) { readHotKey(r, x, s); }},
             {"preview", [&](auto& x, auto&) { readPreview(r, x, s); }},
             {"helpFile", [&](auto& x, auto& k) { s.helpFile = r.existing(x, k), s.helpFileOption = 1; }}});
  if ((s.wakeupMethod & 32) && !s.hotKeyCode)
    r.fail(v, "settings.wakeUp", "\"hot-key\" wakes the saver only with a \"hotKey\" given");
}

}  // namespace

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

Project parseProject(const std::string& text, const std::string& path) {
  JsonValue root;
  try {
    root = parseJson(text);
  } catch (const JsonError& e) {
    throw ProjectError(path + ":" + std::to_string(e.line()) + ": " + e.message() + " (not valid JSON)");
  }
  Project p;
  size_t cut = path.find_last_of("\\/");
  p.folder = cut == std::string::npos ? "" : path.substr(0, cut + 1);
  Reader r(path, p.folder);
  auto& s = p.settings;
  s.wakeupMethod = kDefaultWakeUp;
  s.carried33 = 80;
  for (auto& font : s.linkFonts) font.height = -11, font.weight = 400, font.faceName = "Tahoma";
  bool movies = false;
  r.members(root, "",
            {{"$schema", [&](auto& x, auto& k) { r.text(x, k); }},
             {"identity",
              [&](auto& x, auto& k) {
                p.identity = r.text(x, k);
                if (p.identity.empty() || p.identity.front() == '/' || p.identity.back() == '/')
                  r.fail(x, k, "expected \"Company/Saver name\" (the registry key and the profile name)");
              }},
             {"movies", [&](auto& x, auto&) { readMovies(r, x, p), movies = true; }},
             {"scripts", [&](auto& x, auto&) { readScripts(r, x, p); }},
             {"files", [&](auto& x, auto&) { readFiles(r, x, p); }},
             {"about", [&](auto& x, auto&) { readAbout(r, x, p); }},
             {"settings", [&](auto& x, auto&) { readSettings(r, x, s); }},
             {"player", [&](auto& x, auto& k) {
                if (x.kind == Kind::Boolean && !x.boolean) p.noPlayer = true;
                else if (x.kind == Kind::String) p.player = r.existing(x, k);
                else r.fail(x, k, "expected the player control's file, or false to carry none");
              }}});
  if (p.identity.empty()) r.fail(root, "identity", "missing: the saver's \"Company/Saver name\"");
  if (!movies) r.fail(root, "movies", "missing: the saver needs at least one movie");
  return p;
}

Project readProject(const std::string& path) {
  auto bytes = platform::readWholeFile(path);
  if (!bytes) throw ProjectError(path + ": cannot read the project file");
  return parseProject(std::string(bytes->begin(), bytes->end()), path);
}

}  // namespace vexil::project
