// The entry of a benchmark program whose code needs a Qt application (event
// loop, timers, posted blocks). Include it once, in the benchmark's source.
#pragma once

#include <benchmark/benchmark.h>

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
