#include "registry_snapshot.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <vector>

namespace tarvox_platform {

namespace {

// Written in the machine's own byte order: a snapshot carried to a machine of the other order
// fails the magic number and is rebuilt there.
constexpr std::uint64_t kMagic = 0x34'50'4E'53'58'56'54'00;  // "\0TVXSNP4" read as one number

struct Header {
  std::uint64_t magic;
  std::uint64_t checksum;  // of every byte after this field
  FileIdentity source;
  std::uint64_t entries;
};

struct EntryLengths {
  std::uint64_t key, name, value;
};

// FNV-1a taken eight bytes at a step: a torn or altered file (a crash before the disk caught up, a
// stray edit) must not pass, and every process that starts checks the whole snapshot. A change of
// any one word always changes the sum (each step is invertible).
std::uint64_t Checksum(std::string_view bytes) {
  constexpr std::uint64_t kPrime = 0x100000001b3ULL;
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  std::size_t at = 0;
  for (; at + sizeof(std::uint64_t) <= bytes.size(); at += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    hash = (hash ^ word) * kPrime;
  }
  for (; at < bytes.size(); ++at) hash = (hash ^ static_cast<unsigned char>(bytes[at])) * kPrime;
  return hash;
}

constexpr std::size_t kChecksummedFrom = offsetof(Header, source);

template <typename Plain>
void Append(std::string& bytes, const Plain& value) {
  bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Keys and names are kept with ASCII letters folded to lower case, as the registry compares them, so
// that a lookup compares plain bytes.
std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

}  // namespace

std::shared_ptr<const RegistrySnapshot> RegistrySnapshotCodec::FromStore(const RegistryStore& store,
                                                                         const FileIdentity& source) {
  struct Folding {
    std::string key, name;
    const std::string* value;
  };
  std::vector<Folding> folded;
  for (const auto& [key, values] : store.keys_)
    for (const auto& [name, value] : values) folded.push_back(Folding{Folded(key), Folded(name), &value});
  std::sort(folded.begin(), folded.end(), [](const Folding& a, const Folding& b) {
    return std::tie(a.key, a.name) < std::tie(b.key, b.name);
  });
  std::string bytes(sizeof(Header), '\0');
  for (const Folding& entry : folded) {
    Append(bytes, EntryLengths{entry.key.size(), entry.name.size(), entry.value->size()});
    bytes += entry.key;
    bytes += entry.name;
    bytes += *entry.value;
  }
  Header header{kMagic, 0, source, folded.size()};
  std::memcpy(bytes.data(), &header, sizeof header);
  header.checksum = Checksum(std::string_view(bytes).substr(kChecksummedFrom));
  std::memcpy(bytes.data(), &header, sizeof header);
  return Decode(std::move(bytes), source);
}

std::shared_ptr<const RegistrySnapshot> RegistrySnapshotCodec::Decode(std::string bytes,
                                                                      const FileIdentity& source) {
  Header header{};
  if (bytes.size() < sizeof header) return nullptr;
  std::memcpy(&header, bytes.data(), sizeof header);
  if (header.magic != kMagic || !(header.source == source) ||
      header.checksum != Checksum(std::string_view(bytes).substr(kChecksummedFrom)))
    return nullptr;
  std::shared_ptr<RegistrySnapshot> snapshot(new RegistrySnapshot);
  snapshot->bytes_ = std::move(bytes);
  const std::string_view all = snapshot->bytes_;
  std::size_t at = sizeof header;
  snapshot->entries_.reserve(std::min<std::uint64_t>(header.entries, all.size() / sizeof(EntryLengths)));
  for (std::uint64_t i = 0; i < header.entries; ++i) {
    EntryLengths lengths{};
    if (all.size() - at < sizeof lengths) return nullptr;
    std::memcpy(&lengths, all.data() + at, sizeof lengths);
    at += sizeof lengths;
    const std::size_t left = all.size() - at;
    if (lengths.key > left || lengths.name > left - lengths.key ||
        lengths.value > left - lengths.key - lengths.name)
      return nullptr;
    const std::size_t total = lengths.key + lengths.name + lengths.value;
    snapshot->entries_.push_back(
        RegistrySnapshot::Entry{all.substr(at, lengths.key), all.substr(at + lengths.key, lengths.name),
                                all.substr(at + lengths.key + lengths.name, lengths.value)});
    at += total;
  }
  return at == all.size() ? snapshot : nullptr;
}

std::optional<std::string> RegistrySnapshot::GetValue(std::string_view key, std::string_view name) const {
  const std::string folded_key = Folded(key), folded_name = Folded(name);
  const auto wanted = std::pair<std::string_view, std::string_view>(folded_key, folded_name);
  const auto found = std::lower_bound(
      entries_.begin(), entries_.end(), wanted,
      [](const Entry& entry, const auto& w) { return std::pair(entry.key, entry.name) < w; });
  if (found == entries_.end() || std::pair(found->key, found->name) != wanted) return std::nullopt;
  return std::string(found->value);
}

}  // namespace tarvox_platform
