#include "scene3d/ParallelRanges.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace vorlan {

namespace {
// Below this many items a second thread does not pay for its start.
constexpr std::size_t kItemsPerWorker = 20000;
} // namespace

unsigned WorkerCountFor(std::size_t count) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<unsigned>(std::clamp<std::size_t>(count / kItemsPerWorker, 1, cores));
}

void ForEachRange(std::size_t count, unsigned workers,
                  const std::function<void(std::size_t, std::size_t)>& work) {
  const std::size_t n = std::clamp<std::size_t>(workers, 1, std::max<std::size_t>(count, 1));
  const auto bound = [&](std::size_t k) { return count * k / n; };
  std::vector<std::jthread> threads;
  threads.reserve(n - 1);
  for (std::size_t k = 1; k < n; ++k)
    threads.emplace_back(work, bound(k), bound(k + 1));
  work(bound(0), bound(1));
}

} // namespace vorlan
