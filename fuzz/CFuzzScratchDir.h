// The directory the description fuzz target reads its files from: a few small
// valid and invalid images under the names the example and the test files
// use, an empty image, a directory named like an image, and the description.
#pragma once

#include <string>

class CFuzzScratchDir
{
public:
    // Copies the images from sourceDir's test data; aborts when it cannot.
    explicit CFuzzScratchDir(const std::string& sourceDir);
    ~CFuzzScratchDir();
    CFuzzScratchDir(const CFuzzScratchDir&) = delete;
    CFuzzScratchDir& operator=(const CFuzzScratchDir&) = delete;

    const std::string& path() const { return m_path; }

private:
    void copy(const std::string& from, const std::string& to) const;

    std::string m_path;
};
