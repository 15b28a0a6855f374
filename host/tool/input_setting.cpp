#include "host/tool/input_setting.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

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
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace tarvox::tool
