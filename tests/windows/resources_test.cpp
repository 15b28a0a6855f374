// The resources that the module carries besides its registry scripts and type library.
#include <vector>

#include "tests/windows/com_test_support.h"

namespace tarvox::windows_tests {
namespace {

// The module mapped for its resources only.
class ModuleImage {
 public:
  ModuleImage() : module_(LoadLibraryExW(ModulePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ModuleImage(const ModuleImage&) = delete;
  ModuleImage& operator=(const ModuleImage&) = delete;
  ~ModuleImage() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE Get() const { return module_; }

 private:
  HMODULE module_;
};

std::vector<char> VersionRecord() {
  const std::wstring path = ModulePath();
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  std::vector<char> record(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, record.data())) record.clear();
  return record;
}

TEST(ModuleResources, StringTableNamesTheProduct) {
  const ModuleImage image;
  ASSERT_TRUE(image.Get());
  wchar_t text[64] = L"";
  ASSERT_GT(LoadStringW(image.Get(), 100, text, 64), 0);
  EXPECT_STREQ(L"Tarvox", text);
}

TEST(ModuleResources, VariableDefinitionsAreAnEnglishDocumentOfTypeTwentyThree) {
  const ModuleImage image;
  ASSERT_TRUE(image.Get());
  HRSRC found = FindResourceExW(image.Get(), MAKEINTRESOURCEW(23), MAKEINTRESOURCEW(201),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_TRUE(found);
  HGLOBAL loaded = LoadResource(image.Get(), found);
  ASSERT_TRUE(loaded);
  const std::string_view text(static_cast<const char*>(LockResource(loaded)),
                              SizeofResource(image.Get(), found));
  EXPECT_TRUE(text.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
  EXPECT_NE(std::string_view::npos, text.find("TaggedName=\"ExergyRefPresValue\""));
}

TEST(ModuleResources, VersionRecordCarriesVersionThirtyEightAndTheDescription) {
  std::vector<char> record = VersionRecord();
  ASSERT_FALSE(record.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(MAKELONG(0, 38), fixed->dwFileVersionMS);
  EXPECT_EQ(0u, fixed->dwFileVersionLS);
  EXPECT_EQ(MAKELONG(0, 38), fixed->dwProductVersionMS);
  EXPECT_EQ(0u, fixed->dwProductVersionLS);
  wchar_t* description = nullptr;
  ASSERT_TRUE(VerQueryValueW(record.data(), L"\\StringFileInfo\\040904b0\\FileDescription",
                             reinterpret_cast<void**>(&description), &length));
  EXPECT_STREQ(L"Tarvox Module", description);
}

}  // namespace
}  // namespace tarvox::windows_tests
