#pragma once
// The list of packaged movies and plug-in files (blob "ML"):
//   u32 flags, u32 count, then per entry: u32 kind, text item name, and when the contents are
//   embedded, u32 size and the file's bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "host/package/resource_source.h"

namespace vexil::package {

inline constexpr uint32_t kMovieListRandom = 0x01;    // choose the movie at random at start-up
inline constexpr uint32_t kMovieListEmbedded = 0x02;  // entries carry their contents

inline constexpr uint32_t kEntryMovie = 1;
inline constexpr uint32_t kEntryPlugIn = 2;

struct MovieEntry {
  std::string path;  // at most 259 characters
  uint32_t kind = 0;
};

struct MovieList {
  uint32_t flags = 0;
  std::vector<MovieEntry> entries;  // stream order; consumers wanting movies filter on kind 1
};

// Decodes "ML" from the package and materialises its entries: embedded files are written to
// tempDir (plug-ins under "Plug_Ins\"), external movies are listed beside the executable (exeDir).
// Both directories end in a separator. An entry whose name could leave its directory is skipped;
// any other error ends the list, keeping what was read.
void loadMovieList(MovieList& list, const ResourceSource& source, const std::string& tempDir,
                   const std::string& exeDir);

// The same from the decoded stream.
void loadMovieListStream(MovieList& list, std::span<const uint8_t> stream, const std::string& tempDir,
                         const std::string& exeDir);

}  // namespace vexil::package
