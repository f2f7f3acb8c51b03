#pragma once
// The About page's packaged picture ("BK"), extracted once to tempDir + "Lumarc.BK".
#include <string>

#include "host/package/resource_source.h"

namespace vexil::package {

// The path of the extracted picture, or the empty text when it is neither there nor decodable.
std::string extractAboutPicture(const ResourceSource& source, const std::string& tempDir);

#ifdef _WIN32
// Loads the extracted picture as a Windows bitmap (an HBITMAP; null on failure).
void* loadAboutPicture(const ResourceSource& source, const std::string& tempDir);
#endif

}  // namespace vexil::package
