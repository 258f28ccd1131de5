// A JSON value built in memory and written out: objects keep their members
// in the order they were set, numbers are written so that they read back as
// the same double.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CMorJson
{
public:
    enum Kind { NUL, BOOLEAN, NUMBER, STRING, ARRAY, OBJECT };

    CMorJson() = default;
    CMorJson(bool value) : m_kind(BOOLEAN), m_bool(value) {}
    CMorJson(int value) : m_kind(NUMBER), m_number(value) {}
    CMorJson(int64_t value) : m_kind(NUMBER), m_number(static_cast<double>(value)) {}
    CMorJson(size_t value) : m_kind(NUMBER), m_number(static_cast<double>(value)) {}
    CMorJson(double value) : m_kind(NUMBER), m_number(value) {}
    CMorJson(const char* value) : m_kind(STRING), m_string(value) {}
    CMorJson(std::string value) : m_kind(STRING), m_string(std::move(value)) {}

    static CMorJson array();
    static CMorJson object();
    // An array of the numbers.
    static CMorJson numbers(const std::vector<double>& values);

    Kind getKind() const { return m_kind; }
    // Appends to an array (a null value becomes one); returns the new element.
    CMorJson& push(CMorJson value);
    size_t size() const { return m_items.size(); }
    // The member of an object (a null value becomes one), made null when new.
    CMorJson& operator[](const std::string& key);
    bool has(const std::string& key) const;

    // Compact text. Numbers that are not finite are written as null, which
    // JSON has instead.
    std::string dump() const;
    void dump(std::string& out) const;
    // The text as a JSON string literal, quotes included.
    static std::string quote(const std::string& text);

private:
    Kind m_kind = NUL;
    bool m_bool = false;
    double m_number = 0.0;
    std::string m_string;
    // Array elements, or object members' values in the order of m_keys.
    std::vector<CMorJson> m_items;
    std::vector<std::string> m_keys;
};
