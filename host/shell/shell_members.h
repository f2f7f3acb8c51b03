#pragma once
// The members of Shell, grouped by file: starting programs (shell_process.cpp), folders and the
// environment (shell_folders.cpp, shell_environment.cpp), version resources (shell_version.cpp);
// the table and the small shell calls are in shell_class.cpp.
namespace vexil::script {
struct HostCall;
}

namespace vexil::shell {

void run(script::HostCall& call);
void runAndWait(script::HostCall& call);

void getSpecialFolder(script::HostCall& call);

void getEnvironmentStrings(script::HostCall& call);
void getEnvironmentVariable(script::HostCall& call);
void setEnvironmentVariable(script::HostCall& call);
void delEnvironmentVariable(script::HostCall& call);
void expandEnvironmentStrings(script::HostCall& call);

void getFileVersionInfo(script::HostCall& call);

}  // namespace vexil::shell
