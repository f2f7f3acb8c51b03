#pragma once
// processMsg: a script pumps the thread's message queue. True when the queue became empty; false
// when the quit message was taken, or when a close of the main window is waiting for the running
// scripts to return (the program is ending, and pumping on would only see the same close again).
namespace vexil::hostobjects {

bool processMessages();

}  // namespace vexil::hostobjects
