#include "tarvox/thermo/errors.hpp"

#include <utility>

namespace tarvox::thermo {

DataFileError::DataFileError(std::string file, std::size_t line, std::string column,
                             const std::string& problem)
    : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) +
                         (column.empty() ? std::string() : " column '" + column + "'") + ": " + problem),
      file_(std::move(file)),
      line_(line),
      column_(std::move(column)) {}

}  // namespace tarvox::thermo
