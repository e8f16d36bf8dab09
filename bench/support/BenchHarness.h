#pragma once

#include <functional>

// Runs a body repeatedly and reports its timing in microseconds.
struct BenchStats
{
    double median = 0;
    double min = 0;
    double p90 = 0;
};

// Runs `body` `warmup` times untimed, then `iterations` times timed; prints one line.
BenchStats runBench(const char *label, int iterations, const std::function<void()> &body,
                    int warmup = 10);

// Prints the median of `ours` over the median of `bare`.
void printRatio(const char *label, const BenchStats &ours, const BenchStats &bare);

// Times two bodies in alternation, so that load from other processes falls on both alike;
// prints a line for each and their ratio.
void runPair(const char *label, int iterations, const std::function<void()> &ours,
             const std::function<void()> &bare, int warmup = 10);
