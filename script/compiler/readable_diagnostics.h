#pragma once
// Diagnostics as the tools show them to people. The compiler writes "error: line N: message" with
// lines counted from 0, and callers of the engine rely on that form; vexilc, the runner and the
// saver's log turn each such line into "FILE:LINE: error: message" with lines counted from 1, as
// other compilers do. Lines of any other form pass unchanged; line ends are kept.
#include <string>
#include <string_view>

namespace vexil::script {

std::string readableDiagnostics(std::string_view engineText, std::string_view sourceName);

// "FILE:LINE: " for a 0-based line, or "FILE: " when the line is not known (line < 0); empty when
// there is no source name.
std::string readableLocation(std::string_view sourceName, int line);

}  // namespace vexil::script
