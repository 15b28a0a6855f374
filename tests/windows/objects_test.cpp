// Correlation objects created through the registry, as a host creates them, and the module's
// lifetime as the COM run time sees it.
#include "framework/correlation_interface.h"
#include "tests/windows/com_test_support.h"

namespace tarvox::windows_tests {
namespace {

ComPtr<ICorrelation> CreateByProgId(const std::wstring& prog_id) {
  CLSID clsid{};
  ComPtr<ICorrelation> correlation;
  if (SUCCEEDED(CLSIDFromProgID(prog_id.c_str(), &clsid)))
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICorrelation,
                     reinterpret_cast<void**>(correlation.Put()));
  return correlation;
}

struct InputVariable {
  std::wstring name;
  std::wstring display_name;
  double value;
};

std::vector<InputVariable> NumericInputs(ICorrelation* correlation) {
  std::vector<InputVariable> inputs;
  ComPtr<IVariableSet> set;
  int count = -1;
  if (FAILED(correlation->get_Variables(set.Put())) || FAILED(set->GetCount(&count))) return inputs;
  for (int i = 0; i < count; ++i) {
    ComPtr<IUnknown> member;
    if (FAILED(set->GetVariable(i, member.Put()))) continue;
    const auto numeric = ComPtr<INumericVariable>::Query(member.Get(), IID_INumericVariable);
    if (!numeric) continue;
    InputVariable input{};
    BStr text;
    numeric->GetName(text.Put());
    input.name = text ? text.Get() : L"";
    numeric->GetDisplayName(text.Put());
    input.display_name = text ? text.Get() : L"";
    numeric->GetValue(&input.value);
    inputs.push_back(input);
  }
  return inputs;
}

using Objects = ObjectsOfRegisteredModuleTest;

TEST_F(Objects, EveryClassIsCreatedByProgIdAndReportsItsCatalogueIdentity) {
  for (const CatalogueRow& row : Catalogue()) {
    SCOPED_TRACE(row.name);
    const ComPtr<ICorrelation> correlation = CreateByProgId(L"Tarvox." + Widen(row.name));
    ASSERT_TRUE(correlation);
    BStr text;
    ASSERT_EQ(S_OK, correlation->get_Name(text.Put()));
    EXPECT_EQ(Widen(row.display_name), text.Get());
    ASSERT_EQ(S_OK, correlation->get_ID(text.Put()));
    EXPECT_EQ(GuidText(row.clsid), text.Get());
    LONG unit_type = 0;
    LONG alias = 0;
    ASSERT_EQ(S_OK, correlation->get_UnitType(&unit_type));
    ASSERT_EQ(S_OK, correlation->get_UnitTypeAlias(&alias));
    EXPECT_EQ(row.unit_type, unit_type);
    EXPECT_EQ(row.unit_type, alias);
  }
}

TEST_F(Objects, VersionedProgIdCreatesTheSameClass) {
  const ComPtr<ICorrelation> correlation = CreateByProgId(L"Tarvox.ZFactor.1");
  ASSERT_TRUE(correlation);
  BStr id;
  ASSERT_EQ(S_OK, correlation->get_ID(id.Put()));
  EXPECT_EQ(GuidText(Row("ZFactor").clsid), id.Get());
}

TEST_F(Objects, VapourPressureNamesCarryTheDegreeSign) {
  const std::pair<const wchar_t*, const wchar_t*> expected[] = {
      {L"Tarvox.RVP_100F", L"Reid VP at 37.8\u00B0C"}, {L"Tarvox.TVP_100F", L"True VP at 37.8\u00B0C"}};
  for (const auto& [prog_id, display_name] : expected) {
    const ComPtr<ICorrelation> correlation = CreateByProgId(prog_id);
    ASSERT_TRUE(correlation);
    BStr name;
    ASSERT_EQ(S_OK, correlation->get_Name(name.Put()));
    EXPECT_STREQ(display_name, name.Get());
  }
}

TEST_F(Objects, ViscosityIndexOffersItsThreeParametersWithDefaultsAndDisplayNames) {
  const ComPtr<ICorrelation> correlation = CreateByProgId(L"Tarvox.ViscosityIdx");
  ASSERT_TRUE(correlation);
  const std::vector<InputVariable> inputs = NumericInputs(correlation.Get());
  ASSERT_EQ(3u, inputs.size());
  const InputVariable expected[] = {{L"ViscIndexParamA", L"Parameter A", 33.468},
                                    {L"ViscIndexParamB", L"Parameter B", 23.097},
                                    {L"ViscIndexParamC", L"Parameter C", 0.8}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(expected[i].name, inputs[i].name);
    EXPECT_EQ(expected[i].display_name, inputs[i].display_name);
    EXPECT_DOUBLE_EQ(expected[i].value, inputs[i].value);
  }
}

TEST_F(Objects, ExergyOffersItsReferenceStateAndPlainClassesOfferNothing) {
  const ComPtr<ICorrelation> exergy = CreateByProgId(L"Tarvox.Exergy");
  ASSERT_TRUE(exergy);
  const std::vector<InputVariable> inputs = NumericInputs(exergy.Get());
  ASSERT_EQ(2u, inputs.size());
  EXPECT_EQ(L"Ref. Temp [C]", inputs[0].display_name);
  EXPECT_DOUBLE_EQ(25.0, inputs[0].value);
  EXPECT_EQ(L"Ref. Pres [kPa]", inputs[1].display_name);
  EXPECT_DOUBLE_EQ(101.325, inputs[1].value);

  const ComPtr<ICorrelation> plain = CreateByProgId(L"Tarvox.MassDensity");
  ASSERT_TRUE(plain);
  ComPtr<IVariableSet> set;
  ASSERT_EQ(S_OK, plain->get_Variables(set.Put()));
  int count = -1;
  ASSERT_EQ(S_OK, set->GetCount(&count));
  EXPECT_EQ(0, count);
}

TEST_F(Objects, ReportBasisTakesItsItemsFromTheEmbeddedDefinitions) {
  const ComPtr<ICorrelation> correlation = CreateByProgId(L"Tarvox.CO2Loading");
  ASSERT_TRUE(correlation);
  ComPtr<IVariableSet> set;
  ASSERT_EQ(S_OK, correlation->get_Variables(set.Put()));
  ComPtr<IUnknown> member;
  ASSERT_EQ(S_OK, set->GetVariable(0, member.Put()));
  const auto variable = ComPtr<IEnumVariable>::Query(member.Get(), IID_IEnumVariable);
  const auto items = ComPtr<IEnumItems>::Query(member.Get(), IID_IEnumItems);
  ASSERT_TRUE(variable && items);
  BStr text;
  ASSERT_EQ(S_OK, variable->GetDisplayName(text.Put()));
  EXPECT_STREQ(L"Report Basis", text.Get());
  int count = 0;
  ASSERT_EQ(S_OK, items->GetEnumCount(&count));
  ASSERT_EQ(2, count);
  ASSERT_EQ(S_OK, items->GetEnumText(0, text.Put()));
  EXPECT_STREQ(L"Mole", text.Get());
  ASSERT_EQ(S_OK, items->GetEnumText(1, text.Put()));
  EXPECT_STREQ(L"Mass", text.Get());
}

TEST_F(Objects, OwnInterfaceDescribesItselfFromTheModulesTypeLibrary) {
  const ComPtr<ICorrelation> correlation = CreateByProgId(L"Tarvox.WatsonK");
  ASSERT_TRUE(correlation);
  const auto dispatch = ComPtr<IDispatch>::Query(correlation.Get(), IID_IDispatch);
  ASSERT_TRUE(dispatch);
  UINT count = 0;
  ASSERT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
  ASSERT_EQ(1u, count);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, 0, info.Put()));
  BStr name;
  ASSERT_EQ(S_OK, info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr));
  EXPECT_STREQ(L"IWatsonK", name.Get());
}

// An outer object that only counts its references.
class CountingOuter : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = IsEqualIID(iid, IID_IUnknown) ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  ULONG references() const { return references_; }

 private:
  ULONG references_ = 1;
};

TEST_F(Objects, AggregationHandsOutTheInnerUnknownOnly) {
  const CLSID clsid = Row("MolecularWeight").clsid;
  CountingOuter outer;
  ComPtr<IUnknown> inner;
  ASSERT_EQ(S_OK, CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(inner.Put())));
  ASSERT_TRUE(inner);
  {
    const auto correlation = ComPtr<ICorrelation>::Query(inner.Get(), IID_ICorrelation);
    ASSERT_TRUE(correlation);
    EXPECT_EQ(2u, outer.references()) << "the inner object's interfaces count on the outer object";
  }
  EXPECT_EQ(1u, outer.references());

  ComPtr<ICorrelation> refused;
  EXPECT_EQ(CLASS_E_NOAGGREGATION, CoCreateInstance(clsid, &outer, CLSCTX_INPROC_SERVER, IID_ICorrelation,
                                                    reinterpret_cast<void**>(refused.Put())));
  EXPECT_FALSE(refused);
}

// The module loaded by this test alone, with its entry points.
class LoadedModule {
 public:
  LoadedModule() : module_(LoadLibraryW(ModulePath().c_str())) {}
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  ~LoadedModule() {
    if (module_) FreeLibrary(module_);
  }
  explicit operator bool() const { return module_ && can_unload_now_ && get_class_object_; }
  HRESULT CanUnloadNow() const { return can_unload_now_(); }
  HRESULT GetClassObject(REFCLSID clsid, IClassFactory** factory) const {
    return get_class_object_(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory));
  }

 private:
  template <typename F>
  F Entry(const char* name) const {
    return module_ ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
  }
  HMODULE module_;
  HRESULT(STDMETHODCALLTYPE* can_unload_now_)() = Entry<HRESULT(STDMETHODCALLTYPE*)()>("DllCanUnloadNow");
  HRESULT(STDMETHODCALLTYPE* get_class_object_)
  (REFCLSID, REFIID,
   void**) = Entry<HRESULT(STDMETHODCALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject");
};

TEST_F(Objects, ModuleCanUnloadOnlyWhileNothingHoldsIt) {
  const LoadedModule module;
  ASSERT_TRUE(module);
  EXPECT_EQ(S_OK, module.CanUnloadNow());

  ComPtr<IClassFactory> factory;
  ASSERT_EQ(S_OK, module.GetClassObject(Row("ZFactor").clsid, factory.Put()));
  EXPECT_EQ(S_FALSE, module.CanUnloadNow()) << "a factory held by a client";
  ComPtr<ICorrelation> correlation;
  ASSERT_EQ(S_OK,
            factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation.Put())));
  ASSERT_EQ(S_OK, factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_EQ(S_FALSE, module.CanUnloadNow()) << "a live object and a server lock";
  correlation.Reset();
  EXPECT_EQ(S_FALSE, module.CanUnloadNow()) << "a server lock";

  ASSERT_EQ(S_OK, module.GetClassObject(Row("ZFactor").clsid, factory.Put()));
  ASSERT_EQ(S_OK, factory->LockServer(FALSE));
  ASSERT_EQ(S_OK,
            factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation.Put())));
  factory.Reset();
  EXPECT_EQ(S_FALSE, module.CanUnloadNow()) << "a live object";
  correlation.Reset();
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}

}  // namespace
}  // namespace tarvox::windows_tests
