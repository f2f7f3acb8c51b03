#pragma once
// The items of a command line as Application.cmdItems gives them: the program name is skipped;
// items are separated by blanks, leading spaces and tabs are skipped, an item that starts with a
// double or single quote runs to the next quote of the same kind, any other runs to the next space
// (a tab does not end it). Quotes are not part of an item, and empty items are dropped.
#include <string>
#include <string_view>
#include <vector>

namespace vexil::hostobjects {

std::vector<std::string> commandItems(std::string_view commandLine);

}  // namespace vexil::hostobjects
