// Two points the user measures between, in true map units: a first click on
// a fence sets A, the second B, a third starts again with a new A. Between A
// and B: the distance, its horizontal and vertical parts, the grid azimuth
// and the dip.
#pragma once

class CMorMeasurement
{
public:
    struct Point
    {
        double east;
        double north;
        double elevation;
    };

    // A, then B, then A again; returns 0 when the point became A, 1 for B.
    int click(const Point& point);
    void clear() { m_count = 0; }
    bool hasA() const { return m_count >= 1; }
    bool hasB() const { return m_count >= 2; }
    const Point& getA() const { return m_a; }
    const Point& getB() const { return m_b; }

    // From A to B; 0 until both are set.
    double getDistance() const;
    double getHorizontal() const;
    // B's elevation minus A's.
    double getVertical() const;
    // Degrees clockwise from grid north, 0 up to 360; 0 when B lies straight
    // above or below A.
    double getAzimuth() const;
    // Degrees below the horizontal, negative upward; 0 for B on A.
    double getDip() const;

private:
    Point m_a{0.0, 0.0, 0.0};
    Point m_b{0.0, 0.0, 0.0};
    int m_count = 0;
};
