// The camera positions the user has navigated through, for Back and Forward:
// like a browser's history, stepping back and then moving on drops the
// positions ahead; only the newest CAPACITY positions are kept.
#pragma once

#include "CZelVec3d.h"

#include <vector>

class CMorCameraHistory
{
public:
    static constexpr int CAPACITY = 50;

    // Everything a camera position restores; eye and target in map units
    // (east, elevation, north), whatever the exaggeration.
    struct Pose {
        CZelVec3d position;
        CZelVec3d target;
        double fieldOfView = 45.0;
        double nearDistance = 1.0;
        double farDistance = 50.0;
        bool operator==(const Pose& other) const;
        bool operator!=(const Pose& other) const { return !(*this == other); }
    };

    // A history of this one position.
    void restart(const Pose& pose);
    // Makes pose the current position, after the current one; the positions
    // ahead of it are dropped. False, and nothing changes, when pose is the
    // current position already.
    bool record(const Pose& pose);
    // Steps to the previous (next) position and gives it; false at either end.
    bool back(Pose& pose);
    bool forward(Pose& pose);

    int getSize() const { return static_cast<int>(m_poses.size()); }
    // Index of the current position, -1 while the history is empty.
    int getCurrent() const { return m_current; }

private:
    std::vector<Pose> m_poses;
    int m_current = -1;
};
