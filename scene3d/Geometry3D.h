#pragma once

#include <cmath>

namespace vorlan {

// Coordinates closer than this are the same coordinate (points merge, near-zero components vanish).
inline constexpr double kSameValueTolerance = 0.01;
// Cosines closer than this are the same cosine.
inline constexpr double kNearlyEqualTolerance = 1e-9;
// Distances below this are no distance at all.
inline constexpr double kZeroDistance = 0.001;
// What FootOnLine answers when the line has no direction.
inline constexpr double kNoFoot = 999999.0;

struct Vector3D {
  double x = 0;
  double y = 0;
  double z = 0;

  friend bool operator==(const Vector3D&, const Vector3D&) = default;
};

// The small vector operations are inline: preparing a big mesh runs them millions of times.
inline Vector3D operator+(const Vector3D& a, const Vector3D& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vector3D operator-(const Vector3D& a, const Vector3D& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vector3D operator*(double k, const Vector3D& v) {
  return {k * v.x, k * v.y, k * v.z};
}
inline double dot(const Vector3D& a, const Vector3D& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vector3D cross(const Vector3D& a, const Vector3D& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const Vector3D& v) {
  return std::sqrt(dot(v, v));
}
// v / |v|, where a zero length counts as 1 so that the zero vector stays zero.
inline Vector3D normalizedOrZero(const Vector3D& v) {
  double l = length(v);
  if (l == 0) l = 1;
  return {v.x / l, v.y / l, v.z / l};
}
// Components within kSameValueTolerance of 0 become exactly 0.
Vector3D withoutNearZeros(const Vector3D& v);

// |b - a| < 0.01, strictly; NaN and infinities never compare equal.
inline bool SameValue(double a, double b) {
  return std::fabs(b - a) < kSameValueTolerance;
}
// |b - a| < 1e-9, strictly.
bool NearlyEqual(double a, double b);
// After near-zero components are set to 0, every component pair has a product >= 0.
bool SameSigns(const Vector3D& a, const Vector3D& b);
// Euclidean distance, 0 below kZeroDistance.
double Distance3(const Vector3D& p, const Vector3D& q);
// Foot of the perpendicular from P on the line through L1 and L2, or (kNoFoot, kNoFoot, kNoFoot) when
// L1 and L2 are too close to give the line a direction.
Vector3D FootOnLine(const Vector3D& P, const Vector3D& L1, const Vector3D& L2);
// Angle between two vectors in degrees, 0..180; 0 when either is the zero vector.
double AngleDeg(const Vector3D& a, const Vector3D& b);
Vector3D Add3(const Vector3D& a, const Vector3D& b);

// Right-handed rotations of a point about the coordinate axes, angles in degrees.
Vector3D RotateX(const Vector3D& p, double degrees);
Vector3D RotateY(const Vector3D& p, double degrees);
Vector3D RotateZ(const Vector3D& p, double degrees);

} // namespace vorlan
