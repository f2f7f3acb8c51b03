#pragma once
// The archive of additional files that may be appended to the executable file:
//   body: "LAF\0", u32 non-zero, text item "Application", u32 root size R, R bytes of entries;
//   then u32 body length L and a u32 marker (0: no archive) as the file's last eight bytes.
// An entry is u32 type (0 file, else folder), text item name, u32 size, then size bytes: a
// folder's own entries, or a file's zlib stream followed by the CRC-32 of its contents.
#include <string>

namespace vexil::package {

// The local path of an additional file or folder, extracted on demand into tempDir + "_extra\".
// Without an archive, the file beside the executable if it exists. The empty text when there is
// no such item or it does not extract intact.
std::string getAdditionalFile(const std::string& exePath, const std::string& tempDir, std::string relativeName);

}  // namespace vexil::package
