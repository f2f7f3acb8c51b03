#pragma once
// Connects the product's script runner to what the Application object keeps: the start-up hooks,
// the script's cursor and the trace file.
namespace vexil::hostobjects {

void connectRunnerServices();

}  // namespace vexil::hostobjects
