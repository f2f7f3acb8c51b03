#pragma once
// The pieces of a package that both the single-step commands and `vxpack build` make.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vexil::project {

// The identity resource: the text (UTF-16, NUL-terminated) and 32 bytes reserved for the packager.
std::vector<uint8_t> identityBytes(const std::string& text);

// The 16-byte settings stamp of a settings blob: any change of the blob changes it (CRC-32 and
// Adler-32 of the bytes, the CRC-32 of the first half, and the length).
std::vector<uint8_t> settingsStamp(std::span<const uint8_t> blob);

// A solid 24-bit Windows bitmap; sides up to 16384 pixels keep its byte count inside 32 bits.
std::vector<uint8_t> solidBitmap(uint32_t width, uint32_t height, uint32_t rgb);

// Called with the share done (0 to 100) while a large item is compressed.
using Progress = std::function<void(int percent)>;

// A package blob, compressed in steps so that a large item can report its progress; the same
// bytes as the package library's encoder.
std::vector<uint8_t> encodeBlobInSteps(std::span<const uint8_t> data, const Progress& progress);

}  // namespace vexil::project
