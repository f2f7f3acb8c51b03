#pragma once
// The plain rules of the standard dialogs: filters written with "|", colours between the script's
// 0xRRGGBB and the system's 0x00BBGGRR, the answer of a multi-select open dialog, and the limits
// the font dialog is given.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexil::hostobjects {

// "Pictures|*.png;*.jpg|All|*.*|" as the dialog's list: each "|" a NUL, always ending in two NULs.
// Parts come in pairs (description, pattern); a description left without its pattern is dropped,
// so the dialog never reads a list that ends in the middle of a pair.
std::u16string dialogFilter(std::u16string_view text);

// Swaps the outer bytes; anything above 24 bits is dropped first.
uint32_t swapRedBlue(uint32_t colour);

// The open dialog's multi-select answer: zero-separated texts ending in an empty one. Either one
// full path, or the folder and then the file names.
std::vector<std::u16string> splitMultiSelect(std::u16string_view buffer);

// Face names hold at most 31 characters (the system's 32-unit field with its terminator).
inline constexpr size_t kMaxFaceName = 31;
// The font dialog's sizes in points: larger ones are shown as this.
inline constexpr int kMaxFontPoints = 1638;

// Script flags the save dialog honours: those that ask for a hook or a template, or multiple
// files, would hand the dialog callbacks or buffers nobody supplied.
inline constexpr uint32_t kRefusedSaveFlags = 0x20 | 0x40 | 0x80 | 0x200;

}  // namespace vexil::hostobjects
