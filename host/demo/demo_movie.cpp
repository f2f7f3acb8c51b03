// Writes the demo package's movie (see demo_movie_content.h).   demo_movie OUT.swf
#include <cstdio>

#include "host/demo/demo_movie_content.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_movie OUT.swf\n");
    return 2;
  }
  auto bytes = vexil::demo::makeDemoMovie();
  if (!vexil::platform::writeWholeFile(argv[1], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "demo_movie: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
