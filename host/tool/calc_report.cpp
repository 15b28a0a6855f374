#include "host/tool/calc_report.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "calculator/fluid_state.h"
#include "host/tool/unit_labels.h"

namespace tarvox::tool {

bool IsValue(double value) { return value != EMPTY_VALUE && std::isfinite(value); }

std::string ValueText(double value) {
  if (!IsValue(value)) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

namespace {

constexpr std::array<const char*, 5> kColumnTitles = {"Overall", "Vapour", "Liquid 1", "Liquid 2", "Solid"};
constexpr std::array<const char*, 5> kJsonKeys = {"overall", "vapour", "liquid1", "liquid2", "solid"};
constexpr std::size_t kNameWidth = 38;

std::string Hresult(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
  return text;
}

// Characters, not bytes, decide the padding: names may hold multi-byte UTF-8 signs.
std::string Padded(const std::string& text, std::size_t width) {
  std::size_t characters = 0;
  for (const unsigned char c : text) characters += (c & 0xC0) != 0x80 ? 1 : 0;
  return characters >= width ? text + " " : text + std::string(width - characters, ' ');
}

// The length of the UTF-8 sequence starting at `at`, or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (std::size_t i = at + 1; i < at + length; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  return length;
}

// Text from the stream file as the terminal should show it: control characters (C0, DEL and the
// C1 range, which some terminals obey as escape sequences) and bytes that are not UTF-8 are
// written as \xNN or \u00NN, and a backslash as two.
std::string Printable(std::string_view text) {
  std::string out;
  char escape[8];
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t length = Utf8SequenceLength(text, i);
      const bool c1_control = length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
      if (length != 0 && !c1_control) {
        out.append(text.substr(i, length));
        i += length;
        continue;
      }
      if (c1_control) {
        std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(text[i + 1]));
        out += escape;
        i += 2;
        continue;
      }
    }
    if (c < 0x20 || c == 0x7F || c >= 0x80) {
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    } else {
      out += c == '\\' ? "\\\\" : std::string(1, static_cast<char>(c));
    }
    ++i;
  }
  return out;
}

void PrintTable(const CalcReport& report, std::FILE* out) {
  std::fprintf(out, "Stream: %s\n\n%s%-11s", Printable(report.stream).c_str(),
               Padded("Correlation", kNameWidth).c_str(), "Unit");
  for (const char* title : kColumnTitles) std::fprintf(out, " %13s", title);
  std::fputc('\n', out);
  for (const CorrelationRow& row : report.rows) {
    std::fprintf(out, "%s%-11s", Padded(row.display_name, kNameWidth).c_str(),
                 std::string(UnitLabel(row.unit_type)).c_str());
    if (FAILED(row.result)) {
      std::fprintf(out, " Calculate failed: %s\n", Hresult(row.result).c_str());
      continue;
    }
    for (const double value : row.values) std::fprintf(out, " %13s", ValueText(value).c_str());
    std::fputc('\n', out);
  }
  if (!report.messages.empty()) {
    std::fputs("\nMessages:\n", out);
    for (const std::string& message : report.messages)
      std::fprintf(out, "  %s\n", Printable(message).c_str());
  }
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

void PrintCsvRows(const CalcReport& report, std::FILE* out) {
  for (const CorrelationRow& row : report.rows) {
    std::fprintf(out, "%s,%s,%s,%d,%s", CsvField(report.stream).c_str(), row.class_name.c_str(),
                 CsvField(row.display_name).c_str(), row.unit_type,
                 CsvField(std::string(UnitLabel(row.unit_type))).c_str());
    for (const double value : row.values)
      std::fprintf(out, ",%s", FAILED(row.result) ? "" : ValueText(value).c_str());
    std::fprintf(out, ",%s\n", FAILED(row.result) ? Hresult(row.result).c_str() : "");
  }
  // Messages stay off the table's lines so that the output remains plain CSV.
  for (const std::string& message : report.messages)
    std::fprintf(stderr, "tarvox: message: %s\n", message.c_str());
}

}  // namespace

nlohmann::ordered_json ReportJson(const CalcReport& report) {
  nlohmann::ordered_json root;
  root["stream"] = report.stream;
  root["correlations"] = nlohmann::ordered_json::array();
  for (const CorrelationRow& row : report.rows) {
    nlohmann::ordered_json entry;
    entry["class"] = row.class_name;
    entry["name"] = row.display_name;
    entry["unit_type"] = row.unit_type;
    entry["unit"] = std::string(UnitLabel(row.unit_type));
    nlohmann::ordered_json values;
    for (std::size_t k = 0; k < row.values.size(); ++k) {
      const double value = row.values[k];
      values[kJsonKeys[k]] =
          SUCCEEDED(row.result) && IsValue(value) ? nlohmann::ordered_json(value) : nullptr;
    }
    entry["values"] = values;
    if (FAILED(row.result)) entry["error"] = Hresult(row.result);
    root["correlations"].push_back(entry);
  }
  root["messages"] = report.messages;
  return root;
}

void PrintReports(const std::vector<CalcReport>& reports, OutputFormat format, bool as_list, std::FILE* out) {
  switch (format) {
    case OutputFormat::kTable:
      for (std::size_t i = 0; i < reports.size(); ++i) {
        if (i > 0) std::fputc('\n', out);
        PrintTable(reports[i], out);
      }
      break;
    case OutputFormat::kCsv:
      std::fputs("stream,class,name,unit_type,unit,overall,vapour,liquid1,liquid2,solid,error\n", out);
      for (const CalcReport& report : reports) PrintCsvRows(report, out);
      break;
    case OutputFormat::kJson: {
      nlohmann::ordered_json list = nlohmann::ordered_json::array();
      for (const CalcReport& report : reports) list.push_back(ReportJson(report));
      const nlohmann::ordered_json& root = as_list || list.size() != 1 ? list : list[0];
      std::fprintf(out, "%s\n", root.dump(2).c_str());
      break;
    }
  }
}

}  // namespace tarvox::tool
