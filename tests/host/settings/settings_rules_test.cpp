// The settings dialog's plain rules: check boxes from and to the record's bits, the hot key and
// colour kept only with their boxes checked, the colour button's text and contrast, the hot-key
// modifier conversion, and the About page's version, e-mail and help rules.
#include <gtest/gtest.h>

#include "host/settings/about_texts.h"
#include "host/settings/preferences_state.h"

using namespace vexil::settings;
using vexil::package::PackageSettings;

TEST(PreferencesState, EachBoxFollowsItsOwnBitBothWays) {
  for (size_t i = 0; i < kCheckBoxes.size(); ++i) {
    PackageSettings settings;
    (kCheckBoxes[i].word == SettingWord::WakeUp ? settings.wakeupMethod : settings.options) = kCheckBoxes[i].bit;
    PreferencesState state = stateFromSettings(settings);
    for (size_t j = 0; j < kCheckBoxes.size(); ++j) EXPECT_EQ(state.checked[j], i == j) << kCheckBoxes[i].id;

    PackageSettings rebuilt;
    rebuilt.wakeupMethod = 0x3F, rebuilt.options = 0x1F;
    PreferencesState only;
    only.checked[i] = true;
    applyState(only, rebuilt);
    EXPECT_EQ(kCheckBoxes[i].word == SettingWord::WakeUp ? rebuilt.wakeupMethod : rebuilt.options,
              kCheckBoxes[i].bit) << kCheckBoxes[i].id;
    EXPECT_EQ(kCheckBoxes[i].word == SettingWord::WakeUp ? rebuilt.options : rebuilt.wakeupMethod, 0u);
  }
}

TEST(PreferencesState, BitsThePageDoesNotShowAreKept) {
  PackageSettings settings;
  settings.wakeupMethod = 0x100 | 0x01;
  settings.options = 0x8000 | 0x02;
  applyState(PreferencesState{}, settings);
  EXPECT_EQ(settings.wakeupMethod, 0x100u);
  EXPECT_EQ(settings.options, 0x8000u);
}

TEST(PreferencesState, HotKeyAndColourCountOnlyWithTheirBoxChecked) {
  struct Case {
    bool hotKeyBox, colourBox;
    uint16_t code, modifiers;
    uint32_t colour;
  };
  const Case cases[] = {
      {true, true, 0x51, 0x06, 0x336699},
      {false, true, 0, 0, 0x336699},
      {true, false, 0x51, 0x06, 0},
      {false, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    PackageSettings settings;
    settings.hotKeyCode = 0x41, settings.hotKeyModifiers = 0x01, settings.backgroundColor = 0x112233;
    PreferencesState state;
    state.checked[kHotKeyBox] = c.hotKeyBox;
    state.checked[kBackgroundBox] = c.colourBox;
    state.hotKey = 0x0651;  // Ctrl+Alt+Q as the hot-key control reports it
    state.colour = 0x336699;
    applyState(state, settings);
    EXPECT_EQ(settings.hotKeyCode, c.code);
    EXPECT_EQ(settings.hotKeyModifiers, c.modifiers);
    EXPECT_EQ(settings.backgroundColor, c.colour);
    EXPECT_EQ((settings.options & 1) != 0, c.colourBox);
  }
}

TEST(PreferencesState, HotKeyWordRoundTripsThroughTheRecord) {
  PackageSettings settings;
  settings.hotKeyCode = 0x2D, settings.hotKeyModifiers = kModifierExtendedBit | kModifierShiftBit;  // Shift+Ins
  settings.wakeupMethod = 0x20;
  PreferencesState state = stateFromSettings(settings);
  EXPECT_EQ(state.hotKey, 0x092D);
  PackageSettings again;
  applyState(state, again);
  EXPECT_EQ(again.hotKeyCode, 0x2D);
  EXPECT_EQ(again.hotKeyModifiers, 0x09);
}

TEST(ColourButton, TextIsRedGreenBlueAndContrastIsPerComponent) {
  struct Case {
    uint32_t colourRef;
    const char* text;
    uint32_t contrast;
  };
  const Case cases[] = {
      {0xFFFFFF, "0xFFFFFF", 0x000000}, {0x000000, "0x000000", 0xFFFFFF},
      {0x0000FF, "0xFF0000", 0xFFFF00},  // red
      {0x996633, "0x336699", 0x00FFFF},  // red 0x33 and green 0x66 below 127; blue 0x99 not
      {0x7F7E00, "0x007E7F", 0x00FFFF},  // 127 itself is not below
      {0xFF123456, "0x563412", 0xFFFFFF},  // bits above the colour are not shown
  };
  for (const Case& c : cases) {
    EXPECT_EQ(colourText(c.colourRef), c.text);
    EXPECT_EQ(contrastingColour(c.colourRef & 0xFFFFFF), c.contrast) << c.text;
  }
  EXPECT_EQ(swapRedBlue(0x0000FF), 0xFF0000u);
  EXPECT_EQ(swapRedBlue(swapRedBlue(0x123456)), 0x123456u);
}

TEST(HotKeyModifiers, ControlBitsBecomeSystemHotKeyBits) {
  struct Case {
    uint8_t control;
    uint32_t system;
  };
  const Case cases[] = {
      {0, 0}, {kModifierShiftBit, 4}, {kModifierControlBit, 2}, {kModifierAltBit, 1},
      {kModifierControlBit | kModifierAltBit, 3}, {kModifierShiftBit | kModifierControlBit | kModifierAltBit | kModifierExtendedBit, 7},
  };
  for (const Case& c : cases) EXPECT_EQ(systemHotKeyModifiers(c.control), c.system) << int(c.control);
}

TEST(AboutTexts, VersionWordAndMailtoPrefixAreAddedOnlyWhenMissing) {
  struct Case {
    const char* in;
    const char* version;
    const char* mail;
  };
  const Case cases[] = {
      {"1.2", "Version 1.2", "mailto:1.2"},
      {"Version 3", "Version 3", "mailto:Version 3"},
      {"VERSION3", "VERSION3", "mailto:VERSION3"},
      {"Versio", "Version Versio", "mailto:Versio"},
      {"", "Version ", "mailto:"},
      {"me@example.org", "Version me@example.org", "mailto:me@example.org"},
      {"Mailto:me@example.org", "Version Mailto:me@example.org", "Mailto:me@example.org"},
      {"MAILTO:x", "Version MAILTO:x", "MAILTO:x"},
      {"mailto", "Version mailto", "mailto:mailto"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(versionLine(c.in), c.version);
    EXPECT_EQ(mailtoAddress(c.in), c.mail);
  }
}

TEST(AboutTexts, HelpViewerByLowerCaseExtension) {
  struct Case {
    const char* path;
    HelpViewer viewer;
  };
  const Case cases[] = {
      {"C:\\t\\Help.CHM", HelpViewer::HtmlHelp}, {"help.chm", HelpViewer::HtmlHelp},
      {"old.Hlp", HelpViewer::WinHelp},          {"readme.txt", HelpViewer::None},
      {"chm", HelpViewer::None},                 {"", HelpViewer::None},
      {"help.chm.txt", HelpViewer::None},
  };
  for (const Case& c : cases) EXPECT_EQ(helpViewerFor(c.path), c.viewer) << c.path;
}

TEST(AboutTexts, PictureByFlagsAndPlayerByExtension) {
  struct Case {
    uint32_t flags;
    const char* path;
    bool player;
  };
  const Case cases[] = {
      {0x100, "C:\\t\\about.SWF", true}, {0x110, "C:\\t\\about.SWF", true},
      {0x10, "C:\\t\\intro.swf", true},  {0, "C:\\t\\Lumarc.BK", false},
      {0x01, "C:\\t\\Lumarc.BK", false},
  };
  for (const Case& c : cases) {
    std::string path = aboutPicturePath(c.flags, "C:\\t\\about.SWF", "C:\\t\\intro.swf", "C:\\t\\Lumarc.BK");
    EXPECT_EQ(path, c.path) << c.flags;
    EXPECT_EQ(playedByPlayer(path), c.player) << path;
  }
  EXPECT_TRUE(playedByPlayer("show.Exe"));
  EXPECT_FALSE(playedByPlayer("picture.bmp"));
  EXPECT_FALSE(playedByPlayer(""));
}
