#include "host/tool/correlation_inputs.h"

#include <cmath>

#include "common/ansi_text.h"
#include "common/com_ptr.h"
#include "host/tool/correlation_factory.h"
#include "host/tool/utf8_text.h"

namespace tarvox::tool {

namespace {

std::string Target(const InputSetting& setting) { return setting.class_name + "." + setting.variable; }

std::string SetEnumeration(IEnumItems& items, const InputSetting& setting) {
  int count = 0;
  if (FAILED(items.GetEnumCount(&count))) return Target(setting) + ": its items cannot be read";
  int chosen = -1;
  for (int i = 0; i < count && chosen < 0; ++i) {
    BStr text;
    if (SUCCEEDED(items.GetEnumText(i, text.Put())) && Utf8(text.Get()) == setting.value) chosen = i;
  }
  if (chosen < 0) {
    const std::optional<double> index = ParseNumber(setting.value);
    if (index && *index == std::floor(*index) && *index >= 0.0 && *index < count)
      chosen = static_cast<int>(*index);
  }
  if (chosen < 0) return Target(setting) + ": \"" + setting.value + "\" is neither an item nor an item index";
  if (FAILED(items.SetEnumIndex(chosen))) return Target(setting) + ": the value was refused";
  return "";
}

}  // namespace

std::string ApplyInput(ICorrelation& correlation, const InputSetting& setting) {
  ComPtr<IVariableSet> inputs;
  if (FAILED(correlation.get_Variables(inputs.Put())) || !inputs) return Target(setting) + ": no inputs";
  ComPtr<IUnknown> found;
  BStr name = AnsiToBstr(setting.variable);
  if (FAILED(inputs->FindVariable(name.Get(), found.Put())) || !found)
    return Target(setting) + ": no such input variable";
  if (auto numeric = ComPtr<INumericVariable>::Query(found.Get(), IID_INumericVariable)) {
    const std::optional<double> value = ParseNumber(setting.value);
    if (!value) return Target(setting) + ": \"" + setting.value + "\" is not a number";
    if (FAILED(numeric->SetValue(*value))) return Target(setting) + ": the value was refused";
    return "";
  }
  if (auto items = ComPtr<IEnumItems>::Query(found.Get(), IID_IEnumItems))
    return SetEnumeration(*items.Get(), setting);
  return Target(setting) + ": the variable cannot be set";
}

std::string CheckInputOnItsClass(const InputSetting& setting) {
  std::string error;
  ComPtr<ICorrelation> correlation = CreateCorrelation(setting.class_name, error);
  if (!correlation) return Target(setting) + ": " + error;
  return ApplyInput(*correlation.Get(), setting);
}

}  // namespace tarvox::tool
