// The folder a library named without a folder is loaded from ("the program folder"). It is the
// running executable's folder, unless a host that is itself a plug-in (a Python extension, for
// example, whose executable is the interpreter) names the folder its libraries live in.
#pragma once

#include <string>

namespace tarvox_platform {

// Names the program folder for the rest of the process; an empty text returns to the
// executable's folder. Call it before the first library is loaded.
__attribute__((visibility("default"))) void SetProgramFolder(const std::string& folder);

// The named program folder, else the running executable's folder ("" when it is unknown).
__attribute__((visibility("default"))) std::string ProgramFolder();

}  // namespace tarvox_platform
