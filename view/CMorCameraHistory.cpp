// Back and forward through camera positions.
#include "CMorCameraHistory.h"

bool CMorCameraHistory::Pose::operator==(const Pose& other) const
{
    return position == other.position && target == other.target && fieldOfView == other.fieldOfView &&
           nearDistance == other.nearDistance && farDistance == other.farDistance;
}

void CMorCameraHistory::restart(const Pose& pose)
{
    m_poses.assign(1, pose);
    m_current = 0;
}

bool CMorCameraHistory::record(const Pose& pose)
{
    if (m_current >= 0 && m_poses[m_current] == pose)
        return false;
    m_poses.resize(m_current + 1);
    m_poses.push_back(pose);
    if (getSize() > CAPACITY)
        m_poses.erase(m_poses.begin(), m_poses.end() - CAPACITY);
    m_current = getSize() - 1;
    return true;
}

bool CMorCameraHistory::back(Pose& pose)
{
    if (m_current <= 0)
        return false;
    pose = m_poses[--m_current];
    return true;
}

bool CMorCameraHistory::forward(Pose& pose)
{
    if (m_current + 1 >= getSize())
        return false;
    pose = m_poses[++m_current];
    return true;
}
