// The streams of one `tarvox calc` run: stream files, or a JSON Lines file with one stream per
// line. Each stream keeps where it came from, so that a bad one is reported with its line.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "host/tool/stream_file.h"

namespace tarvox::tool {

struct BatchEntry {
  std::string origin;                // "FILE" or "FILE:LINE"
  std::optional<StreamFile> stream;  // empty when the text was refused
  std::string error;                 // why, for the user, with the origin
};

// One entry per non-blank line of `in`; `name` names the input in the origins.
std::vector<BatchEntry> ReadBatch(std::istream& in, const std::string& name);

// One entry per stream file.
std::vector<BatchEntry> ReadStreamFiles(const std::vector<std::string>& paths);

}  // namespace tarvox::tool
