// The definitions read with the platform's XML DOM (MSXML 6.0).
#include <msxml2.h>

#include <optional>
#include <string>
#include <vector>

#include "common/ansi_text.h"
#include "common/com_module.h"
#include "common/com_ptr.h"
#include "common/guid.h"
#include "common/module_resources.h"
#include "framework/variable_definitions.h"
#include "framework/variable_definitions_apply.h"

namespace tarvox {

namespace {

// DOMDocument60: MinGW's headers lack it; XPath is its default selection language.
constexpr CLSID CLSID_DOMDocument6 = ParseGuid("{88D96A05-F192-11D4-A65F-0040963251E5}");

// The text of the node that `query` selects below `node`; empty when nothing matches.
std::string SelectedText(IXMLDOMNode* node, const char* query) {
  if (!node) return {};
  BStr path = AnsiToBstr(query);
  ComPtr<IXMLDOMNode> found;
  if (!path || FAILED(node->selectSingleNode(path.Get(), found.Put())) || !found) return {};
  BStr text;
  if (FAILED(found->get_text(text.Put())) || !text) return {};
  return WideToAnsi(text.Get(), static_cast<int>(SysStringLen(text.Get())));
}

// The texts of the node's EnumValue children in document order; nothing when they cannot be
// selected. A failing step of the walk ends the list there.
std::optional<std::vector<std::string>> EnumItemTexts(IXMLDOMNode* node) {
  BStr path = AnsiToBstr("EnumValue");
  ComPtr<IXMLDOMNodeList> items;
  if (!path || FAILED(node->selectNodes(path.Get(), items.Put())) || !items) return std::nullopt;
  std::vector<std::string> texts;
  for (;;) {
    ComPtr<IXMLDOMNode> item;
    if (items->nextNode(item.Put()) != S_OK || !item) break;
    BStr text;
    if (FAILED(item->get_text(text.Put())) || !text) {
      texts.emplace_back();
      continue;
    }
    texts.push_back(WideToAnsi(text.Get(), static_cast<int>(SysStringLen(text.Get()))));
  }
  return texts;
}

}  // namespace

bool ApplyVariableDefinition(const char* tagged_name, IHostVariable* variable) {
  if (!variable) return false;
  ComPtr<IXMLDOMDocument> document;
  if (FAILED(CoCreateInstance(CLSID_DOMDocument6, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                              reinterpret_cast<void**>(document.Put()))) ||
      !document)
    return false;
  document->put_async(VARIANT_FALSE);

  std::string_view text = ModuleResource(ModuleInstance(), kDefinitionsResourceType, kDefinitionsResourceId);
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return true;
  BStr source = AnsiToBstr(text);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (!source || FAILED(document->loadXML(source.Get(), &loaded)) || loaded != VARIANT_TRUE) return true;

  BStr query = AnsiToBstr(DefinitionQuery(tagged_name));
  ComPtr<IXMLDOMNode> node;
  if (!query || FAILED(document->selectSingleNode(query.Get(), node.Put()))) return true;
  const VariableDefinition definition{SelectedText(node.Get(), "@DisplayName"),
                                      SelectedText(node.Get(), "@TaggedName"),
                                      SelectedText(node.Get(), "@Type")};
  ApplyDefinitionTexts(definition, variable);
  if (!node || !IsEnumDefinition(definition)) return true;

  ComPtr<IEnumItems> items = ComPtr<IEnumItems>::Query(variable, IID_IEnumItems);
  if (!items) return true;
  if (const auto texts = EnumItemTexts(node.Get())) ApplyEnumItems(items.Get(), *texts);
  return true;
}

}  // namespace tarvox
