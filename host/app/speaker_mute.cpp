#include <windows.h>
#include <mmsystem.h>

#include "host/app/system_settings.h"

namespace vexil::app {
namespace {

// The mute control of mixer device 0's speaker line, open for as long as the object lives.
class SpeakerMuteControl {
 public:
  SpeakerMuteControl() {
    if (mixerGetNumDevs() == 0 || mixerOpen(&mixer_, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return;
    MIXERLINEW line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (mixerGetLineInfoW(handle(), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR) {
      return;
    }
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control_;
    controls.pamxctrl = &control_;
    found_ = mixerGetLineControlsW(handle(), &controls, MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
             MMSYSERR_NOERROR;
  }
  ~SpeakerMuteControl() {
    if (mixer_) mixerClose(mixer_);
  }
  bool found() const { return found_; }

  bool read(bool& muted) {
    MIXERCONTROLDETAILS_BOOLEAN value{};
    if (!transfer(value, false)) return false;
    muted = value.fValue != 0;
    return true;
  }
  bool write(bool muted) {
    MIXERCONTROLDETAILS_BOOLEAN value{muted ? 1L : 0L};
    return transfer(value, true);
  }

 private:
  HMIXEROBJ handle() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }
  bool transfer(MIXERCONTROLDETAILS_BOOLEAN& value, bool set) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control_.dwControlID;
    details.cChannels = 1;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    DWORD flags = MIXER_OBJECTF_HMIXER | (set ? MIXER_SETCONTROLDETAILSF_VALUE : MIXER_GETCONTROLDETAILSF_VALUE);
    MMRESULT result = set ? mixerSetControlDetails(handle(), &details, flags)
                          : mixerGetControlDetails(handle(), &details, flags);
    return result == MMSYSERR_NOERROR;
  }

  HMIXER mixer_ = nullptr;
  MIXERCONTROLW control_{};
  bool found_ = false;
};

}  // namespace

bool SpeakerMute::mute() {
  SpeakerMuteControl control;
  bool muted = false;
  if (!control.found() || !control.read(muted)) return false;
  saved_ = muted ? 1 : 0;
  changed_ = !muted && control.write(true);
  return changed_;
}

void SpeakerMute::restore() {
  if (!changed_) return;
  SpeakerMuteControl control;
  if (control.found()) control.write(saved_ != 0);
  changed_ = false;
}

}  // namespace vexil::app
