// Reads the pictures of a diagram on other threads, a bounded number ahead of
// the one being built, so that decoding the next pictures overlaps cutting
// and building the current one. The pictures are handed out in order.
#pragma once

#include "CZelFileImage.h"
#include "CZelTiledPicture.h"

#include <array>
#include <condition_variable>
#include <cstddef>
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
    // The first tiledCount files are cut into tiles of tileSize pixels while
    // they are read (takeNextTiles), the others read whole (takeNext). Crops
    // belong to the tiled files in order (x0, y0, x1, y1 of the file's pixels;
    // all 0 or missing: none).
    explicit CFenceImageReader(std::vector<std::string> paths, size_t threads = 1, size_t ahead = 1,
                               size_t tiledCount = 0, int tileSize = 0,
                               std::vector<std::array<int, 4>> crops = {});
    // Stops reading and deletes the pictures nobody took.
    ~CFenceImageReader();
    CFenceImageReader(const CFenceImageReader&) = delete;
    CFenceImageReader& operator=(const CFenceImageReader&) = delete;

    // Waits for the next picture in the order of the paths. Returns it new
    // (the caller holds a reference) or null with message set to the reason
    // the user is given and detail to what exactly failed (empty when there
    // is nothing more to tell). Null without a message once all are taken.
    CZelFileImage* takeNext(std::string& message, std::string& detail);
    // As takeNext, for a file cut into tiles; returns the picture new (the
    // caller holds a reference).
    CZelTiledPicture* takeNextTiles(std::string& message, std::string& detail);

private:
    struct Result
    {
        CZelFileImage* image = nullptr;
        CZelTiledPicture* picture = nullptr;
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
    size_t m_tiledCount;
    std::vector<std::array<int, 4>> m_crops;
    int m_tileSize;
    size_t m_taken = 0;
    size_t m_next = 0;
    bool m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::thread> m_threads;
};
