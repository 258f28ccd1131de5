// The recent-diagram list.
#include "CMorRecentFiles.h"

#include "CMorPreferences.h"

#include <algorithm>

namespace {

std::string keyOf(int index)
{
    return "recent." + std::to_string(index + 1);
}

} // namespace

void CMorRecentFiles::add(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return;
    remove(path);
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > static_cast<size_t>(LIMIT))
        m_paths.resize(LIMIT);
}

bool CMorRecentFiles::remove(const std::string& path)
{
    const auto found = std::find(m_paths.begin(), m_paths.end(), path);
    if (found == m_paths.end())
        return false;
    m_paths.erase(found);
    return true;
}

void CMorRecentFiles::load(const CMorPreferences& preferences)
{
    m_paths.clear();
    for (int i = 0; i < LIMIT; ++i) {
        const std::string path = preferences.get(keyOf(i));
        if (!path.empty() && path[0] == '/' && std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end())
            m_paths.push_back(path);
    }
}

void CMorRecentFiles::store(CMorPreferences& preferences) const
{
    for (int i = 0; i < LIMIT; ++i) {
        if (static_cast<size_t>(i) < m_paths.size())
            preferences.set(keyOf(i), m_paths[static_cast<size_t>(i)]);
        else
            preferences.erase(keyOf(i));
    }
}

std::string CMorRecentFiles::menuLabel(int index, const std::string& path)
{
    std::string label = "&" + std::to_string(index + 1) + " ";
    for (char c : path) {
        if (c == '&' || c == '@')
            label += c;
        label += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return label;
}
