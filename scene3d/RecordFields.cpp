#include "scene3d/RecordFields.h"

namespace vorlan {

Vector3D readVector(BinaryCursor& F, const ReadWhat& what) {
  Vector3D v;
  v.x = F.readDouble(what);
  v.y = F.readDouble(what);
  v.z = F.readDouble(what);
  return v;
}

void writeVector(BinaryWriter& F, const Vector3D& v) {
  F.writeDouble(v.x);
  F.writeDouble(v.y);
  F.writeDouble(v.z);
}

TColorRGB readRGB(BinaryCursor& F, const ReadWhat& what) {
  TColorRGB c;
  c.R = F.readByte(what);
  c.G = F.readByte(what);
  c.B = F.readByte(what);
  return c;
}

TColorRGBA readRGBA(BinaryCursor& F, const ReadWhat& what) {
  TColorRGBA c;
  c.R = F.readByte(what);
  c.G = F.readByte(what);
  c.B = F.readByte(what);
  c.A = F.readByte(what);
  return c;
}

void writeRGB(BinaryWriter& F, const TColorRGB& c) {
  F.writeByte(c.R);
  F.writeByte(c.G);
  F.writeByte(c.B);
}

void writeRGBA(BinaryWriter& F, const TColorRGBA& c) {
  F.writeByte(c.R);
  F.writeByte(c.G);
  F.writeByte(c.B);
  F.writeByte(c.A);
}

} // namespace vorlan
