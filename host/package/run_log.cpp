#include "host/package/run_log.h"

#include <vector>

#include "platform/file_system.h"

namespace vexil::package {
namespace {

constexpr char kLineEnd[] = "\r\n";

// Start offsets of the sections: lines beginning with the run head.
std::vector<size_t> sectionStarts(std::string_view log) {
  std::vector<size_t> starts;
  size_t head = std::char_traits<char>::length(kRunHead);
  for (size_t at = 0; at < log.size();) {
    if (log.compare(at, head, kRunHead) == 0) starts.push_back(at);
    size_t end = log.find('\n', at);
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return starts;
}

std::string safePart(std::string_view part) {
  std::string out;
  for (char c : part) {
    bool refused = static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
    out += refused ? '_' : c;
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
  if (out.find_first_not_of(". ") == std::string::npos) out = "_";
  return out;
}

std::string oneLine(std::string_view entry) {
  std::string line;
  for (char c : entry) line += (c == '\r' || c == '\n') ? ' ' : c;
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

}  // namespace

std::string keepRecentRuns(std::string_view log, size_t keep) {
  auto starts = sectionStarts(log);
  if (starts.size() <= keep) return std::string(log);
  if (keep == 0) return {};
  return std::string(log.substr(starts[starts.size() - keep]));
}

std::string logRelativePath(std::string_view registryKey, std::string_view profileName) {
  return safePart(registryKey) + "\\" + safePart(profileName) + "\\errors.log";
}

bool RunLog::add(std::string_view entry) {
  if (entries_ > kEntriesPerRun) return true;
  if (entries_ == 0) {
    auto old = platform::readWholeFile(path_);
    std::string before = old ? std::string(old->begin(), old->end()) : std::string();
    text_ = keepRecentRuns(before, kKeptRuns - 1);
    text_ += kRunHead + oneLine(title_) + kLineEnd;
  }
  ++entries_;
  text_ += (entries_ > kEntriesPerRun ? std::string(kEntriesDropped) : oneLine(entry)) + kLineEnd;
  return platform::writeWholeFile(path_, text_.data(), text_.size());
}

}  // namespace vexil::package
