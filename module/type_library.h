// The module's type library TARVOXLib: its identity.
#pragma once

#include "common/guid.h"

namespace tarvox {

// Written as the registry scripts write it; the build reads these four lines for the scripts and
// the type-library source.
inline constexpr GUID LIBID_TARVOXLib = ParseGuid("{E473BCB4-7205-4a60-A489-07EB1FF2F9DD}");
inline constexpr unsigned short kTypeLibraryMajor = 2;
inline constexpr unsigned short kTypeLibraryMinor = 2;
inline constexpr char kTypeLibraryHelp[] = "Tarvox 2.2 Type Library";

}  // namespace tarvox
