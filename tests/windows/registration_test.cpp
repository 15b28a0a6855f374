// Registration through the platform's regsvr32 and registrar, and the type library it registers.
#include "module/type_library.h"
#include "tests/windows/com_test_support.h"

namespace tarvox::windows_tests {
namespace {

constexpr LCID kEnglish = 1033;

std::wstring ClassKey(const CatalogueRow& row) { return L"CLSID\\" + GuidText(row.clsid); }

// Paths compare without regard to letter case, as the file system does.
bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

using Registration = RegisteredModuleTest;

TEST_F(Registration, BothProgIdsOfEveryClassLeadToItsClsid) {
  for (const CatalogueRow& row : Catalogue()) {
    SCOPED_TRACE(row.name);
    const std::wstring independent = L"Tarvox." + Widen(row.name);
    const std::wstring versioned = independent + L".1";
    for (const std::wstring& prog_id : {independent, versioned}) {
      CLSID found{};
      EXPECT_EQ(S_OK, CLSIDFromProgID(prog_id.c_str(), &found));
      EXPECT_TRUE(IsEqualCLSID(row.clsid, found));
      EXPECT_EQ(Widen(row.name) + L" Class", RegistryText(prog_id));
    }
    EXPECT_EQ(versioned, RegistryText(independent + L"\\CurVer"));
  }
}

TEST_F(Registration, EveryClassKeyNamesTheModuleAndItsApartmentModel) {
  for (const CatalogueRow& row : Catalogue()) {
    SCOPED_TRACE(row.name);
    const std::wstring key = ClassKey(row);
    EXPECT_EQ(Widen(row.name) + L" Class", RegistryText(key));
    EXPECT_EQ(L"Tarvox." + Widen(row.name) + L".1", RegistryText(key + L"\\ProgID"));
    EXPECT_EQ(L"Tarvox." + Widen(row.name), RegistryText(key + L"\\VersionIndependentProgID"));
    const auto server = RegistryText(key + L"\\InprocServer32");
    ASSERT_TRUE(server.has_value());
    EXPECT_TRUE(SamePath(ModulePath(), *server)) << "registered as " << testing::PrintToString(*server);
    EXPECT_EQ(L"Apartment", RegistryText(key + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_TRUE(RegistryKeyIsEmpty(key + L"\\Programmable"));
    EXPECT_EQ(L"{E473BCB4-7205-4a60-A489-07EB1FF2F9DD}", RegistryText(key + L"\\TypeLib"));
  }
}

TEST_F(Registration, TypeLibraryLoadsFromTheRegistryWithEveryClassAndInterface) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK,
            LoadRegTypeLib(LIBID_TARVOXLib, kTypeLibraryMajor, kTypeLibraryMinor, kEnglish, library.Put()));
  EXPECT_EQ(104u, library->GetTypeInfoCount());
  BStr name;
  BStr help;
  ASSERT_EQ(S_OK, library->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr));
  EXPECT_STREQ(L"TARVOXLib", name.Get());
  EXPECT_STREQ(L"Tarvox 2.2 Type Library", help.Get());

  for (const CatalogueRow& row : Catalogue()) {
    SCOPED_TRACE(row.name);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(row.clsid, coclass.Put()));
    ASSERT_EQ(S_OK, coclass->GetDocumentation(MEMBERID_NIL, name.Put(), help.Put(), nullptr, nullptr));
    EXPECT_EQ(Widen(row.name), name.Get());
    EXPECT_EQ(Widen(row.coclass_help), help.Get());

    ComPtr<ITypeInfo> own;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(row.iid, own.Put()));
    ASSERT_EQ(S_OK, own->GetDocumentation(MEMBERID_NIL, name.Put(), help.Put(), nullptr, nullptr));
    EXPECT_EQ(L"I" + Widen(row.name), name.Get());
    EXPECT_EQ(L"I" + Widen(row.name) + L" Interface", help.Get());
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, own->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_DISPATCH, attributes->typekind);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    own->ReleaseTypeAttr(attributes);

    // The interface half of the dual interface has no members of its own: its table holds
    // IDispatch's seven entries and nothing more.
    HREFTYPE interface_half = 0;
    ComPtr<ITypeInfo> vtable;
    ASSERT_EQ(S_OK, own->GetRefTypeOfImplType(-1, &interface_half));
    ASSERT_EQ(S_OK, own->GetRefTypeInfo(interface_half, vtable.Put()));
    ASSERT_EQ(S_OK, vtable->GetTypeAttr(&attributes));
    EXPECT_EQ(0, attributes->cFuncs);
    EXPECT_EQ(7 * sizeof(void*), attributes->cbSizeVft);
    vtable->ReleaseTypeAttr(attributes);
  }
}

TEST_F(Registration, TwoCoClassesCarryTheirOwnHelpStrings) {
  ComPtr<ITypeLib> library;
  ASSERT_EQ(S_OK,
            LoadRegTypeLib(LIBID_TARVOXLib, kTypeLibraryMajor, kTypeLibraryMinor, kEnglish, library.Put()));
  const std::pair<const char*, const wchar_t*> expected[] = {{"CO2Loading", L"CO2Loding Class"},
                                                             {"SOLINDEX", L"Solubility Index Class"}};
  for (const auto& [class_name, help_text] : expected) {
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(Row(class_name).clsid, coclass.Put()));
    BStr help;
    ASSERT_EQ(S_OK, coclass->GetDocumentation(MEMBERID_NIL, nullptr, help.Put(), nullptr, nullptr));
    EXPECT_STREQ(help_text, help.Get());
  }
}

TEST_F(Registration, UnregisteringRemovesTheClassesAndTheTypeLibraryAndKeepsTheClsidRoot) {
  ASSERT_EQ(0, RunRegsvr32(true));
  for (const CatalogueRow& row : Catalogue()) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(RegistryKeyExists(ClassKey(row)));
    EXPECT_FALSE(RegistryKeyExists(L"Tarvox." + Widen(row.name)));
    EXPECT_FALSE(RegistryKeyExists(L"Tarvox." + Widen(row.name) + L".1"));
  }
  EXPECT_TRUE(RegistryKeyExists(L"CLSID"));
  ComPtr<ITypeLib> library;
  EXPECT_NE(S_OK,
            LoadRegTypeLib(LIBID_TARVOXLib, kTypeLibraryMajor, kTypeLibraryMinor, kEnglish, library.Put()));

  // A library no longer registered cannot be unregistered: that failure is the result.
  EXPECT_TRUE(
      FAILED(UnRegisterTypeLib(LIBID_TARVOXLib, kTypeLibraryMajor, kTypeLibraryMinor, kEnglish, SYS_WIN64)));
  EXPECT_NE(0, RunRegsvr32(true)) << "unregistering twice";
  EXPECT_EQ(0, RunRegsvr32(false)) << "registering again";
  CLSID found{};
  EXPECT_EQ(S_OK, CLSIDFromProgID(L"Tarvox.ActGasFlow", &found));
}

}  // namespace
}  // namespace tarvox::windows_tests
