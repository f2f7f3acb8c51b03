#include "host/app/movie_choice.h"

#include <vector>

namespace vexil::app {

std::string chooseMovie(const package::MovieList& list, const std::optional<std::string>& fromHook,
                        const std::function<int()>& draw) {
  if (fromHook) return *fromHook;
  std::vector<const package::MovieEntry*> movies;
  for (const auto& entry : list.entries) {
    if (entry.kind == package::kEntryMovie) movies.push_back(&entry);
  }
  if (movies.empty()) return {};
  size_t index = 0;
  if (list.flags & package::kMovieListRandom) index = size_t(unsigned(draw())) % movies.size();
  return movies[index]->path;
}

}  // namespace vexil::app
