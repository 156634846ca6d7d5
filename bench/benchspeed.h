// Speed measurement shared by the in-process benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>

namespace zkbench {

// Best of `rounds` runs of `run`, in MB/s of `bytes`.
inline double BestSpeed(size_t bytes, const std::function<void()>& run, int rounds = 3) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return double(bytes) / (1024.0 * 1024.0) / best;
}

}  // namespace zkbench
