#pragma once
// Whether the program is on its way out: a quit or a window close is waiting in this thread's
// queue (the screensaver woke while a script was in a long network call). Ping and downloads ask
// between their steps and stop, so the wake-up waits at most one step's time-out.
namespace vexil::net {

bool programEnding();

}  // namespace vexil::net
