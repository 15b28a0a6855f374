// "12/1000 streams" on standard error, rewritten in place, while a long run goes on; only when
// standard error is a terminal, so that redirected output never holds it.
#pragma once

#include <cstddef>
#include <string>

namespace tarvox::tool {

class ProgressLine {
 public:
  ProgressLine(std::size_t total, std::string unit);
  ~ProgressLine();  // clears the line
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Advance();

 private:
  std::size_t total_;
  std::size_t done_ = 0;
  std::string unit_;
  bool shown_;
};

}  // namespace tarvox::tool
