#pragma once
// The member lists of the script objects an engine registered, as Markdown, made from the class
// tables themselves so the reference cannot drift from what scripts really get. Descriptions are
// written by hand in docs/; this is the list they are checked against.
#include <string>

#include "script/runtime/engine.h"

namespace vexil::script {

std::string classReferenceMarkdown(const Engine& engine);

}  // namespace vexil::script
