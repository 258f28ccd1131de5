// The reading thread and the hand-over of its pictures.
#include "CFenceImageReader.h"

#include "fenceFiles.h"

#include <algorithm>
#include <iostream>
#include <new>
#include <system_error>
#include <utility>

CFenceImageReader::CFenceImageReader(std::vector<std::string> paths, size_t threads, size_t ahead,
                                     size_t pyramidCount, std::vector<std::array<int, 4>> crops,
                                     const CPyramidVariant& variant, const CPyramidCache& cache)
    : m_paths(std::move(paths)), m_results(m_paths.size()), m_ahead(std::max<size_t>(ahead, threads)),
      m_pyramidCount(pyramidCount), m_crops(std::move(crops)), m_variant(variant), m_cache(cache)
{
    // A thread that cannot start (a low limit on processes or memory) leaves
    // its pictures to those that did, or to the caller's own thread.
    try {
        m_threads.reserve(std::max<size_t>(threads, 1));
        for (size_t i = 0; i < std::max<size_t>(threads, 1); ++i)
            m_threads.emplace_back(&CFenceImageReader::run, this);
    } catch (const std::system_error& e) {
        if (m_threads.empty())
            std::cout << "No reading thread could be started (" << e.what() << "): pictures are read one by one."
                      << std::endl;
    } catch (const std::bad_alloc&) {
        if (m_threads.empty())
            std::cout << "No reading thread could be started (out of memory): pictures are read one by one."
                      << std::endl;
    }
}

CFenceImageReader::~CFenceImageReader()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
    for (size_t i = m_taken; i < m_results.size(); ++i)
        delete m_results[i].image;
}

void CFenceImageReader::run()
{
    for (;;) {
        size_t i = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stopping || m_next >= m_paths.size() || m_next < m_taken + m_ahead; });
            if (m_stopping || m_next >= m_paths.size())
                return;
            i = m_next++;
        }
        // Only this thread touches the result until it is marked done, and
        // nothing it reads or makes is shared with the taking thread.
        Result result = read(i);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_results[i] = std::move(result);
        }
        m_changed.notify_all();
    }
}

CFenceImageReader::Result CFenceImageReader::read(size_t i) const
{
    Result result;
    try {
        if (!fileExists(m_paths[i]))
            result.message = "File " + m_paths[i] + " not found.";
        else if (i < m_pyramidCount) {
            const bool cropped = i < m_crops.size() && m_crops[i][2] > 0;
            CPyramidCache cache(m_cache);
            result.pyramid = readPyramidByExtension(m_paths[i], cropped ? m_crops[i].data() : nullptr, m_variant,
                                                    m_cache.getDirectory().empty() ? nullptr : &cache,
                                                    result.message, result.detail);
        } else
            result.image = readImageByExtension(m_paths[i], result.message, result.detail);
    } catch (const std::bad_alloc&) {
        // Escaping a reading thread would end the program.
        result.message = "Not enough memory to read " + m_paths[i] + ".";
    }
    result.done = true;
    return result;
}

bool CFenceImageReader::takeResult(Result& taken)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_taken >= m_results.size())
        return false;
    Result& result = m_results[m_taken];
    if (m_threads.empty())
        result = read(m_taken);
    m_changed.wait(lock, [&] { return result.done; });
    taken = std::move(result);
    result.image = nullptr;
    result.pyramid = nullptr;
    ++m_taken;
    lock.unlock();
    m_changed.notify_all();
    return true;
}

CZelFileImage* CFenceImageReader::takeNext(std::string& message, std::string& detail)
{
    Result taken;
    takeResult(taken);
    message = std::move(taken.message);
    detail = std::move(taken.detail);
    return taken.image;
}

std::shared_ptr<CPyramid> CFenceImageReader::takeNextPyramid(std::string& message, std::string& detail)
{
    Result taken;
    takeResult(taken);
    message = std::move(taken.message);
    detail = std::move(taken.detail);
    delete taken.image;
    return taken.pyramid;
}
