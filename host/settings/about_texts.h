#pragma once
// The About page's text rules and the choice of help viewer.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil::settings {

// The version line: "Version " in front unless the text already begins with that word (any case).
std::string versionLine(std::string_view version);
// The e-mail link's target: "mailto:" in front unless the address already has it (any case).
std::string mailtoAddress(std::string_view address);

enum class HelpViewer { None, HtmlHelp, WinHelp };
// By the help file's extension, compared in lower case: .chm and .hlp; nothing for the rest.
HelpViewer helpViewerFor(std::string_view path);

// The About page's picture: the attached About picture with flag 0x100, else the first movie with
// flag 0x10, else the package's own picture.
std::string aboutPicturePath(uint32_t aboutFlags, std::string_view attached, std::string_view firstMovie,
                             std::string_view packagePicture);
// Movies and projectors (.swf, .exe, any case) are shown by a player; anything else as a bitmap.
bool playedByPlayer(std::string_view path);

}  // namespace vexil::settings
