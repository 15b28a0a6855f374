#include "csv_table.hpp"

#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <algorithm>

#include "tarvox/thermo/errors.hpp"

namespace tarvox::thermo::detail {
namespace {

struct FieldPlace {
  std::size_t begin, size;
};

// Splits the line text[begin, end) into fields, unescaping quoted parts in place: the field's
// characters are moved to its start as quotes are dropped. Returns false when a quoted field is not
// closed on the line. Runs between quotes and commas are found and moved whole, since most of a
// component table is its long quoted notes.
bool SplitFields(std::string& text, std::size_t begin, std::size_t end, std::vector<FieldPlace>& fields) {
  fields.clear();
  const std::string_view line = std::string_view(text).substr(0, end);
  std::size_t field = begin, out = begin, at = begin;
  const auto keep_until = [&](std::size_t stop) {
    if (out != at) std::memmove(&text[out], &text[at], stop - at);
    out += stop - at;
    at = stop;
  };
  bool quoted = false;
  while (at < end) {
    if (quoted) {
      const std::size_t quote = line.find('"', at);
      keep_until(quote == std::string_view::npos ? end : quote);
      if (at == end) break;
      const bool doubled = at + 1 < end && text[at + 1] == '"';
      if (doubled) text[out++] = '"';
      quoted = doubled;
      at += doubled ? 2 : 1;
    } else {
      std::size_t stop = at;
      while (stop < end && line[stop] != ',' && line[stop] != '"') ++stop;
      keep_until(stop);
      if (at == end) break;
      if (text[at] == '"') {
        quoted = true;
      } else {
        fields.push_back({field, out - field});
        field = out = at + 1;
      }
      ++at;
    }
  }
  fields.push_back({field, out - field});
  return !quoted;
}

// "'<text>' is not <kind>", appended piece by piece (prepending to a string trips a false
// -Wrestrict of GCC 12 at -O3).
std::string NotA(std::string_view text, std::string_view kind) {
  return std::string("'").append(text).append("' is not ").append(kind);
}

}  // namespace

CsvTable CsvTable::Read(const std::filesystem::path& path) {
  CsvTable table;
  table.file_ = path.string();
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DataFileError(table.file_, 0, "", "cannot open file");
  in.seekg(0, std::ios::end);
  table.text_.resize(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
  in.seekg(0);
  in.read(table.text_.data(), static_cast<std::streamsize>(table.text_.size()));
  if (!in) throw DataFileError(table.file_, 0, "", "cannot read file");
  std::string& text = table.text_;
  std::vector<FieldPlace> fields;
  std::size_t line_number = 0;
  for (std::size_t begin = 0; begin < text.size();) {
    ++line_number;
    const std::size_t newline = text.find('\n', begin);
    const std::size_t next = newline == std::string::npos ? text.size() : newline + 1;
    std::size_t end = newline == std::string::npos ? text.size() : newline;
    if (end > begin && text[end - 1] == '\r') --end;
    if (end > begin) {
      if (!SplitFields(text, begin, end, fields))
        throw DataFileError(table.file_, line_number, "", "unterminated quoted field");
      if (table.header_.empty()) {
        for (const FieldPlace& f : fields) table.header_.push_back({f.begin, f.size});
      } else if (fields.size() != table.header_.size()) {
        throw DataFileError(table.file_, line_number, "",
                            "expected " + std::to_string(table.header_.size()) + " fields, found " +
                                std::to_string(fields.size()));
      } else {
        for (const FieldPlace& f : fields) table.fields_.push_back({f.begin, f.size});
        table.line_numbers_.push_back(line_number);
      }
    }
    begin = next;
  }
  if (table.header_.empty()) throw DataFileError(table.file_, 0, "", "file is empty (no header row)");
  return table;
}

std::size_t CsvTable::Column(std::string_view name) const {
  for (std::size_t i = 0; i < header_.size(); ++i) {
    if (View(header_[i]) == name) return i;
  }
  throw DataFileError(file_, 1, std::string(name), "column missing from header");
}

std::string_view CsvTable::Text(std::size_t row, std::size_t column) const {
  return View(fields_[row * header_.size() + column]);
}

void CsvTable::Fail(std::size_t row, std::size_t column, const std::string& problem) const {
  throw DataFileError(file_, line_numbers_[row], std::string(View(header_[column])), problem);
}

double CsvTable::Number(std::size_t row, std::size_t column) const {
  const std::string_view text = Text(row, column);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    Fail(row, column, NotA(text, "a finite number"));
  }
  return value;
}

long long CsvTable::Integer(std::size_t row, std::size_t column) const {
  const std::string_view text = Text(row, column);
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    Fail(row, column, NotA(text, "an integer"));
  }
  return value;
}

}  // namespace tarvox::thermo::detail
