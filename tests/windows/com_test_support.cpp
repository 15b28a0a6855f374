#include "tests/windows/com_test_support.h"

#include <stdexcept>

namespace tarvox::windows_tests {

namespace {

#define EVALUATOR(f) 0
#define PENDING(f) 0
#define NO_INPUTS 0
#define INPUTS(...) 0
#define TARVOX_CLASS(name, display, clsid, iid, script, unit, frame, evaluator, inputs, help) \
  CatalogueRow{#name, display, ParseGuid(clsid), ParseGuid(iid), unit, help},

constexpr CatalogueRow kCatalogue[] = {
#include "resources/classes.def"
};

#undef TARVOX_CLASS
#undef INPUTS
#undef NO_INPUTS
#undef PENDING
#undef EVALUATOR

constexpr DWORD kRegistrationTimeoutMs = 60000;

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h_) CloseHandle(h_);
  }
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

class RegistryKey {
 public:
  explicit RegistryKey(const std::wstring& path) {
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::span<const CatalogueRow> Catalogue() { return kCatalogue; }

const CatalogueRow& Row(std::string_view name) {
  for (const CatalogueRow& row : kCatalogue)
    if (name == row.name) return row;
  throw std::invalid_argument("no such class in the catalogue");
}

std::wstring Widen(std::string_view ansi) {
  const BStr text = AnsiToBstr(ansi);
  return text ? std::wstring(text.Get(), SysStringLen(text.Get())) : std::wstring();
}

std::wstring GuidText(REFGUID guid) {
  wchar_t text[39];
  return StringFromGUID2(guid, text, 39) == 39 ? std::wstring(text, 38) : std::wstring();
}

std::wstring BesideExecutable(const wchar_t* file_name) {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  return folder + file_name;
}

int RunRegsvr32(bool unregister) {
  std::wstring command = unregister ? L"regsvr32.exe /s /u \"" : L"regsvr32.exe /s \"";
  command += ModulePath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return -1;
  const Handle process_handle(process.hProcess);
  const Handle thread_handle(process.hThread);
  if (WaitForSingleObject(process.hProcess, kRegistrationTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    return -1;
  }
  DWORD exit_code = 0;
  GetExitCodeProcess(process.hProcess, &exit_code);
  return static_cast<int>(exit_code);
}

std::optional<std::wstring> RegistryText(const std::wstring& key, const wchar_t* value) {
  wchar_t data[1024];
  DWORD size = sizeof data;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(data);
}

bool ModuleIsRegistered() {
  for (const CatalogueRow& row : kCatalogue) {
    const auto server = RegistryText(L"CLSID\\" + GuidText(row.clsid) + L"\\InprocServer32");
    if (!server || CompareStringOrdinal(server->c_str(), -1, ModulePath().c_str(), -1, TRUE) != CSTR_EQUAL)
      return false;
  }
  return true;
}

bool RegistryKeyExists(const std::wstring& key) { return RegistryKey(key).Get() != nullptr; }

bool RegistryKeyIsEmpty(const std::wstring& key) {
  const RegistryKey opened(key);
  DWORD subkeys = 0;
  DWORD values = 0;
  return opened.Get() &&
         RegQueryInfoKeyW(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         subkeys == 0 && values == 0;
}

}  // namespace tarvox::windows_tests
