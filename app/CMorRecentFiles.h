// The diagrams opened last, most recent first, as File > Open Recent lists
// them and the preferences keep them ("recent.1" to "recent.8").
#pragma once

#include <string>
#include <vector>

class CMorPreferences;

class CMorRecentFiles
{
public:
    static const int LIMIT = 8;

    // Puts the absolute path first; an earlier entry of it goes, and so does
    // the oldest beyond the limit.
    void add(const std::string& path);
    // False when the path is not listed.
    bool remove(const std::string& path);
    const std::vector<std::string>& getPaths() const { return m_paths; }

    // Takes the list the preferences hold: absolute paths only, each once.
    void load(const CMorPreferences& preferences);
    // Replaces the list the preferences hold with this one.
    void store(CMorPreferences& preferences) const;

    // The menu label of entry index (from 0): "&1 /path/to/file.fnc", with
    // the characters the menu would take for mnemonics and symbols doubled
    // and control characters shown as '?'.
    static std::string menuLabel(int index, const std::string& path);

private:
    std::vector<std::string> m_paths;
};
