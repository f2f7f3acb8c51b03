#include "player/swf/fscommand_probe.h"

namespace vexil::swf {

std::vector<FsCommandEvent> probeFsCommands(const Movie& movie) {
  MoviePlayer player;
  player.load(movie, {}, MoviePlayer::Start::Paused);
  player.setPlaying(true);
  ActionBudget budget;
  budget.stepsLeft = kProbeStepBudget;
  std::vector<bool> visited(player.totalFrames(), false);
  size_t frame = 0;
  while (!visited[frame] && !budget.exhausted()) {
    visited[frame] = true;
    if (std::optional<size_t> destination = player.runSingleFrame(frame, budget)) {
      frame = *destination;  // a goto runs its target frame, unless that one has run already
      continue;
    }
    if (!player.playing() || frame + 1 >= visited.size()) break;
    ++frame;
  }
  return player.takeCommands();
}

}  // namespace vexil::swf
