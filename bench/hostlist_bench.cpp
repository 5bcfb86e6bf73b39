// HostList decode and encode for 1k, 10k and 100k rules, next to one memchr
// pass over the same text as the floor that any parser of the text has to pay.

#include <benchmark/benchmark.h>

#include <cstring>

#include "config/access_rights.h"

namespace {

using tftpcfg::AccessRule;

std::vector<AccessRule> MakeRules(int n) {
  std::vector<AccessRule> rules;
  rules.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const std::string a = "10." + std::to_string((i >> 16) & 255) + "." +
                          std::to_string((i >> 8) & 255) + "." + std::to_string(i & 255);
    rules.push_back({a, i % 4 ? "255.255.255.255" : "255.255.0.0",
                     i % 2 ? tftpcfg::kReadOnly : tftpcfg::kNoAccess});
  }
  return rules;
}

void BM_Encode(benchmark::State& state) {
  const auto rules = MakeRules(static_cast<int>(state.range(0)));
  size_t bytes = 0;
  for (auto _ : state) {
    std::string text = tftpcfg::EncodeHostList(rules);
    bytes = text.size();
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["ns_per_rule"] = benchmark::Counter(
      static_cast<double>(state.range(0)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Decode(benchmark::State& state) {
  const std::string text = tftpcfg::EncodeHostList(MakeRules(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    auto rules = tftpcfg::DecodeHostList(text);
    benchmark::DoNotOptimize(rules);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["ns_per_rule"] = benchmark::Counter(
      static_cast<double>(state.range(0)),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One memchr pass counting the opening brackets of the same text.
void BM_MemchrPass(benchmark::State& state) {
  const std::string text = tftpcfg::EncodeHostList(MakeRules(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    size_t count = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while ((p = static_cast<const char*>(std::memchr(p, '[', static_cast<size_t>(end - p))))) {
      ++count;
      ++p;
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_Encode)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_Decode)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_MemchrPass)->Arg(1000)->Arg(10000)->Arg(100000);

}  // namespace
