// What `tarvox calc` computed, and its three printed forms.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "common/com.h"

namespace tarvox::tool {

enum class OutputFormat { kTable, kCsv, kJson };

struct CorrelationRow {
  std::string class_name;
  std::string display_name;  // UTF-8
  int unit_type = -1;
  HRESULT result = S_OK;           // of Calculate
  std::array<double, 5> values{};  // overall, vapour, liquid 1, liquid 2, solid; EMPTY_VALUE = none
};

struct CalcReport {
  std::string stream;
  std::vector<CorrelationRow> rows;
  std::vector<std::string> messages;
};

// Whether a value is one: neither the module's empty marker nor infinite or NaN.
bool IsValue(double value);

// A value as the outputs print it ("%.6g"), or "" when there is none.
std::string ValueText(double value);

// The reports of one run: tables one after another, one CSV table whose first column names the
// stream, or JSON (one object, or an array of them when `as_list`).
void PrintReports(const std::vector<CalcReport>& reports, OutputFormat format, bool as_list, std::FILE* out);

// The JSON form of one report; empty values and failed rows are null.
nlohmann::ordered_json ReportJson(const CalcReport& report);

}  // namespace tarvox::tool
