#pragma once
// Why a movie could not be read. The texts are shown to users (swfinfo's "error" field) and tests
// compare against the same constants.
#include <stdexcept>
#include <string>

namespace vexil::swf {

inline constexpr const char* kErrorTooShort = "file too short for a SWF header";
inline constexpr const char* kErrorNotSwf = "not a SWF file (signature is not FWS or CWS)";
inline constexpr const char* kErrorLengthTooSmall = "header file length is smaller than the header";
inline constexpr const char* kErrorTooLarge = "movie is larger than the reader accepts";
inline constexpr const char* kErrorBadCompression = "compressed body is not a valid zlib stream";
inline constexpr const char* kErrorTruncatedBody = "compressed body ends before the file length";
inline constexpr const char* kErrorTruncatedHeader = "movie header is truncated";
inline constexpr const char* kErrorTagPastEnd = "tag runs past the end of the movie";
inline constexpr const char* kErrorCannotOpen = "cannot open file";

// Thrown inside the reader when the bytes end early or lie; the public entry points catch it and
// return its text, so no caller ever sees an exception from outside bytes.
class SwfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vexil::swf
