// Writing the web page of a 3-D export.
#include "CMorPageWriter.h"

#include "CMorGltfDocument.h"
#include "CMorJson.h"
#include "CMorWebViewer.h"
#include "CZelPngWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

std::string cssColor(const float c[3])
{
    char text[40];
    std::snprintf(text, sizeof text, "rgb(%d,%d,%d)", static_cast<int>(std::lround(c[0] * 255.0f)),
                  static_cast<int>(std::lround(c[1] * 255.0f)), static_cast<int>(std::lround(c[2] * 255.0f)));
    return text;
}

std::string escapeHtml(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

// A script element must not meet its end tag inside its text.
std::string escapeScript(std::string text)
{
    for (size_t at = text.find("</"); at != std::string::npos; at = text.find("</", at + 3))
        text.replace(at, 2, "<\\/");
    return text;
}

// The legend as a PNG (the image is stored bottom row first).
bool legendPng(const CZelImage* legend, std::vector<unsigned char>& png, std::string& error)
{
    const int width = legend->getWidth(), height = legend->getHeight(), channels = legend->getChannels();
    CZelPngWriter writer;
    bool ok = writer.openMemory(png, width, height, channels);
    for (int y = height - 1; ok && y >= 0; --y)
        ok = writer.writeRow(legend->getPixels() + static_cast<size_t>(y) * static_cast<size_t>(width) * channels);
    ok = ok && writer.close();
    if (!ok)
        error = writer.getErrorMessage();
    return ok;
}

std::string legendStyle(const CFenceDescription::Legend& place)
{
    std::string style = "width:" + std::to_string(place.size * 100.0) + "vw;";
    if (place.positionX == 1)
        style += "left:50%;transform:translateX(-50%);";
    else
        style += std::string(place.positionX == 2 ? "right:" : "left:") + std::to_string(place.marginX) + "px;";
    style += std::string(place.top ? "top:" : "bottom:") + std::to_string(place.marginY) + "px;";
    return style;
}

} // namespace

const char* const CMorPageWriter::MISSING_VIEWER =
    "This Morvex was built without the web page viewer (npm was missing when it was built): "
    "export as .glb or .gltf instead.";

bool CMorPageWriter::isAvailable()
{
    return !CMorWebViewer::getScript().empty();
}

std::string CMorPageWriter::settings(const CMorExportScene& scene)
{
    CMorJson json = CMorJson::object();
    const CZelVec3d eye = scene.eye - scene.origin, target = scene.target - scene.origin;
    json["camera"]["eye"] = CMorJson::numbers({eye.x(), eye.y(), eye.z()});
    json["camera"]["target"] = CMorJson::numbers({target.x(), target.y(), target.z()});
    json["camera"]["fieldOfView"] = scene.fieldOfView;
    json["camera"]["near"] = scene.nearDistance;
    json["camera"]["far"] = scene.farDistance;
    json["mapOrigin"] = CMorJson::numbers({scene.mapOrigin[0], scene.mapOrigin[1], scene.mapOrigin[2]});
    json["exaggeration"] = scene.exaggeration;
    json["crs"] = scene.crs;
    json["lighting"] = scene.lighting;
    json["lightDirection"] = scene.lightDirection;
    // Coordinates to about a ten-thousandth of the diagram's size.
    double size = 0.0;
    for (const CMorExportScene::Fence& fence : scene.fences)
        for (const CZelVec3d& p : fence.line)
            size = std::max({size, std::fabs(p.x()), std::fabs(p.z())});
    const int decimals = size > 0.0 ? static_cast<int>(4.0 - std::floor(std::log10(2.0 * size))) : 2;
    json["decimals"] = std::max(0, std::min(8, decimals));
    return json.dump();
}

bool CMorPageWriter::write(const CMorExportScene& scene, const std::vector<unsigned char>& glb, std::string& page,
                           std::string& error)
{
    const std::string script = CMorWebViewer::getScript();
    if (script.empty()) {
        error = MISSING_VIEWER;
        return false;
    }
    const std::string background =
        scene.background == 1 ? "linear-gradient(to bottom," + cssColor(scene.upperColor) + "," +
                                    cssColor(scene.lowerColor) + ")"
                              : cssColor(scene.solidColor);
    page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
           "script-src 'unsafe-inline'; style-src 'unsafe-inline'; img-src data: blob:; "
           "connect-src data: blob:\">\n"
           "<meta name=\"generator\" content=\"Morvex\">\n<title>" +
           escapeHtml(scene.title) +
           " - Morvex</title>\n<style>\n"
           "html,body{margin:0;height:100%;overflow:hidden;font:13px sans-serif}\n"
           "body{background:" +
           background +
           "}\n#view{display:block;width:100vw;height:100vh;touch-action:none}\n"
           "#legend{position:absolute;pointer-events:none}\n"
           "#status,#coordinates{position:absolute;left:8px;bottom:6px;color:#333;"
           "background:rgba(255,255,255,0.7);padding:1px 4px}\n#coordinates:empty,#status:empty{display:none}\n"
           "</style>\n</head>\n<body>\n<canvas id=\"view\"></canvas>\n";
    if (scene.legend) {
        std::vector<unsigned char> png;
        if (!legendPng(scene.legend, png, error))
            return false;
        page += "<img id=\"legend\" alt=\"Legend\" style=\"" + legendStyle(scene.legendPlace) +
                "\" src=\"data:image/png;base64," + CMorGltfDocument::encodeBase64(png.data(), png.size()) + "\">\n";
    }
    page += "<div id=\"status\">Loading the diagram...</div>\n<div id=\"coordinates\"></div>\n"
            "<script type=\"application/json\" id=\"morvex-settings\">" +
            settings(scene) + "</script>\n<script type=\"application/octet-stream\" id=\"morvex-model\">\n";
    const std::string model = CMorGltfDocument::encodeBase64(glb.data(), glb.size());
    // Lines of base64 keep the page's text readable in an editor.
    for (size_t at = 0; at < model.size(); at += 76)
        page.append(model, at, 76).append("\n");
    page += "</script>\n<script>\n" + escapeScript(script) + "\n</script>\n</body>\n</html>\n";
    return true;
}
