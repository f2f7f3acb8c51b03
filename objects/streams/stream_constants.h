#pragma once
// Numbers shared by the stream classes and their tests.
#include <cstddef>
#include <cstdint>

namespace vexil::objects {

// Open-mode bits of a StringStream, also published to scripts as "$STREAM_IN" and "$STREAM_OUT".
inline constexpr uint32_t kStreamIn = 1;
inline constexpr uint32_t kStreamOut = 2;
inline constexpr uint32_t kStreamInOut = kStreamIn | kStreamOut;
// What get answers at the end of data ("$STREAM_EOF").
inline constexpr int kStreamEof = -1;

// Whole-content operations move data in blocks of this size.
inline constexpr size_t kStreamBlockSize = 4096;
inline constexpr int kDefaultCompressionLevel = 6;
// The most bytes uncompress produces before it gives up: a few hundred bytes of deflate data can
// stand for gigabytes, and a script asking for them must get null, not an exhausted process. 256 MiB
// keeps well inside a 32-bit process while leaving room for real archives.
inline constexpr size_t kDefaultInflateLimit = size_t(256) << 20;

}  // namespace vexil::objects
