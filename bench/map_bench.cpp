// The cost of each operation on the block map, per block, from a thousand to a hundred million
// blocks.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "blockmap.hpp"

namespace {

using namespace blockalloc;

// A map of n blocks holding `runs` files of equal size, with a free block after each.
std::string mapWithRuns(int n, int runs) {
    std::string map(static_cast<std::size_t>(n), holeMarker);
    const int stride = n / runs;
    for (int r = 0; r < runs && stride > 1; ++r)
        std::memset(map.data() + static_cast<std::ptrdiff_t>(r) * stride, 'a' + r,
                    static_cast<std::size_t>(stride - 1));
    return map;
}

void perBlock(benchmark::State& state, int n) {
    state.counters["per_block"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void countFreeBlocks(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string map = mapWithRuns(n, 10);
    for (auto _ : state) benchmark::DoNotOptimize(countFree(map.data(), n));
    perBlock(state, n);
}

void rebuildTable(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string map = mapWithRuns(n, fileTableSize);
    for (auto _ : state) benchmark::DoNotOptimize(removeDuplicates(map.data(), n));
    perBlock(state, n);
}

void lengthOfEntry(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string map = mapWithRuns(n, fileTableSize);
    removeDuplicates(map.data(), n);
    for (auto _ : state) benchmark::DoNotOptimize(length(map.data(), n, fileTableSize - 1));
    perBlock(state, n);
}

void checkFileTable(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string map = mapWithRuns(n, 10);
    for (auto _ : state)
        benchmark::DoNotOptimize(runsAfterPlacing(map.data(), n, 'Z', countFree(map.data(), n)));
    perBlock(state, n);
}

// Places a file in half the map, then frees it again: the map is the same at every iteration.
void placeAndFree(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::string map = mapWithRuns(n, 10);
    freeFile(map.data(), n, 'a');
    for (auto _ : state) {
        placeFile(map.data(), n, 'Z', n / 2);
        freeFile(map.data(), n, 'Z');
        benchmark::ClobberMemory();
    }
    perBlock(state, n);
}

void freeAbsentFile(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::string map = mapWithRuns(n, 10);
    for (auto _ : state) {
        freeFile(map.data(), n, 'Z');
        benchmark::ClobberMemory();
    }
    perBlock(state, n);
}

constexpr long smallest = 1000;
constexpr long largest = 100'000'000;

BENCHMARK(countFreeBlocks)->RangeMultiplier(10)->Range(smallest, largest);
BENCHMARK(rebuildTable)->RangeMultiplier(10)->Range(smallest, largest);
BENCHMARK(lengthOfEntry)->RangeMultiplier(10)->Range(smallest, largest);
BENCHMARK(checkFileTable)->RangeMultiplier(10)->Range(smallest, largest);
BENCHMARK(placeAndFree)->RangeMultiplier(10)->Range(smallest, largest);
BENCHMARK(freeAbsentFile)->RangeMultiplier(10)->Range(smallest, largest);

}  // namespace

BENCHMARK_MAIN();
