#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace tarvox::thermo {

// Thrown while loading component or interaction-parameter tables. The message names the file, the
// 1-based line (0 when the file cannot be opened at all) and, where one applies, the column.
class DataFileError : public std::runtime_error {
 public:
  DataFileError(std::string file, std::size_t line, std::string column, const std::string& problem);

  const std::string& file() const { return file_; }
  std::size_t line() const { return line_; }
  const std::string& column() const { return column_; }

 private:
  std::string file_;
  std::size_t line_;
  std::string column_;
};

}  // namespace tarvox::thermo
