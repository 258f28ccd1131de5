// Building, laying out and saving a fence diagram.
#include "CFenceDiagram.h"

#include "CFence.h"
#include "CFenceImageReader.h"
#include "CMorFontLookup.h"
#include "CMorSafeFile.h"
#include "CZelFileImage.h"
#include "CZelBillboard.h"
#include "CZelIndex.h"
#include "CZelLine3d.h"
#include "CZelScaleIndicator.h"
#include "CZelTemporaries.h"
#include "fenceFiles.h"

#include <algorithm>
#include <cmath>
#include <iostream>

CFenceDiagram::CFenceDiagram()
{
    m_labelGroup = new CZelComposite();
    m_font = new CZelPolygonalFont(CMorFontLookup::getInstance().getLabelFontFile());
    m_font->setSize(1.0);
    m_axisGroup = new CZelComposite();
    m_boundingBoxMaterial = new CZelMaterial();
    m_boundingBoxMaterial->setDiffuseColor(0.0f, 0.0f, 0.0f, 1.0f);
    m_textMaterial = new CZelMaterial();
    m_textMaterial->setDiffuseColor(0.0f, 0.0f, 0.0f, 1.0f);
    m_fenceLighting = new CZelLightingState();
    m_fenceLighting->setLighting(false);
    m_legend.size = 0.5;
    m_legend.marginX = 10;
    m_legend.marginY = 10;
}

void CFenceDiagram::setCamera(CZelCamera* camera)
{
    m_camera = camera;
}

CZelVec3d& CFenceDiagram::relative(double x, double y, double z) const
{
    CZelVec3d& v = getTempVec3d();
    v.setComponents(x - m_origin.x(), y - m_origin.y(), z - m_origin.z());
    return v;
}

void CFenceDiagram::clearContent()
{
    for (int k = 0; k < 3; ++k) {
        m_min[k] = 1e300;
        m_max[k] = -1e300;
    }
    m_greatestHeight = -1e300;
    clear();
    m_labelGroup->clear();
    m_axisGroup->clear();
    m_boundingBox = nullptr;
    m_descriptions.clear();
    m_imageTokens.clear();
    m_labelEnds.clear();
    m_fencePoints.clear();
    m_labelTexts.clear();
    m_labelBaseElevations.clear();
    m_legendImage = nullptr;
    m_fenceCount = 0;
}

namespace {

// The middle of the values, 0 for none.
double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    const size_t half = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + half, values.end());
    if (values.size() % 2 == 1)
        return values[half];
    return (values[half] + *std::max_element(values.begin(), values.begin() + half)) / 2.0;
}

// Fence tiles are 2 to this power pixels square.
constexpr int TILE_EXPONENT = 7;

// How high the outline of a fence of this length stands: as high as a
// picture of the proportions (height / width) the others have, or a quarter
// of its length when no picture loaded. A height stated in the description
// itself would come before either.
double outlineHeight(double length, double pictureRatio)
{
    return length * (pictureRatio > 0.0 ? pictureRatio : 0.25);
}

} // namespace

std::string CFenceDiagram::describeMissing(const MissingPicture& picture)
{
    if (picture.fence < 0)
        return "Legend picture " + picture.path + " is missing; the diagram is shown without its legend.";
    return "Picture " + picture.path + " is missing; fence " + std::to_string(picture.fence + 1) +
           " is drawn as an outline.";
}

bool CFenceDiagram::takeImage(CFenceImageReader& reader, CZelPointer<CZelImage>& image)
{
    std::string detail;
    image = reader.takeNext(m_errorMessage, detail);
    if (!detail.empty())
        std::cout << detail << std::endl;
    return image != nullptr;
}

bool CFenceDiagram::takeTiles(CFenceImageReader& reader, CZelPointer<CZelTiledPicture>& picture)
{
    std::string detail;
    picture = reader.takeNextTiles(m_errorMessage, detail);
    if (!detail.empty())
        std::cout << detail << std::endl;
    return picture != nullptr;
}

bool CFenceDiagram::load(const std::string& path)
{
    std::string directory, fileName;
    splitPath(path, directory, fileName);
    m_errorMessage.clear();
    clearContent();

    CFenceDescription description;
    if (!description.read(path, m_errorMessage))
        return false;

    // Every picture is looked for before any is decoded, so that the user is
    // asked about all missing ones at once, and before waiting for the rest.
    std::vector<std::string> sections;
    std::vector<MissingPicture> missing;
    for (const CFenceDescription::Fence& record : description.fences) {
        sections.push_back(resolveImagePath(directory, record.imageToken));
        if (!fileExists(sections.back()))
            missing.push_back({sections.back(), static_cast<int>(sections.size()) - 1});
    }
    const std::string legendPath = description.hasLegend ? resolveImagePath(directory, description.legend.token) : "";
    const bool hasLegendPicture = description.hasLegend && fileExists(legendPath);
    if (description.hasLegend && !hasLegendPicture)
        missing.push_back({legendPath, -1});
    if (!missing.empty()) {
        if (!m_missingPictures || !m_missingPictures(missing)) {
            m_errorMessage = "File " + missing.front().path + " not found.";
            return false;
        }
        for (const MissingPicture& picture : missing)
            std::cout << describeMissing(picture) << std::endl;
    }

    // The pictures are decoded on two other threads while the fences before
    // them are cut and built here.
    std::vector<bool> present(sections.size(), true);
    for (const MissingPicture& picture : missing)
        if (picture.fence >= 0)
            present[static_cast<size_t>(picture.fence)] = false;
    std::vector<std::string> pictures;
    for (size_t i = 0; i < sections.size(); ++i)
        if (present[i])
            pictures.push_back(sections[i]);
    if (hasLegendPicture)
        pictures.push_back(legendPath);
    // Sections are cut into tiles as they are read, never held whole.
    const size_t sectionCount = pictures.size() - (hasLegendPicture ? 1 : 0);
    CFenceImageReader reader(pictures, 2, 2, sectionCount, 1 << TILE_EXPONENT);

    const CFenceDescription::Point& first = description.fences.front().points.front();
    m_origin.setComponents(std::round(first.x), std::round(first.z), std::round(first.y));

    std::vector<double> pictureRatios;
    std::vector<CFence*> outlines;
    for (size_t f = 0; f < description.fences.size(); ++f) {
        const CFenceDescription::Fence& record = description.fences[f];
        CZelPointer<CZelLine3d> line(new CZelLine3d());
        line->setSize(static_cast<int>(record.points.size()));
        for (size_t i = 0; i < record.points.size(); ++i) {
            const CFenceDescription::Point& p = record.points[i];
            std::cout << p.x << ", " << p.y << ", " << p.z << std::endl;
            *line->getPoint(static_cast<int>(i)) = relative(p.x, p.z, p.y);
            const double scene[3] = {p.x, p.z, p.y};
            for (int k = 0; k < 3; ++k) {
                m_min[k] = std::min(m_min[k], scene[k]);
                m_max[k] = std::max(m_max[k], scene[k]);
            }
        }
        m_imageTokens.push_back(record.imageToken);
        if (present[f]) {
            CZelPointer<CZelTiledPicture> picture;
            if (!takeTiles(reader, picture)) {
                clearContent();
                return false;
            }
            pictureRatios.push_back(static_cast<double>(picture->getSourceHeight()) / picture->getSourceWidth());
            addFence(line, picture);
        } else {
            outlines.push_back(addOutline(line));
        }
        m_fencePoints.push_back(record.points);
        m_descriptions.push_back(record.description);
        m_labelEnds.push_back(record.labelEnd);
        std::cout << "description = " << record.description << std::endl;
        const CFenceDescription::Point& anchor = record.labelEnd == 0 ? record.points.front() : record.points.back();
        addLabel(record.description, relative(anchor.x, anchor.z, anchor.y));
        ++m_fenceCount;
    }

    if (hasLegendPicture && !takeImage(reader, m_legendImage)) {
        clearContent();
        return false;
    }
    // Kept without its picture too, so that saving writes it back.
    if (description.hasLegend)
        m_legend = description.legend;

    // The outlines' heights need every picture's proportions, so they are
    // known only now; the bounds and the camera below include them.
    const double ratio = median(pictureRatios);
    for (CFence* outline : outlines) {
        outline->makeOutline(outlineHeight(outline->getLine()->getLength(), ratio));
        m_greatestHeight = std::max(m_greatestHeight, outline->getHeight());
    }
    finish();

    if (m_camera) {
        m_camera->setRenderOrigin(m_origin.x(), m_origin.y(), m_origin.z());
        const double* position = description.cameraPosition;
        const double* target = description.cameraTarget;
        if (position[0] == target[0] && position[1] == target[1] && position[2] == target[2]) {
            placeCamera(m_camera);
        } else {
            std::cout << "Positioning using values from file." << std::endl;
            m_camera->setPosition(position[0], position[1], position[2]);
            m_camera->setTarget(target[0], target[1], target[2]);
            m_camera->setPerspective(description.cameraPerspective[0], description.cameraPerspective[1],
                                     description.cameraPerspective[2]);
        }
    }
    return true;
}

void CFenceDiagram::addFence(CZelLine3d* line, CZelPointer<CZelTiledPicture>& picture)
{
    CFence* fence = new CFence();
    fence->setTextureSizeExponent(TILE_EXPONENT);
    fence->setLine(line);
    fence->setTiles(picture);
    fence->setRenderState(m_fenceLighting);
    fence->setWhiteTolerance(m_whiteTolerance);
    // The diagram never rebuilds a fence: only GL needs the tiles from here
    // on, and each lets go of its pixels once GL holds them.
    picture = nullptr;
    fence->releaseImages();
    addChild(fence);
    m_greatestHeight = std::max(m_greatestHeight, fence->getHeight());
    if (m_fenceBuilt)
        m_fenceBuilt(fence);
}

CFence* CFenceDiagram::addOutline(CZelLine3d* line)
{
    CFence* fence = new CFence();
    fence->setLine(line);
    fence->makeOutline(0.0);
    addChild(fence);
    return fence;
}

void CFenceDiagram::centreLabel(CZelText* text)
{
    double w = 0.0, h = 0.0, d = 0.0;
    text->getSize(w, h, d);
    text->setPosition(-w / 2.0, -h / 2.0, 0.0);
}

void CFenceDiagram::addLabel(const std::string& description, const CZelVec3d& anchor)
{
    CZelText* text = new CZelText();
    text->setFont(m_font);
    text->setText(description);
    text->setMaterial(m_textMaterial);
    centreLabel(text);
    m_labelTexts.emplace_back(text);

    CZelBillboard* billboard = new CZelBillboard();
    billboard->addChild(text);
    billboard->setView(m_camera);
    billboard->setPosition(anchor);
    m_labelGroup->addChild(billboard);
}

void CFenceDiagram::finish()
{
    for (int k = 0; k < 3; ++k)
        m_centre[k] = (m_min[k] + m_max[k]) / 2.0;
    m_extentX = m_max[0] - m_min[0];
    m_extentZ = m_max[2] - m_min[2];
    m_size = m_extentZ >= m_extentX ? m_extentZ : m_extentX;
    const double H = std::max(m_greatestHeight, 0.0);
    // Fences that all stand on one spot still need a scale for text and camera.
    if (!(m_size > 0.0))
        m_size = std::max({m_max[1] - m_min[1] + H, 1.0});
    const double S = m_size;
    const double m = m_relativeMargin;

    CZelLightingState* boxLighting = new CZelLightingState();
    boxLighting->setLighting(false);
    m_boundingBox = new CZelLineSet();
    m_boundingBox->setLineWidth(static_cast<float>(m_lineWidth));
    const double bottom = m_min[1] - H;
    const double top = m_max[1];
    const double corners[8][3] = {{m_min[0], bottom, m_min[2]}, {m_max[0], bottom, m_min[2]},
                                  {m_max[0], top, m_min[2]},    {m_min[0], top, m_min[2]},
                                  {m_min[0], bottom, m_max[2]}, {m_max[0], bottom, m_max[2]},
                                  {m_max[0], top, m_max[2]},    {m_min[0], top, m_max[2]}};
    for (const auto& c : corners) {
        const CZelVec3d& r = relative(c[0], c[1], c[2]);
        m_boundingBox->addCoord(r.x(), r.y(), r.z());
    }
    CZelIndex* edges = new CZelIndex();
    const int32_t pairs[24] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 3, 4, 7, 1, 2, 5, 6, 0, 4, 1, 5, 2, 6, 3, 7};
    edges->add(pairs, 24);
    m_boundingBox->addCoordIndex(edges);
    m_boundingBox->setRenderState(boxLighting);
    m_boundingBox->setMaterial(m_boundingBoxMaterial);

    addChild(m_boundingBox);
    addChild(m_labelGroup);
    addChild(m_axisGroup);

    const double front = m_min[2] - 0.05 * S;
    const double side = m_min[0] - 0.05 * S;
    const double axes[3][6] = {{m_min[0], m_min[1], front, m_max[0], m_min[1], front},
                               {side, m_max[1], front, side, bottom, front},
                               {side, m_min[1], m_min[2], side, m_min[1], m_max[2]}};
    const double across[3] = {S * m, -(S * m), -(S * m)};
    for (int k = 0; k < 3; ++k) {
        CZelScaleIndicator* axis = new CZelScaleIndicator();
        const CZelVec3d& a = relative(axes[k][0], axes[k][1], axes[k][2]);
        axis->setFirstPoint(a.x(), a.y(), a.z());
        const CZelVec3d& b = relative(axes[k][3], axes[k][4], axes[k][5]);
        axis->setSecondPoint(b.x(), b.y(), b.z());
        axis->setFont(m_font);
        axis->setLabelInterval(m_labelInterval[k]);
        axis->setCamera(m_camera);
        axis->setTextOffset(across[k], 0.0);
        m_axisGroup->addChild(axis);
    }

    m_font->setSize(S * m_relativeTextSize);
    m_labelBaseElevations.clear();
    for (int i = 0; i < m_labelGroup->getSize(); ++i) {
        CZelShape* billboard = m_labelGroup->getChild(i);
        double x = 0.0, y = 0.0, z = 0.0;
        billboard->getPosition(x, y, z);
        m_labelBaseElevations.push_back(y);
        billboard->setPosition(x, y + S * m, z);
    }
}

void CFenceDiagram::refresh()
{
    const double lift = m_size * m_relativeMargin;
    for (int i = 0; i < m_labelGroup->getSize() && i < static_cast<int>(m_labelBaseElevations.size()); ++i) {
        CZelShape* billboard = m_labelGroup->getChild(i);
        double x = 0.0, y = 0.0, z = 0.0;
        billboard->getPosition(x, y, z);
        billboard->setPosition(x, lift + m_labelBaseElevations[i], z);
    }
    m_font->setSize(m_size * m_relativeTextSize);
    for (CZelText* text : m_labelTexts) {
        text->setText(text->getText());
        double w = 0.0, h = 0.0, d = 0.0;
        text->getSize(w, h, d);
        std::cout << w << ", " << h << ", " << d << std::endl;
        text->setPosition(-w / 2.0, -h / 2.0, 0.0);
    }
}

void CFenceDiagram::placeCamera(CZelCamera* camera)
{
    if (!camera)
        return;
    const double H = std::max(m_greatestHeight, 0.0);
    const double y = m_centre[1] - H / 2.0;
    camera->setTarget(m_centre[0], y, m_centre[2]);
    camera->setPosition(m_centre[0], y, m_centre[2] + 2.0 * m_size);
    double fieldOfView = 0.0, nearDistance = 0.0, farDistance = 0.0;
    camera->getPerspective(fieldOfView, nearDistance, farDistance);
    camera->setPerspective(fieldOfView, 0.01 * m_size, 3.0 * m_size);
}

bool CFenceDiagram::save(const std::string& path)
{
    std::string directory, fileName;
    splitPath(path, directory, fileName);
    std::cout << directory << std::endl << fileName << std::endl;

    CFenceDescription description;
    for (int i = 0; i < m_fenceCount; ++i) {
        CFenceDescription::Fence fence;
        fence.points = m_fencePoints[i];
        fence.imageToken = m_imageTokens[i];
        fence.description = m_descriptions[i];
        fence.labelEnd = m_labelEnds[i];
        description.fences.push_back(fence);
    }
    if (m_camera) {
        const CZelVec3d& position = m_camera->getPosition();
        const CZelVec3d& target = m_camera->getTarget();
        for (int k = 0; k < 3; ++k) {
            description.cameraPosition[k] = position[k];
            description.cameraTarget[k] = target[k];
        }
        m_camera->getPerspective(description.cameraPerspective[0], description.cameraPerspective[1],
                                 description.cameraPerspective[2]);
    }
    description.hasLegend = !m_legend.token.empty();
    description.legend = m_legend;
    if (!CMorSafeFile::write(path, description.format(), m_errorMessage))
        return false;
    return true;
}

void CFenceDiagram::getBounds(double min[3], double max[3]) const
{
    for (int k = 0; k < 3; ++k) {
        min[k] = m_min[k];
        max[k] = m_max[k];
    }
}

void CFenceDiagram::setLabelIntervals(int x, int y, int z)
{
    m_labelInterval[0] = x;
    m_labelInterval[1] = y;
    m_labelInterval[2] = z;
    for (int k = 0; k < 3 && k < m_axisGroup->getSize(); ++k)
        static_cast<CZelScaleIndicator*>(m_axisGroup->getChild(k))->setLabelInterval(m_labelInterval[k]);
}

void CFenceDiagram::setLineWidth(int width)
{
    m_lineWidth = width;
    if (m_boundingBox)
        m_boundingBox->setLineWidth(static_cast<float>(width));
}

void CFenceDiagram::setShowBoundingBox(bool show)
{
    if (m_boundingBox)
        m_boundingBox->setState(show ? 0 : 1);
}

bool CFenceDiagram::getShowBoundingBox() const
{
    return m_boundingBox && m_boundingBox->getState() == 0;
}

void CFenceDiagram::setShowAxes(bool show)
{
    m_axisGroup->setState(show ? 0 : 1);
}

bool CFenceDiagram::getShowAxes() const
{
    return m_axisGroup->getState() == 0;
}

void CFenceDiagram::setBoundingBoxColor(float r, float g, float b)
{
    m_boundingBoxMaterial->setDiffuseColor(r, g, b, 1.0f);
}

void CFenceDiagram::getBoundingBoxColor(float& r, float& g, float& b) const
{
    float a = 1.0f;
    m_boundingBoxMaterial->getDiffuseColor(r, g, b, a);
}

void CFenceDiagram::setTextColor(float r, float g, float b)
{
    m_textMaterial->setDiffuseColor(r, g, b, 1.0f);
}

void CFenceDiagram::getTextColor(float& r, float& g, float& b) const
{
    float a = 1.0f;
    m_textMaterial->getDiffuseColor(r, g, b, a);
}

void CFenceDiagram::setFenceLighting(bool on)
{
    m_fenceLighting->setLighting(on);
}

bool CFenceDiagram::getFenceLighting() const
{
    return m_fenceLighting->getLighting();
}

void CFenceDiagram::setRemoveWhite(bool remove)
{
    for (int i = 0; i < getSize(); ++i)
        if (getChild(i)->isClass("CFence"))
            static_cast<CFence*>(getChild(i))->setRemoveWhite(remove);
}

void CFenceDiagram::setWhiteTolerance(int tolerance)
{
    m_whiteTolerance = tolerance;
    for (int i = 0; i < getSize(); ++i)
        if (getChild(i)->isClass("CFence"))
            static_cast<CFence*>(getChild(i))->setWhiteTolerance(tolerance);
}

bool CFenceDiagram::getRemoveWhite() const
{
    CZelShape* first = getChild(0);
    return first && first->isClass("CFence") && static_cast<CFence*>(first)->getRemoveWhite();
}
