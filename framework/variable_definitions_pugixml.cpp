// The definitions read with pugixml, where the platform has no XML DOM of its own.
#include <pugixml.hpp>

#include "common/com_module.h"
#include "common/com_ptr.h"
#include "common/module_resources.h"
#include "framework/variable_definitions.h"
#include "framework/variable_definitions_apply.h"

namespace tarvox {

bool ApplyVariableDefinition(const char* tagged_name, IHostVariable* variable) {
  if (!variable) return false;
  std::string_view text = ModuleResource(ModuleInstance(), kDefinitionsResourceType, kDefinitionsResourceId);
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return true;

  pugi::xml_document document;
  if (!document.load_buffer(text.data(), text.size())) return true;
  pugi::xpath_node_set found;
  try {
    found = document.select_nodes(DefinitionQuery(tagged_name).c_str());
  } catch (const pugi::xpath_exception&) {
    return true;  // a name that breaks the query selects nothing
  }
  const pugi::xml_node node = found.empty() ? pugi::xml_node() : found.first().node();
  const VariableDefinition definition{node.attribute("DisplayName").value(),
                                      node.attribute("TaggedName").value(), node.attribute("Type").value()};
  ApplyDefinitionTexts(definition, variable);
  if (!IsEnumDefinition(definition)) return true;

  ComPtr<IEnumItems> items = ComPtr<IEnumItems>::Query(variable, IID_IEnumItems);
  if (!items) return true;
  std::vector<std::string> texts;
  for (const pugi::xml_node item : node.children("EnumValue")) texts.emplace_back(item.child_value());
  ApplyEnumItems(items.Get(), texts);
  return true;
}

}  // namespace tarvox
