// Gathering a diagram's content for a 3-D export.
#include "CMorExportScene.h"

#include "CFence.h"
#include "CFenceDiagram.h"
#include "CZelLine3d.h"
#include "CZelScaleIndicator.h"
#include "fenceFiles.h"

#include <algorithm>

void CMorExportScene::gather(const CFenceDiagram& diagram, const std::string& descriptionPath,
                             const CFenceDescription::Options& view)
{
    *this = CMorExportScene();
    const CZelVec3d& o = diagram.getOrigin();
    const double base = diagram.getBottom();
    exaggeration = diagram.getVerticalExaggeration();
    origin.setComponents(o.x(), base, o.z());
    mapOrigin[0] = o.x();
    mapOrigin[1] = -o.z();
    mapOrigin[2] = base;
    crs = diagram.getCrs();
    std::string directory, fileName;
    splitPath(descriptionPath, directory, fileName);
    title = fileName;

    // The diagram's geometry is relative to its origin: fences and box
    // unstretched (model), labels and axes as they stand in the stretched
    // scene.
    const auto fromModel = [&](const CZelVec3d& p) { return CZelVec3d(p.x(), p.y() + o.y() - base, p.z()); };
    const auto fromScene = [&](const CZelVec3d& p) {
        return CZelVec3d(p.x(), (p.y() + o.y() - base) / exaggeration, p.z());
    };

    for (int i = 0; i < diagram.getFenceCount() && i < diagram.getSize(); ++i) {
        CZelShape* child = diagram.getChild(i);
        if (!child->isClass("CFence"))
            continue;
        const CFence* panel = static_cast<const CFence*>(child);
        const CFenceDescription::Fence& record = diagram.getFenceRecord(i);
        Fence fence;
        fence.name = record.description.empty() ? "Fence " + std::to_string(i + 1) : record.description;
        fence.outline = !panel->hasPicture();
        // A panel whose line has no length was built as nothing.
        if (!fence.outline && panel->getColumns() <= 0)
            continue;
        CZelLine3d* line = panel->getLine();
        for (int k = 0; line && k < line->getPointCount(); ++k)
            fence.line.push_back(fromModel(*line->getPoint(k)));
        fence.height = panel->getHeight();
        fence.picture = resolveImagePath(directory, record.imageToken);
        fence.hasCrop = record.hasCrop;
        std::copy(record.crop, record.crop + 4, fence.crop);
        fences.push_back(fence);
    }

    textSize = diagram.getDiagramSize() * diagram.getRelativeTextSize();
    diagram.getTextColor(textColor[0], textColor[1], textColor[2]);
    CZelComposite* labelGroup = diagram.getLabelGroup();
    for (int i = 0; i < labelGroup->getSize() && i < diagram.getFenceCount(); ++i) {
        const std::string& text = diagram.getDescription(i);
        if (!text.empty())
            labels.push_back({text, fromScene(labelGroup->getChild(i)->getPosition()), false});
    }

    double min[3], max[3];
    diagram.getBounds(min, max);
    if (diagram.getShowBoundingBox()) {
        Lines box;
        box.name = "Bounding box";
        diagram.getBoundingBoxColor(box.color[0], box.color[1], box.color[2]);
        const auto corner = [&](int k) {
            return CZelVec3d((k & 1 ? max[0] : min[0]) - o.x(), (k & 4 ? max[2] : base) - base,
                             -(k & 2 ? max[1] : min[1]) - o.z());
        };
        // Each corner joined to those that differ in one coordinate.
        for (int k = 0; k < 8; ++k)
            for (const int bit : {1, 2, 4})
                if (!(k & bit)) {
                    box.points.push_back(corner(k));
                    box.points.push_back(corner(k | bit));
                }
        lines.push_back(box);
    }

    // The axes take the colour the labels before them leave in GL: the text's.
    CZelComposite* axisGroup = diagram.getAxisGroup();
    if (diagram.getShowAxes()) {
        Lines axes;
        axes.name = "Axes";
        std::copy(textColor, textColor + 3, axes.color);
        for (int k = 0; k < axisGroup->getSize() && k < 3; ++k) {
            CZelScaleIndicator* axis = static_cast<CZelScaleIndicator*>(axisGroup->getChild(k));
            CZelScaleIndicator::Layout layout;
            if (!axis->layOut(layout))
                continue;
            for (const CZelVec3d& p : layout.lines)
                axes.points.push_back(fromScene(p));
            const int interval = axis->getMapLabels() ? axis->getLabelIntervalDrawn() : axis->getLabelInterval();
            for (size_t i = 0; i < layout.anchors.size(); ++i)
                if (CZelScaleIndicator::isLabelled(layout.steps[i], interval))
                    labels.push_back({layout.labels[i], fromScene(layout.anchors[i]), true});
        }
        lines.push_back(axes);
    }

    for (const Fence& fence : fences)
        if (fence.outline && fence.line.size() >= 2) {
            Lines outline;
            outline.name = fence.name + " (outline)";
            outline.color[0] = outline.color[1] = outline.color[2] = 0.5f;
            const std::vector<CZelVec3d>& top = fence.line;
            const CZelVec3d down(0.0, -fence.height, 0.0);
            for (size_t k = 0; k + 1 < top.size(); ++k)
                for (const CZelVec3d& drop : {CZelVec3d(), down}) {
                    outline.points.push_back(top[k] + drop);
                    outline.points.push_back(top[k + 1] + drop);
                }
            for (const CZelVec3d& end : {top.front(), top.back()}) {
                outline.points.push_back(end);
                outline.points.push_back(end + down);
            }
            lines.push_back(outline);
        }

    removeWhite = diagram.getRemoveWhite();
    whiteTolerance = diagram.getWhiteTolerance();
    lighting = diagram.getFenceLighting();
    lightDirection = view.lightDirection;
    if (const CZelCamera* camera = diagram.getCamera()) {
        eye = camera->getPosition();
        target = camera->getTarget();
        camera->getPerspective(fieldOfView, nearDistance, farDistance);
    }
    background = view.background;
    std::copy(view.solidColor, view.solidColor + 3, solidColor);
    std::copy(view.upperColor, view.upperColor + 3, upperColor);
    std::copy(view.lowerColor, view.lowerColor + 3, lowerColor);
    if (diagram.getShowLegend())
        legend = diagram.getLegendImage();
    legendPlace.marginX = diagram.getLegendMarginX();
    legendPlace.marginY = diagram.getLegendMarginY();
    legendPlace.positionX = diagram.getLegendPositionX();
    legendPlace.top = diagram.getLegendPositionY() == 0;
    legendPlace.size = diagram.getLegendSize();
}
