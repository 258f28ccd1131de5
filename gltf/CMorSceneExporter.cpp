// Writing a 3-D export.
#include "CMorSceneExporter.h"

#include "CMorFontLookup.h"
#include "CMorPageWriter.h"
#include "CMorSafeFile.h"

#include <cctype>
#include <cstdio>

CMorSceneExporter::Format CMorSceneExporter::formatOf(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return FORMAT_NONE;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "glb")
        return FORMAT_GLB;
    if (extension == "gltf")
        return FORMAT_GLTF;
    if (extension == "html" || extension == "htm")
        return FORMAT_HTML;
    return FORMAT_NONE;
}

void CMorSceneExporter::setLog(CMorGltfBuilder::Log log)
{
    m_log = log;
    m_builder.setLog(std::move(log));
}

void CMorSceneExporter::gather(const CFenceDiagram& diagram, const std::string& descriptionPath,
                               const CFenceDescription::Options& view)
{
    m_scene.gather(diagram, descriptionPath, view);
    // Looked up here: the lookup is shared by the whole program.
    m_builder.setFontFile(CMorFontLookup::getInstance().getLabelFontFile());
}

std::string CMorSceneExporter::describeSize(uint64_t bytes)
{
    char text[64];
    if (bytes >= 1000000)
        std::snprintf(text, sizeof text, "%.1f MB (%llu bytes)", bytes / 1e6, static_cast<unsigned long long>(bytes));
    else if (bytes >= 1000)
        std::snprintf(text, sizeof text, "%.1f kB (%llu bytes)", bytes / 1e3, static_cast<unsigned long long>(bytes));
    else
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    return text;
}

bool CMorSceneExporter::write(const std::string& path)
{
    m_error.clear();
    m_size = 0;
    const Format format = formatOf(path);
    if (format == FORMAT_NONE) {
        m_error = "Cannot tell the 3-D format of " + path + ": name the file .glb, .gltf or .html.";
        return false;
    }
    if (format == FORMAT_HTML && !CMorPageWriter::isAvailable()) {
        m_error = CMorPageWriter::MISSING_VIEWER;
        return false;
    }
    CMorGltfDocument document;
    if (!m_builder.build(m_scene, document)) {
        m_error = m_builder.getErrorMessage();
        return false;
    }
    std::string content;
    if (format == FORMAT_GLTF) {
        content = document.toGltf();
    } else {
        const std::vector<unsigned char> glb = document.toGlb();
        if (format == FORMAT_GLB)
            content.assign(glb.begin(), glb.end());
        else if (!CMorPageWriter::write(m_scene, glb, content, m_error))
            return false;
    }
    if (!CMorSafeFile::write(path, content, m_error))
        return false;
    m_size = content.size();
    if (m_log)
        m_log("Exported the diagram in 3-D to " + path + ": " + describeSize(m_size) + ", " +
              std::to_string(m_builder.getMeshCount()) + " meshes, " + std::to_string(m_builder.getTextureCount()) +
              " textures");
    return true;
}
