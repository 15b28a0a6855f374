#include <cstdlib>

#include <nlohmann/json.hpp>

#include "registry_file.h"
#include "tarvox_platform/registry.h"

namespace tarvox_platform {

namespace {

// Letter case is folded for ASCII only, as std::tolower does in the C locale, without its cost per
// character (the fold is most of the time it takes to load the file).
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithKeyPrefix(std::string_view key, std::string_view parent) {
  if (key.size() <= parent.size() + 1 || key[parent.size()] != '\\') return false;
  return !CaseInsensitiveLess{}(key.substr(0, parent.size()), parent) &&
         !CaseInsensitiveLess{}(parent, key.substr(0, parent.size()));
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = Lower(a[i]), y = Lower(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

std::filesystem::path RegistryStore::DefaultPath() {
  if (const char* file = std::getenv("TARVOX_REGISTRY"); file && *file) return file;
  std::filesystem::path base;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
    base = data;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = std::filesystem::path(home) / ".local" / "share";
  else
    throw RegistryError(
        "no folder for the registry: neither HOME nor XDG_DATA_HOME is set (set one, or TARVOX_REGISTRY "
        "to the registry file)");
  return base / "tarvox" / "registry.json";
}

// Reads {"key": {"name": "text", ...}, ...} straight into the store's maps, without a document
// in between. The file lists keys in the order of the map it was saved from, so each goes in at
// the end without a search (a key out of that order still lands in its place).
class RegistryFileReader : public nlohmann::json_sax<nlohmann::json> {
 public:
  explicit RegistryFileReader(RegistryStore::Keys& keys) : keys_(keys) {}
  const std::string& reason() const { return reason_; }

  bool start_object(std::size_t) override { return ++depth_ <= 2 || Refuse("keys hold only named texts"); }
  bool end_object() override { return --depth_, true; }
  bool key(string_t& text) override {
    if (depth_ == 1)
      values_ = &keys_.emplace_hint(keys_.end(), std::move(text), RegistryStore::Values{})->second;
    else
      name_ = std::move(text);
    return true;
  }
  bool string(string_t& text) override {
    if (depth_ != 2) return Refuse("the file must map keys to objects of named texts");
    values_->insert_or_assign(values_->end(), std::move(name_), std::move(text));
    return true;
  }
  bool null() override { return Refuse("a value must be a text"); }
  bool boolean(bool) override { return Refuse("a value must be a text"); }
  bool number_integer(number_integer_t) override { return Refuse("a value must be a text"); }
  bool number_unsigned(number_unsigned_t) override { return Refuse("a value must be a text"); }
  bool number_float(number_float_t, const string_t&) override { return Refuse("a value must be a text"); }
  bool binary(binary_t&) override { return Refuse("a value must be a text"); }
  bool start_array(std::size_t) override { return Refuse("a value must be a text"); }
  bool end_array() override { return false; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) override {
    return Refuse(error.what());
  }

 private:
  bool Refuse(std::string reason) {
    reason_ = std::move(reason);
    return false;
  }

  RegistryStore::Keys& keys_;
  RegistryStore::Values* values_ = nullptr;
  std::string name_;
  std::string reason_;
  int depth_ = 0;
};

RegistryStore::RegistryStore(std::filesystem::path file) : RegistryStore(file, ReadOwnFile(file)) {}

RegistryStore::RegistryStore(std::filesystem::path file, const std::string& text) : file_(std::move(file)) {
  if (text.empty()) return;
  RegistryFileReader reader(keys_);
  if (!nlohmann::json::sax_parse(text, &reader))
    throw UnparsableRegistry("registry file " + file_.string() + " cannot be parsed: " + reader.reason());
}

bool RegistryStore::Save() const { return Save(nullptr); }

bool RegistryStore::Save(FileIdentity* written) const {
  nlohmann::json document = nlohmann::json::object();
  for (const auto& [key, values] : keys_) {
    nlohmann::json entry = nlohmann::json::object();
    for (const auto& [name, value] : values) entry[name] = value;
    document[key] = entry;
  }
  // Names that are not UTF-8 cannot be written; the file then stays as it was.
  try {
    return ReplaceFile(file_, document.dump(1) + '\n', Durability::kFlushed, written);
  } catch (const nlohmann::json::exception&) {
    return false;
  }
}

bool RegistryStore::KeyExists(std::string_view key) const { return keys_.find(key) != keys_.end(); }

void RegistryStore::CreateKey(std::string_view key) {
  // Creating a key creates its parents, as RegCreateKeyEx does.
  for (std::size_t pos = key.find('\\'); pos != std::string_view::npos; pos = key.find('\\', pos + 1))
    keys_.try_emplace(std::string(key.substr(0, pos)));
  keys_.try_emplace(std::string(key));
}

void RegistryStore::DeleteTree(std::string_view key) {
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (!CaseInsensitiveLess{}(it->first, key) && !CaseInsensitiveLess{}(key, it->first))
      it = keys_.erase(it);
    else if (StartsWithKeyPrefix(it->first, key))
      it = keys_.erase(it);
    else
      ++it;
  }
}

std::optional<std::string> RegistryStore::GetValue(std::string_view key, std::string_view name) const {
  const auto k = keys_.find(key);
  if (k == keys_.end()) return std::nullopt;
  const auto v = k->second.find(name);
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

void RegistryStore::SetValue(std::string_view key, std::string_view name, std::string value) {
  CreateKey(key);
  keys_.find(key)->second[std::string(name)] = std::move(value);
}

void RegistryStore::DeleteValue(std::string_view key, std::string_view name) {
  if (const auto k = keys_.find(key); k != keys_.end()) {
    if (const auto v = k->second.find(name); v != k->second.end()) k->second.erase(v);
  }
}

std::vector<std::string> RegistryStore::SubKeys(std::string_view key) const {
  std::vector<std::string> names;
  for (const auto& [path, values] : keys_) {
    if (StartsWithKeyPrefix(path, key)) {
      const std::string_view rest = std::string_view(path).substr(key.size() + 1);
      if (rest.find('\\') == std::string_view::npos) names.emplace_back(rest);
    }
  }
  return names;
}

}  // namespace tarvox_platform
