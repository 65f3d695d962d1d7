// The cost of one critical tau computation: the closed forms, searches of a
// few thousand to a billion points, long series and the long search of a
// very small level.

#include "critical/critical_tau.hpp"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>

namespace {

struct bench_input {
    double alpha;
    std::int32_t n_observations;
    std::int32_t degrees_of_freedom;
};

constexpr std::array<bench_input, 13> inputs{{
    {0.05, 1, 2},      // tangent
    {0.05, 1, 3},      // square root
    {0.05, 10, 2},     // tangent
    {0.05, 10, 4},     // search, odd m without series terms
    {0.05, 10, 5},     // search, even m
    {0.05, 20, 10},    // search
    {0.01, 50, 30},    // the longest search of the usual inputs
    {0.05, 100, 100},  // search with long series
    {0.999, 1, 4},     // start below the quantile, climbing
    {1e-6, 1, 5},      // very small level: a start near 1414, a long search
    {0.05, 12345, 1000},  // half a million points, 500 series terms each
    {1e-12, 1, 4},     // start above 2^20, a long walk through rounding noise
    {0.05, 10, 100000},   // 50000 series terms at every point
}};

void critical_tau_of_input(benchmark::State& state)
{
    const bench_input& input = inputs.at(static_cast<std::size_t>(state.range(0)));
    std::array<char, 64> label{};
    std::snprintf(label.data(), label.size(), "alpha %g n %d r %d", input.alpha,
                  static_cast<int>(input.n_observations), static_cast<int>(input.degrees_of_freedom));
    state.SetLabel(label.data());
    critical::set_worker_floating_point_environment();
    for (auto _ : state) {
        double alpha = input.alpha;
        std::int32_t n_observations = input.n_observations;
        std::int32_t degrees_of_freedom = input.degrees_of_freedom;
        double tau = 0;
        critical::critical_tau(alpha, n_observations, degrees_of_freedom, tau);
        benchmark::DoNotOptimize(tau);
    }
}

BENCHMARK(critical_tau_of_input)->DenseRange(0, static_cast<int>(inputs.size()) - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
