// A value for one input variable of one correlation class: "Class.Variable=value" on the
// command line, or "Class.Variable": value in a stream file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvox::tool {

struct InputSetting {
  std::string class_name;
  std::string variable;
  std::string value;  // a number, or the text of an enumeration item
};

// Splits "Class.Variable" into its parts; nothing when either part is empty.
std::optional<InputSetting> ParseInputTarget(std::string_view target, std::string value);

// Parses "Class.Variable=value"; nothing when the form is not respected.
std::optional<InputSetting> ParseInputSetting(std::string_view text);

// The whole text as a finite decimal number, or nothing (no blanks, no hexadecimal).
std::optional<double> ParseNumber(const std::string& text);

}  // namespace tarvox::tool
