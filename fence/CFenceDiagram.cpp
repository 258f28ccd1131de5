// Building, laying out and saving a fence diagram.
#include "CFenceDiagram.h"

#include "CFence.h"
#include "CFenceImageReader.h"
#include "CMorFontLookup.h"
#include "CMorSafeFile.h"
#include "CPyramid.h"
#include "CZelFileImage.h"
#include "CZelBillboard.h"
#include "CZelIndex.h"
#include "CZelLine3d.h"
#include "CZelScaleIndicator.h"
#include "CZelTemporaries.h"
#include "fenceFiles.h"

#include <algorithm>
#include <array>
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

void CFenceDiagram::clearContent()
{
    for (int k = 0; k < 3; ++k) {
        m_min[k] = 1e300;
        m_max[k] = -1e300;
    }
    m_greatestHeight = -1e300;
    m_bottom = 0.0;
    clear();
    m_labelGroup->clear();
    m_axisGroup->clear();
    m_boundingBox = nullptr;
    m_records.clear();
    m_labelTexts.clear();
    m_labelAnchors.clear();
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
// of its length when no picture loaded. A fence's elevation range comes
// before either.
double outlineHeight(const CFenceDescription::Fence& record, double length, double pictureRatio)
{
    if (record.hasElevation)
        return record.top - record.bottom;
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

bool CFenceDiagram::takePyramid(CFenceImageReader& reader, std::shared_ptr<CPyramid>& pyramid)
{
    std::string detail;
    pyramid = reader.takeNextPyramid(m_errorMessage, detail);
    if (!detail.empty())
        std::cout << detail << std::endl;
    return pyramid != nullptr;
}

bool CFenceDiagram::checkCrop(const std::string& path, int fence, const CPyramid& pyramid)
{
    const CFenceDescription::Fence& record = m_records[static_cast<size_t>(fence)];
    const int* crop = record.crop;
    const int width = pyramid.getFileWidth(), height = pyramid.getFileHeight();
    if (crop[2] <= width && crop[3] <= height)
        return true;
    m_errorMessage = path + ", line " + std::to_string(record.cropLine) + ": fence " + std::to_string(fence + 1) +
                     " of " + std::to_string(m_records.size()) + ": crop " + std::to_string(crop[0]) + " " +
                     std::to_string(crop[1]) + " " + std::to_string(crop[2]) + " " + std::to_string(crop[3]) +
                     " reaches beyond its picture, which has " + std::to_string(width) + " x " +
                     std::to_string(height) + " pixels.";
    return false;
}

void CFenceDiagram::applyOptions(const CFenceDescription::Options& options)
{
    m_coordinates.setExaggeration(options.verticalExaggeration);
    m_mapAxisLabels = options.mapAxisLabels;
    m_crs = options.crs;
    setFenceLighting(options.lighting);
    m_whiteTolerance = options.whiteTolerance;
    setBoundingBoxColor(options.boundingBoxColor[0], options.boundingBoxColor[1], options.boundingBoxColor[2]);
    setShowAxes(options.axes);
    m_lineWidth = options.lineWidth;
    m_relativeTextSize = options.textSize;
    m_relativeMargin = options.margin;
    setTextColor(options.textColor[0], options.textColor[1], options.textColor[2]);
    for (int k = 0; k < 3; ++k)
        m_labelInterval[k] = options.labelIntervals[k];
    m_showLegend = options.legend;
    m_viewOptions = options;
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
    // A file without options leaves the settings made before loading.
    if (description.fileFormat == 2)
        applyOptions(description.options);
    m_fileFormat = description.fileFormat;

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
    std::vector<std::array<int, 4>> crops;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (!present[i])
            continue;
        pictures.push_back(sections[i]);
        const CFenceDescription::Fence& record = description.fences[i];
        crops.push_back(record.hasCrop ? std::array<int, 4>{record.crop[0], record.crop[1], record.crop[2],
                                                            record.crop[3]}
                                       : std::array<int, 4>{0, 0, 0, 0});
    }
    if (hasLegendPicture)
        pictures.push_back(legendPath);
    // Sections become pyramids as they are read, never held whole, or come
    // from the tile cache; their coarse levels leave out white as the fences
    // will.
    const size_t sectionCount = pictures.size() - (hasLegendPicture ? 1 : 0);
    const CPyramidVariant variant(description.fileFormat == 2 ? description.options.removeWhite : true,
                                  m_whiteTolerance);
    CFenceImageReader reader(pictures, 2, 2, sectionCount, crops, variant, CPyramidCache());

    const CFenceDescription::Point& first = description.fences.front().points.front();
    m_coordinates.setOriginNear(first.x, first.y, first.z);
    m_records = description.fences;

    std::vector<double> pictureRatios;
    std::vector<std::pair<CFence*, size_t>> outlines;
    // Lowest top and greatest height of the fences that hang from their
    // lines by their pictures' proportions, and the lowest bottom of those
    // placed by elevation.
    double lowestTop = 1e300, greatestProportional = 0.0, lowestElevationBottom = 1e300;
    for (size_t f = 0; f < description.fences.size(); ++f) {
        const CFenceDescription::Fence& record = description.fences[f];
        CZelPointer<CZelLine3d> line(new CZelLine3d());
        line->setSize(static_cast<int>(record.points.size()));
        for (size_t i = 0; i < record.points.size(); ++i) {
            const CFenceDescription::Point& p = record.points[i];
            std::cout << p.x << ", " << p.y << ", " << p.z << std::endl;
            // A section placed by elevation stands flat at its top: its
            // columns spread by horizontal length, the line's elevations
            // are kept for saving only.
            const double elevation = record.hasElevation ? record.top : p.z;
            *line->getPoint(static_cast<int>(i)) = m_coordinates.toModel(p.x, p.y, elevation);
            const double placed[3] = {p.x, p.y, elevation};
            for (int k = 0; k < 3; ++k) {
                m_min[k] = std::min(m_min[k], placed[k]);
                m_max[k] = std::max(m_max[k], placed[k]);
            }
            if (!record.hasElevation)
                lowestTop = std::min(lowestTop, p.z);
        }
        const double panelHeight = record.hasElevation ? record.top - record.bottom : 0.0;
        if (record.hasElevation)
            lowestElevationBottom = std::min(lowestElevationBottom, record.bottom);
        if (present[f]) {
            std::shared_ptr<CPyramid> pyramid;
            if (!takePyramid(reader, pyramid) || (record.hasCrop && !checkCrop(path, static_cast<int>(f), *pyramid))) {
                clearContent();
                return false;
            }
            pictureRatios.push_back(static_cast<double>(pyramid->getHeight()) / pyramid->getWidth());
            const double height = addFence(line, pyramid, panelHeight, variant);
            if (!record.hasElevation)
                greatestProportional = std::max(greatestProportional, height);
        } else {
            outlines.emplace_back(addOutline(line), f);
        }
        std::cout << "description = " << record.description << std::endl;
        addLabel(record.description);
        const CFenceDescription::Point& anchor = record.labelEnd == 0 ? record.points.front() : record.points.back();
        m_labelAnchors.emplace_back(anchor.x, anchor.y, record.hasElevation ? record.top : anchor.z);
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
    for (const std::pair<CFence*, size_t>& outline : outlines) {
        const CFenceDescription::Fence& record = description.fences[outline.second];
        outline.first->makeOutline(outlineHeight(record, outline.first->getLine()->getLength(), ratio));
        m_greatestHeight = std::max(m_greatestHeight, outline.first->getHeight());
        if (!record.hasElevation)
            greatestProportional = std::max(greatestProportional, outline.first->getHeight());
    }
    // Fences hanging by their proportions reach at most the greatest height
    // below the lowest top among them; sections placed by elevation end at
    // their own bottoms.
    m_bottom = std::min(lowestTop < 1e300 ? lowestTop - greatestProportional : 1e300, lowestElevationBottom);
    m_coordinates.setBase(m_bottom);
    finish();
    if (description.fileFormat == 2) {
        setRemoveWhite(description.options.removeWhite);
        setShowBoundingBox(description.options.boundingBox);
    }

    if (m_camera) {
        m_camera->setRenderOrigin(getOrigin().x(), getOrigin().y(), getOrigin().z());
        const double* position = description.cameraPosition;
        const double* target = description.cameraTarget;
        if (position[0] == target[0] && position[1] == target[1] && position[2] == target[2]) {
            placeCamera(m_camera);
        } else {
            std::cout << "Positioning using values from file." << std::endl;
            setCameraInMapUnits(CZelVec3d(position[0], position[1], position[2]),
                                CZelVec3d(target[0], target[1], target[2]));
            m_camera->setPerspective(description.cameraPerspective[0], description.cameraPerspective[1],
                                     description.cameraPerspective[2]);
        }
    }
    return true;
}

double CFenceDiagram::addFence(CZelLine3d* line, const std::shared_ptr<CPyramid>& pyramid, double panelHeight,
                               const CPyramidVariant& variant)
{
    CFence* fence = new CFence();
    fence->setTextureSizeExponent(TILE_EXPONENT);
    fence->setLine(line);
    fence->setPanelHeight(panelHeight);
    fence->setRemoveWhite(variant.getRemoveWhite());
    fence->setWhiteTolerance(variant.getTolerance());
    fence->setPyramid(pyramid);
    fence->setRenderState(m_fenceLighting);
    addChild(fence);
    m_greatestHeight = std::max(m_greatestHeight, fence->getHeight());
    if (m_fenceBuilt)
        m_fenceBuilt(fence);
    return fence->getHeight();
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

void CFenceDiagram::addLabel(const std::string& description)
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
    m_labelGroup->addChild(billboard);
}

void CFenceDiagram::finish()
{
    const double extentEast = m_max[0] - m_min[0];
    const double extentNorth = m_max[1] - m_min[1];
    m_size = extentNorth >= extentEast ? extentNorth : extentEast;
    // Fences that all stand on one spot still need a scale for text and camera.
    if (!(m_size > 0.0))
        m_size = std::max({m_max[2] - m_bottom, 1.0});

    CZelLightingState* boxLighting = new CZelLightingState();
    boxLighting->setLighting(false);
    m_boundingBox = new CZelLineSet();
    m_boundingBox->setLineWidth(static_cast<float>(m_lineWidth));
    // Corners 0 to 3 on the south face, 4 to 7 on the north face.
    const double corners[8][3] = {{m_min[0], m_min[1], m_bottom}, {m_max[0], m_min[1], m_bottom},
                                  {m_max[0], m_min[1], m_max[2]}, {m_min[0], m_min[1], m_max[2]},
                                  {m_min[0], m_max[1], m_bottom}, {m_max[0], m_max[1], m_bottom},
                                  {m_max[0], m_max[1], m_max[2]}, {m_min[0], m_max[1], m_max[2]}};
    for (const auto& c : corners) {
        const CZelVec3d r = m_coordinates.toModel(c[0], c[1], c[2]);
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

    for (int k = 0; k < 3; ++k) {
        CZelScaleIndicator* axis = new CZelScaleIndicator();
        axis->setFont(m_font);
        axis->setLabelInterval(m_labelInterval[k]);
        axis->setCamera(m_camera);
        m_axisGroup->addChild(axis);
    }
    m_font->setSize(m_size * m_relativeTextSize);
    layOut();
}

void CFenceDiagram::layOut()
{
    for (int i = 0; i < m_fenceCount && i < getSize(); ++i)
        m_coordinates.applyExaggeration(getChild(i));
    if (m_boundingBox)
        m_coordinates.applyExaggeration(m_boundingBox);

    // The axes run along the south and west sides of the box, 0.05 S out,
    // from the south-west corner: X east and Z north at the lowest top, Y
    // from the highest top down to the bottom.
    const double S = m_size;
    const double across = S * m_relativeMargin;
    const double south = m_min[1] - 0.05 * S;
    const double west = m_min[0] - 0.05 * S;
    const double ends[3][6] = {{m_min[0], south, m_min[2], m_max[0], south, m_min[2]},
                               {west, south, m_max[2], west, south, m_bottom},
                               {west, m_min[1], m_min[2], west, m_max[1], m_min[2]}};
    // Eastings, elevations and northings at the ends, or distances from the first end.
    const double values[3][2] = {{m_min[0], m_max[0]}, {m_max[2], m_bottom}, {m_min[1], m_max[1]}};
    // Labels on the outer side, away from the box.
    const double sides[3] = {-across, across, across};
    for (int k = 0; k < 3 && k < m_axisGroup->getSize(); ++k) {
        CZelScaleIndicator* axis = static_cast<CZelScaleIndicator*>(m_axisGroup->getChild(k));
        const CZelVec3d a = m_coordinates.toRelativeScene(ends[k][0], ends[k][1], ends[k][2]);
        const CZelVec3d b = m_coordinates.toRelativeScene(ends[k][3], ends[k][4], ends[k][5]);
        axis->setFirstPoint(a.x(), a.y(), a.z());
        axis->setSecondPoint(b.x(), b.y(), b.z());
        axis->setTextOffset(sides[k], 0.0);
        axis->setMapLabels(m_mapAxisLabels);
        if (m_mapAxisLabels)
            axis->setValues(values[k][0], values[k][1]);
        else
            axis->setValues(0.0, std::fabs(values[k][1] - values[k][0]));
    }
    layOutLabels();
}

// Every label stands S x margin above its own anchor, in the exaggerated
// scene: its text keeps its size.
void CFenceDiagram::layOutLabels()
{
    const double lift = m_size * m_relativeMargin;
    for (int i = 0; i < m_labelGroup->getSize() && i < static_cast<int>(m_labelAnchors.size()); ++i) {
        const CZelVec3d& anchor = m_labelAnchors[static_cast<size_t>(i)];
        const CZelVec3d p = m_coordinates.toRelativeScene(anchor.x(), anchor.y(), anchor.z());
        m_labelGroup->getChild(i)->setPosition(p.x(), p.y() + lift, p.z());
    }
}

void CFenceDiagram::refresh()
{
    layOutLabels();
    m_font->setSize(m_size * m_relativeTextSize);
    for (CZelText* text : m_labelTexts) {
        text->setText(text->getText());
        double w = 0.0, h = 0.0, d = 0.0;
        text->getSize(w, h, d);
        std::cout << w << ", " << h << ", " << d << std::endl;
        text->setPosition(-w / 2.0, -h / 2.0, 0.0);
    }
}

void CFenceDiagram::doCreateGeometry()
{
    const int fences = std::min(m_fenceCount, getSize());
    if (!m_camera || getDrawStep() > 1 || fences < 2) {
        CZelComposite::doCreateGeometry();
        return;
    }
    // Along the ground: the fences stand upright, and the exaggeration
    // stretches heights only.
    const CZelVec3d eye = m_camera->getPosition() - getOrigin();
    std::vector<std::pair<double, int>> order;
    for (int i = 0; i < fences; ++i) {
        CZelShape* child = getChild(i);
        double nearest = 1e300;
        CZelLine3d* line = child->isClass("CFence") ? static_cast<CFence*>(child)->getLine() : nullptr;
        for (int k = 0; line != nullptr && k < line->getSegmentCount(); ++k) {
            const CZelVec3d& a = *line->getSegment(k)->getFirstPoint();
            const CZelVec3d& b = *line->getSegment(k)->getSecondPoint();
            const double dx = b.x() - a.x(), dz = b.z() - a.z();
            const double length = dx * dx + dz * dz;
            const double u = length > 0.0
                                 ? std::max(0.0, std::min(1.0, ((eye.x() - a.x()) * dx + (eye.z() - a.z()) * dz) / length))
                                 : 0.0;
            nearest = std::min(nearest, std::hypot(a.x() + u * dx - eye.x(), a.z() + u * dz - eye.z()));
        }
        order.emplace_back(nearest, i);
    }
    std::stable_sort(order.begin(), order.end());
    for (const std::pair<double, int>& fence : order)
        if (getChild(fence.second)->getState() == 0)
            getChild(fence.second)->render();
    for (int i = fences; i < getSize(); ++i)
        if (getChild(i)->getState() == 0)
            getChild(i)->render();
}

void CFenceDiagram::placeCamera(CZelCamera* camera)
{
    if (!camera)
        return;
    double fieldOfView = 0.0, nearDistance = 0.0, farDistance = 0.0;
    camera->getPerspective(fieldOfView, nearDistance, farDistance);
    const CZelVec3d target = m_coordinates.toScene((m_min[0] + m_max[0]) / 2.0, (m_min[1] + m_max[1]) / 2.0,
                                                   (m_max[2] + m_bottom) / 2.0);
    // Twice the size frames the diagram unless its exaggerated height needs
    // more: then the front face is as far as shows that height.
    double distance = 2.0 * m_size;
    const double halfAngle = fieldOfView * M_PI / 360.0;
    if (halfAngle > 0.0 && halfAngle < M_PI / 2.0) {
        const double height = m_coordinates.toSceneElevation(m_max[2]) - m_coordinates.toSceneElevation(m_bottom);
        const double depth = (m_max[1] - m_min[1]) / 2.0;
        distance = std::max(distance, 1.1 * height / 2.0 / std::tan(halfAngle) + depth);
    }
    camera->setTarget(target.x(), target.y(), target.z());
    camera->setPosition(target.x(), target.y(), target.z() + distance);
    camera->setPerspective(fieldOfView, 0.01 * m_size, distance + m_size);
}

void CFenceDiagram::getCameraInMapUnits(CZelVec3d& position, CZelVec3d& target) const
{
    if (!m_camera)
        return;
    const MapCamera& known = m_mapCamera;
    if (known.known && known.scenePosition == m_camera->getPosition() && known.sceneTarget == m_camera->getTarget()) {
        position = known.position;
        target = known.target;
        return;
    }
    position = m_coordinates.toCameraAxes(m_camera->getPosition());
    target = m_coordinates.toCameraAxes(m_camera->getTarget());
    m_mapCamera = {position, target, m_camera->getPosition(), m_camera->getTarget(), true};
}

bool CFenceDiagram::setCameraInMapUnits(const CZelVec3d& position, const CZelVec3d& target)
{
    const CZelVec3d p = m_coordinates.fromCameraAxes(position);
    const CZelVec3d t = m_coordinates.fromCameraAxes(target);
    const bool finite = std::isfinite(p.x()) && std::isfinite(p.y()) && std::isfinite(p.z()) &&
                        std::isfinite(t.x()) && std::isfinite(t.y()) && std::isfinite(t.z());
    if (!m_camera || !finite)
        return false;
    m_camera->setPosition(p.x(), p.y(), p.z());
    m_camera->setTarget(t.x(), t.y(), t.z());
    m_mapCamera = {position, target, m_camera->getPosition(), m_camera->getTarget(), true};
    return true;
}

void CFenceDiagram::setVerticalExaggeration(double factor)
{
    CZelVec3d position, target;
    getCameraInMapUnits(position, target);
    m_coordinates.setExaggeration(factor);
    layOut();
    if (!m_camera || m_fenceCount == 0)
        return;
    setCameraInMapUnits(position, target);
    // The eye rises with the stretched vertical and may leave the diagram
    // beyond the far plane: that moves out as far as its farthest corner.
    double farthest = 0.0;
    for (int corner = 0; corner < 8; ++corner) {
        const CZelVec3d p = m_coordinates.toScene(m_min[0] + (corner & 1) * (m_max[0] - m_min[0]),
                                                  m_min[1] + (corner >> 1 & 1) * (m_max[1] - m_min[1]),
                                                  corner & 4 ? m_max[2] : m_bottom);
        farthest = std::max(farthest, (p - m_camera->getPosition()).length());
    }
    double fieldOfView = 0.0, nearDistance = 0.0, farDistance = 0.0;
    m_camera->getPerspective(fieldOfView, nearDistance, farDistance);
    if (farthest > farDistance) {
        m_camera->setPerspective(fieldOfView, nearDistance, 1.05 * farthest);
        std::cout << "The far plane moves to " << 1.05 * farthest << " so that the whole diagram stays in view."
                  << std::endl;
    }
}

void CFenceDiagram::setMapAxisLabels(bool map)
{
    m_mapAxisLabels = map;
    layOut();
}

void CFenceDiagram::setViewOptions(const CFenceDescription::Options& view)
{
    m_viewOptions.background = view.background;
    for (int k = 0; k < 3; ++k) {
        m_viewOptions.solidColor[k] = view.solidColor[k];
        m_viewOptions.upperColor[k] = view.upperColor[k];
        m_viewOptions.lowerColor[k] = view.lowerColor[k];
    }
    m_viewOptions.lightDirection = view.lightDirection;
    m_viewOptions.antialias = view.antialias;
}

CFenceDescription::Options CFenceDiagram::getOptions() const
{
    CFenceDescription::Options options = m_viewOptions;
    options.verticalExaggeration = getVerticalExaggeration();
    options.mapAxisLabels = m_mapAxisLabels;
    options.crs = m_crs;
    options.lighting = getFenceLighting();
    options.removeWhite = m_fenceCount == 0 || getRemoveWhite();
    options.whiteTolerance = m_whiteTolerance;
    options.boundingBox = !m_boundingBox || getShowBoundingBox();
    getBoundingBoxColor(options.boundingBoxColor[0], options.boundingBoxColor[1], options.boundingBoxColor[2]);
    options.axes = getShowAxes();
    options.lineWidth = m_lineWidth;
    options.textSize = m_relativeTextSize;
    options.margin = m_relativeMargin;
    getTextColor(options.textColor[0], options.textColor[1], options.textColor[2]);
    for (int k = 0; k < 3; ++k)
        options.labelIntervals[k] = m_labelInterval[k];
    options.legend = m_showLegend;
    return options;
}

bool CFenceDiagram::save(const std::string& path)
{
    return write(path, m_records, m_legend.token);
}

bool CFenceDiagram::saveAs(const std::string& path, const std::string& openedFrom)
{
    std::string from, to, fileName;
    splitPath(openedFrom, from, fileName);
    splitPath(path, to, fileName);
    std::vector<CFenceDescription::Fence> records = m_records;
    for (CFenceDescription::Fence& record : records)
        if (!rebaseImageToken(from, to, record.imageToken, m_errorMessage))
            return false;
    std::string legend = m_legend.token;
    if (!legend.empty() && !rebaseImageToken(from, to, legend, m_errorMessage))
        return false;
    if (!write(path, records, legend))
        return false;
    m_records = std::move(records);
    m_legend.token = legend;
    return true;
}

bool CFenceDiagram::write(const std::string& path, const std::vector<CFenceDescription::Fence>& records,
                          const std::string& legendToken)
{
    std::string directory, fileName;
    splitPath(path, directory, fileName);
    std::cout << directory << std::endl << fileName << std::endl;

    CFenceDescription description;
    description.options = getOptions();
    description.fences = records;
    if (m_camera) {
        CZelVec3d position, target;
        getCameraInMapUnits(position, target);
        for (int k = 0; k < 3; ++k) {
            description.cameraPosition[k] = position[k];
            description.cameraTarget[k] = target[k];
        }
        // A slight exaggeration can put a camera placed in the scene beyond
        // any number in map units; such a file could not be read again.
        for (int k = 0; k < 3; ++k)
            if (!std::isfinite(position[k]) || !std::isfinite(target[k])) {
                m_errorMessage = "The camera lies too far away to be written in map units at this exaggeration.";
                return false;
            }
        m_camera->getPerspective(description.cameraPerspective[0], description.cameraPerspective[1],
                                 description.cameraPerspective[2]);
    }
    description.hasLegend = !legendToken.empty();
    description.legend = m_legend;
    description.legend.token = legendToken;
    if (!CMorSafeFile::write(path, description.format(), m_errorMessage))
        return false;
    if (description.neededFormat() == 2)
        std::cout << "Saved " << path << " in format 2: it holds settings format 1 cannot." << std::endl;
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
