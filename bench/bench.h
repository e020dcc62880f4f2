#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <vector>

// A plain benchmark harness: each case prints its own figures (rates, ratios against a
// peer measured side by side). Nothing is asserted.
struct BenchCase {
    const char* name;
    std::function<void()> run;
};

std::vector<BenchCase>& BenchRegistry();

struct BenchRegistrar {
    BenchRegistrar(const char* name, std::function<void()> run)
    {
        BenchRegistry().push_back({name, std::move(run)});
    }
};

#define QUIVEL_BENCH_CONCAT2(a, b) a##b
#define QUIVEL_BENCH_CONCAT(a, b) QUIVEL_BENCH_CONCAT2(a, b)
// QUIVEL_BENCH("name") { ... } defines and registers one case.
#define QUIVEL_BENCH(name)                                                                         \
    static void QUIVEL_BENCH_CONCAT(benchCase, __LINE__)();                                        \
    static BenchRegistrar QUIVEL_BENCH_CONCAT(benchRegistrar, __LINE__)(                           \
        name, &QUIVEL_BENCH_CONCAT(benchCase, __LINE__));                                          \
    static void QUIVEL_BENCH_CONCAT(benchCase, __LINE__)()

// Peak resident memory of this process so far, in MiB.
double PeakResidentMiB();
// Current resident memory, in MiB.
double CurrentResidentMiB();
// Heap bytes in use now (glibc's count, mmapped blocks included), in MiB: unlike the resident
// size, not lowered by memory that earlier work freed and the process kept.
double HeapInUseMiB();

// The peak resident size restarts from the current one (Linux: clear_refs 5).
void ResetPeakResident();

// A record file as a download of that many records every 15 minutes writes it.
void WriteRecordFile(const QString& fileName, int rows);
