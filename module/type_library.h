// The module's type library TARVOXLib: its identity, its registration, and the type information
// of the classes' own interfaces.
#pragma once

#include "common/guid.h"

namespace tarvox {

inline constexpr GUID LIBID_TARVOXLib = ParseGuid("{E473BCB4-7205-4A60-A489-07EB1FF2F9DD}");
inline constexpr unsigned short kTypeLibraryMajor = 2;
inline constexpr unsigned short kTypeLibraryMinor = 2;
inline constexpr char kTypeLibraryHelp[] = "Tarvox 2.2 Type Library";

// Whether this platform offers type information for the module's interfaces.
bool TypeInformationAvailable();
// The type information of interface `iid` from the module's type library.
HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** info);

}  // namespace tarvox
