// Building the glTF asset of a diagram.
#include "CMorGltfBuilder.h"

#include "CMorExportPicture.h"
#include "CMorTextAtlas.h"
#include "CMorTexturePieces.h"
#include "CZelPngWriter.h"

#include <cmath>
#include <map>

const char* const CMorGltfBuilder::ROOT_NAME = "Morvex diagram";

namespace {

constexpr int TRIANGLES = 4;
constexpr int LINES = 1;
constexpr int LINEAR = 9729;
constexpr int LINEAR_MIPMAP_LINEAR = 9987;
constexpr int CLAMP_TO_EDGE = 33071;
const char* const UNLIT = "KHR_materials_unlit";

// Material colours are linear; the diagram's are as the screen shows them.
double linear(float c)
{
    return c <= 0.04045f ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

CMorJson vector(const CZelVec3d& v)
{
    return CMorJson::numbers({v.x(), v.y(), v.z()});
}

void put(std::vector<float>& out, const CZelVec3d& p)
{
    out.push_back(static_cast<float>(p.x()));
    out.push_back(static_cast<float>(p.y()));
    out.push_back(static_cast<float>(p.z()));
}

// The rotation that turns a camera's -z towards forward with y up, as a
// quaternion x, y, z, w.
std::vector<double> lookRotation(CZelVec3d forward)
{
    if (!forward.normalize())
        return {0.0, 0.0, 0.0, 1.0};
    CZelVec3d side = CZelVec3d::cross(forward, CZelVec3d(0.0, 1.0, 0.0));
    if (!side.normalize())
        side.setComponents(1.0, 0.0, 0.0);
    const CZelVec3d up = CZelVec3d::cross(side, forward);
    // Columns: side, up, -forward.
    const double m[3][3] = {{side.x(), up.x(), -forward.x()},
                            {side.y(), up.y(), -forward.y()},
                            {side.z(), up.z(), -forward.z()}};
    const double trace = m[0][0] + m[1][1] + m[2][2];
    double x, y, z, w;
    if (trace > 0.0) {
        const double s = 0.5 / std::sqrt(trace + 1.0);
        w = 0.25 / s;
        x = (m[2][1] - m[1][2]) * s;
        y = (m[0][2] - m[2][0]) * s;
        z = (m[1][0] - m[0][1]) * s;
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        const double s = 2.0 * std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]);
        w = (m[2][1] - m[1][2]) / s;
        x = 0.25 * s;
        y = (m[0][1] + m[1][0]) / s;
        z = (m[0][2] + m[2][0]) / s;
    } else if (m[1][1] > m[2][2]) {
        const double s = 2.0 * std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]);
        w = (m[0][2] - m[2][0]) / s;
        x = (m[0][1] + m[1][0]) / s;
        y = 0.25 * s;
        z = (m[1][2] + m[2][1]) / s;
    } else {
        const double s = 2.0 * std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]);
        w = (m[1][0] - m[0][1]) / s;
        x = (m[0][2] + m[2][0]) / s;
        y = (m[1][2] + m[2][1]) / s;
        z = 0.25 * s;
    }
    const double norm = std::sqrt(x * x + y * y + z * z + w * w);
    return {x / norm, y / norm, z / norm, w / norm};
}

CMorJson primitive(int positions, int uv, int indices, int material, int mode)
{
    CMorJson p = CMorJson::object();
    p["attributes"]["POSITION"] = positions;
    if (uv >= 0)
        p["attributes"]["TEXCOORD_0"] = uv;
    if (indices >= 0)
        p["indices"] = indices;
    p["material"] = material;
    p["mode"] = mode;
    return p;
}

} // namespace

void CMorGltfBuilder::step()
{
    if (m_progress)
        m_progress(m_done, m_total);
    ++m_done;
}

void CMorGltfBuilder::log(const std::string& line)
{
    if (m_log)
        m_log(line);
}

int CMorGltfBuilder::material(CMorGltfDocument& document, const std::string& name, const float color[3],
                              int texture, const char* alphaMode, bool lit)
{
    CMorJson m = CMorJson::object();
    m["name"] = name;
    CMorJson& pbr = m["pbrMetallicRoughness"];
    pbr["baseColorFactor"] = CMorJson::numbers({linear(color[0]), linear(color[1]), linear(color[2]), 1.0});
    if (texture >= 0)
        pbr["baseColorTexture"]["index"] = texture;
    pbr["metallicFactor"] = 0.0;
    pbr["roughnessFactor"] = 1.0;
    m["alphaMode"] = alphaMode;
    if (std::string(alphaMode) == "MASK")
        m["alphaCutoff"] = 0.5;
    m["doubleSided"] = true;
    if (!lit) {
        m["extensions"][UNLIT] = CMorJson::object();
        document.useExtension(UNLIT);
    }
    return document.add("materials", m);
}

int CMorGltfBuilder::texture(CMorGltfDocument& document, int image)
{
    if (m_sampler < 0) {
        CMorJson sampler = CMorJson::object();
        sampler["magFilter"] = LINEAR;
        sampler["minFilter"] = LINEAR_MIPMAP_LINEAR;
        sampler["wrapS"] = CLAMP_TO_EDGE;
        sampler["wrapT"] = CLAMP_TO_EDGE;
        m_sampler = document.add("samplers", sampler);
    }
    CMorJson t = CMorJson::object();
    t["source"] = image;
    t["sampler"] = m_sampler;
    ++m_textures;
    return document.add("textures", t);
}

void CMorGltfBuilder::pieceMesh(const std::vector<CZelVec3d>& line, double panelHeight, int width, int height,
                                int x0, int x1, int y0, int y1, std::vector<float>& positions, std::vector<float>& uv,
                                std::vector<uint32_t>& indices)
{
    std::vector<double> at{0.0};
    for (size_t k = 0; k + 1 < line.size(); ++k)
        at.push_back(at.back() + (line[k + 1] - line[k]).length());
    const double length = at.back();
    if (!(length > 0.0) || width <= 0 || height <= 0)
        return;
    const double s0 = length * x0 / width, s1 = length * x1 / width;
    const double top = panelHeight * y0 / height, bottom = panelHeight * y1 / height;
    // The piece's ends and every vertex of the line between them.
    std::vector<double> stops{s0};
    for (size_t k = 1; k + 1 < line.size(); ++k)
        if (at[k] > s0 && at[k] < s1)
            stops.push_back(at[k]);
    stops.push_back(s1);
    size_t segment = 0;
    for (const double s : stops) {
        while (segment + 2 < line.size() && (at[segment + 1] < s || !(at[segment + 1] > at[segment])))
            ++segment;
        const double span = at[segment + 1] - at[segment];
        const double f = span > 0.0 ? std::min(1.0, std::max(0.0, (s - at[segment]) / span)) : 0.0;
        const CZelVec3d p = line[segment] + (line[segment + 1] - line[segment]) * f;
        const float u = static_cast<float>((s - s0) / (s1 - s0));
        put(positions, p - CZelVec3d(0.0, top, 0.0));
        put(positions, p - CZelVec3d(0.0, bottom, 0.0));
        uv.insert(uv.end(), {u, 0.0f, u, 1.0f});
    }
    for (uint32_t k = 0; k + 1 < stops.size(); ++k) {
        const uint32_t t0 = 2 * k, b0 = t0 + 1, t1 = t0 + 2, b1 = t0 + 3;
        indices.insert(indices.end(), {t0, b0, b1, t0, b1, t1});
    }
}

bool CMorGltfBuilder::addFence(CMorGltfDocument& document, const CMorExportScene& scene,
                               const CMorExportScene::Fence& fence, CMorJson& children)
{
    CMorExportPicture picture;
    CMorExportPicture::Options options;
    options.limit = m_textureLimit;
    options.removeWhite = scene.removeWhite;
    options.whiteTolerance = scene.whiteTolerance;
    options.crop = fence.hasCrop ? fence.crop : nullptr;
    std::string message, detail;
    const bool read = picture.read(fence.picture, options, message, detail);
    if (!detail.empty())
        log(detail);
    if (!read) {
        m_error = message;
        return false;
    }
    CMorTexturePieces pieces;
    if (!pieces.cut(picture.getPixels(), picture.getWidth(), picture.getHeight(), m_error))
        return false;
    const int w = picture.getWidth(), h = picture.getHeight();
    std::string line = "3-D export: " + fence.name + ": " + std::to_string(w) + " x " + std::to_string(h) + " pixels";
    if (w != picture.getSourceWidth() || h != picture.getSourceHeight())
        line += " (reduced from " + std::to_string(picture.getSourceWidth()) + " x " +
                std::to_string(picture.getSourceHeight()) + ")";
    log(line + " in " + std::to_string(pieces.getPieces().size()) + " texture" +
        (pieces.getPieces().size() == 1 ? "" : "s"));

    CMorJson node = CMorJson::object();
    node["name"] = fence.name;
    int number = 0;
    const float white[3] = {1.0f, 1.0f, 1.0f};
    for (const CMorTexturePieces::Piece& piece : pieces.getPieces()) {
        const std::string name = fence.name + " piece " + std::to_string(++number);
        std::vector<float> positions, uv;
        std::vector<uint32_t> indices;
        pieceMesh(fence.line, fence.height, w, h, piece.x0, piece.x1, piece.y0, piece.y1, positions, uv, indices);
        if (indices.empty())
            continue;
        const int image = document.addImage(piece.bytes, piece.mimeType, name);
        const int m = material(document, name, white, texture(document, image),
                               piece.masked ? "MASK" : "OPAQUE", scene.lighting);
        CMorJson mesh = CMorJson::object();
        mesh["name"] = name;
        mesh["primitives"].push(primitive(document.addPositions(positions), document.addTextureCoordinates(uv),
                                          document.addIndices(indices), m, TRIANGLES));
        CMorJson pieceNode = CMorJson::object();
        pieceNode["name"] = name;
        pieceNode["mesh"] = document.add("meshes", mesh);
        ++m_meshes;
        node["children"].push(document.add("nodes", pieceNode));
    }
    children.push(document.add("nodes", node));
    return true;
}

void CMorGltfBuilder::addLines(CMorGltfDocument& document, const CMorExportScene::Lines& lines, CMorJson& children)
{
    if (lines.points.size() < 2)
        return;
    std::vector<float> positions;
    for (const CZelVec3d& p : lines.points)
        put(positions, p);
    CMorJson mesh = CMorJson::object();
    mesh["name"] = lines.name;
    const int m = material(document, lines.name, lines.color, -1, "OPAQUE", false);
    mesh["primitives"].push(primitive(document.addPositions(positions), -1, -1, m, LINES));
    CMorJson node = CMorJson::object();
    node["name"] = lines.name;
    node["mesh"] = document.add("meshes", mesh);
    ++m_meshes;
    children.push(document.add("nodes", node));
}

void CMorGltfBuilder::addLabels(CMorGltfDocument& document, const CMorExportScene& scene, CMorJson& children)
{
    if (scene.labels.empty())
        return;
    std::vector<std::string> texts;
    std::map<std::string, size_t> known;
    for (const CMorExportScene::Label& label : scene.labels)
        if (known.emplace(label.text, texts.size()).second)
            texts.push_back(label.text);
    CMorTextAtlas atlas;
    std::string error;
    const bool drawn = atlas.build(m_fontFile, texts, error);
    if (!drawn)
        log("3-D export: labels are nodes named after their texts without letters: " + error);
    // One quad per distinct text, shared by every label that shows it.
    std::vector<int> meshes(texts.size(), -1);
    if (drawn) {
        std::vector<unsigned char> png;
        CZelPngWriter writer;
        bool ok = writer.openMemory(png, atlas.getWidth(), atlas.getHeight(), 4);
        const size_t stride = static_cast<size_t>(atlas.getWidth()) * 4;
        for (int y = 0; ok && y < atlas.getHeight(); ++y)
            ok = writer.writeRow(&atlas.getPixels()[static_cast<size_t>(y) * stride]);
        if (ok && writer.close()) {
            const int atlasTexture = texture(document, document.addImage(png, "image/png", "Text"));
            const int m = material(document, "Text", scene.textColor, atlasTexture, "BLEND", false);
            const double unit = scene.textSize / CMorTextAtlas::PIXELS_PER_EM;
            for (size_t i = 0; i < texts.size(); ++i) {
                const CMorTextAtlas::Place& place = atlas.getPlace(i);
                if (place.width == 0)
                    continue;
                const float hw = static_cast<float>(0.5 * place.width * unit);
                const float hh = static_cast<float>(0.5 * place.height * unit);
                const float u0 = static_cast<float>(place.x) / atlas.getWidth();
                const float u1 = static_cast<float>(place.x + place.width) / atlas.getWidth();
                const float v0 = static_cast<float>(place.y) / atlas.getHeight();
                const float v1 = static_cast<float>(place.y + place.height) / atlas.getHeight();
                const std::vector<float> positions{-hw, -hh, 0, hw, -hh, 0, hw, hh, 0, -hw, hh, 0};
                const std::vector<float> uv{u0, v1, u1, v1, u1, v0, u0, v0};
                CMorJson mesh = CMorJson::object();
                mesh["name"] = texts[i];
                mesh["primitives"].push(primitive(document.addPositions(positions),
                                                  document.addTextureCoordinates(uv),
                                                  document.addIndices({0, 1, 2, 0, 2, 3}), m, TRIANGLES));
                meshes[i] = document.add("meshes", mesh);
                ++m_meshes;
            }
        } else {
            log("3-D export: labels are nodes named after their texts without letters: " + writer.getErrorMessage());
        }
    }
    CMorJson group = CMorJson::object();
    group["name"] = "Labels";
    for (const CMorExportScene::Label& label : scene.labels) {
        CMorJson node = CMorJson::object();
        node["name"] = label.text;
        node["translation"] = vector(label.position);
        // Upright text of its own proportions in the stretched diagram.
        node["scale"] = CMorJson::numbers({1.0, 1.0 / scene.exaggeration, 1.0});
        const int mesh = meshes[known[label.text]];
        if (mesh >= 0)
            node["mesh"] = mesh;
        // Viewers that can turn text towards the camera about the vertical do
        // so, as Morvex does.
        node["extras"]["label"] = label.axisNumber ? "axis" : "fence";
        node["extras"]["billboard"] = true;
        group["children"].push(document.add("nodes", node));
    }
    children.push(document.add("nodes", group));
}

int CMorGltfBuilder::addCamera(CMorGltfDocument& document, const CMorExportScene& scene)
{
    CMorJson camera = CMorJson::object();
    camera["name"] = "View";
    camera["type"] = "perspective";
    camera["perspective"]["yfov"] = scene.fieldOfView * M_PI / 180.0;
    camera["perspective"]["znear"] = scene.nearDistance;
    camera["perspective"]["zfar"] = scene.farDistance;
    CMorJson node = CMorJson::object();
    node["name"] = "View";
    node["camera"] = document.add("cameras", camera);
    node["translation"] = vector(scene.eye);
    node["rotation"] = CMorJson::numbers(lookRotation(scene.target - scene.eye));
    node["extras"]["target"] = vector(scene.target);
    return document.add("nodes", node);
}

bool CMorGltfBuilder::build(const CMorExportScene& scene, CMorGltfDocument& document)
{
    m_error.clear();
    m_done = m_textures = m_meshes = 0;
    m_sampler = -1;
    m_total = static_cast<int>(scene.fences.size()) + 1;
    CMorJson& asset = document.getJson()["asset"];
    asset["generator"] = "Morvex";
    CMorJson& extras = asset["extras"];
    extras["mapOrigin"] = CMorJson::numbers({scene.mapOrigin[0], scene.mapOrigin[1], scene.mapOrigin[2]});
    extras["crs"] = scene.crs;
    extras["verticalExaggeration"] = scene.exaggeration;
    extras["axes"] = "x east, y up, z south; units of the coordinate system";

    CMorJson children = CMorJson::array();
    for (const CMorExportScene::Fence& fence : scene.fences) {
        step();
        if (!fence.outline && !addFence(document, scene, fence, children))
            return false;
    }
    step();
    for (const CMorExportScene::Lines& lines : scene.lines)
        addLines(document, lines, children);
    addLabels(document, scene, children);

    CMorJson root = CMorJson::object();
    root["name"] = ROOT_NAME;
    root["translation"] = vector(scene.origin);
    root["scale"] = CMorJson::numbers({1.0, scene.exaggeration, 1.0});
    if (children.size() > 0)
        root["children"] = children;
    root["extras"]["diagram"] = true;
    CMorJson sceneJson = CMorJson::object();
    sceneJson["name"] = scene.title;
    sceneJson["nodes"].push(document.add("nodes", root));
    sceneJson["nodes"].push(addCamera(document, scene));
    document.getJson()["scene"] = document.add("scenes", sceneJson);
    if (m_progress)
        m_progress(m_total, m_total);
    return true;
}
