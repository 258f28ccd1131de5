// The tile memory budget and its eviction.
#include "CPyramidMemory.h"

#include "CPyramidTextures.h"

#include <algorithm>
#include <chrono>

CPyramidMemory& CPyramidMemory::getInstance()
{
    static CPyramidMemory memory;
    return memory;
}

uint64_t CPyramidMemory::getUsed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_textureBytes + static_cast<uint64_t>(std::max<int64_t>(0, m_pixelBytes));
}

void CPyramidMemory::addPixels(int64_t bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pixelBytes += bytes;
}

void CPyramidMemory::enrol(CPyramidTextures* textures)
{
    m_textures.push_back(textures);
}

void CPyramidMemory::leave(CPyramidTextures* textures)
{
    m_textures.erase(std::remove(m_textures.begin(), m_textures.end(), textures), m_textures.end());
}

void CPyramidMemory::makeRoom(uint64_t bytes)
{
    const uint64_t used = getUsed();
    if (used + bytes <= m_budget)
        return;
    // An eighth of the budget more than needed goes at once, so that the
    // next tiles find room without another search.
    const uint64_t wanted = used + bytes - m_budget + m_budget / 8;
    std::vector<CPyramidTextures::Candidate> candidates;
    for (CPyramidTextures* textures : m_textures)
        textures->addCandidates(m_frame, candidates);
    std::sort(candidates.begin(), candidates.end(),
              [](const CPyramidTextures::Candidate& a, const CPyramidTextures::Candidate& b) {
                  return a.lastDrawn < b.lastDrawn;
              });
    uint64_t freed = 0;
    for (const CPyramidTextures::Candidate& candidate : candidates) {
        if (freed >= wanted)
            break;
        freed += candidate.owner->evict(candidate.index);
    }
}

void CPyramidMemory::evictUndrawn()
{
    std::vector<CPyramidTextures::Candidate> candidates;
    for (CPyramidTextures* textures : m_textures)
        textures->addCandidates(m_frame - 1, candidates);
    for (const CPyramidTextures::Candidate& candidate : candidates)
        candidate.owner->evict(candidate.index);
}

void CPyramidMemory::beginFrame()
{
    ++m_frame;
    m_missing = 0;
}

void CPyramidMemory::notifyProgress()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_progressCount;
    }
    m_progress.notify_all();
}

uint64_t CPyramidMemory::getProgress() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_progressCount;
}

bool CPyramidMemory::waitForProgress(uint64_t seen, double seconds)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_progress.wait_for(lock, std::chrono::duration<double>(seconds),
                               [&] { return m_progressCount != seen; });
}
