#include "host/tool/list_command.h"

#include <cstdio>
#include <string>

#include "common/ansi_text.h"
#include "host/tool/class_names.h"
#include "host/tool/correlation_factory.h"
#include "host/tool/utf8_text.h"

namespace tarvox::tool {

namespace {

std::string InputNames(ICorrelation& correlation) {
  ComPtr<IVariableSet> inputs;
  int count = 0;
  if (FAILED(correlation.get_Variables(inputs.Put())) || !inputs || FAILED(inputs->GetCount(&count)))
    return "?";
  std::string names;
  for (int i = 0; i < count; ++i) {
    ComPtr<IUnknown> member;
    if (FAILED(inputs->GetVariable(i, member.Put()))) continue;
    auto variable = ComPtr<INumericVariable>::Query(member.Get(), IID_INumericVariable);
    ComPtr<IHostVariable> named = variable ? ComPtr<IHostVariable>::Share(variable.Get())
                                           : ComPtr<IHostVariable>::Query(member.Get(), IID_IEnumVariable);
    BStr name;
    if (!named || FAILED(named->GetName(name.Put()))) continue;
    if (!names.empty()) names += ", ";
    names += Utf8(name.Get());
  }
  return names.empty() ? "-" : names;
}

}  // namespace

int ListCorrelations() {
  ComSession session;
  int failures = 0;
  std::printf("%-34s %-38s %-39s %5s  %s\n", "Correlation", "ProgID", "CLSID", "Unit", "Inputs");
  for (const char* name : kClassNames) {
    std::string error;
    ComPtr<ICorrelation> correlation = CreateCorrelation(name, error);
    if (!correlation) {
      std::fprintf(stderr, "tarvox: %s\n", error.c_str());
      ++failures;
      continue;
    }
    BStr display, id;
    LONG unit = 0;
    correlation->get_Name(display.Put());
    correlation->get_ID(id.Put());
    correlation->get_UnitType(&unit);
    const std::string display_text = Utf8(display.Get());
    // Pad by characters, not bytes: the degree sign takes two bytes.
    std::string padded = display_text;
    const std::size_t width =
        display_text.size() - (display_text.find("\xC2\xB0") != std::string::npos ? 1 : 0);
    if (width < 34) padded.append(34 - width, ' ');
    std::printf("%s %-38s %-39s %5d  %s\n", padded.c_str(), ("Tarvox." + std::string(name) + ".1").c_str(),
                Utf8(id.Get()).c_str(), static_cast<int>(unit), InputNames(*correlation.Get()).c_str());
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace tarvox::tool
