// The module object: its lock count, the critical section that guards the lazy creation of
// class factories, the type library identifier and the library's instance handle.
#pragma once

#include <mutex>

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

}  // namespace tarvox
