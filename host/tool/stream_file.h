// Reads a stream described in JSON: conditions, flow, composition, settings and correlation
// inputs. Only the text is examined; component names are checked against the component data
// by whoever builds the fluid.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/fluid/stream_conditions.h"
#include "host/tool/input_setting.h"

namespace tarvox::tool {

struct StreamFile {
  host::StreamConditions stream;
  std::vector<InputSetting> inputs;
};

class StreamFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A stream file is a few hundred bytes; 4 MiB is far more than any needs.
inline constexpr std::size_t kLargestStreamFile = 4 * 1024 * 1024;

// Throws StreamFileError with a message for the user (malformed JSON with its line and column,
// a key given twice, a missing or unknown key, a value of the wrong kind, negative or all-zero
// fractions).
StreamFile ReadStreamFile(std::string_view text);

// Reads the file at `path`, which must be a regular file of at most kLargestStreamFile bytes (a
// device, a pipe or a folder is refused without being read), then as ReadStreamFile.
StreamFile ReadStreamFileAt(const std::string& path);

}  // namespace tarvox::tool
