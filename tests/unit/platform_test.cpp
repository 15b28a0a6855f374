#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/ansi_text.h"
#include "tarvox_platform/program_folder.h"
#include "tarvox_platform/registry.h"

namespace {

using tarvox_platform::RegistryStore;
using tarvox_platform::RunRegistrarScript;

TEST(PlatformText, BstrCarriesItsByteLengthAndTerminator) {
  BSTR text = SysAllocString(OLESTR("Tarvox"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 6u);
  EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(text)[-1], 12u);
  EXPECT_EQ(text[6], 0);
  SysFreeString(text);
}

TEST(PlatformText, DegreeSignRoundTripsThroughTheAnsiCodePage) {
  tarvox::BStr wide = tarvox::AnsiToBstr(
      "37.8\xB0"
      "C");
  ASSERT_EQ(SysStringLen(wide.Get()), 6u);
  EXPECT_EQ(wide.Get()[4], 0x00B0);
  EXPECT_EQ(tarvox::WideToAnsi(wide.Get()),
            "37.8\xB0"
            "C");
  // Windows-1252 is not Latin-1: 0x80 is the euro sign.
  EXPECT_EQ(tarvox::AnsiToBstr("\x80").Get()[0], 0x20AC);
}

TEST(PlatformText, GuidTextRoundTrips) {
  const GUID g = {0xE20D8677, 0xA6E3, 0x11D5, {0xBF, 0xE9, 0x00, 0x90, 0x27, 0x1C, 0x82, 0xFF}};
  OLECHAR text[39];
  ASSERT_EQ(StringFromGUID2(g, text, 39), 39);
  EXPECT_EQ(tarvox::WideToAnsi(text), "{E20D8677-A6E3-11D5-BFE9-0090271C82FF}");
  GUID back{};
  ASSERT_EQ(CLSIDFromString(text, &back), S_OK);
  EXPECT_TRUE(IsEqualGUID(g, back));
  EXPECT_EQ(CLSIDFromString(OLESTR("{E20D8677-A6E3-11D5-BFE9-0090271C82F}"), &back), CO_E_CLASSSTRING);
}

class RegistrarScript : public ::testing::Test {
 protected:
  // One file per process: CTest runs the cases of this fixture in parallel processes.
  std::filesystem::path file = std::filesystem::temp_directory_path() /
                               ("tarvox-registrar-test-" + std::to_string(::getpid()) + ".json");
  void TearDown() override { std::filesystem::remove(file); }
};

constexpr char kScript[] =
    "HKCR\n{\n"
    "\tTarvox.X.1 = s 'X Class'\n\t{\n\t\tCLSID = s '{11111111-2222-3333-4444-555555555555}'\n\t}\n"
    "\tNoRemove CLSID\n\t{\n\t\tForceRemove {11111111-2222-3333-4444-555555555555} = s 'X Class'\n\t\t{\n"
    "\t\t\tForceRemove Programmable\n"
    "\t\t\tInprocServer32 = s '%MODULE%'\n\t\t\t{\n\t\t\t\tval ThreadingModel = s 'Apartment'\n\t\t\t}\n"
    "\t\t}\n\t}\n}\n";

TEST_F(RegistrarScript, RegistersAndUnregistersKeepingNoRemoveKeys) {
  RegistryStore store(file);
  store.SetValue("HKCR\\CLSID\\{99999999-0000-0000-0000-000000000000}", "", "someone else");
  ASSERT_EQ(RunRegistrarScript(store, kScript, {{"MODULE", "/opt/x.so"}}, true), S_OK);
  const std::string key = "HKCR\\CLSID\\{11111111-2222-3333-4444-555555555555}";
  EXPECT_EQ(store.GetValue("HKCR\\Tarvox.X.1\\CLSID"), "{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(store.GetValue(key + "\\InprocServer32"), "/opt/x.so");
  EXPECT_EQ(store.GetValue(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_TRUE(store.KeyExists(key + "\\Programmable"));
  EXPECT_EQ(store.GetValue("hkcr\\tarvox.x.1"), "X Class");  // keys ignore letter case

  ASSERT_EQ(RunRegistrarScript(store, kScript, {{"MODULE", "/opt/x.so"}}, false), S_OK);
  EXPECT_FALSE(store.KeyExists(key));
  EXPECT_FALSE(store.KeyExists("HKCR\\Tarvox.X.1"));
  EXPECT_TRUE(store.KeyExists("HKCR\\CLSID"));
  EXPECT_TRUE(store.KeyExists("HKCR\\CLSID\\{99999999-0000-0000-0000-000000000000}"));
}

TEST_F(RegistrarScript, ForceRemoveClearsWhatWasThereBefore) {
  RegistryStore store(file);
  const std::string key = "HKCR\\CLSID\\{11111111-2222-3333-4444-555555555555}";
  store.SetValue(key + "\\Stale", "", "left over");
  ASSERT_EQ(RunRegistrarScript(store, kScript, {{"MODULE", "m"}}, true), S_OK);
  EXPECT_FALSE(store.KeyExists(key + "\\Stale"));
}

TEST_F(RegistrarScript, UnknownPlaceholderOrBrokenSyntaxFailsAndChangesNothing) {
  RegistryStore store(file);
  EXPECT_EQ(RunRegistrarScript(store, kScript, {}, true), E_FAIL);
  EXPECT_EQ(RunRegistrarScript(store, "HKCR\n{\n\tA = s 'unterminated\n}\n", {}, true), E_FAIL);
  EXPECT_EQ(RunRegistrarScript(store, "HKCR\n{\n\tA = s 'x'\n", {}, true), E_FAIL);
  EXPECT_TRUE(store.SubKeys("HKCR").empty());
}

TEST_F(RegistrarScript, StoreSurvivesSaveAndLoad) {
  {
    RegistryStore store(file);
    store.SetValue("HKCR\\A\\B", "name", "value");
    ASSERT_TRUE(store.Save());
  }
  RegistryStore again(file);
  EXPECT_EQ(again.GetValue("HKCR\\A\\B", "name"), "value");
  EXPECT_EQ(again.SubKeys("HKCR\\A"), std::vector<std::string>{"B"});
}

// Nested keys, `depth` levels below HKCR.
std::string NestedScript(int depth) {
  std::string script = "HKCR {";
  for (int i = 0; i < depth; ++i) script += " K {";
  for (int i = 0; i < depth; ++i) script += " }";
  return script + " }";
}

TEST_F(RegistrarScript, DeepNestingWithinTheRegistryLimitRegisters) {
  RegistryStore store(file);
  ASSERT_EQ(RunRegistrarScript(store, NestedScript(100), {}, true), S_OK);
  std::string key = "HKCR";
  for (int i = 0; i < 100; ++i) key += "\\K";
  EXPECT_TRUE(store.KeyExists(key));
}

TEST_F(RegistrarScript, NestingBeyondTheRegistryLimitFailsWithoutExhaustingTheStack) {
  RegistryStore store(file);
  EXPECT_EQ(RunRegistrarScript(store, NestedScript(1'000'000), {}, true), E_FAIL);
  EXPECT_TRUE(store.SubKeys("HKCR").empty());
}

TEST_F(RegistrarScript, NameThatCannotBeStoredFailsTheSaveAndKeepsTheFile) {
  {
    RegistryStore store(file);
    store.SetValue("HKCR\\A", "", "kept");
    ASSERT_TRUE(store.Save());
  }
  RegistryStore store(file);
  store.CreateKey("HKCR\\Caf\xE9");  // Windows-1252, not UTF-8
  EXPECT_FALSE(store.Save());
  RegistryStore again(file);
  EXPECT_EQ(again.GetValue("HKCR\\A"), "kept");
}

TEST(PlatformLoader, BareWindowsNameLoadsTheSharedObjectBesideTheExecutable) {
  HMODULE library = LoadLibraryA("quorix2.DLL");
  ASSERT_NE(library, nullptr);
  EXPECT_NE(GetProcAddress(library, "DllGetClassObject"), nullptr);
  EXPECT_EQ(LoadLibraryA("no-such-library.dll"), nullptr);
  FreeLibrary(library);
}

// Whether the system holds `path` loaded, asked without loading it (and without keeping the count
// the asking adds).
bool HeldLoaded(const std::string& path) {
  void* held = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (held) dlclose(held);
  return held != nullptr;
}

TEST(PlatformLoader, ALibraryStaysLoadedUntilEveryLoadUnderAnyNameIsFreed) {
  const std::string path = tarvox_platform::ProgramFolder() + "/quorix2.so";
  const bool held_before = HeldLoaded(path);
  HMODULE by_bare_name = LoadLibraryA("quorix2.dll");
  HMODULE by_other_path = LoadLibraryA((tarvox_platform::ProgramFolder() + "/./quorix2.so").c_str());
  ASSERT_NE(by_bare_name, nullptr);
  EXPECT_EQ(by_other_path, by_bare_name);
  EXPECT_TRUE(FreeLibrary(by_bare_name));
  EXPECT_TRUE(HeldLoaded(path)) << "freed before its second load was";
  EXPECT_TRUE(FreeLibrary(by_other_path));
  if (!held_before) {
    EXPECT_FALSE(HeldLoaded(path)) << "still loaded after every load was freed";
  }
  HMODULE again = LoadLibraryA("quorix2.dll");
  EXPECT_NE(GetProcAddress(again, "DllGetClassObject"), nullptr) << "loads again once unloaded";
  FreeLibrary(again);
}

TEST(PlatformLoader, ANamedProgramFolderIsWhereBareNamesAndTheProgramAreSought) {
  const std::filesystem::path empty = std::filesystem::temp_directory_path() / "tarvox_empty_program_folder";
  std::filesystem::create_directories(empty);
  tarvox_platform::SetProgramFolder(empty.string());
  char program[4096];
  const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  const HMODULE absent = LoadLibraryA("quorix2.dll");
  tarvox_platform::SetProgramFolder("");
  EXPECT_EQ(absent, nullptr) << "quorix2 lies beside the executable, not in the named folder";
  EXPECT_EQ(std::filesystem::path(std::string(program, length)).parent_path(), empty);
  HMODULE library = LoadLibraryA("quorix2.dll");
  EXPECT_NE(library, nullptr) << "an empty name returns to the executable's folder";
  FreeLibrary(library);
  std::filesystem::remove(empty);
}

}  // namespace
