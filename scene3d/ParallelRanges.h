#pragma once

#include <cstddef>
#include <functional>

namespace vorlan {

// How many threads share work of `count` items: one for small work, where starting threads would
// cost more than they save, else one per core.
unsigned WorkerCountFor(std::size_t count);

// Calls work(first, end) on `workers` consecutive ranges of [0, count) at the same time, each on its
// own thread (the calling thread takes the first range), and returns when all are done. The ranges
// must not touch the same data in ways that depend on their order.
void ForEachRange(std::size_t count, unsigned workers,
                  const std::function<void(std::size_t, std::size_t)>& work);

} // namespace vorlan
