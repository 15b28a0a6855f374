// The registrar's script language: a root such as HKCR, keys nested in braces, optional default
// values written "= s 'text'", named values "val Name = s 'text'", and the flags NoRemove,
// ForceRemove and Delete. The script is parsed whole before the store is touched.
#include <cctype>
#include <optional>
#include <stdexcept>

#include "tarvox_platform/registry.h"

namespace tarvox_platform {

namespace {

enum class Flag { kNone, kNoRemove, kForceRemove, kDelete };

// Windows allows 512 levels of keys; deeper scripts are refused before the recursive parse
// exhausts the stack.
constexpr int kMaxKeyDepth = 512;

struct ScriptKey {
  Flag flag = Flag::kNone;
  std::string name;
  std::optional<std::string> default_value;
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<ScriptKey> children;
};

struct ScriptRoot {
  std::string name;
  std::vector<ScriptKey> keys;
};

struct SyntaxError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Parser {
 public:
  Parser(std::string_view text, const std::map<std::string, std::string>& replacements)
      : text_(text), replacements_(replacements) {}

  std::vector<ScriptRoot> ParseScript() {
    std::vector<ScriptRoot> roots;
    for (std::optional<std::string> word = NextToken(); word; word = NextToken()) {
      ScriptRoot root{CanonicalRoot(*word), {}};
      Expect("{");
      root.keys = ParseBody();
      roots.push_back(std::move(root));
    }
    return roots;
  }

 private:
  static std::string CanonicalRoot(const std::string& word) {
    if (word == "HKCR" || word == "HKEY_CLASSES_ROOT") return "HKCR";
    if (word == "HKCU" || word == "HKEY_CURRENT_USER") return "HKCU";
    if (word == "HKLM" || word == "HKEY_LOCAL_MACHINE") return "HKLM";
    throw SyntaxError("unknown root key " + word);
  }

  // Keys until the closing brace of the enclosing block.
  std::vector<ScriptKey> ParseBody() {
    std::vector<ScriptKey> keys;
    while (!ConsumeIf("}")) keys.push_back(ParseKey());
    return keys;
  }

  ScriptKey ParseKey() {
    std::optional<std::string> token = NextToken();
    if (!token) throw SyntaxError("missing }");
    ScriptKey key;
    if (*token == "NoRemove" || *token == "ForceRemove" || *token == "Delete") {
      key.flag = *token == "NoRemove"      ? Flag::kNoRemove
                 : *token == "ForceRemove" ? Flag::kForceRemove
                                           : Flag::kDelete;
      token = NextToken();
      if (!token) throw SyntaxError("key name expected");
    }
    if (*token == "{" || *token == "}" || *token == "=") throw SyntaxError("key name expected");
    key.name = *token;
    if (ConsumeIf("=")) key.default_value = ParseTypedValue();
    if (ConsumeIf("{")) ParseKeyBlock(key);
    return key;
  }

  // A key's block holds named values and subkeys.
  void ParseKeyBlock(ScriptKey& key) {
    if (++depth_ > kMaxKeyDepth) throw SyntaxError("keys nested too deeply");
    while (!ConsumeIf("}")) {
      if (ConsumeIf("val")) {
        std::optional<std::string> name = NextToken();
        if (!name) throw SyntaxError("value name expected");
        Expect("=");
        key.values.emplace_back(*name, ParseTypedValue());
      } else {
        key.children.push_back(ParseKey());
      }
    }
    --depth_;
  }

  std::string ParseTypedValue() {
    std::optional<std::string> type = NextToken();
    if (!type || (*type != "s" && *type != "d")) throw SyntaxError("value type s or d expected");
    std::optional<std::string> value = NextToken();
    if (!value) throw SyntaxError("value expected");
    return *value;
  }

  void Expect(std::string_view what) {
    std::optional<std::string> token = NextToken();
    if (!token || *token != what) throw SyntaxError("expected " + std::string(what));
  }

  bool ConsumeIf(std::string_view what) {
    const std::size_t saved = pos_;
    std::optional<std::string> token = NextToken();
    if (token && *token == what) return true;
    if (!token && what == "}") throw SyntaxError("missing }");
    pos_ = saved;
    return false;
  }

  // Tokens stand apart by whitespace: "{" opens a block only as a word of its own, so a key
  // named "{GUID}" is one word.
  std::optional<std::string> NextToken() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
    if (text_[pos_] == '\'') return Replace(QuotedText());
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    return Replace(std::string(text_.substr(start, pos_ - start)));
  }

  // 'text' with '' standing for one quote.
  std::string QuotedText() {
    std::string out;
    ++pos_;
    for (;;) {
      if (pos_ >= text_.size()) throw SyntaxError("unterminated string");
      if (text_[pos_] == '\'') {
        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
          out += '\'';
          pos_ += 2;
          continue;
        }
        ++pos_;
        return out;
      }
      out += text_[pos_++];
    }
  }

  std::string Replace(const std::string& text) const {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '%') {
        out += text[i];
        continue;
      }
      const std::size_t end = text.find('%', i + 1);
      if (end == std::string::npos) throw SyntaxError("unterminated %placeholder%");
      if (end == i + 1) {
        out += '%';  // %% is a literal percent sign
      } else {
        const auto it = replacements_.find(text.substr(i + 1, end - i - 1));
        if (it == replacements_.end())
          throw SyntaxError("unknown placeholder " + text.substr(i, end - i + 1));
        out += it->second;
      }
      i = end;
    }
    return out;
  }

  std::string_view text_;
  const std::map<std::string, std::string>& replacements_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

void RegisterKey(RegistryStore& store, const std::string& parent, const ScriptKey& key) {
  const std::string path = parent + "\\" + key.name;
  if (key.flag == Flag::kDelete) {
    store.DeleteTree(path);
    return;
  }
  if (key.flag == Flag::kForceRemove) store.DeleteTree(path);
  store.CreateKey(path);
  if (key.default_value) store.SetValue(path, "", *key.default_value);
  for (const auto& [name, value] : key.values) store.SetValue(path, name, value);
  for (const ScriptKey& child : key.children) RegisterKey(store, path, child);
}

void UnregisterKey(RegistryStore& store, const std::string& parent, const ScriptKey& key) {
  const std::string path = parent + "\\" + key.name;
  if (key.flag == Flag::kForceRemove || key.flag == Flag::kDelete) {
    store.DeleteTree(path);
    return;
  }
  for (const ScriptKey& child : key.children) UnregisterKey(store, path, child);
  if (key.flag == Flag::kNoRemove) return;
  // A plain key goes with what the script wrote into it, unless other keys still live below it.
  if (store.SubKeys(path).empty()) store.DeleteTree(path);
}

}  // namespace

HRESULT RunRegistrarScript(RegistryStore& store, std::string_view script,
                           const std::map<std::string, std::string>& replacements, bool register_keys) {
  std::vector<ScriptRoot> roots;
  try {
    roots = Parser(script, replacements).ParseScript();
  } catch (const SyntaxError&) {
    return E_FAIL;
  }
  for (const ScriptRoot& root : roots) {
    for (const ScriptKey& key : root.keys) {
      if (register_keys)
        RegisterKey(store, root.name, key);
      else
        UnregisterKey(store, root.name, key);
    }
  }
  return S_OK;
}

}  // namespace tarvox_platform
