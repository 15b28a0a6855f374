// What `tarvox calc` computed, and its three printed forms.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "common/com.h"
#include "host/tool/calc_options.h"

namespace tarvox::tool {

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

void PrintReport(const CalcReport& report, OutputFormat format, std::FILE* out);

}  // namespace tarvox::tool
