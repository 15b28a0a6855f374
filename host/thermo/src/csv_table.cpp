#include "csv_table.hpp"

#include <charconv>
#include <cmath>
#include <fstream>

#include "tarvox/thermo/errors.hpp"

namespace tarvox::thermo::detail {
namespace {

// Returns false when a quoted field is not closed on the line.
bool SplitFields(std::string_view line, std::vector<std::string>& fields) {
  fields.clear();
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char ch = line[i];
    if (quoted) {
      if (ch == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (ch == '"') {
        quoted = false;
      } else {
        field += ch;
      }
    } else if (ch == '"') {
      quoted = true;
    } else if (ch == ',') {
      fields.push_back(std::move(field));
      field.clear();
    } else {
      field += ch;
    }
  }
  fields.push_back(std::move(field));
  return !quoted;
}

}  // namespace

CsvTable CsvTable::Read(const std::filesystem::path& path) {
  CsvTable table;
  table.file_ = path.string();
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DataFileError(table.file_, 0, "", "cannot open file");
  std::string line;
  std::size_t line_number = 0;
  std::vector<std::string> fields;
  while (std::getline(in, line)) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (!SplitFields(line, fields))
      throw DataFileError(table.file_, line_number, "", "unterminated quoted field");
    if (table.header_.empty()) {
      table.header_ = fields;
      continue;
    }
    if (fields.size() != table.header_.size()) {
      throw DataFileError(table.file_, line_number, "",
                          "expected " + std::to_string(table.header_.size()) + " fields, found " +
                              std::to_string(fields.size()));
    }
    table.rows_.push_back(fields);
    table.line_numbers_.push_back(line_number);
  }
  if (table.header_.empty()) throw DataFileError(table.file_, 0, "", "file is empty (no header row)");
  return table;
}

std::size_t CsvTable::Column(std::string_view name) const {
  for (std::size_t i = 0; i < header_.size(); ++i) {
    if (header_[i] == name) return i;
  }
  throw DataFileError(file_, 1, std::string(name), "column missing from header");
}

const std::string& CsvTable::Text(std::size_t row, std::size_t column) const { return rows_[row][column]; }

void CsvTable::Fail(std::size_t row, std::size_t column, const std::string& problem) const {
  throw DataFileError(file_, line_numbers_[row], header_[column], problem);
}

double CsvTable::Number(std::size_t row, std::size_t column) const {
  const std::string& text = rows_[row][column];
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    Fail(row, column, "'" + text + "' is not a finite number");
  }
  return value;
}

long long CsvTable::Integer(std::size_t row, std::size_t column) const {
  const std::string& text = rows_[row][column];
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    Fail(row, column, "'" + text + "' is not an integer");
  }
  return value;
}

}  // namespace tarvox::thermo::detail
