// Movie files and action blocks from outside: reading, then running the timeline and the host's
// calls. The first byte picks the mode, so the interpreter is reached directly too, not only
// through inputs that survive the reader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/swf/fscommand_probe.h"
#include "player/swf/movie_player.h"
#include "player/swf/swf_reader.h"
#include "player/swf/swf_writer.h"

using namespace vexil::swf;

namespace {

void exercise(const Movie& movie) {
  probeFsCommands(movie);
  MoviePlayer player;
  player.load(movie);
  for (int tick = 0; tick < 8; ++tick) player.tick();
  player.setVariable("_root.a", "1");
  player.getVariable("/clip:b");
  player.gotoLabel("x");
  player.callFrame("/", movie.frames.size() - 1);
  player.takeCommands();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] == 'A') {
    // An action block of a version-chosen movie with two frames.
    MovieOutline outline;
    outline.version = size > 1 ? data[1] : 6;
    FrameSpec frame;
    frame.actions = {std::vector<uint8_t>(data + (size > 1 ? 2 : 1), data + size)};
    outline.frames = {frame, frame};
    ReadResult result = readMovie(writeMovie(outline));
    if (result.ok()) exercise(*result.movie);
    return 0;
  }
  ReadLimits limits;
  limits.maxMovieBytes = 4u << 20;
  ReadResult result = readMovie({data, size}, limits);
  if (result.ok()) exercise(*result.movie);
  return 0;
}
