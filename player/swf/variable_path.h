#pragma once
// Target paths and variable names as movies and hosts write them: slash syntax ("/clip:var",
// "/:var", "../clip"), dot syntax ("_root.clip.var", "_parent.var") and plain names relative to
// the current target. A target is kept as its folded segments below the root ("" is the root), so
// lookups ignore case as the player does.
#include <optional>
#include <string>
#include <string_view>

namespace vexil::swf {

struct VariableRef {
  std::string target;  // folded, segments joined with '/', no leading slash; "" for the root
  std::string name;    // folded
};

// Resolves a target path against the current target; nothing when it climbs above the root.
std::optional<std::string> resolveTarget(std::string_view current, std::string_view path);
// Splits "target:name" or "target.name" and resolves the target part.
std::optional<VariableRef> resolveVariable(std::string_view current, std::string_view path);
// The slash form the _target property shows: "/" for the root, "/a/b" below it.
std::string targetDisplayName(std::string_view target);

}  // namespace vexil::swf
