#include "host/tool/list_command.h"

#include <cstdio>
#include <string>

#include "host/tool/catalogue.h"

namespace tarvox::tool {

namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text.empty() ? "-" : text;
}

}  // namespace

int ListCorrelations() {
  std::vector<std::string> errors;
  const std::vector<CatalogueEntry> entries = ReadCatalogue(errors);
  for (const std::string& error : errors) std::fprintf(stderr, "tarvox: %s\n", error.c_str());
  std::printf("%-34s %-38s %-39s %5s  %s\n", "Correlation", "ProgID", "CLSID", "Unit", "Inputs");
  for (const CatalogueEntry& entry : entries) {
    // Pad by characters, not bytes: the degree sign takes two bytes.
    std::string padded = entry.display_name;
    const std::size_t width = padded.size() - (padded.find("\xC2\xB0") != std::string::npos ? 1 : 0);
    if (width < 34) padded.append(34 - width, ' ');
    std::printf("%s %-38s %-39s %5d  %s\n", padded.c_str(), entry.prog_id.c_str(), entry.clsid.c_str(),
                entry.unit_type, Joined(entry.inputs).c_str());
  }
  return errors.empty() ? 0 : 1;
}

}  // namespace tarvox::tool
