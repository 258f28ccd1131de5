// Replaces a file's content so that a crash, a full disk or a failed write at
// any moment leaves either the old file or the new one, never a mix.
#pragma once

#include <string>

class CMorSafeFile
{
public:
    // Writes content to a temporary file in the same directory, flushes it to
    // disk and renames it over path, keeping path's permissions. On failure
    // the original is untouched, no temporary is left, and error says what
    // failed in a sentence.
    static bool write(const std::string& path, const std::string& content, std::string& error);
};
