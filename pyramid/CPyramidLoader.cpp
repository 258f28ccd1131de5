// The tile workers.
#include "CPyramidLoader.h"

#include "CPyramidMemory.h"

#include <iostream>
#include <new>
#include <system_error>

namespace {

constexpr int THREADS = 2;

} // namespace

CPyramidLoader& CPyramidLoader::getInstance()
{
    static CPyramidLoader loader;
    return loader;
}

CPyramidLoader::~CPyramidLoader()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_urgent.clear();
        m_background.clear();
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void CPyramidLoader::post(std::function<void()> job, bool urgent)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        (urgent ? m_urgent : m_background).push_back(std::move(job));
        if (m_threads.empty() && !m_threadless) {
            try {
                for (int i = 0; i < THREADS; ++i)
                    m_threads.emplace_back(&CPyramidLoader::run, this);
            } catch (const std::system_error& e) {
                m_threadless = m_threads.empty();
                if (m_threadless)
                    std::cout << "No tile thread could be started (" << e.what()
                              << "): tiles are read between frames." << std::endl;
            } catch (const std::bad_alloc&) {
                m_threadless = m_threads.empty();
                if (m_threadless)
                    std::cout << "No tile thread could be started (out of memory): tiles are read between frames."
                              << std::endl;
            }
        }
    }
    m_changed.notify_one();
}

void CPyramidLoader::runQueuedHere()
{
    for (;;) {
        std::function<void()> job;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_threadless || (m_urgent.empty() && m_background.empty()))
                return;
            std::deque<std::function<void()>>& queue = m_urgent.empty() ? m_background : m_urgent;
            job = std::move(queue.front());
            queue.pop_front();
        }
        runJob(job);
        CPyramidMemory::getInstance().notifyProgress();
    }
}

void CPyramidLoader::runJob(const std::function<void()>& job)
{
    try {
        job();
    } catch (const std::bad_alloc&) {
        // The tile stays missing; escaping would end the program.
    }
}

int CPyramidLoader::getPending() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_urgent.size() + m_background.size()) + m_running;
}

void CPyramidLoader::run()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopping || !m_urgent.empty() || !m_background.empty(); });
            if (m_stopping)
                return;
            std::deque<std::function<void()>>& queue = m_urgent.empty() ? m_background : m_urgent;
            job = std::move(queue.front());
            queue.pop_front();
            ++m_running;
        }
        runJob(job);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_running;
        }
        CPyramidMemory::getInstance().notifyProgress();
    }
}
