// Building and writing a glTF asset.
#include "CMorGltfDocument.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int ARRAY_BUFFER = 34962;
constexpr int ELEMENT_ARRAY_BUFFER = 34963;
constexpr int FLOAT = 5126;
constexpr int UNSIGNED_SHORT = 5123;
constexpr int UNSIGNED_INT = 5125;

void putUint32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<unsigned char>(value >> (8 * k)));
}

} // namespace

CMorGltfDocument::CMorGltfDocument()
{
    m_json["asset"]["version"] = "2.0";
}

int CMorGltfDocument::add(const std::string& name, CMorJson item)
{
    CMorJson& list = m_json[name];
    list.push(std::move(item));
    return static_cast<int>(list.size()) - 1;
}

void CMorGltfDocument::useExtension(const std::string& name, bool required)
{
    if (std::find(m_used.begin(), m_used.end(), name) == m_used.end())
        m_used.push_back(name);
    if (required && std::find(m_required.begin(), m_required.end(), name) == m_required.end())
        m_required.push_back(name);
}

int CMorGltfDocument::addView(const void* data, size_t size, int target)
{
    // Every view starts on a 4-byte boundary, as accessors of floats need.
    while (m_buffer.size() % 4 != 0)
        m_buffer.push_back(0);
    CMorJson view = CMorJson::object();
    view["buffer"] = 0;
    view["byteOffset"] = m_buffer.size();
    view["byteLength"] = size;
    if (target != 0)
        view["target"] = target;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    m_buffer.insert(m_buffer.end(), bytes, bytes + size);
    return add("bufferViews", view);
}

int CMorGltfDocument::addPositions(const std::vector<float>& xyz)
{
    CMorJson accessor = CMorJson::object();
    accessor["bufferView"] = addView(xyz.data(), xyz.size() * sizeof(float), ARRAY_BUFFER);
    accessor["componentType"] = FLOAT;
    accessor["count"] = xyz.size() / 3;
    accessor["type"] = "VEC3";
    std::vector<double> low(3, std::numeric_limits<double>::max()), high(3, -std::numeric_limits<double>::max());
    for (size_t i = 0; i + 2 < xyz.size(); i += 3)
        for (size_t k = 0; k < 3; ++k) {
            low[k] = std::min<double>(low[k], xyz[i + k]);
            high[k] = std::max<double>(high[k], xyz[i + k]);
        }
    accessor["min"] = CMorJson::numbers(low);
    accessor["max"] = CMorJson::numbers(high);
    return add("accessors", accessor);
}

int CMorGltfDocument::addTextureCoordinates(const std::vector<float>& uv)
{
    CMorJson accessor = CMorJson::object();
    accessor["bufferView"] = addView(uv.data(), uv.size() * sizeof(float), ARRAY_BUFFER);
    accessor["componentType"] = FLOAT;
    accessor["count"] = uv.size() / 2;
    accessor["type"] = "VEC2";
    return add("accessors", accessor);
}

int CMorGltfDocument::addIndices(const std::vector<uint32_t>& indices)
{
    CMorJson accessor = CMorJson::object();
    const uint32_t largest = indices.empty() ? 0 : *std::max_element(indices.begin(), indices.end());
    if (largest < 65535) {
        std::vector<uint16_t> shorts(indices.begin(), indices.end());
        accessor["bufferView"] = addView(shorts.data(), shorts.size() * sizeof(uint16_t), ELEMENT_ARRAY_BUFFER);
        accessor["componentType"] = UNSIGNED_SHORT;
    } else {
        accessor["bufferView"] = addView(indices.data(), indices.size() * sizeof(uint32_t), ELEMENT_ARRAY_BUFFER);
        accessor["componentType"] = UNSIGNED_INT;
    }
    accessor["count"] = indices.size();
    accessor["type"] = "SCALAR";
    return add("accessors", accessor);
}

int CMorGltfDocument::addImage(const std::vector<unsigned char>& bytes, const std::string& mimeType,
                               const std::string& name)
{
    CMorJson image = CMorJson::object();
    image["name"] = name;
    image["bufferView"] = addView(bytes.data(), bytes.size(), 0);
    image["mimeType"] = mimeType;
    return add("images", image);
}

std::string CMorGltfDocument::finalJson(const std::string& uri) const
{
    CMorJson json = m_json;
    CMorJson buffer = CMorJson::object();
    buffer["byteLength"] = m_buffer.size();
    if (!uri.empty())
        buffer["uri"] = uri;
    json["buffers"] = CMorJson::array();
    json["buffers"].push(buffer);
    for (const std::string& name : m_used)
        json["extensionsUsed"].push(name);
    for (const std::string& name : m_required)
        json["extensionsRequired"].push(name);
    return json.dump();
}

std::vector<unsigned char> CMorGltfDocument::toGlb() const
{
    std::string json = finalJson("");
    while (json.size() % 4 != 0)
        json += ' ';
    const size_t binary = (m_buffer.size() + 3) / 4 * 4;
    std::vector<unsigned char> out;
    out.reserve(12 + 8 + json.size() + 8 + binary);
    putUint32(out, 0x46546C67); // "glTF"
    putUint32(out, 2);
    putUint32(out, static_cast<uint32_t>(12 + 8 + json.size() + 8 + binary));
    putUint32(out, static_cast<uint32_t>(json.size()));
    putUint32(out, 0x4E4F534A); // "JSON"
    out.insert(out.end(), json.begin(), json.end());
    putUint32(out, static_cast<uint32_t>(binary));
    putUint32(out, 0x004E4942); // "BIN"
    out.insert(out.end(), m_buffer.begin(), m_buffer.end());
    out.resize(out.size() + binary - m_buffer.size(), 0);
    return out;
}

std::string CMorGltfDocument::toGltf() const
{
    return finalJson("data:application/octet-stream;base64," + encodeBase64(m_buffer.data(), m_buffer.size()));
}

std::string CMorGltfDocument::encodeBase64(const unsigned char* data, size_t size)
{
    static const char DIGITS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        const uint32_t a = data[i];
        const uint32_t b = i + 1 < size ? data[i + 1] : 0;
        const uint32_t c = i + 2 < size ? data[i + 2] : 0;
        const uint32_t bits = a << 16 | b << 8 | c;
        out += DIGITS[bits >> 18 & 63];
        out += DIGITS[bits >> 12 & 63];
        out += i + 1 < size ? DIGITS[bits >> 6 & 63] : '=';
        out += i + 2 < size ? DIGITS[bits & 63] : '=';
    }
    return out;
}
