#include "support/BenchHarness.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double timeOnce(const std::function<void()> &body)
{
    QElapsedTimer timer;
    timer.start();
    body();
    return double(timer.nsecsElapsed()) / 1000.0;
}

BenchStats report(const char *label, std::vector<double> &times)
{
    std::sort(times.begin(), times.end());
    BenchStats stats;
    if (!times.empty()) {
        stats.min = times.front();
        stats.median = times[times.size() / 2];
        stats.p90 = times[std::min(times.size() - 1, times.size() * 9 / 10)];
    }
    std::printf("%-44s median %9.1f us   min %9.1f us   p90 %9.1f us\n", label, stats.median,
                stats.min, stats.p90);
    return stats;
}

} // namespace

BenchStats runBench(const char *label, int iterations, const std::function<void()> &body, int warmup)
{
    for (int i = 0; i < warmup; ++i)
        body();
    std::vector<double> times;
    for (int i = 0; i < iterations; ++i)
        times.push_back(timeOnce(body));
    return report(label, times);
}

void runPair(const char *label, int iterations, const std::function<void()> &ours,
             const std::function<void()> &bare, int warmup)
{
    for (int i = 0; i < warmup; ++i) {
        ours();
        bare();
    }
    std::vector<double> oursTimes;
    std::vector<double> bareTimes;
    for (int i = 0; i < iterations; ++i) {
        oursTimes.push_back(timeOnce(ours));
        bareTimes.push_back(timeOnce(bare));
    }
    const std::string name(label);
    const BenchStats oursStats = report((name + ": ours").c_str(), oursTimes);
    const BenchStats bareStats = report((name + ": bare").c_str(), bareTimes);
    printRatio(label, oursStats, bareStats);
}

void printRatio(const char *label, const BenchStats &ours, const BenchStats &bare)
{
    const double ratio = bare.median > 0 ? ours.median / bare.median : 0.0;
    std::printf("%-44s ours / bare = %.2fx\n", label, ratio);
}
