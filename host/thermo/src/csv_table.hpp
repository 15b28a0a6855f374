#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarvox::thermo::detail {

// A comma-separated table with a header row. Fields may be quoted with "..." ("" escapes a quote).
// Every accessor that fails throws DataFileError with file, line and column.
class CsvTable {
 public:
  static CsvTable Read(const std::filesystem::path& path);

  std::size_t row_count() const { return rows_.size(); }
  // Index of a header column; throws when the header lacks it.
  std::size_t Column(std::string_view name) const;

  const std::string& Text(std::size_t row, std::size_t column) const;
  double Number(std::size_t row, std::size_t column) const;
  long long Integer(std::size_t row, std::size_t column) const;
  [[noreturn]] void Fail(std::size_t row, std::size_t column, const std::string& problem) const;

 private:
  std::string file_;
  std::vector<std::string> header_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<std::size_t> line_numbers_;
};

}  // namespace tarvox::thermo::detail
