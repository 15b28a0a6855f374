#include "host/tool/catalogue.h"

#include "common/ansi_text.h"
#include "host/tool/class_names.h"
#include "host/tool/correlation_factory.h"
#include "host/tool/utf8_text.h"

namespace tarvox::tool {

namespace {

std::vector<std::string> InputNames(ICorrelation& correlation) {
  ComPtr<IVariableSet> inputs;
  int count = 0;
  if (FAILED(correlation.get_Variables(inputs.Put())) || !inputs || FAILED(inputs->GetCount(&count)))
    return {};
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    ComPtr<IUnknown> member;
    if (FAILED(inputs->GetVariable(i, member.Put()))) continue;
    auto variable = ComPtr<INumericVariable>::Query(member.Get(), IID_INumericVariable);
    ComPtr<IHostVariable> named = variable ? ComPtr<IHostVariable>::Share(variable.Get())
                                           : ComPtr<IHostVariable>::Query(member.Get(), IID_IEnumVariable);
    BStr name;
    if (!named || FAILED(named->GetName(name.Put()))) continue;
    names.push_back(Utf8(name.Get()));
  }
  return names;
}

}  // namespace

std::vector<CatalogueEntry> ReadCatalogue(std::vector<std::string>& errors) {
  ComSession session;
  std::vector<CatalogueEntry> entries;
  for (const char* name : kClassNames) {
    std::string error;
    ComPtr<ICorrelation> correlation = CreateCorrelation(name, error);
    if (!correlation) {
      errors.push_back(error);
      continue;
    }
    BStr display, id;
    LONG unit = 0;
    correlation->get_Name(display.Put());
    correlation->get_ID(id.Put());
    correlation->get_UnitType(&unit);
    entries.push_back(CatalogueEntry{name, Utf8(display.Get()), "Tarvox." + std::string(name) + ".1",
                                     Utf8(id.Get()), static_cast<int>(unit), InputNames(*correlation.Get())});
  }
  return entries;
}

}  // namespace tarvox::tool
