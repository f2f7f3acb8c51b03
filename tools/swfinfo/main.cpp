// swfinfo FILE...: prints one JSON line per movie; exits 1 when any file could not be read.
#include <cstdio>
#include <string>

#include "tools/swfinfo/movie_json.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: swfinfo FILE...\n", stderr);
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
