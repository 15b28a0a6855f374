// One stream through the module, as a host computes it: the tool and the Python package share
// these checks, this calculation and these messages.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "host/tool/calc_report.h"
#include "host/tool/input_setting.h"
#include "host/tool/stream_file.h"

namespace tarvox::tool {

inline constexpr int kBadInputStatus = 2;
inline constexpr int kFailureStatus = 1;

// Why nothing was computed, in words for the user, with the tool's exit status
// (kBadInputStatus for input the user can correct, kFailureStatus for a broken installation).
class CalcError : public std::runtime_error {
 public:
  CalcError(const std::string& message, int status) : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// The classes named by `only` (each checked against the catalogue), or the whole catalogue when
// `only` is empty.
std::vector<std::string> SelectClasses(const std::vector<std::string>& only);

// The stream file at `path`, or the built-in sample of that name; throws CalcError.
StreamFile ReadStreamPath(const std::string& path);
StreamFile SampleStreamFile(const std::string& name);

// Everything Calculate checks before it computes, without connecting anything: a run of several
// streams checks them all first, so that one refused stream leaves all uncomputed. Throws CalcError.
void CheckStream(const StreamFile& file, const std::vector<InputSetting>& settings);

// Connects `classes` to the stream on the Peng-Robinson host fluid, applies the file's inputs and
// then `settings`, and calculates each class. Every input is checked before anything is computed;
// throws CalcError.
CalcReport Calculate(const StreamFile& file, const std::vector<std::string>& classes,
                     const std::vector<InputSetting>& settings);

}  // namespace tarvox::tool
