#include "framework/variable_definitions_apply.h"

#include "common/ansi_text.h"

namespace tarvox {

void ApplyDefinitionTexts(const VariableDefinition& definition, IHostVariable* variable) {
  if (!definition.display_name.empty()) {
    BStr text = AnsiToBstr(definition.display_name);
    variable->SetDisplayName(text.Get());
  }
  if (!definition.tagged_name.empty()) {
    BStr text = AnsiToBstr(definition.tagged_name);
    variable->SetName(text.Get());
  }
}

bool IsEnumDefinition(const VariableDefinition& definition) { return definition.type == "Enum"; }

void ApplyEnumItems(IEnumItems* items, const std::vector<std::string>& texts) {
  items->SetEnumFlag(1);
  items->SetEnumIndex(0);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    BStr text = AnsiToBstr(texts[i]);
    items->SetEnumText(static_cast<int>(i), text.Get());
  }
}

std::string DefinitionQuery(const char* tagged_name) {
  return std::string("VariableDefinitions/Variable[@TaggedName=\"") + tagged_name + "\"]";
}

}  // namespace tarvox
