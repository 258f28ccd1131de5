// Turns the gathered content of a diagram into a glTF asset: every fence as
// textured meshes along its line, one per piece of its picture; outlines,
// bounding box and axes as line primitives; labels and axis numbers as small
// textured quads that name their nodes; the camera. The root node carries the
// local origin as its translation and the vertical exaggeration as its scale;
// the asset's extras tell the map origin and the coordinate system.
#pragma once

#include "CMorExportScene.h"
#include "CMorGltfDocument.h"

#include <functional>
#include <string>

class CMorGltfBuilder
{
public:
    // Told done of total steps before each step and once at the end.
    using Progress = std::function<void(int done, int total)>;
    // Told each line for the log (from the thread that builds).
    using Log = std::function<void(const std::string& line)>;

    static constexpr int DEFAULT_TEXTURE_LIMIT = 4096;
    static const char* const ROOT_NAME;

    // Caps the longer side of each fence's whole picture, in pixels.
    void setTextureLimit(int pixels) { m_textureLimit = pixels; }
    // The TrueType file the labels are drawn with; without one, label nodes
    // are made without quads.
    void setFontFile(const std::string& file) { m_fontFile = file; }
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    void setLog(Log log) { m_log = std::move(log); }

    // False with getErrorMessage when a picture cannot be read or encoded.
    bool build(const CMorExportScene& scene, CMorGltfDocument& document);
    const std::string& getErrorMessage() const { return m_error; }
    // Of the last build.
    int getTextureCount() const { return m_textures; }
    int getMeshCount() const { return m_meshes; }

    // The triangles of one piece of a fence: the picture's pixel columns
    // x0..x1 of width and rows y0..y1 of height spread over the line by its
    // length (3-D), hanging panelHeight below it. Positions x, y, z and
    // texture coordinates u, v (v down the piece) per vertex.
    static void pieceMesh(const std::vector<CZelVec3d>& line, double panelHeight, int width, int height, int x0,
                          int x1, int y0, int y1, std::vector<float>& positions, std::vector<float>& uv,
                          std::vector<uint32_t>& indices);

private:
    void step();
    void log(const std::string& line);
    int material(CMorGltfDocument& document, const std::string& name, const float color[3], int texture,
                 const char* alphaMode, bool lit);
    // A texture of the image, filtered smoothly and clamped at its edges.
    int texture(CMorGltfDocument& document, int image);
    bool addFence(CMorGltfDocument& document, const CMorExportScene& scene, const CMorExportScene::Fence& fence,
                  CMorJson& children);
    void addLines(CMorGltfDocument& document, const CMorExportScene::Lines& lines, CMorJson& children);
    void addLabels(CMorGltfDocument& document, const CMorExportScene& scene, CMorJson& children);
    int addCamera(CMorGltfDocument& document, const CMorExportScene& scene);

    int m_textureLimit = DEFAULT_TEXTURE_LIMIT;
    std::string m_fontFile;
    Progress m_progress;
    Log m_log;
    std::string m_error;
    int m_done = 0;
    int m_total = 0;
    int m_textures = 0;
    int m_meshes = 0;
    int m_sampler = -1;
};
