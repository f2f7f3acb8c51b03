#pragma once
// Reads a movie file into the model. Outside bytes never crash it: every failure comes back as an
// error text.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "player/swf/movie.h"

namespace vexil::swf {

struct ReadResult {
  std::optional<Movie> movie;
  std::string error;  // set when movie is empty

  bool ok() const { return movie.has_value(); }
};

ReadResult readMovie(std::span<const uint8_t> file, const ReadLimits& limits = {});
ReadResult readMovieFile(std::string_view path, const ReadLimits& limits = {});

}  // namespace vexil::swf
