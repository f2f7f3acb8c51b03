#include "player/swf/variable_path.h"

#include "platform/text_case.h"
#include "player/swf/movie_text.h"

namespace vexil::swf {
namespace {

bool isRootName(std::string_view segment) {
  return segment == "_root" || segment == "_level0";
}

void popSegment(std::string& target, bool& valid) {
  if (target.empty()) {
    valid = false;
    return;
  }
  size_t slash = target.rfind('/');
  target.erase(slash == std::string::npos ? 0 : slash);
}

}  // namespace

std::optional<std::string> resolveTarget(std::string_view current, std::string_view path) {
  std::string folded = platform::asciiLowered(path);
  std::string target(current);
  bool valid = true;
  size_t pos = 0;
  if (!folded.empty() && folded[0] == '/') {
    target.clear();
    pos = 1;
  }
  while (pos <= folded.size() && valid) {
    size_t end = folded.find_first_of("/.", pos);
    // ".." is a segment of its own in slash syntax, not two separators.
    if (end == pos && folded.compare(pos, 2, "..") == 0) end = pos + 2;
    if (end == std::string::npos) end = folded.size();
    std::string_view segment = std::string_view(folded).substr(pos, end - pos);
    if (segment.empty() || segment == "this" || segment == ".") {
      // nothing to do
    } else if (isRootName(segment)) {
      target.clear();
    } else if (segment == ".." || segment == "_parent") {
      popSegment(target, valid);
    } else {
      if (!target.empty()) target += '/';
      target += segment;
    }
    pos = end + 1;
  }
  if (!valid) return std::nullopt;
  return target;
}

std::optional<VariableRef> resolveVariable(std::string_view current, std::string_view path) {
  size_t split = path.rfind(':');
  if (split == std::string_view::npos) split = path.rfind('.');
  if (split == std::string_view::npos) return VariableRef{std::string(current), platform::asciiLowered(path)};
  std::string_view name = path.substr(split + 1);
  if (name.empty()) return std::nullopt;
  auto target = resolveTarget(current, path.substr(0, split));
  if (!target) return std::nullopt;
  return VariableRef{std::move(*target), platform::asciiLowered(name)};
}

std::string targetDisplayName(std::string_view target) {
  return "/" + std::string(target);
}

}  // namespace vexil::swf
