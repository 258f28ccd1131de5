// The worker threads that read tiles from the cache and make coarse levels
// anew, for every pyramid of the process. Reads come before everything else:
// they are what the view waits for.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CPyramidLoader
{
public:
    static CPyramidLoader& getInstance();
    ~CPyramidLoader();

    // Runs the job on a worker; urgent jobs before the others. Where no
    // worker can be started (a low limit on processes or memory), the job
    // waits for runQueuedHere.
    void post(std::function<void()> job, bool urgent);
    // Without workers, runs the jobs waiting on the calling thread, which
    // must hold none of the locks the jobs take.
    void runQueuedHere();
    // Jobs posted and not yet finished.
    int getPending() const;

private:
    CPyramidLoader() = default;
    void run();
    // Runs one job, which must not escape with an exception.
    static void runJob(const std::function<void()>& job);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_urgent;
    std::deque<std::function<void()>> m_background;
    std::vector<std::thread> m_threads;
    int m_running = 0;
    bool m_stopping = false;
    bool m_threadless = false;
};
