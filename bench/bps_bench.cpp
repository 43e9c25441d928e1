// Writing and applying BPS patches between full-size (6 MB) builder images:
// a message bank rewritten, a few scattered edits with a moved block and an
// insertion, and two unrelated images, where nearly every byte is stored.
// The `patch_bytes` counter is the size of the patch written.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "bps.h"
#include "image_builder.h"

namespace talvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct ImagePair {
  Bytes source;
  Bytes target;
};

// The same layout with other messages: what an insertion of edited text does.
const ImagePair& rewritten_messages() {
  static const ImagePair pair{
      builder::build_image(builder::full_size_content(1), builder::ImageSize::Plain6Mb),
      builder::build_image(builder::full_size_content(2), builder::ImageSize::Plain6Mb),
  };
  return pair;
}

// A random-filled image with 200 bytes changed here and there, 64 KiB moved
// and 3000 new bytes inserted near the middle.
const ImagePair& scattered_edits() {
  static const ImagePair pair = [] {
    ImagePair made;
    made.source = builder::build_image(builder::full_size_content(1), builder::ImageSize::Plain6Mb, 1);
    made.target = made.source;
    std::mt19937_64 rng(5);
    for (int i = 0; i < 200; ++i) made.target[rng() % made.target.size()] ^= 0x5A;
    std::rotate(made.target.begin() + 0x100000, made.target.begin() + 0x110000, made.target.begin() + 0x200000);
    Bytes inserted(3000);
    for (auto& b : inserted) b = static_cast<std::uint8_t>(rng());
    made.target.insert(made.target.begin() + 0x300000, inserted.begin(), inserted.end());
    return made;
  }();
  return pair;
}

const ImagePair& unrelated() {
  static const ImagePair pair{
      builder::build_image(builder::full_size_content(1), builder::ImageSize::Plain6Mb, 1),
      builder::build_image(builder::full_size_content(2), builder::ImageSize::Plain6Mb, 2),
  };
  return pair;
}

void create(benchmark::State& state, const ImagePair& pair) {
  std::size_t size = 0;
  for (auto _ : state) {
    const Bytes patch = bps::create(pair.source, pair.target);
    size = patch.size();
    benchmark::DoNotOptimize(patch.data());
  }
  state.counters["patch_bytes"] = static_cast<double>(size);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(pair.target.size()));
}

void apply(benchmark::State& state, const ImagePair& pair) {
  const Bytes patch = bps::create(pair.source, pair.target);
  for (auto _ : state) {
    const bps::ApplyResult result = bps::apply(patch, pair.source);
    if (!result.ok()) throw std::runtime_error(result.message);
    benchmark::DoNotOptimize(result.target.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(pair.target.size()));
}

void BM_BpsCreateRewrittenMessages(benchmark::State& state) { create(state, rewritten_messages()); }
void BM_BpsCreateScatteredEdits(benchmark::State& state) { create(state, scattered_edits()); }
void BM_BpsCreateUnrelated(benchmark::State& state) { create(state, unrelated()); }
void BM_BpsApplyRewrittenMessages(benchmark::State& state) { apply(state, rewritten_messages()); }
void BM_BpsApplyScatteredEdits(benchmark::State& state) { apply(state, scattered_edits()); }
BENCHMARK(BM_BpsCreateRewrittenMessages)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BpsCreateScatteredEdits)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BpsCreateUnrelated)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BpsApplyRewrittenMessages)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BpsApplyScatteredEdits)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
}  // namespace talvo
