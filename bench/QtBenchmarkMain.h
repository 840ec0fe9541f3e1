// The entry of a benchmark program whose code needs a Qt application (event
// loop, timers, posted blocks). Include it once, in the benchmark's source.
#pragma once

#include "HistoryRows.h"

int main(int argc, char **argv)
{
    return qvbench::benchMain(argc, argv);
}
