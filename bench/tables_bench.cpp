// Translators' tables over a full-size English script: the shortest encoding
// of the message text through a table of letters, 256 pairs and 48 words,
// against greedy longest match; the reader of table-mode text; the planner
// of 256 new pairs over letters alone.
#include <benchmark/benchmark.h>

#include <string>

#include "english_script.h"
#include "entry_planner.h"
#include "shortest_encoding.h"
#include "table_file_reader.h"

namespace {

using namespace talvo;
using namespace talvo::tables;

struct Script {
  TranslatorTable table;
  std::string text;
  TableText read;

  Script(const std::string& table_file, std::string script) : text(std::move(script)) {
    table = read_translator_table(table_file, CodeSet::Message).table;
    read = read_table_text(text, TableIndex(table));
  }
};

const Script& with_entries() {
  static const Script script(builder::english_message_table(256, 48), builder::english_message_text(1));
  return script;
}

void encode(benchmark::State& state, EncodingMethod method) {
  const Script& s = with_entries();
  const TableIndex index(s.table);
  const TextToEncode texts[] = {{s.text, &s.read}};
  for (auto _ : state) benchmark::DoNotOptimize(encode_bank(index, texts, method).size);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.text.size()));
  state.counters["bits"] = static_cast<double>(encode_bank(index, texts, method).size);
}

void BM_GreedyLongestMatch(benchmark::State& state) { encode(state, EncodingMethod::Greedy); }
void BM_ShortestEncoding(benchmark::State& state) { encode(state, EncodingMethod::Shortest); }

void BM_ReadTableText(benchmark::State& state) {
  const Script& s = with_entries();
  const TableIndex index(s.table);
  for (auto _ : state) benchmark::DoNotOptimize(read_table_text(s.text, index).pieces.size());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.text.size()));
}

void BM_Plan256Pairs(benchmark::State& state) {
  static const Script s(builder::english_message_table(0), builder::english_message_text(1));
  const TextToEncode texts[] = {{s.text, &s.read}};
  PlanRequest request{{}, 2, 256};
  for (std::uint16_t code = 0x300; code < 0x400; ++code) request.free_codes.push_back(code);
  for (auto _ : state) benchmark::DoNotOptimize(plan_entries(s.table, texts, request).size_after);
}

BENCHMARK(BM_GreedyLongestMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShortestEncoding)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTableText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plan256Pairs)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
