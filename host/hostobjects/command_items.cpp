#include "host/hostobjects/command_items.h"

namespace vexil::hostobjects {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the item at pos (blanks already skipped) and moves pos past it and its closing quote.
std::string readItem(std::string_view line, size_t& pos) {
  char end = ' ';
  if (line[pos] == '"' || line[pos] == '\'') end = line[pos++];
  size_t stop = line.find(end, pos);
  if (stop == std::string_view::npos) stop = line.size();
  std::string item(line.substr(pos, stop - pos));
  pos = stop < line.size() ? stop + 1 : stop;
  return item;
}

}  // namespace

std::vector<std::string> commandItems(std::string_view commandLine) {
  std::vector<std::string> items;
  size_t pos = 0;
  bool programName = true;
  while (pos < commandLine.size()) {
    while (pos < commandLine.size() && isBlank(commandLine[pos])) ++pos;
    if (pos >= commandLine.size()) break;
    std::string item = readItem(commandLine, pos);
    if (programName) {
      programName = false;
      continue;
    }
    if (!item.empty()) items.push_back(std::move(item));
  }
  return items;
}

}  // namespace vexil::hostobjects
