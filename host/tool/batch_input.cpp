#include "host/tool/batch_input.h"

#include "host/tool/calculation.h"

namespace tarvox::tool {

std::vector<BatchEntry> ReadBatch(std::istream& in, const std::string& name) {
  std::vector<BatchEntry> entries;
  std::string line;
  for (std::size_t number = 1; std::getline(in, line); ++number) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    BatchEntry entry{name + ":" + std::to_string(number), {}, {}};
    try {
      if (line.size() > kLargestStreamFile)
        throw StreamFileError("is longer than 4 MiB, the limit for a stream");
      entry.stream = ReadStreamFile(line);
    } catch (const StreamFileError& e) {
      entry.error = entry.origin + ": " + e.what();
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<BatchEntry> ReadStreamFiles(const std::vector<std::string>& paths) {
  std::vector<BatchEntry> entries;
  for (const std::string& path : paths) {
    BatchEntry entry{path, {}, {}};
    try {
      entry.stream = ReadStreamPath(path);
    } catch (const CalcError& e) {
      entry.error = e.what();
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace tarvox::tool
