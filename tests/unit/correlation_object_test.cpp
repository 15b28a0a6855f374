#include <gtest/gtest.h>

#include "common/ansi_text.h"
#include "common/registry.h"
#include "framework/variable_definitions_apply.h"
#include "framework/variable_definitions.h"
#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::Class;
using testing::CreateCorrelation;

long LiveHostVariables() {
  using Counter = long(STDMETHODCALLTYPE*)();
  static auto counter =
      reinterpret_cast<Counter>(GetProcAddress(LoadLibraryA("quorix2.dll"), "Quorix2LiveObjects"));
  return counter();
}

std::string Text(BSTR text) { return WideToAnsi(text, static_cast<int>(SysStringLen(text))); }

TEST(ClassObjects, FactoryIsCachedAndUnknownClassesRefused) {
  ComPtr<IClassFactory> first, second;
  ASSERT_EQ(
      DllGetClassObject(Class("ZFactor").clsid, IID_IClassFactory, reinterpret_cast<void**>(first.Put())),
      S_OK);
  ASSERT_EQ(
      DllGetClassObject(Class("ZFactor").clsid, IID_IClassFactory, reinterpret_cast<void**>(second.Put())),
      S_OK);
  EXPECT_EQ(first.Get(), second.Get());
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(DllGetClassObject(IID_IUnknown, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(none, nullptr);
}

TEST(ClassObjects, UnloadIsRefusedWhileAnythingHoldsTheModule) {
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  {
    ComPtr<ICorrelation> object = CreateCorrelation("MassDensity");
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  }
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
  ComPtr<IClassFactory> factory;
  DllGetClassObject(Class("MassDensity").clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put()));
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  factory->LockServer(TRUE);
  factory.Reset();
  EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
  ComPtr<IClassFactory> again;
  DllGetClassObject(Class("MassDensity").clsid, IID_IClassFactory, reinterpret_cast<void**>(again.Put()));
  again->LockServer(FALSE);
  again.Reset();
  EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(ClassObjects, AggregationAdmitsOnlyIUnknown) {
  ComPtr<IClassFactory> factory;
  DllGetClassObject(Class("WatsonK").clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put()));
  ComPtr<host::StreamSite> outer = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  void* refused = nullptr;
  EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_ICorrelation, &refused), CLASS_E_NOAGGREGATION);
  ComPtr<IUnknown> inner;
  ASSERT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, reinterpret_cast<void**>(inner.Put())), S_OK);
  ComPtr<ICorrelation> correlation = ComPtr<ICorrelation>::Query(inner.Get(), IID_ICorrelation);
  ASSERT_TRUE(correlation);
  // The inner object's interfaces count references on the outer object.
  const ULONG outer_before = outer->AddRef() - 1;
  outer->Release();
  correlation->AddRef();
  EXPECT_EQ(outer->AddRef() - 1, outer_before + 1);
  outer->Release();
  correlation->Release();
  correlation.Detach();  // its reference belongs to the outer object
  outer->Release();
}

TEST(CorrelationIdentity, EveryClassReportsItsCatalogueRow) {
  for (const ClassInfo& info : ClassCatalogue()) {
    ComPtr<ICorrelation> c = CreateCorrelation(info.name);
    ASSERT_TRUE(c) << info.name;
    BStr name, id;
    LONG unit = 0, alias = 0, aux1 = 1, aux2 = 1;
    ASSERT_EQ(c->get_Name(name.Put()), S_OK);
    ASSERT_EQ(c->get_ID(id.Put()), S_OK);
    c->get_UnitType(&unit);
    c->get_UnitTypeAlias(&alias);
    c->get_AuxiliaryCode1(&aux1);
    c->get_AuxiliaryCode2(&aux2);
    EXPECT_EQ(Text(name.Get()), info.display_name);
    char expected_id[39];
    GuidToRegistryString(info.clsid, expected_id, sizeof expected_id);
    EXPECT_EQ(Text(id.Get()), expected_id);
    EXPECT_EQ(unit, info.unit_type);
    EXPECT_EQ(alias, info.unit_type);
    EXPECT_EQ(aux1, 0);
    EXPECT_EQ(aux2, 0);
    EXPECT_EQ(c->get_Name(nullptr), E_POINTER);
  }
  BStr reid;
  CreateCorrelation("RVP_100F")->get_Name(reid.Put());
  EXPECT_EQ(reid.Get()[15], 0x00B0);  // "Reid VP at 37.8°C"
}

TEST(CorrelationInputs, ViscosityIndexDeclaresItsParametersWithDefaults) {
  ComPtr<IVariableSet> inputs;
  ASSERT_EQ(CreateCorrelation("ViscosityIdx")->get_Variables(inputs.Put()), S_OK);
  const char* names[] = {"ViscIndexParamA", "ViscIndexParamB", "ViscIndexParamC"};
  const char* display[] = {"Parameter A", "Parameter B", "Parameter C"};
  const double defaults[] = {33.468, 23.097, 0.8};
  int count = 0;
  inputs->GetCount(&count);
  ASSERT_EQ(count, 3);
  for (int i = 0; i < 3; ++i) {
    ComPtr<IUnknown> member;
    inputs->GetVariable(i, member.Put());
    auto number = ComPtr<INumericVariable>::Query(member.Get(), IID_INumericVariable);
    ASSERT_TRUE(number);
    BStr name, shown;
    double value = 0;
    number->GetName(name.Put());
    number->GetDisplayName(shown.Put());
    number->GetValue(&value);
    EXPECT_EQ(Text(name.Get()), names[i]);
    EXPECT_EQ(Text(shown.Get()), display[i]);
    EXPECT_EQ(value, defaults[i]);
  }
  ComPtr<IVariableSet> none;
  CreateCorrelation("MassDensity")->get_Variables(none.Put());
  none->GetCount(&count);
  EXPECT_EQ(count, 0);
}

// Records what a definition does to a variable.
class RecordingVariable final : public host::ComObject<IEnumVariable>, public IEnumItems {
 public:
  std::vector<std::string> calls;
  bool offer_items = true;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IEnumItems) && offer_items) {
      *object = static_cast<IEnumItems*>(this);
      AddRef();
      return S_OK;
    }
    return Answer(iid, object, static_cast<IEnumVariable*>(this), {IID_IEnumVariable});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }
  HRESULT STDMETHODCALLTYPE GetName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetName(const OLECHAR* n) override { return Log("SetName " + WideToAnsi(n)); }
  HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDisplayName(BSTR n) override { return Log("SetDisplayName " + Text(n)); }
  HRESULT STDMETHODCALLTYPE GetUnitType(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetUnitType(int) override { return Log("SetUnitType"); }
  HRESULT STDMETHODCALLTYPE GetEnumFlag(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved8() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved10() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved11() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved12() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved13() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved14() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved15() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reserved16() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetEnumIndex(int, int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetEnumCount(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetEnumText(int, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetEnumFlag(int f) override { return Log("SetEnumFlag " + std::to_string(f)); }
  HRESULT STDMETHODCALLTYPE SetEnumIndex(int i) override { return Log("SetEnumIndex " + std::to_string(i)); }
  HRESULT STDMETHODCALLTYPE SetEnumText(int p, BSTR t) override {
    return Log("SetEnumText " + std::to_string(p) + " " + Text(t));
  }

 private:
  HRESULT Log(std::string call) {
    calls.push_back(std::move(call));
    return S_OK;
  }
};

TEST(VariableDefinitions, ApplyNamesAndItemsInDocumentOrder) {
  auto basis = ComPtr<RecordingVariable>::Adopt(new RecordingVariable());
  ASSERT_TRUE(ApplyVariableDefinition("ReportBasis", basis.Get()));
  EXPECT_EQ(basis->calls,
            (std::vector<std::string>{"SetDisplayName Report Basis", "SetName ReportBasis", "SetEnumFlag 1",
                                      "SetEnumIndex 0", "SetEnumText 0 Mole", "SetEnumText 1 Mass"}));
  // "Phase_Values" has an empty display name: only its name is set.
  auto result = ComPtr<RecordingVariable>::Adopt(new RecordingVariable());
  ASSERT_TRUE(ApplyVariableDefinition("Phase_Values", result.Get()));
  EXPECT_EQ(result->calls, std::vector<std::string>{"SetName Phase_Values"});
  // A numeric definition gets no items even from a variable that offers them.
  auto number = ComPtr<RecordingVariable>::Adopt(new RecordingVariable());
  ASSERT_TRUE(ApplyVariableDefinition("CostFactor", number.Get()));
  EXPECT_EQ(number->calls, (std::vector<std::string>{"SetDisplayName Cost Factor", "SetName CostFactor"}));
  // Unknown names, and names that would break the query, leave the variable alone.
  auto unknown = ComPtr<RecordingVariable>::Adopt(new RecordingVariable());
  EXPECT_TRUE(ApplyVariableDefinition("NoSuchVariable", unknown.Get()));
  EXPECT_TRUE(ApplyVariableDefinition("a\"]broken[", unknown.Get()));
  EXPECT_TRUE(unknown->calls.empty());
  EXPECT_FALSE(ApplyVariableDefinition("ReportBasis", nullptr));
}

TEST(VariableDefinitions, OnlyTheExactTypeEnumGetsItems) {
  EXPECT_TRUE(IsEnumDefinition({"", "", "Enum"}));
  EXPECT_FALSE(IsEnumDefinition({"", "", "ENUM"}));
  EXPECT_FALSE(IsEnumDefinition({"", "", "enum"}));
}

TEST(Connections, CookiesStayDenseAndRefusalsWriteNothing) {
  auto fluid = testing::ThreePhaseFluid();
  ComPtr<ICorrelation> c = CreateCorrelation("MolarVolume");
  auto site = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  LONG cookies[3] = {};
  IVariableSet* sets[3] = {};
  for (int i = 0; i < 3; ++i) ASSERT_EQ(c->Connect(site.Get(), i, &cookies[i], &sets[i]), S_OK);
  EXPECT_EQ(cookies[0], 1);
  EXPECT_EQ(cookies[2], 3);
  EXPECT_NE(sets[0], sets[1]);  // each connection has its own clone
  ASSERT_EQ(c->Disconnect(1), S_OK);
  EXPECT_EQ(c->Disconnect(3), CONNECT_E_CANNOTCONNECT);  // renumbered: now 1 and 2
  EXPECT_EQ(c->Disconnect(2), S_OK);
  EXPECT_EQ(c->Disconnect(7), CONNECT_E_CANNOTCONNECT);

  LONG cookie = 99;
  IVariableSet* set = reinterpret_cast<IVariableSet*>(0x1);
  EXPECT_EQ(c->Connect(nullptr, 1, &cookie, &set), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(c->Connect(static_cast<IHostFluid*>(fluid.Get()), 1, &cookie, &set),
            CONNECT_E_NOCONNECTION);  // not a site
  EXPECT_EQ(cookie, 99);
  EXPECT_EQ(set, reinterpret_cast<IVariableSet*>(0x1));
  EXPECT_EQ(c->Connect(site.Get(), 1, nullptr, &set), E_POINTER);
}

TEST(Lifetime, ReleasingObjectsLeavesNoHostObjectsOrTaskBlocks) {
  const long host_before = LiveHostVariables();
  // The calculator keeps the host's last named array across cycles, by design.
  auto owned_blocks = [] {
    return tarvox_platform::LiveTaskBlocks() - (GetPropertyCalculator().NamedArrayBuffer ? 1 : 0);
  };
  GetPropertyCalculator().ResetCache();  // earlier evaluations' loaded data is no leak of this test
  const long blocks_before = owned_blocks();
  const long strings_before = tarvox_platform::LiveBstrs();
  {
    auto fluid = testing::ThreePhaseFluid();
    for (const char* name : {"MassDensity", "Exergy", "ViscosityIdx", "CO2Loading", "RVP_100F"}) {
      testing::Connection c = testing::Connect(name, static_cast<IHostFluid*>(fluid.Get()));
      c.correlation->Calculate(c.cookie);
    }
  }
  GetPropertyCalculator().ResetCache();
  EXPECT_EQ(LiveHostVariables(), host_before);
  EXPECT_EQ(owned_blocks(), blocks_before);
  EXPECT_EQ(tarvox_platform::LiveBstrs(), strings_before);
}

}  // namespace
}  // namespace tarvox
