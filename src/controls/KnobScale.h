// Toolkit-free arithmetic of the rotary knob: limits, value <-> angle, the mouse-angle rule,
// the pointer's end points and the square-size rule. TKnob holds one and stays a thin widget.
#pragma once

namespace korv::controls {

class KnobScale {
public:
    struct Point {
        int x = 0;
        int y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };
    struct Line {
        Point inner;
        Point outer;
        friend bool operator==(const Line&, const Line&) = default;
    };

    // The scale runs over 300 degrees: Min at 240 (lower left), Max at -60 (lower right).
    static constexpr int MinAngle = 240;
    static constexpr int MaxAngle = -60;

    KnobScale();

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    float DegreesPerUnit() const { return degreesPerUnit_; }
    int PositionAngle() const { return positionAngle_; }

    // Stores the limits and the position limited into them, then recomputes the angle.
    void SetParams(int position, int min, int max);
    void UpdateScale();
    void UpdateAngle();

    // `value` limited into the range between Min and Max (whichever order they are in).
    int Limit(long long value) const;
    int ValueFromAngle(int angle) const;

    // Angle in degrees of the point (x, y) around the centre of a width x height area, limited
    // to -60...240 so the dead zone at the bottom selects the nearer end of the scale.
    static int MouseAngle(int x, int y, int width, int height);
    // Whether pixel (x, y) lies inside the ellipse inscribed in a width x height area.
    static bool InsideEllipse(int x, int y, int width, int height);
    // The pointer stroke for a knob of `radius`: from radius - 11 to radius - 5 out from the
    // centre, never reaching across to the opposite side on very small knobs.
    static Line Pointer(int angle, int radius);
    // The side of the square a knob of `knobSize` becomes when resized to width x height.
    static int SquareSide(int knobSize, int width, int height);

private:
    int min_ = 0;
    int max_ = 127;
    int position_ = 0;
    float degreesPerUnit_ = 0.0f;
    int positionAngle_ = MinAngle;
};

} // namespace korv::controls
