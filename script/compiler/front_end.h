#pragma once
// The front end of a compile call: fills the keyword table and parses the compilation's source.
// A syntax error ends it with its text in the compilation's diagnostics; an exhausted engine heap
// ends it with "Runtime error: Out of memory" in the engine's message buffer. Either way nothing
// unwinds past this call.
namespace vexil::script {

struct Compilation;

// True when the whole source parsed.
bool runFrontEnd(Compilation& compilation);

}  // namespace vexil::script
