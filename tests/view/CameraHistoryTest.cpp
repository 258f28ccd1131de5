// Back and forward through camera positions, as a browser's history.
#include "CMorCameraHistory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Position n: eye (n, 0, 0), the other values as a default camera.
CMorCameraHistory::Pose pose(int n)
{
    CMorCameraHistory::Pose p;
    p.position.setComponents(n, 0, 0);
    return p;
}

} // namespace

TEST(CameraHistory, RecordsStepsBackAndForwardDropsWhatLayAheadKeepsTheNewest)
{
    // Operation (r record, b back, f forward), its position (record) or the
    // one it gives, result, then size and current index.
    const struct {
        char op;
        int n;
        bool result;
        int size, current;
    } steps[] = {
        {'r', 0, false, 1, 0}, {'b', 0, false, 1, 0}, {'r', 1, true, 2, 1}, {'r', 2, true, 3, 2},
        {'b', 1, true, 3, 1},  {'b', 0, true, 3, 0},  {'b', 0, false, 3, 0}, {'f', 1, true, 3, 1},
        {'r', 1, false, 3, 1}, {'r', 3, true, 3, 2}, // 2 lay ahead and is gone
        {'f', 0, false, 3, 2},
    };
    CMorCameraHistory history;
    history.restart(pose(0));
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(1, s.op) + std::to_string(s.n));
        CMorCameraHistory::Pose p = pose(-1);
        const bool result = s.op == 'r' ? history.record(pose(s.n)) : s.op == 'b' ? history.back(p) : history.forward(p);
        EXPECT_EQ(result, s.result);
        EXPECT_TRUE(s.op == 'r' || p == (s.result ? pose(s.n) : pose(-1)));
        EXPECT_EQ(history.getSize(), s.size);
        EXPECT_EQ(history.getCurrent(), s.current);
    }
    for (int n = 4; n <= 70; ++n)
        history.record(pose(n));
    EXPECT_EQ(history.getSize(), CMorCameraHistory::CAPACITY);
    CMorCameraHistory::Pose p;
    while (history.back(p)) {
    }
    EXPECT_EQ(p, pose(70 - CMorCameraHistory::CAPACITY + 1)) << "the oldest kept";
}
