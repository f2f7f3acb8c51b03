#pragma once
// The system-wide changes a run makes: installing itself as the screensaver, the CD-autorun
// policy while it runs, and the speakers' mute.
#include <cstdint>
#include <string>

namespace vexil::app {

// Makes the executable the current user's screensaver (by its short path) and turns the
// screensaver on. Nothing happens when the short path cannot be had.
void installAsScreensaver(const std::wstring& executablePath);

// Clears (enable) or sets the CD-ROM bit of the autorun policy. Returns what restores the
// previous state when passed back: 1 if the bit was clear before, else 0.
int setCDAutoRun(bool enable);

// The speakers' mute switch, through the first mixer device.
class SpeakerMute {
 public:
  // Mutes the speakers unless they already are; true when this changed them.
  bool mute();
  // Puts back the state mute() found.
  void restore();

 private:
  uint8_t saved_ = 0;
  bool changed_ = false;
};

}  // namespace vexil::app
