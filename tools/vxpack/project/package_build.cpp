#include "tools/vxpack/project/package_build.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "host/package/archive_writer.h"
#include "host/package/byte_writer.h"
#include "host/package/movie_list.h"
#include "host/package/package_blob.h"
#include "host/package/text_item.h"
#include "platform/file_system.h"
#include "script/compiler/compile_options.h"
#include "script/compiler/compiled_script.h"
#include "script/compiler/compiler.h"
#include "script/compiler/readable_diagnostics.h"
#include "tools/vxpack/project/package_parts.h"

namespace vexil::project {

namespace {

namespace fs = std::filesystem;
using vexil::package::ByteWriter;

// Items at least this large report their compression as it goes.
constexpr size_t kLargeItem = 4u << 20;

std::vector<uint8_t> readOrFail(const std::string& path) {
  auto bytes = platform::readWholeFile(path);
  if (!bytes) throw ProjectError("cannot read " + path);
  return *bytes;
}

std::string baseName(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string megabytes(size_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", double(bytes) / (1 << 20));
  return text;
}

std::vector<uint8_t> blob(const std::vector<uint8_t>& data, const std::string& what, const BuildReport& report) {
  if (data.size() < kLargeItem || !report) return vexil::package::encodeBlob(data);
  report("compressing " + what + " (" + megabytes(data.size()) + ")");
  int shown = 0;
  return encodeBlobInSteps(data, [&](int percent) {
    if (percent >= shown + 10 || percent == 100) {
      shown = percent;
      report("  " + std::to_string(percent) + "%");
    }
  });
}

std::vector<uint8_t> movieList(const Project& p) {
  ByteWriter out;
  out.u32(p.movieFlags);
  out.u32(uint32_t(p.movies.size() + p.plugIns.size()));
  auto entry = [&](uint32_t kind, const std::string& file) {
    out.u32(kind);
    vexil::package::writeTextItem(out, baseName(file));
    if (p.movieFlags & vexil::package::kMovieListEmbedded) {
      auto bytes = readOrFail(file);
      out.u32(uint32_t(bytes.size()));
      out.bytes(bytes);
    }
  };
  for (auto& m : p.movies) entry(1, m);
  for (auto& f : p.plugIns) entry(2, f);
  return out.take();
}

std::vector<uint8_t> compileScript(const ProjectScript& s, const std::string& projectPath,
                                   vexil::script::Engine& engine, const BuildReport& report) {
  std::string where = projectPath + ":" + std::to_string(s.line) + ": scripts." + s.name + ": ";
  if (s.compiled) {
    auto bytes = readOrFail(s.path);
    if (!vexil::script::readCompiledScript(bytes)) throw ProjectError(where + "not a readable compiled script: " + s.path);
    return bytes;
  }
  // Line records go in, so that errors at run time can name their line.
  auto bytes = vexil::script::compileFile(engine, s.path, vexil::script::kOptionDebugInfo);
  std::string messages = vexil::script::readableDiagnostics(vexil::script::lastCompileMessages(engine), s.path);
  if (!bytes) throw ProjectError(where + "the script does not compile:\n" + messages);
  if (!messages.empty() && report) report(messages);
  return *bytes;
}

vexil::package::ArchiveNode archiveNode(const fs::path& path, const std::string& name) {
  vexil::package::ArchiveNode node;
  node.name = name;
  if (fs::is_directory(path)) {
    node.folder = true;
    std::vector<fs::path> children;
    for (auto& entry : fs::directory_iterator(path)) children.push_back(entry.path());
    std::sort(children.begin(), children.end());  // the same archive from the same folder
    for (auto& child : children) node.children.push_back(archiveNode(child, child.filename().string()));
  } else {
    node.contents = readOrFail(path.string());
  }
  return node;
}

}  // namespace

BuiltPackage buildPackage(const Project& p, const std::string& projectPath, vexil::script::Engine& engine,
                          const BuildReport& report) {
  BuiltPackage out;
  auto add = [&](const char* type, const std::string& name, std::vector<uint8_t> bytes) {
    out.resources.push_back({type, name, std::move(bytes)});
  };
  add("LUMARC", "ID", identityBytes(p.identity));
  auto settings = vexil::package::encodeBlob(vexil::package::storeSettings(p.settings));
  add("LUMARC", "CS", settingsStamp(settings));
  add("LUMARC", "ST", std::move(settings));
  add("LUMARC", "ML", blob(movieList(p), "the movies", report));
  if (p.picture) {
    auto bitmap = p.picture->path.empty() ? solidBitmap(p.picture->width, p.picture->height, p.picture->colour)
                                          : readOrFail(p.picture->path);
    add("LUMARC", "BK", blob(bitmap, "the About picture", report));
  }
  if (!p.player.empty()) add("LUMARC", "FP", blob(readOrFail(p.player), "the player control", report));
  for (const ProjectScript& s : p.scripts)
    add("VEXIL", s.name, vexil::package::encodeBlob(compileScript(s, projectPath, engine, report)));
  if (!p.files.empty()) {
    std::vector<vexil::package::ArchiveNode> root;
    try {
      for (const ProjectFile& f : p.files) root.push_back(archiveNode(fs::path(f.path), f.name));
    } catch (const fs::filesystem_error& e) {
      throw ProjectError(std::string("cannot read the additional files: ") + e.what());
    }
    out.archive = vexil::package::buildArchive(root);
  }
  return out;
}

}  // namespace vexil::project
