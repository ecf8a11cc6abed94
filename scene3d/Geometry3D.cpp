#include "scene3d/Geometry3D.h"

#include <cmath>

namespace vorlan {

namespace {
constexpr double kPi = 3.141592653589793;

double radians(double degrees) {
  return degrees * kPi / 180.0;
}
double zeroIfNear(double c) {
  return SameValue(c, 0.0) ? 0.0 : c;
}
} // namespace

Vector3D withoutNearZeros(const Vector3D& v) {
  return {zeroIfNear(v.x), zeroIfNear(v.y), zeroIfNear(v.z)};
}

bool NearlyEqual(double a, double b) {
  return std::fabs(b - a) < kNearlyEqualTolerance;
}

bool SameSigns(const Vector3D& a, const Vector3D& b) {
  const Vector3D p = withoutNearZeros(a);
  const Vector3D q = withoutNearZeros(b);
  return p.x * q.x >= 0 && p.y * q.y >= 0 && p.z * q.z >= 0;
}

double Distance3(const Vector3D& p, const Vector3D& q) {
  const double d = length(q - p);
  return d < kZeroDistance ? 0.0 : d;
}

Vector3D FootOnLine(const Vector3D& P, const Vector3D& L1, const Vector3D& L2) {
  const Vector3D direction = L2 - L1;
  const double squared = dot(direction, direction);
  if (SameValue(squared, 0.0)) return {kNoFoot, kNoFoot, kNoFoot};
  return L1 + (dot(P - L1, direction) / squared) * direction;
}

double AngleDeg(const Vector3D& a, const Vector3D& b) {
  const double la = length(a);
  const double lb = length(b);
  if (la == 0 || lb == 0) return 0;
  const double c = dot(a, b) / (la * lb);
  if (NearlyEqual(c, 1)) return 0;
  if (NearlyEqual(c, -1)) return 180;
  return std::acos(c) * 180.0 / kPi;
}

Vector3D Add3(const Vector3D& a, const Vector3D& b) {
  return a + b;
}

Vector3D RotateX(const Vector3D& p, double degrees) {
  const double c = std::cos(radians(degrees));
  const double s = std::sin(radians(degrees));
  return {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
}

Vector3D RotateY(const Vector3D& p, double degrees) {
  const double c = std::cos(radians(degrees));
  const double s = std::sin(radians(degrees));
  return {p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
}

Vector3D RotateZ(const Vector3D& p, double degrees) {
  const double c = std::cos(radians(degrees));
  const double s = std::sin(radians(degrees));
  return {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}

} // namespace vorlan
