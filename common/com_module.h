// The module as a COM server: its lock count, the critical section that guards the lazy creation
// of class factories, the library's instance handle and file, and the type information of the
// classes' own interfaces.
#pragma once

#include <mutex>
#include <string>

#include "common/com.h"

namespace tarvox {

void LockModule();
void UnlockModule();
LONG ModuleLockCount();

HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

std::mutex& ModuleCriticalSection();

// The full path of this module's file ("" when unknown).
const char* ModulePath();

// Whether this platform offers type information for the module's interfaces.
bool TypeInformationAvailable();
// The type information of interface `iid` from the module's type library.
HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** info);

#ifdef _WIN32
// The module's full path, wide, so that no character is lost to the ANSI code page; empty when
// unknown.
std::wstring ModuleFilePath();
HRESULT LoadTypeLibraryFile(const std::wstring& path, ITypeLib** library);
#endif

}  // namespace tarvox
