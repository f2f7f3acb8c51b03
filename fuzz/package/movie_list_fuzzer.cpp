// Any bytes as a decoded movie list: entries land inside the temporary directory or not at all.
#include <cstdint>
#include <cstdlib>

#include "fuzz_temp_dir.h"
#include "host/package/movie_list.h"

using namespace vexil::package;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string dir = fuzzing::fuzzTempDir().fresh();
  MovieList list;
  loadMovieListStream(list, {data, size}, dir, "X:\\beside\\");
  for (const auto& entry : list.entries) {
    bool inside = entry.path.compare(0, dir.size(), dir) == 0;
    bool beside = entry.path.compare(0, 10, "X:\\beside\\") == 0;
    if (!inside && !beside) std::abort();
  }
  return 0;
}
