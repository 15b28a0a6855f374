// The correlations the registered module offers, read from the objects themselves as a host's
// property browser reads them.
#pragma once

#include <string>
#include <vector>

namespace tarvox::tool {

struct CatalogueEntry {
  std::string class_name;
  std::string display_name;  // UTF-8
  std::string prog_id;
  std::string clsid;
  int unit_type = 0;
  std::vector<std::string> inputs;  // names of the input variables
};

// One entry per class that could be created; each class that could not adds its reason to
// `errors`.
std::vector<CatalogueEntry> ReadCatalogue(std::vector<std::string>& errors);

}  // namespace tarvox::tool
