#pragma once

#include "scene3d/Geometry3D.h"

#include <span>
#include <string>
#include <vector>

namespace vorlan {

class TEntity;
class TObjects;

// A 4th-corner coordinate equal to this means that the 3DFACE has no fourth corner.
inline constexpr double NoFourthCorner = 999999.0;

inline constexpr const char* kSomeNotExportedMessage =
    "Some polygons are out of the screen and not exported !";

// A coordinate as the DXF holds it: rounded to 5 significant digits, trailing zeros dropped, "." as
// the decimal separator whatever the locale; plain for 1E-4 <= |value| < 1E5 after rounding
// (0.00012346, 1234.6), otherwise as 1.2346E5 or 1E-5.
std::string DxfNumber(double value);

// The entities of a DXF drawing of `Items`, in layer order: an entity item itself, a super-object
// its Entities in order; any other object adds nothing.
std::vector<const TEntity*> DxfEntities(std::span<TObjects* const> Items);

// Appends one 3DFACE record on layer `Layer`, each line ended by CR LF. The fourth corner is left
// out when any of its coordinates equals NoFourthCorner.
void Write3DFace(std::string& Out, int Layer, const Vector3D& P1, const Vector3D& P2, const Vector3D& P3,
                 const Vector3D& P4);

// The whole DXF text: entity i's faces on layer i, in face-list order, in the entity's model space.
// Faces of 3 or 4 corners are written as they are; faces of 5 or more corners or with contours go
// as the triangles of their odd-winding tessellation. `SomeNotExported` tells whether such a face
// gave no triangle.
std::string DxfText(std::span<const TEntity* const> EntityList, bool& SomeNotExported);

// Writes DxfText to `FileName`, replacing the file, then shows kSomeNotExportedMessage when a face
// gave no triangle. An empty list writes no file. A failed write raises ReadError before any
// message.
void ExportDXF(const std::string& FileName, std::span<const TEntity* const> EntityList);

} // namespace vorlan
