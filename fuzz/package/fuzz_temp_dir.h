#pragma once
// One temporary directory per fuzzing process, emptied after every input so that files written
// by one input cannot influence the next and nothing accumulates.
#include <cstdlib>
#include <string>

#include "host/package/temp_directory.h"
#include "platform/file_system.h"

namespace vexil::package::fuzzing {

class FuzzTempDir {
 public:
  FuzzTempDir() : root_(createTempDirectory().value_or("")) {
    if (root_.empty()) std::abort();
  }
  ~FuzzTempDir() { deleteTempDirectory(root_); }
  // A fresh, empty directory inside the root for one input.
  std::string fresh() {
    platform::deleteTree(root_ + "run");
    platform::createDirectory(root_ + "run");
    return root_ + "run\\";
  }
  const std::string& root() const { return root_; }

 private:
  std::string root_;
};

inline FuzzTempDir& fuzzTempDir() {
  static FuzzTempDir dir;
  return dir;
}

}  // namespace vexil::package::fuzzing
