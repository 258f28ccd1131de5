// A private directory for temporary files: nobody else's files can be
// overwritten there, and it goes away with everything in it.
#pragma once

#include <string>

class CMorTempDirectory
{
public:
    CMorTempDirectory() = default;
    CMorTempDirectory(const CMorTempDirectory&) = delete;
    CMorTempDirectory& operator=(const CMorTempDirectory&) = delete;
    // Removes the directory and its files.
    ~CMorTempDirectory();

    // Makes a new directory, readable by this user only, in TMPDIR (or /tmp),
    // its name starting with prefix. False with a sentence in error.
    bool create(const std::string& prefix, std::string& error);
    // Empty before create and after remove.
    const std::string& getPath() const { return m_path; }
    // The path of a file name inside the directory.
    std::string pathOf(const std::string& name) const { return m_path + "/" + name; }
    // Removes the files in the directory and then the directory; false when
    // something stayed behind.
    bool remove();

private:
    std::string m_path;
};
