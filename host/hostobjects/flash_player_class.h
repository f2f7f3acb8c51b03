#pragma once
// FlashPlayer: the script's view of the player control in the main window (its automation members
// forwarded, bindings between script values and movie variables, bulk transfers, the movie's place
// in the window and movie-file facts), and MovieClip, a view on a bound path's prefix.
namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

// Registration steps: the "FlashPlayer" object, and the "MovieClip" class.
void registerFlashPlayer(script::Engine& engine);
void registerMovieClip(script::Engine& engine);

}  // namespace vexil::hostobjects
