#include "tarvox/thermo/errors.hpp"

#include <utility>

namespace tarvox::thermo {

namespace {

// Built by appending: GCC 12 misreads `"literal" + std::string` chains at -O3 as overlapping copies.
std::string DescribeDataFileError(const std::string& file, std::size_t line, const std::string& column,
                                  const std::string& problem) {
  std::string text = file;
  if (line > 0) text.append(":").append(std::to_string(line));
  if (!column.empty()) text.append(" column '").append(column).append("'");
  return text.append(": ").append(problem);
}

}  // namespace

DataFileError::DataFileError(std::string file, std::size_t line, std::string column,
                             const std::string& problem)
    : std::runtime_error(DescribeDataFileError(file, line, column, problem)),
      file_(std::move(file)),
      line_(line),
      column_(std::move(column)) {}

}  // namespace tarvox::thermo
