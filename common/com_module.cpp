#include "common/com_module.h"

#include "common/com_ptr.h"

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

#ifdef _WIN32

std::wstring ModuleFilePath() {
  std::wstring wide(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(instance, wide.data(), static_cast<DWORD>(wide.size()));
    if (n == 0) return {};
    if (n < wide.size()) {
      wide.resize(n);
      return wide;
    }
    wide.resize(wide.size() * 2);
  }
}

HRESULT LoadTypeLibraryFile(const std::wstring& file, ITypeLib** library) {
  return LoadTypeLibEx(file.c_str(), REGKIND_NONE, library);
}

bool TypeInformationAvailable() { return true; }

HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  ComPtr<ITypeLib> library;
  const HRESULT hr = LoadTypeLibraryFile(ModuleFilePath(), library.Put());
  if (FAILED(hr)) return hr;
  return library->GetTypeInfoOfGuid(iid, info);
}

#else

// Without a type-library loader there is no type information to give.
bool TypeInformationAvailable() { return false; }

HRESULT LoadModuleTypeInfo(REFIID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return TYPE_E_CANTLOADLIBRARY;
}

#endif

}  // namespace tarvox
