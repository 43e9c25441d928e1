// Writing and applying BPS patches between full-size (6 MB) builder images:
// a message bank rewritten, our sample text partly rewritten and put back by
// insertion, a few scattered edits with a moved block and an insertion, and
// two unrelated images, where nearly every byte is stored. Each pair is
// written by the writer and by the baseline (the writer as it was before
// its suffix-array planner); the `patch_bytes` counter is the size of the
// patch written.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <variant>
#include <vector>

#include "baseline_bps_writer.h"
#include "bps.h"
#include "image_builder.h"
#include "insertion.h"

namespace talvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct ImagePair {
  Bytes source;
  Bytes target;
};

// The same layout with other messages: what an insertion of new text does.
const ImagePair& rewritten_messages() {
  static const ImagePair pair{
      builder::build_image(builder::full_size_content(1), builder::ImageSize::Plain6Mb),
      builder::build_image(builder::full_size_content(2), builder::ImageSize::Plain6Mb),
  };
  return pair;
}

// Our sample text, with every 20th message and fixed string given another's
// text (no longer than its own, so that it fits), inserted.
const ImagePair& edited_sample_text() {
  static const ImagePair pair = [] {
    const builder::ImageContent content = builder::sample_content();
    ImagePair made;
    made.source = builder::build_image(content, builder::ImageSize::Plain6Mb);
    insert::NewText text;
    text.messages = content.messages;
    text.fixed_strings = content.fixed_strings;
    std::mt19937_64 rng(23);
    for (std::size_t n = 0; n < text.messages->size(); n += 20) {
      const auto& other = content.messages[rng() % content.messages.size()];
      auto& message = (*text.messages)[n];
      if (other.size() <= message.size()) std::copy(other.begin(), other.end() - 1, message.begin());
    }
    for (std::size_t n = 0; n < text.fixed_strings->size(); n += 20) {
      const auto& other = content.fixed_strings[rng() % content.fixed_strings.size()];
      auto& string = (*text.fixed_strings)[n];
      if (other.size() <= string.size()) std::copy(other.begin(), other.end() - 1, string.begin());
    }
    const insert::Outcome outcome = insert::insert_text(made.source, text);
    const auto* inserted = std::get_if<insert::Inserted>(&outcome);
    if (inserted == nullptr) throw std::runtime_error("the edited sample text was refused");
    made.target.assign(inserted->cartridge.begin(), inserted->cartridge.end());
    return made;
  }();
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

using Writer = std::vector<std::uint8_t> (*)(std::span<const std::uint8_t>, std::span<const std::uint8_t>,
                                             std::span<const std::uint8_t>);

void create(benchmark::State& state, const ImagePair& pair, Writer writer) {
  std::size_t size = 0;
  for (auto _ : state) {
    const Bytes patch = writer(pair.source, pair.target, {});
    size = patch.size();
    benchmark::DoNotOptimize(patch.data());
  }
  // Every patch must give its target back, or its size means nothing.
  if (bps::apply(writer(pair.source, pair.target, {}), pair.source).target != pair.target) {
    state.SkipWithError("the patch does not give the target back");
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

void BM_BpsCreateRewrittenMessages(benchmark::State& state) { create(state, rewritten_messages(), bps::create); }
void BM_BpsCreateEditedSampleText(benchmark::State& state) { create(state, edited_sample_text(), bps::create); }
void BM_BpsCreateScatteredEdits(benchmark::State& state) { create(state, scattered_edits(), bps::create); }
void BM_BpsCreateUnrelated(benchmark::State& state) { create(state, unrelated(), bps::create); }
void BM_BaselineCreateRewrittenMessages(benchmark::State& state) {
  create(state, rewritten_messages(), bps::baseline::create);
}
void BM_BaselineCreateEditedSampleText(benchmark::State& state) {
  create(state, edited_sample_text(), bps::baseline::create);
}
void BM_BaselineCreateScatteredEdits(benchmark::State& state) {
  create(state, scattered_edits(), bps::baseline::create);
}
void BM_BaselineCreateUnrelated(benchmark::State& state) { create(state, unrelated(), bps::baseline::create); }
void BM_BpsApplyRewrittenMessages(benchmark::State& state) { apply(state, rewritten_messages()); }
void BM_BpsApplyScatteredEdits(benchmark::State& state) { apply(state, scattered_edits()); }
BENCHMARK(BM_BpsCreateRewrittenMessages)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BaselineCreateRewrittenMessages)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BpsCreateEditedSampleText)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BaselineCreateEditedSampleText)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BpsCreateScatteredEdits)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BaselineCreateScatteredEdits)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BpsCreateUnrelated)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BaselineCreateUnrelated)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BpsApplyRewrittenMessages)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_BpsApplyScatteredEdits)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
}  // namespace talvo
