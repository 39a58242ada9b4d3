// A straight line segment in the plane and its clipping to a rectangle.
#pragma once

namespace zef {

// The segment between two points, clipped by ClipBox (the Liang-Barsky method).
// Example: the part of a grid line that lies inside the visible area.
class TSLine {
public:
  // Sets the segment from (X1, Y1) to (X2, Y2).
  void LineFrom2Points(double X1, double Y1, double X2, double Y2);

  // The part of the segment inside the axis-parallel box with the limits XLo..XHi and
  // YLo..YHi (each pair in either order; the border belongs to the box). True, with the end
  // points of that part in X1, Y1, X2, Y2 (in the direction of the segment), when anything
  // remains; false, with the four outputs unchanged, when the segment misses the box. A
  // segment of length 0 remains when its point lies in the box; a segment that only touches
  // a corner gives that one point.
  bool ClipBox(double XLo, double YLo, double XHi, double YHi, double& X1, double& Y1,
               double& X2, double& Y2) const;

  double X1() const { return FX1; }
  double Y1() const { return FY1; }
  double X2() const { return FX2; }
  double Y2() const { return FY2; }

private:
  double FX1 = 0;
  double FY1 = 0;
  double FX2 = 0;
  double FY2 = 0;
};

} // namespace zef
