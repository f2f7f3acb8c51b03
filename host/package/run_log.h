#pragma once
// The saver's error log: the errors no script caught, grouped by run. A run that has no error
// writes nothing; the file keeps the last kKeptRuns runs that had one, and a run writes at most
// kEntriesPerRun entries, so a script failing in a timer cannot fill the disk.
#include <cstddef>
#include <string>
#include <string_view>

namespace vexil::package {

inline constexpr size_t kKeptRuns = 10;
inline constexpr size_t kEntriesPerRun = 100;
// Each run's section begins with this, then the run's title.
inline constexpr char kRunHead[] = "--- ";
inline constexpr char kEntriesDropped[] = "(later errors of this run are not logged)";

// The log text without its oldest sections, so that `keep` sections remain.
std::string keepRecentRuns(std::string_view log, size_t keep);

// The log's place below the user's local application data: "KEY\PROFILE\errors.log", each part
// made a safe file name (characters Windows refuses become '_'; an empty or dots-only part
// becomes "_").
std::string logRelativePath(std::string_view registryKey, std::string_view profileName);

class RunLog {
 public:
  // The title heads this run's section ("2026-12-11 09:30:02 Demo /s").
  RunLog(std::string path, std::string runTitle) : path_(std::move(path)), title_(std::move(runTitle)) {}
  // Adds one entry (line ends removed); the first one of the run opens its section. False when the
  // file could not be written.
  bool add(std::string_view entry);
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string title_;
  std::string text_;  // the whole file as written last
  size_t entries_ = 0;
};

}  // namespace vexil::package
