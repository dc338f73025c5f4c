/* bench_core.cpp -- speed of the data core: validating a 32-row table in which
 * every UB overlaps its neighbours (the worst case of the pairwise overlap
 * check: every row compares with every other), compiling the EN and MxL
 * images, and writing and reading the text file in memory. */
#include "config/cfgfile.h"
#include "config/image.h"
#include "config/validate.h"

#include <benchmark/benchmark.h>

#include <cstring>

/* 32 active UBs, 80 MHz wide, 36 MHz apart: each overlaps its neighbours. */
static void overlappingTable(int model)
{
    VelnorData = VelnorData_t{};
    VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_InitStruct();
    VelnorData.UBNumber = MAX_UB;
    for (int i = 0; i < MAX_UB; i++) {
        VelnorCfg[i].Active = 1;
        VelnorCfg[i].UBNo = static_cast<std::uint8_t>(i);
        VelnorCfg[i].UBFreq = static_cast<std::uint16_t>(990 + 36 * i);
        VelnorCfg[i].BW = 80;
        VelnorCfg[i].StaticMode = i % 2;
        VelnorCfg[i].ConvFreq = 11000;
    }
}

static void BM_ValidateOverlapping(benchmark::State &state)
{
    overlappingTable(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(MAIN_ValidateTable());
    if (ConfigOK != 1) state.SkipWithError("the table should fail");
}
BENCHMARK(BM_ValidateOverlapping);

static void BM_CompileEN(benchmark::State &state)
{
    overlappingTable(7);
    unsigned char buf[1024];
    for (auto _ : state) {
        benchmark::DoNotOptimize(BREVCFG_CompileEN(VelnorCfg, &VelnorData, buf, 0));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CompileEN);

/* The MxL compiler sorts the table in place; each round starts again from
 * the same unsorted table (the copy of 32 rows is part of the figure). */
static void BM_CompileMxL(benchmark::State &state)
{
    overlappingTable(0);
    VelnorCfg_t unsorted[MAX_UB];
    for (int i = 0; i < MAX_UB; i++)
        unsorted[i] = VelnorCfg[(i * 13) % MAX_UB];
    unsigned char buf[1024];
    for (auto _ : state) {
        std::memcpy(VelnorCfg, unsorted, sizeof unsorted);
        benchmark::DoNotOptimize(BREVCFG_CompileMxL(VelnorCfg, &VelnorData, buf));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CompileMxL);

static void BM_FormatAndParseConfig(benchmark::State &state)
{
    overlappingTable(7);
    char text[BREVCFG_TEXT_MAX];
    VelnorCfg_t back[MAX_UB];
    for (auto _ : state) {
        const int n = BREVCFG_FormatConfig(VelnorCfg, MAX_UB, text, sizeof text);
        benchmark::DoNotOptimize(
            BREVCFG_ParseConfig(text, static_cast<std::size_t>(n), back, MAX_UB));
    }
}
BENCHMARK(BM_FormatAndParseConfig);

BENCHMARK_MAIN();
