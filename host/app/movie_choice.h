#pragma once
// Which packaged movie a full-screen run plays.
#include <functional>
#include <optional>
#include <string>

#include "host/package/movie_list.h"

namespace vexil::app {

// The path a script's onGetMovie hook gave; otherwise, with the list's random flag, the movie at
// draw() mod the number of movies; otherwise the first movie. Plug-in files are never chosen.
// The empty text when the list has no movie.
std::string chooseMovie(const package::MovieList& list, const std::optional<std::string>& fromHook,
                        const std::function<int()>& draw);

}  // namespace vexil::app
