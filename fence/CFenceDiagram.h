// The scene content of one description file: the fences, a bounding box, the
// fence labels and three measuring axes, with the settings the diagram dialog
// edits and the automatic camera placement.
//
// Map coordinates reach millions of units, more than GL's single precision
// holds, so the geometry is built relative to a local origin near the first
// point and the camera renders relative to the same origin. The vertical
// exaggeration stretches the picture only: everything the user reads or the
// file stores stays in true map units (CFenceCoordinates converts).
#pragma once

#include "CFenceCoordinates.h"
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
#include <memory>
#include <string>
#include <vector>

class CFence;
class CFenceImageReader;
class CPyramid;
class CPyramidVariant;
class CZelLine3d;

class CFenceDiagram : public CZelComposite
{
    ZEL_DECLARE_CLASS(CFenceDiagram, CZelComposite)
public:
    CFenceDiagram();

    // Re-lays the labels and sets the font size after a change of the
    // relative text size or margin. Does not reach the children.
    void refresh() override;
    // Draws the fences nearest the camera first, so that GL can leave out
    // what they hide before it textures it; then the rest in order.
    void doCreateGeometry() override;

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
    // Writes the fences as read, the current camera, legend and settings and
    // the view's (setViewOptions) back: in format 1 while every setting is at
    // its default, else in format 2, which the log then tells. The old file
    // stays untouched unless the new one was written completely.
    bool save(const std::string& path);
    // Writes what save writes to another file than the one it was read from
    // (openedFrom): picture names relative to that file are rewritten
    // relative to the new one, absolute ones kept; once written, the diagram
    // keeps the new names. False with the error message when a name cannot be
    // written (a word may hold no blanks) or the file cannot.
    bool saveAs(const std::string& path, const std::string& openedFrom);
    std::string getErrorMessage() const { return m_errorMessage; }

    // Looks at the diagram's middle from the south (along the scene's +z),
    // from twice its size or as far as its exaggerated height needs.
    void placeCamera(CZelCamera* camera);

    // Map and scene coordinates of this diagram.
    const CFenceCoordinates& getCoordinates() const { return m_coordinates; }
    // The point that the geometry is relative to, in scene coordinates.
    const CZelVec3d& getOrigin() const { return m_coordinates.getOrigin(); }
    // Bounds of the fences' top edges as they stand, in map units: east,
    // north, elevation.
    void getBounds(double min[3], double max[3]) const;
    // The elevation of the lowest fence bottom, which the exaggeration keeps.
    double getBottom() const { return m_bottom; }
    // The diagram size S: the larger horizontal extent.
    double getDiagramSize() const { return m_size; }
    double getGreatestFenceHeight() const { return m_greatestHeight; }
    int getFenceCount() const { return m_fenceCount; }
    const std::string& getDescription(int fence) const { return m_records.at(fence).description; }
    // The fence as the description has it (picture, crop, elevation range).
    const CFenceDescription::Fence& getFenceRecord(int fence) const { return m_records.at(fence); }

    // The camera's eye and target in camera axes (east, elevation, north),
    // true map units.
    void getCameraInMapUnits(CZelVec3d& position, CZelVec3d& target) const;
    // False, and the camera stays, for points that are not finite.
    bool setCameraInMapUnits(const CZelVec3d& position, const CZelVec3d& target);

    // Stretches the vertical about the lowest fence bottom; the camera keeps
    // its place in map units, so the diagram grows in the same view. Values
    // that are not above 0 are taken as 1.
    void setVerticalExaggeration(double factor);
    double getVerticalExaggeration() const { return m_coordinates.getExaggeration(); }
    // Axis labels in map coordinates (eastings, northings, true elevations)
    // instead of distances from the south-west corner.
    void setMapAxisLabels(bool map);
    bool getMapAxisLabels() const { return m_mapAxisLabels; }
    // The coordinate reference system the file names; kept and written back.
    void setCrs(const std::string& crs) { m_crs = crs; }
    const std::string& getCrs() const { return m_crs; }
    // Whether the view draws the legend.
    void setShowLegend(bool show) { m_showLegend = show; }
    bool getShowLegend() const { return m_showLegend; }

    // The format the description was read in, 1 or 2.
    int getFileFormat() const { return m_fileFormat; }
    // The options that belong to the view (background, its colours, light
    // direction, antialiasing): as read, for the view to apply when the file
    // was in format 2; the view hands its own back before saving. Only those
    // fields are taken.
    const CFenceDescription::Options& getViewOptions() const { return m_viewOptions; }
    void setViewOptions(const CFenceDescription::Options& view);
    // Every option as it stands now, the view's as last handed over.
    CFenceDescription::Options getOptions() const;

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
    bool write(const std::string& path, const std::vector<CFenceDescription::Fence>& records,
               const std::string& legendToken);
    void applyOptions(const CFenceDescription::Options& options);
    // The next picture of the reader; false with the error message set.
    bool takeImage(CFenceImageReader& reader, CZelPointer<CZelImage>& image);
    bool takePyramid(CFenceImageReader& reader, std::shared_ptr<CPyramid>& pyramid);
    // False with the error message set when the fence's crop reaches beyond
    // its picture (which then holds the whole picture).
    bool checkCrop(const std::string& path, int fence, const CPyramid& pyramid);
    // panelHeight 0 keeps the picture's proportions; the variant is the
    // white removal the pyramid was made for. Returns the fence's height.
    double addFence(CZelLine3d* line, const std::shared_ptr<CPyramid>& pyramid, double panelHeight,
                    const CPyramidVariant& variant);
    // Borrowed: the new fence, held by the diagram.
    CFence* addOutline(CZelLine3d* line);
    void addLabel(const std::string& description);
    void finish();
    // Places what depends on the exaggeration and the axis labels: the
    // stretch of the fences and the box, the axes and the labels.
    void layOut();
    void layOutLabels();
    void centreLabel(CZelText* text);

    // Every fence as read, for saving.
    std::vector<CFenceDescription::Fence> m_records;
    // Bounds of the top edges as placed, map units: east, north, elevation.
    double m_max[3] = {-1e300, -1e300, -1e300};
    double m_min[3] = {1e300, 1e300, 1e300};
    double m_bottom = 0.0;
    double m_greatestHeight = -1e300;
    double m_size = 0.0;
    int m_fenceCount = 0;
    int m_labelInterval[3] = {1, 1, 1};
    double m_relativeTextSize = 0.02;
    double m_relativeMargin = 0.02;
    // Each label's anchor in map units (east, north, elevation): refresh lifts
    // every label above its own fence.
    std::vector<CZelVec3d> m_labelAnchors;
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
    CFenceCoordinates m_coordinates;
    bool m_mapAxisLabels = false;
    bool m_showLegend = true;
    std::string m_crs;
    int m_fileFormat = 1;
    CFenceDescription::Options m_viewOptions;
    // The camera's last place given or read in map units, and the scene
    // place it became: while the camera stays there, that is what it reads
    // back, so that a conversion through a stretched scene changes no bit.
    struct MapCamera
    {
        CZelVec3d position, target;
        CZelVec3d scenePosition, sceneTarget;
        bool known = false;
    };
    mutable MapCamera m_mapCamera;
    std::string m_errorMessage;
    std::function<void(CFence*)> m_fenceBuilt;
    std::function<bool(const std::vector<MissingPicture>&)> m_missingPictures;
};
