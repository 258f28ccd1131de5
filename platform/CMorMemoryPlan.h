// What memory the process may use and whether a drawing fits in it: the
// address-space limit (ulimit -v) and the memory the system has available.
// Under a low limit the process is shaped to use less: one malloc arena,
// small thread stacks and fewer GL driver threads.
#pragma once

#include <cstdint>
#include <string>

class CMorMemoryPlan
{
public:
    // The least memory for picture tiles a drawing is given.
    static constexpr uint64_t LEAST_TILE_BYTES = 48ULL << 20;

    // First thing in main, before any thread starts: under an address-space
    // limit below LOW_LIMIT, one malloc arena (each further one reserves
    // 64 MiB), thread stacks of STACK_BYTES, no shader disk cache and fewer
    // llvmpipe threads (LP_NUM_THREADS, unless already set).
    static void prepareProcess();

    // The address-space limit in bytes; 0 for none.
    static uint64_t getAddressLimit();
    // The address space the process holds now (its libraries included).
    static uint64_t getAddressInUse();
    // Memory the system can give without swapping, within the control
    // group's limit; 0 when unknown.
    static uint64_t getAvailableMemory();

    // Whether a view of width x height pixels, the GL driver, the loading of
    // a diagram and extraBytes more (the rows of a picture on their way to
    // its file) fit, before the GL context is made. budget is the tile memory
    // asked for and becomes what fits (at least LEAST_TILE_BYTES). False
    // with a message naming what is needed and what there is.
    static bool fitDrawing(int width, int height, uint64_t extraBytes, uint64_t& budget, std::string& message);

private:
    static constexpr uint64_t LOW_LIMIT = 2ULL << 30;
    static constexpr uint64_t STACK_BYTES = 2ULL << 20;
};
