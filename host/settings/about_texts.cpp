#include "host/settings/about_texts.h"

#include "host/package/package_settings.h"
#include "platform/text_case.h"

namespace vexil::settings {
namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && platform::equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         platform::equalsIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

std::string versionLine(std::string_view version) {
  if (startsWithIgnoringCase(version, "Version")) return std::string(version);
  return "Version " + std::string(version);
}

std::string mailtoAddress(std::string_view address) {
  if (startsWithIgnoringCase(address, "mailto:")) return std::string(address);
  return "mailto:" + std::string(address);
}

HelpViewer helpViewerFor(std::string_view path) {
  if (endsWithIgnoringCase(path, ".chm")) return HelpViewer::HtmlHelp;
  if (endsWithIgnoringCase(path, ".hlp")) return HelpViewer::WinHelp;
  return HelpViewer::None;
}

std::string aboutPicturePath(uint32_t aboutFlags, std::string_view attached, std::string_view firstMovie,
                             std::string_view packagePicture) {
  if (aboutFlags & package::kAboutShowPicture) return std::string(attached);
  if (aboutFlags & package::kAboutShowFirstMovie) return std::string(firstMovie);
  return std::string(packagePicture);
}

bool playedByPlayer(std::string_view path) {
  return endsWithIgnoringCase(path, ".swf") || endsWithIgnoringCase(path, ".exe");
}

}  // namespace vexil::settings
