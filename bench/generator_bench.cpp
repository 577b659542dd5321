// The generator and the mark draw side by side with the standard library's
// Mersenne twister engine and uniform distribution, in one process. Prints
// the ratios ours / std of the medians against the budgets, next_u32 and
// next_int(1, 15) at most 1.0 times their standard counterparts. The budgets
// are reported, not enforced: on a shared 2-core machine a ratio moves with
// the other work running by as much as the margin it is judged by.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "pools/mark_draw.h"
#include "random/mersenne_generator.h"
#include "random/shared_generator.h"

namespace {

using StandardTwister =
    std::mersenne_twister_engine<std::uint32_t, 32, 351, 175, 19, 0xE4BD75F5, 11, 0xFFFFFFFF, 7,
                                 0x655E5280, 15, 0xFFD58000, 17, 1812433253>;

constexpr std::uint32_t kSeed = 20261208;

void BM_OursNextU32(benchmark::State& state) {
  MersenneGenerator generator(kSeed);
  for (auto _ : state) benchmark::DoNotOptimize(generator.next_u32());
}
BENCHMARK(BM_OursNextU32);

void BM_StdNextU32(benchmark::State& state) {
  StandardTwister engine(kSeed);
  for (auto _ : state) benchmark::DoNotOptimize(engine());
}
BENCHMARK(BM_StdNextU32);

void BM_OursNextInt(benchmark::State& state) {
  MersenneGenerator generator(kSeed);
  for (auto _ : state) benchmark::DoNotOptimize(generator.next_int(1, 15));
}
BENCHMARK(BM_OursNextInt);

void BM_StdNextInt(benchmark::State& state) {
  StandardTwister engine(kSeed);
  std::uniform_int_distribution<int> slots(1, 15);
  for (auto _ : state) benchmark::DoNotOptimize(slots(engine));
}
BENCHMARK(BM_StdNextInt);

void BM_OursNextUnit(benchmark::State& state) {
  MersenneGenerator generator(kSeed);
  for (auto _ : state) benchmark::DoNotOptimize(generator.next_unit());
}
BENCHMARK(BM_OursNextUnit);

void BM_StdNextUnit(benchmark::State& state) {
  StandardTwister engine(kSeed);
  for (auto _ : state) benchmark::DoNotOptimize(std::generate_canonical<double, 32>(engine));
}
BENCHMARK(BM_StdNextUnit);

void BM_OursSeed(benchmark::State& state) {
  MersenneGenerator generator(kSeed);
  std::uint32_t value = 0;
  for (auto _ : state) {
    generator.seed(++value);
    benchmark::DoNotOptimize(generator.mt);
  }
}
BENCHMARK(BM_OursSeed);

void BM_StdSeed(benchmark::State& state) {
  StandardTwister engine(kSeed);
  std::uint32_t value = 0;
  for (auto _ : state) {
    engine.seed(++value);
    benchmark::DoNotOptimize(engine);
  }
}
BENCHMARK(BM_StdSeed);

void BM_OursRow(benchmark::State& state) {
  shared_generator.seed(kSeed);
  std::vector<MatchMark> row(13);
  for (auto _ : state) {
    row_quota = {10, 2, 1};
    row_tally = {};
    for (MatchMark& mark : row) draw_mark(mark);
    benchmark::DoNotOptimize(row.data());
  }
}
BENCHMARK(BM_OursRow);

// Keeps the median of every benchmark's repetitions, by name.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  MedianReporter() : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
  }
  std::map<std::string, double> medians;
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  std::string repetitions = "--benchmark_repetitions=9";
  std::string aggregates = "--benchmark_report_aggregates_only=true";
  args.insert(args.begin() + 1, {repetitions.data(), aggregates.data()});
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  struct Pair {
    const char* what;
    const char* ours;
    const char* standard;
    double budget;  // 0: reported only
  };
  const Pair pairs[] = {
      {"next_u32 / engine()", "BM_OursNextU32", "BM_StdNextU32", 1.0},
      {"next_int(1, 15) / uniform_int_distribution", "BM_OursNextInt", "BM_StdNextInt", 1.0},
      {"next_unit / generate_canonical<double, 32>", "BM_OursNextUnit", "BM_StdNextUnit", 0},
      {"seed / engine.seed", "BM_OursSeed", "BM_StdSeed", 0},
  };
  std::printf("\nRatios ours / std (medians of 9 repetitions):\n");
  for (const Pair& pair : pairs) {
    if (!reporter.medians.contains(pair.ours) || !reporter.medians.contains(pair.standard)) {
      continue;  // filtered out
    }
    const double ratio = reporter.medians[pair.ours] / reporter.medians[pair.standard];
    std::printf("  %-44s %5.2f", pair.what, ratio);
    if (pair.budget != 0) {
      std::printf("  (budget %.2f: %s)", pair.budget, ratio <= pair.budget ? "met" : "over");
    }
    std::printf("\n");
  }
  if (reporter.medians.contains("BM_OursRow")) {
    std::printf("  one row of 13 draw_mark calls: %.1f ns\n", reporter.medians["BM_OursRow"]);
  }
  return 0;
}
