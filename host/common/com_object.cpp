#include "host/common/com_object.h"

namespace tarvox::host {

std::atomic<long>& LiveObjects() {
  static std::atomic<long> count{0};
  return count;
}

}  // namespace tarvox::host
