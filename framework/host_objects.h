#pragma once

#include "common/com.h"

namespace tarvox {

// The name under which the host's variable library is loaded.
inline constexpr char kHostVariableLibrary[] = "quorix2.dll";

// Creates an object of the host library `library` by class and interface: loads the library by
// its bare name (it is loaded anew each time and never freed), asks its class object for an
// instance and queries that for `iid`. E_FAIL when the library, its export or its class object is
// missing; otherwise the result of the creation or of the query.
HRESULT CreateHostObject(const char* library, REFCLSID clsid, REFIID iid, void** object);

}  // namespace tarvox
