// What a definition does to a host variable, shared by the two XML back ends.
#pragma once

#include <string>
#include <vector>

#include "framework/host_variables.h"

namespace tarvox {

struct VariableDefinition {
  std::string display_name;
  std::string tagged_name;
  std::string type;
};

void ApplyDefinitionTexts(const VariableDefinition& definition, IHostVariable* variable);
// Whether the definition's type asks for enumeration items: "Enum", letter case included.
bool IsEnumDefinition(const VariableDefinition& definition);
// The item calls: SetEnumFlag(1), SetEnumIndex(0), then each text in order from position 0.
void ApplyEnumItems(IEnumItems* items, const std::vector<std::string>& texts);

// The XPath of the first Variable whose TaggedName equals the name (inserted unescaped).
std::string DefinitionQuery(const char* tagged_name);

}  // namespace tarvox
