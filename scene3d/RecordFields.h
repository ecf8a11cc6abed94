#pragma once

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/Colors.h"
#include "scene3d/Geometry3D.h"

namespace vorlan {

// Fields that 3D records share, read and written in the same order.

// A point or direction as three doubles X, Y, Z.
Vector3D readVector(BinaryCursor& F, const ReadWhat& what);
void writeVector(BinaryWriter& F, const Vector3D& v);

// Colours as separate bytes, red first.
TColorRGB readRGB(BinaryCursor& F, const ReadWhat& what);
TColorRGBA readRGBA(BinaryCursor& F, const ReadWhat& what);
void writeRGB(BinaryWriter& F, const TColorRGB& c);
void writeRGBA(BinaryWriter& F, const TColorRGBA& c);

} // namespace vorlan
