#include "host/tool/progress_line.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace tarvox::tool {

ProgressLine::ProgressLine(std::size_t total, std::string unit)
    : total_(total), unit_(std::move(unit)), shown_(total > 1 && isatty(fileno(stderr))) {}

ProgressLine::~ProgressLine() {
  if (shown_) std::fputs("\r\033[K", stderr);
}

void ProgressLine::Advance() {
  ++done_;
  if (shown_) std::fprintf(stderr, "\r%zu/%zu %s", done_, total_, unit_.c_str());
}

}  // namespace tarvox::tool
