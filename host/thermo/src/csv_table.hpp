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

  std::size_t row_count() const { return line_numbers_.size(); }
  // Index of a header column; throws when the header lacks it.
  std::size_t Column(std::string_view name) const;

  // Valid while the table lives.
  std::string_view Text(std::size_t row, std::size_t column) const;
  double Number(std::size_t row, std::size_t column) const;
  long long Integer(std::size_t row, std::size_t column) const;
  [[noreturn]] void Fail(std::size_t row, std::size_t column, const std::string& problem) const;

 private:
  // A field's place in text_.
  struct Field {
    std::size_t begin = 0, size = 0;
  };
  std::string_view View(Field field) const { return std::string_view(text_).substr(field.begin, field.size); }

  std::string file_;
  // The whole file, each quoted field unescaped in place (unescaping only shortens it), so that
  // loading makes no string per field.
  std::string text_;
  std::vector<Field> header_;
  std::vector<Field> fields_;  // row after row, header_.size() per row
  std::vector<std::size_t> line_numbers_;
};

}  // namespace tarvox::thermo::detail
