#pragma once
// What the bridge writes to the trace output when an automation call fails, and the system's
// message for a failure code.
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::com {

// The system's message for the code (trailing line end removed); empty when it has none.
std::string systemMessage(HRESULT code);
// One trace line: for DISP_E_EXCEPTION "source:description. See also: helpfile." from the
// exception record (whose strings it frees), otherwise the system's message when there is one.
void traceAutomationFailure(script::Engine& engine, HRESULT code, EXCEPINFO& exception);
// A line of the bridge's own (a member that cannot be bound, a conversion refused).
void traceBridgeProblem(script::Engine& engine, const std::string& text);

}  // namespace vexil::objects::com
