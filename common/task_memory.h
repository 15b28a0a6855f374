// Owner of one block from the COM task allocator.
#pragma once

#include <cstddef>
#include <utility>

#include "common/com.h"

namespace tarvox {

template <typename T>
class TaskArray {
 public:
  TaskArray() = default;
  explicit TaskArray(T* adopted) : p_(adopted) {}
  TaskArray(const TaskArray&) = delete;
  TaskArray& operator=(const TaskArray&) = delete;
  TaskArray(TaskArray&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  TaskArray& operator=(TaskArray&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ~TaskArray() { Reset(); }

  // `count` elements from the task allocator; empty when it refuses.
  static TaskArray Allocate(std::size_t count) {
    return TaskArray(static_cast<T*>(CoTaskMemAlloc(count * sizeof(T))));
  }

  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) CoTaskMemFree(p);
  }
  T* Release() { return std::exchange(p_, nullptr); }
  T* Get() const { return p_; }
  T& operator[](std::size_t i) const { return p_[i]; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

}  // namespace tarvox
