// The scene content of one description file: the fences, a bounding box, the
// fence labels and three measuring axes, with the settings the diagram dialog
// edits and the automatic camera placement.
//
// Map coordinates reach millions of units, more than GL's single precision
// holds, so the geometry is built relative to a local origin near the first
// point and the camera renders relative to the same origin. Everything the user
// sees or the file stores stays in map units.
#pragma once

#include "CFenceDescription.h"
#include "CZelCamera.h"
#include "CZelComposite.h"
#include "CZelImage.h"
#include "CZelLightingState.h"
#include "CZelLineSet.h"
#include "CZelMaterial.h"
#include "CZelPointer.h"
#include "CZelPolygonalFont.h"
#include "CZelText.h"
#include "CZelVec3d.h"

#include <functional>
#include <string>
#include <vector>

class CFence;
class CFenceImageReader;
class CZelTiledPicture;
class CZelLine3d;

class CFenceDiagram : public CZelComposite
{
    ZEL_DECLARE_CLASS(CFenceDiagram, CZelComposite)
public:
    CFenceDiagram();

    // Re-lays the labels and sets the font size after a change of the
    // relative text size or margin. Does not reach the children.
    void refresh() override;

    // Adds a reference; load places it and makes it render relative to the
    // diagram's origin.
    void setCamera(CZelCamera* camera);
    // Borrowed.
    CZelCamera* getCamera() const { return m_camera; }

    // Reads the description file and builds the diagram; false with
    // getErrorMessage set when the file or an image it names cannot be used.
    bool load(const std::string& path);
    // Called by load with every fence (borrowed) as soon as it is built,
    // while the next picture is still being decoded: the moment to hand its
    // tiles to GL, so that they are not all held twice at the end.
    void setFenceBuiltHandler(std::function<void(CFence*)> handler) { m_fenceBuilt = std::move(handler); }
    // A picture named in the description that cannot be opened for reading.
    struct MissingPicture
    {
        std::string path; // as resolved against the description's folder
        int fence;        // counted from 0; -1 for the legend
    };
    // Asked by load, before any picture is decoded, with every picture that
    // cannot be read. True opens the diagram without them: each such fence
    // becomes an outline, a missing legend is left out, and save writes
    // their records back as they were read. Without a handler, or when it
    // answers false, load fails with the first one's message.
    void setMissingPicturesHandler(std::function<bool(const std::vector<MissingPicture>&)> handler)
    {
        m_missingPictures = std::move(handler);
    }
    // The line that tells what becomes of a missing picture.
    static std::string describeMissing(const MissingPicture& picture);
    // Writes the fences as read and the current camera and legend back; the
    // old file stays untouched unless the new one was written completely.
    bool save(const std::string& path);
    std::string getErrorMessage() const { return m_errorMessage; }

    // Looks at the diagram's middle from twice its size along +z.
    void placeCamera(CZelCamera* camera);

    // The point that the geometry is relative to, in scene axes and map units.
    const CZelVec3d& getOrigin() const { return m_origin; }
    void getBounds(double min[3], double max[3]) const;
    // The diagram size S: the larger horizontal extent.
    double getDiagramSize() const { return m_size; }
    double getGreatestFenceHeight() const { return m_greatestHeight; }
    int getFenceCount() const { return m_fenceCount; }
    const std::string& getDescription(int fence) const { return m_descriptions.at(fence); }

    void setRelativeTextSize(double size) { m_relativeTextSize = size; }
    double getRelativeTextSize() const { return m_relativeTextSize; }
    void setRelativeMargin(double margin) { m_relativeMargin = margin; }
    double getRelativeMargin() const { return m_relativeMargin; }
    void setLabelIntervals(int x, int y, int z);
    int getLabelIntervalX() const { return m_labelInterval[0]; }
    int getLabelIntervalY() const { return m_labelInterval[1]; }
    int getLabelIntervalZ() const { return m_labelInterval[2]; }
    void setShowBoundingBox(bool show);
    bool getShowBoundingBox() const;
    void setShowAxes(bool show);
    bool getShowAxes() const;
    void setBoundingBoxColor(float r, float g, float b);
    void getBoundingBoxColor(float& r, float& g, float& b) const;
    void setTextColor(float r, float g, float b);
    void getTextColor(float& r, float& g, float& b) const;
    void setFenceLighting(bool on);
    bool getFenceLighting() const;
    void setRemoveWhite(bool remove);
    bool getRemoveWhite() const;
    // Near-white pixels that remove white leaves out too (see CZelImagePlane);
    // every fence, at the next draw.
    void setWhiteTolerance(int tolerance);
    int getWhiteTolerance() const { return m_whiteTolerance; }
    // Pixels; the view draws the axes with it, and the bounding box, which
    // sets its own width, is given it too.
    void setLineWidth(int width);
    int getLineWidth() const { return m_lineWidth; }

    void setLegendMarginX(int margin) { m_legend.marginX = margin; }
    int getLegendMarginX() const { return m_legend.marginX; }
    void setLegendMarginY(int margin) { m_legend.marginY = margin; }
    int getLegendMarginY() const { return m_legend.marginY; }
    // 0 left, 1 centre, 2 right.
    void setLegendPositionX(int position) { m_legend.positionX = position; }
    int getLegendPositionX() const { return m_legend.positionX; }
    // 0 top, 1 bottom.
    void setLegendPositionY(int position) { m_legend.top = position == 0; }
    int getLegendPositionY() const { return m_legend.top ? 0 : 1; }
    // Width as a fraction of the view's width.
    void setLegendSize(double size) { m_legend.size = size; }
    double getLegendSize() const { return m_legend.size; }
    // Borrowed; null when the diagram has no legend.
    CZelImage* getLegendImage() const { return m_legendImage; }

    // Borrowed groups, for drawing and tests.
    CZelComposite* getLabelGroup() const { return m_labelGroup; }
    CZelComposite* getAxisGroup() const { return m_axisGroup; }
    CZelLineSet* getBoundingBox() const { return m_boundingBox; }

private:
    void clearContent();
    // The next picture of the reader; false with the error message set.
    bool takeImage(CFenceImageReader& reader, CZelPointer<CZelImage>& image);
    bool takeTiles(CFenceImageReader& reader, CZelPointer<CZelTiledPicture>& picture);
    // Lets go of the caller's picture (it becomes null) once the fence holds
    // its tiles.
    void addFence(CZelLine3d* line, CZelPointer<CZelTiledPicture>& picture);
    // Borrowed: the new fence, held by the diagram.
    CFence* addOutline(CZelLine3d* line);
    void addLabel(const std::string& description, const CZelVec3d& anchor);
    void finish();
    void centreLabel(CZelText* text);
    // A scene point in map units, relative to the origin.
    CZelVec3d& relative(double x, double y, double z) const;

    std::vector<std::string> m_descriptions;
    std::vector<std::string> m_imageTokens;
    std::vector<int> m_labelEnds;
    std::vector<std::vector<CFenceDescription::Point>> m_fencePoints; // as read, for saving
    double m_max[3] = {-1e300, -1e300, -1e300};
    double m_min[3] = {1e300, 1e300, 1e300};
    double m_greatestHeight = -1e300;
    double m_centre[3] = {0.0, 0.0, 0.0};
    double m_extentX = 0.0;
    double m_extentZ = 0.0;
    double m_size = 0.0;
    int m_fenceCount = 0;
    int m_labelInterval[3] = {1, 1, 1};
    double m_relativeTextSize = 0.02;
    double m_relativeMargin = 0.02;
    // Each label keeps its own anchor elevation, so refresh lifts every label
    // above its own fence.
    std::vector<double> m_labelBaseElevations;
    CZelPointer<CZelCamera> m_camera;
    CZelPointer<CZelLineSet> m_boundingBox;
    CZelPointer<CZelComposite> m_labelGroup;
    CZelPointer<CZelComposite> m_axisGroup;
    std::vector<CZelPointer<CZelText>> m_labelTexts;
    CZelPointer<CZelPolygonalFont> m_font;
    CZelPointer<CZelMaterial> m_boundingBoxMaterial;
    CZelPointer<CZelMaterial> m_textMaterial;
    CZelPointer<CZelLightingState> m_fenceLighting;
    int m_lineWidth = 1;
    int m_whiteTolerance = 0;
    CFenceDescription::Legend m_legend;
    CZelPointer<CZelImage> m_legendImage;
    CZelVec3d m_origin;
    std::string m_errorMessage;
    std::function<void(CFence*)> m_fenceBuilt;
    std::function<bool(const std::vector<MissingPicture>&)> m_missingPictures;
};
