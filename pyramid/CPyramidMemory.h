// The memory budget of every pyramid's tiles in the process: GL textures
// (counted twice, for the copy the GL driver keeps of each), tile pixels on
// their way to GL and tiles held in memory when the disk cannot hold them.
// Textures not drawn in the current frame are evicted least recently used
// first when a new one would pass the budget; the coarse levels always stay.
// Also counts, per frame, the tiles drawn coarser than wanted, and lets a
// batch drawing wait for the tiles it still needs.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

class CPyramidTextures;

class CPyramidMemory
{
public:
    static constexpr uint64_t DEFAULT_BUDGET = 1ULL << 30;
    // What one resident tile costs: its texture and the driver's copy.
    static constexpr uint64_t TEXTURE_BYTES = 2ULL * 128 * 128 * 4;

    static CPyramidMemory& getInstance();

    void setBudget(uint64_t bytes) { m_budget = bytes; }
    uint64_t getBudget() const { return m_budget; }
    // Everything counted against the budget now.
    uint64_t getUsed() const;
    uint64_t getTextureBytes() const { return m_textureBytes; }

    // GL thread only: textures come and go.
    void addTextures(uint64_t bytes) { m_textureBytes += bytes; }
    void removeTextures(uint64_t bytes) { m_textureBytes -= bytes < m_textureBytes ? bytes : m_textureBytes; }
    // Any thread: pixels waiting for GL, tiles held in memory.
    void addPixels(int64_t bytes);

    // GL thread: the pyramids that hold textures, for eviction.
    void enrol(CPyramidTextures* textures);
    void leave(CPyramidTextures* textures);
    // Evicts textures not drawn in this frame, least recently drawn first,
    // until bytes more fit in the budget or nothing more can go.
    void makeRoom(uint64_t bytes);

    // A frame begins: textures drawn from now on are this frame's.
    void beginFrame();
    // Evicts every texture the budget may evict that the last frame did not
    // draw: batch drawing (tiles of a large picture) keeps no more than a
    // frame's tiles.
    void evictUndrawn();
    uint64_t getFrame() const { return m_frame; }
    // Tiles drawn coarser than the view needs, or from settings no longer
    // current, in this frame; and work asked for and not yet done.
    void addMissing(int count) { m_missing += count; }
    int getMissing() const { return m_missing; }

    // GL thread: GL said it ran out of memory for a tile's texture; the
    // tile stays coarser. Whether that happened since the start.
    void noteGlOutOfMemory() { m_glOutOfMemory = true; }
    bool hasGlRunOutOfMemory() const { return m_glOutOfMemory; }

    // Batch drawing (pictures written to files): every tile a frame draws
    // is read at once, at the level the view needs, on the drawing thread.
    void setSynchronous(bool on) { m_synchronous = on; }
    bool isSynchronous() const { return m_synchronous; }

    // Workers: a tile or a level is ready. Wakes waitForProgress.
    void notifyProgress();
    uint64_t getProgress() const;
    // Waits until progress beyond seen (a getProgress) or the timeout; false
    // on timeout.
    bool waitForProgress(uint64_t seen, double seconds);

private:
    CPyramidMemory() = default;

    uint64_t m_budget = DEFAULT_BUDGET;
    uint64_t m_textureBytes = 0;
    int64_t m_pixelBytes = 0;
    uint64_t m_frame = 1;
    int m_missing = 0;
    bool m_synchronous = false;
    bool m_glOutOfMemory = false;
    std::vector<CPyramidTextures*> m_textures;
    mutable std::mutex m_mutex;
    std::condition_variable m_progress;
    uint64_t m_progressCount = 0;
};
