// What the tests under Wine share: the class catalogue as rows, the module beside the test
// executable, registration through the platform's regsvr32, registry reads and a COM apartment.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>

#include "common/ansi_text.h"
#include "common/com_ptr.h"
#include "common/guid.h"

namespace tarvox::windows_tests {

struct CatalogueRow {
  const char* name;
  const char* display_name;  // Windows-1252
  CLSID clsid;
  IID iid;
  int unit_type;
  const char* coclass_help;
};

std::span<const CatalogueRow> Catalogue();
const CatalogueRow& Row(std::string_view name);

std::wstring Widen(std::string_view ansi);
std::wstring GuidText(REFGUID guid);

// The full path of a file in the test executable's folder.
std::wstring BesideExecutable(const wchar_t* file_name);
inline std::wstring ModulePath() { return BesideExecutable(L"tarvox.dll"); }

// Runs `regsvr32 /s [/u] <module>` and returns its exit code; -1 when it does not finish within
// the time limit (a registry script the registrar cannot read can make it spin forever).
int RunRegsvr32(bool unregister);

std::optional<std::wstring> RegistryText(const std::wstring& key, const wchar_t* value = nullptr);
bool RegistryKeyExists(const std::wstring& key);
// Whether the key exists and holds neither values nor subkeys.
bool RegistryKeyIsEmpty(const std::wstring& key);

// An STA for the duration of each test, as the host's thread is.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
  void TearDown() override { CoUninitialize(); }
};

// Whether every class of the catalogue is registered with this build's module as its server.
bool ModuleIsRegistered();

// Registered through regsvr32 for the test process.
class RegisteredModuleTest : public ComTest {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(0, RunRegsvr32(false)); }
};

// Tests of objects need the module registered, not registered anew: they register it only when
// an earlier test left it unregistered.
class ObjectsOfRegisteredModuleTest : public ComTest {
 protected:
  static void SetUpTestSuite() {
    if (!ModuleIsRegistered()) {
      ASSERT_EQ(0, RunRegsvr32(false));
    }
  }
};

}  // namespace tarvox::windows_tests
