#include "module/module_state.h"

#include <atomic>

namespace tarvox {

namespace {
std::atomic<LONG> lock_count{0};
HINSTANCE instance = nullptr;
char path[MAX_PATH + 1] = "";
}  // namespace

void LockModule() { ++lock_count; }
void UnlockModule() { --lock_count; }
LONG ModuleLockCount() { return lock_count.load(); }

HINSTANCE ModuleInstance() { return instance; }

void SetModuleInstance(HINSTANCE module) {
  instance = module;
  const DWORD n = GetModuleFileNameA(module, path, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) path[0] = '\0';
}

std::mutex& ModuleCriticalSection() {
  static std::mutex section;
  return section;
}

const char* ModulePath() { return path; }

}  // namespace tarvox
