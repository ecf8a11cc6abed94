#include "platform/PictureBudget.h"

#include "platform/ReadError.h"

namespace vorlan {

namespace {
thread_local PictureBudget* currentBudget = nullptr;
} // namespace

bool PictureBudget::take(std::uint64_t bytes) {
  std::uint64_t used = used_.load();
  do {
    if (bytes > limit_ - used) return false;
  } while (!used_.compare_exchange_weak(used, used + bytes));
  return true;
}

PictureBudgetScope::PictureBudgetScope(PictureBudget& budget) : previous_(currentBudget) {
  currentBudget = &budget;
}

PictureBudgetScope::~PictureBudgetScope() {
  currentBudget = previous_;
}

void chargeDecodedPicture(std::uint64_t width, std::uint64_t height, const std::string& fileName,
                          std::uint64_t offset) {
  if (currentBudget == nullptr) return;
  // Each factor fits 32 bits, so the product cannot overflow.
  if (!currentBudget->take(width * height * 3))
    throw ReadError(fileName, offset,
                    "the pictures of this document need more than " +
                        std::to_string(currentBudget->limit() >> 20) + " MB once decoded");
}

} // namespace vorlan
