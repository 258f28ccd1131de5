// Building and writing JSON.
#include "CMorJson.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

CMorJson CMorJson::array()
{
    CMorJson value;
    value.m_kind = ARRAY;
    return value;
}

CMorJson CMorJson::object()
{
    CMorJson value;
    value.m_kind = OBJECT;
    return value;
}

CMorJson CMorJson::numbers(const std::vector<double>& values)
{
    CMorJson result = array();
    for (const double value : values)
        result.push(value);
    return result;
}

CMorJson& CMorJson::push(CMorJson value)
{
    if (m_kind == NUL)
        m_kind = ARRAY;
    m_items.push_back(std::move(value));
    return m_items.back();
}

CMorJson& CMorJson::operator[](const std::string& key)
{
    if (m_kind == NUL)
        m_kind = OBJECT;
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (m_keys[i] == key)
            return m_items[i];
    m_keys.push_back(key);
    m_items.emplace_back();
    return m_items.back();
}

bool CMorJson::has(const std::string& key) const
{
    for (const std::string& k : m_keys)
        if (k == key)
            return true;
    return false;
}

std::string CMorJson::quote(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (u < 0x20 || c == '<') {
            // "<" as an escape too, so that no string can close a script
            // element of the page the JSON is put into.
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string CMorJson::dump() const
{
    std::string out;
    dump(out);
    return out;
}

void CMorJson::dump(std::string& out) const
{
    switch (m_kind) {
    case NUL:
        out += "null";
        break;
    case BOOLEAN:
        out += m_bool ? "true" : "false";
        break;
    case NUMBER: {
        if (!std::isfinite(m_number)) {
            out += "null";
            break;
        }
        // The fewest digits that read back as the same double.
        char text[32];
        for (int digits = 15; digits <= 17; ++digits) {
            std::snprintf(text, sizeof text, "%.*g", digits, m_number);
            if (std::strtod(text, nullptr) == m_number)
                break;
        }
        // Whatever the locale, JSON has a point.
        for (char* c = text; *c != '\0'; ++c)
            if (*c == ',')
                *c = '.';
        out += text;
        break;
    }
    case STRING:
        out += quote(m_string);
        break;
    case ARRAY:
        out += '[';
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (i > 0)
                out += ',';
            m_items[i].dump(out);
        }
        out += ']';
        break;
    case OBJECT:
        out += '{';
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (i > 0)
                out += ',';
            out += quote(m_keys[i]);
            out += ':';
            m_items[i].dump(out);
        }
        out += '}';
        break;
    }
}
