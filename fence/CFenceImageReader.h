// Reads the pictures of a diagram on other threads, a bounded number ahead of
// the one being built, so that decoding the next pictures overlaps cutting
// and building the current one. The pictures are handed out in order.
#pragma once

#include "CPyramid.h"
#include "CPyramidCache.h"
#include "CPyramidVariant.h"
#include "CZelFileImage.h"

#include <array>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CFenceImageReader
{
public:
    // Starts reading the files at once on the given number of threads (on
    // the caller's, in takeNext, when none can be started), with
    // at most ahead pictures (at least one per thread) read and not yet taken.
    // The first pyramidCount files become pyramids, from the cache or made
    // while they are read (takeNextPyramid), with coarse levels for the
    // variant; the others are read whole (takeNext). Crops belong to the
    // pyramid files in order (x0, y0, x1, y1 of the file's pixels; all 0 or
    // missing: none). cache: a copy is used; an empty folder keeps the tiles
    // in memory.
    explicit CFenceImageReader(std::vector<std::string> paths, size_t threads = 1, size_t ahead = 1,
                               size_t pyramidCount = 0, std::vector<std::array<int, 4>> crops = {},
                               const CPyramidVariant& variant = CPyramidVariant(),
                               const CPyramidCache& cache = CPyramidCache(""));
    // Stops reading and deletes the pictures nobody took.
    ~CFenceImageReader();
    CFenceImageReader(const CFenceImageReader&) = delete;
    CFenceImageReader& operator=(const CFenceImageReader&) = delete;

    // Waits for the next picture in the order of the paths. Returns it new
    // (the caller holds a reference) or null with message set to the reason
    // the user is given and detail to what exactly failed (empty when there
    // is nothing more to tell). Null without a message once all are taken.
    CZelFileImage* takeNext(std::string& message, std::string& detail);
    // As takeNext, for a file made a pyramid.
    std::shared_ptr<CPyramid> takeNextPyramid(std::string& message, std::string& detail);

private:
    struct Result
    {
        CZelFileImage* image = nullptr;
        std::shared_ptr<CPyramid> pyramid;
        std::string message;
        std::string detail;
        bool done = false;
    };

    void run();
    // Reads picture i; the result is done.
    Result read(size_t i) const;
    // Waits for the next result and takes it over; false once all are taken.
    bool takeResult(Result& taken);

    std::vector<std::string> m_paths;
    std::vector<Result> m_results;
    size_t m_ahead;
    size_t m_pyramidCount;
    std::vector<std::array<int, 4>> m_crops;
    CPyramidVariant m_variant;
    CPyramidCache m_cache;
    size_t m_taken = 0;
    size_t m_next = 0;
    bool m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::thread> m_threads;
};
