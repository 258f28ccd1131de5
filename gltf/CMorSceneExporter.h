// The 3-D export of an open diagram: binary glTF (.glb), glTF JSON with its
// buffer embedded (.gltf) or a self-contained web page (.html), chosen by the
// file's extension. What the diagram shows is gathered first, where the
// diagram lives; building and writing the file may then run on any thread.
// The file is replaced whole or not at all.
#pragma once

#include "CFenceDescription.h"
#include "CMorExportScene.h"
#include "CMorGltfBuilder.h"

#include <cstdint>
#include <string>

class CFenceDiagram;

class CMorSceneExporter
{
public:
    enum Format { FORMAT_NONE, FORMAT_GLB, FORMAT_GLTF, FORMAT_HTML };

    // By the extension, in any letter case; FORMAT_NONE for any other.
    static Format formatOf(const std::string& path);
    // The texture limits the command line and the viewer accept.
    static constexpr int SMALLEST_TEXTURE_LIMIT = 16;
    static constexpr int LARGEST_TEXTURE_LIMIT = 16384;

    void setTextureLimit(int pixels) { m_builder.setTextureLimit(pixels); }
    // Told while write runs, from its thread.
    void setProgress(CMorGltfBuilder::Progress progress) { m_builder.setProgress(std::move(progress)); }
    void setLog(CMorGltfBuilder::Log log);

    // Takes what the diagram (borrowed, loaded from descriptionPath) and the
    // view (its options) show now.
    void gather(const CFenceDiagram& diagram, const std::string& descriptionPath,
                const CFenceDescription::Options& view);
    const CMorExportScene& getScene() const { return m_scene; }

    // Builds the export of what was gathered and writes it to path; false
    // with getErrorMessage, the old file untouched. Logs the file's size.
    bool write(const std::string& path);
    const std::string& getErrorMessage() const { return m_error; }
    // Bytes written by the last write.
    uint64_t getFileSize() const { return m_size; }

    // "1.5 MB (1534123 bytes)".
    static std::string describeSize(uint64_t bytes);

private:
    CMorExportScene m_scene;
    CMorGltfBuilder m_builder;
    CMorGltfBuilder::Log m_log;
    std::string m_error;
    uint64_t m_size = 0;
};
