#pragma once
// Which FSCommands a movie sends when its timeline runs from the first frame: each frame's actions
// run at most once, and a stop, a jump back to a frame already run, or the last frame ends the run.
// Used by swfinfo to describe a movie without playing it in real time.
#include <vector>

#include "player/swf/movie.h"
#include "player/swf/movie_player.h"

namespace vexil::swf {

// The whole run shares this many action steps, so a movie of many busy frames stays quick.
inline constexpr uint32_t kProbeStepBudget = 1'000'000;

std::vector<FsCommandEvent> probeFsCommands(const Movie& movie);

}  // namespace vexil::swf
