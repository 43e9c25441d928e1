// Small helpers over std::mt19937_64. Its output is fixed by the standard,
// while the standard distributions and std::shuffle differ between libraries;
// these keep a seed's image the same everywhere.
#pragma once

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace talvo::builder {

// A number below `n` (n > 0); the slight modulo bias does not matter here.
inline std::size_t pick(std::mt19937_64& rng, std::size_t n) { return static_cast<std::size_t>(rng() % n); }

// A number in [0, 1).
inline double unit(std::mt19937_64& rng) { return static_cast<double>(rng() >> 11) * 0x1.0p-53; }

template <typename T>
void shuffle(std::vector<T>& items, std::mt19937_64& rng) {
  for (std::size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[pick(rng, i)]);
}

}  // namespace talvo::builder
