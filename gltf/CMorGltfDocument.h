// A glTF 2.0 asset being built: its JSON and the one binary buffer that all
// accessors and images point into, written as binary glTF (.glb) or as JSON
// with the buffer embedded as a data URI (.gltf).
#pragma once

#include "CMorJson.h"

#include <cstdint>
#include <string>
#include <vector>

class CMorGltfDocument
{
public:
    CMorGltfDocument();

    // The whole JSON, for what the helpers below do not cover.
    CMorJson& getJson() { return m_json; }
    // Appends item to the top-level array name; returns its index there.
    int add(const std::string& name, CMorJson item);
    // Names an extension as used (and, when required, as required).
    void useExtension(const std::string& name, bool required = false);

    // Accessors over new buffer views: float positions (x, y, z; with
    // their bounds), texture coordinates (u, v) and triangle or line indices.
    int addPositions(const std::vector<float>& xyz);
    int addTextureCoordinates(const std::vector<float>& uv);
    int addIndices(const std::vector<uint32_t>& indices);
    // An image stored in the buffer; returns its index.
    int addImage(const std::vector<unsigned char>& bytes, const std::string& mimeType, const std::string& name);

    const std::vector<unsigned char>& getBuffer() const { return m_buffer; }

    // Binary glTF: header, JSON chunk and binary chunk.
    std::vector<unsigned char> toGlb() const;
    // JSON glTF with the buffer as a base64 data URI.
    std::string toGltf() const;

    static std::string encodeBase64(const unsigned char* data, size_t size);

private:
    int addView(const void* data, size_t size, int target);
    // The JSON with the buffer's length and, when given, its URI.
    std::string finalJson(const std::string& uri) const;

    CMorJson m_json;
    std::vector<unsigned char> m_buffer;
    std::vector<std::string> m_used;
    std::vector<std::string> m_required;
};
