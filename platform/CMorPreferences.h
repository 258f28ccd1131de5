// The user's preferences: a plain text file of "key = value" lines in the
// user's configuration folder, read whole and written whole, atomically. A
// damaged line is skipped; nothing in the file can stop the program.
#pragma once

#include <map>
#include <string>

class CMorPreferences
{
public:
    // Held in memory only: load and save touch no file and keep the entries.
    CMorPreferences() = default;
    explicit CMorPreferences(const std::string& path) : m_path(path) {}

    // $XDG_CONFIG_HOME/morvex/preferences, or ~/.config/morvex/preferences
    // when XDG_CONFIG_HOME is unset or not absolute; empty when the user has
    // no home folder either.
    static std::string defaultPath();
    const std::string& getPath() const { return m_path; }

    // Replaces what is held with the file's content: another Morvex may have
    // changed it since. A missing file holds nothing. False with error when
    // the file exists but cannot be read or is too large to be preferences;
    // nothing is held then.
    bool load(std::string& error);
    // Writes every entry, creating the folder when it is missing; false with
    // error, the old file untouched.
    bool save(std::string& error) const;

    bool has(const std::string& key) const { return m_entries.count(key) != 0; }
    // The value, or fallback when there is none.
    std::string get(const std::string& key, const std::string& fallback = std::string()) const;
    // Keys are letters, digits, '.', '-' and '_'; any other is ignored.
    void set(const std::string& key, const std::string& value);
    void erase(const std::string& key) { m_entries.erase(key); }
    const std::map<std::string, std::string>& getEntries() const { return m_entries; }

    // The file's text and back. Values may hold any byte: line ends, other
    // control characters, backslashes and blanks at either end are escaped.
    static std::string format(const std::map<std::string, std::string>& entries);
    static std::map<std::string, std::string> parse(const std::string& text);
    static bool isKey(const std::string& key);

private:
    std::string m_path;
    std::map<std::string, std::string> m_entries;
};
