// Narrow texts inside the module, BSTRs across its boundary, converted with the ANSI code page.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "common/com.h"

namespace tarvox {

// Owner of one BSTR.
class BStr {
 public:
  BStr() = default;
  explicit BStr(BSTR adopted) : p_(adopted) {}
  BStr(const BStr&) = delete;
  BStr& operator=(const BStr&) = delete;
  BStr(BStr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  BStr& operator=(BStr&& other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~BStr() { SysFreeString(p_); }

  BSTR Get() const { return p_; }
  BSTR Detach() { return std::exchange(p_, nullptr); }
  BSTR* Put() {
    SysFreeString(std::exchange(p_, nullptr));
    return &p_;
  }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  BSTR p_ = nullptr;
};

// A new BSTR holding `text` over its full length; null when memory runs out.
BStr AnsiToBstr(std::string_view text);

// The narrow form of a wide text of `length` units (-1: up to its terminator).
std::string WideToAnsi(const OLECHAR* text, int length = -1);

}  // namespace tarvox
