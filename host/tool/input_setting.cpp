#include "host/tool/input_setting.h"

#include <charconv>
#include <cmath>

namespace tarvox::tool {

std::optional<InputSetting> ParseInputTarget(std::string_view target, std::string value) {
  const std::size_t dot = target.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == target.size() || value.empty())
    return std::nullopt;
  return InputSetting{std::string(target.substr(0, dot)), std::string(target.substr(dot + 1)),
                      std::move(value)};
}

std::optional<InputSetting> ParseInputSetting(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return ParseInputTarget(text.substr(0, equals), std::string(text.substr(equals + 1)));
}

std::optional<double> ParseNumber(const std::string& text) {
  // Plain decimal only: strtod would also take leading blanks, hexadecimal and the C locale's
  // quirks, which a user writing "0x10" or " 2" did not mean as a number.
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace tarvox::tool
