// swfinfo FILE...: prints one JSON line per movie; exits 1 when any file could not be read.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/swfinfo/movie_json.h"

namespace {

constexpr char kUsage[] =
    "usage: swfinfo FILE...   describe SWF movies, one JSON line per file: header (version, stage\n"
    "                         size in twips and pixels, frame rate and count, background colour),\n"
    "                         frame labels and the FSCommands the movie's actions send; a file that\n"
    "                         cannot be read gets a line with \"error\" and the exit status is 1\n"
    "       swfinfo --help    show this text\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  // A name beginning with "-" is an option this tool does not have; "-" alone or "./-x" is a file.
  bool unknownOption = argc >= 2 && argv[1][0] == '-' && argv[1][1] != 0;
  if (argc < 2 || unknownOption) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    bool ok = false;
    std::string line = vexil::swfinfo::describeMovieFile(argv[i], &ok) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    if (!ok) status = 1;
  }
  return status;
}
