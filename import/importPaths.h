// Paths of the pictures that section lines name: made absolute, tested, and
// written relative to the folder of the file that will name them.
#pragma once

#include <string>

// path against the working folder when it is relative; "." parts and
// repeated "/" removed, ".." taken back by its text (the file system has the
// last word: see relativePath).
std::string absolutePath(const std::string& path);
// Everything before the last "/" ("/" for a file in the root); "." when
// there is no "/".
std::string folderOf(const std::string& path);
// Whether path names a regular file (following links).
bool isFile(const std::string& path);
// Whether both paths name the same existing file or folder.
bool sameFile(const std::string& first, const std::string& second);
// The path from folder to target (both absolute): relative when it leads to
// the same file as target does, else target as it stands.
std::string relativePath(const std::string& target, const std::string& folder);
// Whether c separates words in a description file.
bool isBlank(char c);
// Whether text holds such a character.
bool hasBlank(const std::string& text);
