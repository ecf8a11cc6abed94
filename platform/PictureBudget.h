#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace vorlan {

// The decoded pictures of one document share this many bytes of 24-bit pixels, counted at the size
// each picture's data claims: a small file of many huge pictures then fails with one clear error
// instead of decoding for minutes.
inline constexpr std::uint64_t kDocumentPictureBytes = std::uint64_t{1} << 30;

// What the pictures decoded while reading one document have used. Atomic, so that a reader that
// decodes on several threads can install the same budget on each.
class PictureBudget {
public:
  explicit PictureBudget(std::uint64_t limit = kDocumentPictureBytes) : limit_(limit) {}
  // Takes `bytes` from the budget; false, taking nothing, when they do not fit.
  bool take(std::uint64_t bytes);
  std::uint64_t limit() const { return limit_; }

private:
  std::uint64_t limit_;
  std::atomic<std::uint64_t> used_{0};
};

// Makes `budget` the one the codecs charge on this thread while the scope lives. Without a scope,
// pictures are limited one by one only.
class PictureBudgetScope {
public:
  explicit PictureBudgetScope(PictureBudget& budget);
  ~PictureBudgetScope();
  PictureBudgetScope(const PictureBudgetScope&) = delete;
  PictureBudgetScope& operator=(const PictureBudgetScope&) = delete;

private:
  PictureBudget* previous_;
};

// Charges a picture of `width` x `height` pixels to the current budget; raises ReadError at
// `offset` of `fileName` when the document's pictures would exceed it.
void chargeDecodedPicture(std::uint64_t width, std::uint64_t height, const std::string& fileName,
                          std::uint64_t offset);

} // namespace vorlan
