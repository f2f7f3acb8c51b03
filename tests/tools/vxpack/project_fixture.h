#pragma once
// A project folder of its own for each test: a movie, scripts that compile and one that does not,
// a picture, a file and a folder to add, and a file that is not a movie.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace vexil::project::testing {

class ProjectFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    folder_ = std::filesystem::temp_directory_path() / ("vxpack-project-" + std::to_string(seed()));
    std::filesystem::create_directories(folder_ / "data");
    write("movie.swf", std::string("FWS\x06", 4) + std::string(40, '\0'));
    write("start.vxs", "var n = 1;\ntrace(\"started \", n);\ntrue;\n");
    write("broken.vxs", "var a = 1;\nvar b = 2;\nvar = ;\n");
    write("about.bmp", "BM" + std::string(60, '\0'));
    write("readme.txt", "read me\n");
    write("data/one.txt", "one");
    write("notmovie.swf", "hello");
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void write(const std::string& name, const std::string& text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  // Writes project.json and answers its path.
  std::string project(const std::string& text) {
    write("project.json", text);
    return path("project.json");
  }

  std::filesystem::path folder_;
};

}  // namespace vexil::project::testing
