// Ray casting against the fences' panels.
#include "CMorPicker.h"

#include "CFence.h"
#include "CFenceDiagram.h"
#include "CMorViewRays.h"
#include "CZelCamera.h"
#include "CZelLine3d.h"

#include <algorithm>
#include <cmath>

struct CMorPicker::Hit
{
    double depth;
    int index;
    const CFence* fence;
    // The point, in the diagram's geometry before exaggeration.
    CZelVec3d point;
    // Along the line from its first point, and down from the line; with the
    // extents of the panel in both directions.
    double along;
    double drop;
    double length;
    double height;
};

namespace {

// A scene point in the geometry the fences are built in: relative to the
// origin, before the exaggeration stretches it.
CZelVec3d modelOf(const CFenceCoordinates& coordinates, const CZelVec3d& scene)
{
    double east = 0.0, north = 0.0, elevation = 0.0;
    coordinates.toMap(scene, east, north, elevation);
    return coordinates.toModel(east, north, elevation);
}

// The pixel at position p of a row of count pixels whose edges are continuous.
long long pixelIndex(double p, long long first, long long count)
{
    const double floored = std::floor(p);
    if (!(floored >= static_cast<double>(first)))
        return first;
    if (!(floored < static_cast<double>(first + count)))
        return first + count - 1;
    return static_cast<long long>(floored);
}

} // namespace

CMorPicker::CMorPicker(const CFenceDiagram* diagram, const CZelCamera* camera) : m_diagram(diagram), m_camera(camera)
{
}

CMorPick CMorPicker::pickPixel(double x, double y, double width, double height) const
{
    double ndcX = 0.0, ndcY = 0.0;
    CMorViewRays::pixelCentre(x, y, width, height, ndcX, ndcY);
    return pickThrough(ndcX, ndcY, width / height);
}

CMorPick CMorPicker::pickThrough(double ndcX, double ndcY, double aspect) const
{
    CMorPick pick;
    if (m_diagram == nullptr || m_camera == nullptr)
        return pick;
    const CMorViewRays rays(*m_camera, aspect);
    CZelVec3d eye, direction;
    rays.rayThrough(ndcX, ndcY, eye, direction);
    // An affine map keeps a straight line straight and the parameter along
    // it: the ray in the fences' geometry still counts the depth. Its
    // direction comes from two points some way apart, so that the large
    // coordinates of the eye cost no digits of it.
    const CFenceCoordinates& coordinates = m_diagram->getCoordinates();
    const CZelVec3d& target = m_camera->getTarget();
    const double reach = std::max(1.0, std::hypot(target.x() - eye.x(), target.y() - eye.y(), target.z() - eye.z()));
    const CZelVec3d o = modelOf(coordinates, eye);
    const CZelVec3d further = modelOf(coordinates, CZelVec3d(eye.x() + reach * direction.x(),
                                                             eye.y() + reach * direction.y(),
                                                             eye.z() + reach * direction.z()));
    const CZelVec3d r((further.x() - o.x()) / reach, (further.y() - o.y()) / reach, (further.z() - o.z()) / reach);

    std::vector<Hit> hits;
    for (int i = 0; i < m_diagram->getFenceCount() && i < m_diagram->getSize(); ++i) {
        const CZelShape* child = m_diagram->getChild(i);
        if (child != nullptr && child->isClass("CFence"))
            meetFence(i, static_cast<const CFence*>(child), o, r, rays.getNear(), rays.getFar(), hits);
    }
    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.depth < b.depth; });
    for (const Hit& hit : hits) {
        if (!shows(hit, pick))
            continue;
        pick.hit = true;
        pick.fence = hit.index;
        pick.depth = hit.depth;
        coordinates.fromModel(hit.point, pick.east, pick.north, pick.elevation);
        return pick;
    }
    return pick;
}

// A panel is a vertical strip over each segment of its line, from the line
// down by its height; the picture spreads over the line's length from its
// first point (the extended line runs on beyond the picture).
void CMorPicker::meetFence(int index, const CFence* fence, const CZelVec3d& o, const CZelVec3d& r, double nearest,
                           double farthest, std::vector<Hit>& hits) const
{
    const bool picture = fence->hasPicture();
    CZelLine3d* line = picture ? fence->getExtendedLine() : fence->getLine();
    if (line == nullptr || line->getPointCount() < 2)
        return;
    const double length = picture ? fence->getPictureLength() : line->getLength();
    const double height = fence->getHeight();
    if (!(length > 0.0) || !(height > 0.0))
        return;
    double start = 0.0;
    for (int k = 0; k < line->getSegmentCount() && start <= length; ++k) {
        CZelLineSegment3d* segment = line->getSegment(k);
        const CZelVec3d a = *segment->getFirstPoint();
        const CZelVec3d b = *segment->getSecondPoint();
        const double segmentLength = segment->getLength();
        const double segmentStart = start;
        start += segmentLength;
        // The strip's plane holds the segment and the vertical: solve
        // o + t r = a + s (b - a) across it, in plan.
        const double ex = b.x() - a.x(), ez = b.z() - a.z();
        const double determinant = ex * r.z() - ez * r.x();
        if (determinant == 0.0 || !std::isfinite(determinant))
            continue;
        const double dx = a.x() - o.x(), dz = a.z() - o.z();
        const double t = (ex * dz - ez * dx) / determinant;
        const double s = (r.x() * dz - r.z() * dx) / determinant;
        const double along = segmentStart + s * segmentLength;
        if (!(s >= 0.0 && s <= 1.0) || along > length || !(t >= nearest && t <= farthest))
            continue;
        const double y = o.y() + t * r.y();
        const double drop = a.y() + s * (b.y() - a.y()) - y;
        if (!(drop >= 0.0 && drop <= height))
            continue;
        hits.push_back({t, index, fence, CZelVec3d(a.x() + s * ex, y, a.z() + s * ez), along, drop, length, height});
    }
}

bool CMorPicker::shows(const Hit& hit, CMorPick& pick) const
{
    const CFence* fence = hit.fence;
    pick.hasPixel = fence->hasPicture();
    if (!pick.hasPixel)
        return true;
    const int width = fence->getPictureWidth(), height = fence->getPictureHeight();
    if (width <= 0 || height <= 0)
        return false;
    // In the picture's pixels, from its top left.
    const double x = hit.along / hit.length * width;
    const double y = hit.drop / hit.height * height;
    if (const CFencePixelMask* mask = fence->getPixelMask()) {
        const long long column = pixelIndex(x * mask->getWidth() / width, 0, mask->getWidth());
        const long long row = pixelIndex(y * mask->getHeight() / height, 0, mask->getHeight());
        if (!mask->isDrawn(static_cast<int>(column), static_cast<int>(row), fence->getRemoveWhite(),
                           fence->getWhiteTolerance()))
            return false;
    }
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
    fence->getFileWindow(left, top, right, bottom);
    const long long first = static_cast<long long>(std::floor(left));
    const long long firstRow = static_cast<long long>(std::floor(top));
    pick.column = pixelIndex(left + x * ((right - left) / width), first,
                             std::max(1LL, static_cast<long long>(std::ceil(right)) - first));
    pick.row = pixelIndex(top + y * ((bottom - top) / height), firstRow,
                          std::max(1LL, static_cast<long long>(std::ceil(bottom)) - firstRow));
    return true;
}
