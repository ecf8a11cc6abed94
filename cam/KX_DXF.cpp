#include "cam/KX_DXF.h"

#include "gl/GlTessellator.h"
#include "platform/FileBytes.h"
#include "platform/Messages.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace vorlan {
namespace {

constexpr int kDxfDigits = 5;
// Plain notation for these decimal exponents e of the rounded value written as 0.d1d2... x 10^e.
constexpr int kLowestPlainExponent = -3;
constexpr int kHighestPlainExponent = 5;

using Ring = std::vector<Vector3D>;

void WriteLines(std::string& out, std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) {
    out += line;
    out += "\r\n";
  }
}

void WriteCorner(std::string& out, int index, const Vector3D& p) {
  const std::string digit = std::to_string(index);
  WriteLines(out, {"1" + digit, DxfNumber(p.x), "2" + digit, DxfNumber(p.y), "3" + digit, DxfNumber(p.z)});
}

// Digits d1d2... without trailing zeros and the exponent e of 0.d1d2... x 10^e, for a finite
// |value| > 0 rounded to kDxfDigits significant digits.
std::pair<std::string, int> RoundedDigits(double magnitude) {
  char buffer[32];
  const char* end =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, kDxfDigits - 1)
          .ptr;
  const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  const std::size_t e = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e))
    if (c != '.') digits += c;
  digits.erase(digits.find_last_not_of('0') + 1);
  std::string_view exponent = text.substr(e + 1);
  if (exponent.front() == '+') exponent.remove_prefix(1);
  int scientific = 0;
  std::from_chars(exponent.data(), exponent.data() + exponent.size(), scientific);
  return {digits, scientific + 1};
}

std::string PlainNumber(const std::string& digits, int e) {
  if (e <= 0) return "0." + std::string(static_cast<std::size_t>(-e), '0') + digits;
  const auto whole = static_cast<std::size_t>(e);
  if (digits.size() <= whole) return digits + std::string(whole - digits.size(), '0');
  return digits.substr(0, whole) + "." + digits.substr(whole);
}

std::string ScientificNumber(const std::string& digits, int e) {
  std::string text = digits.substr(0, 1);
  if (digits.size() > 1) text += "." + digits.substr(1);
  return text + "E" + std::to_string(e - 1);
}

// The triangles of the rings filled by the odd winding rule (holes stay open), three corners each,
// from the model's own coordinates.
std::vector<Vector3D> TessellatedTriangles(const std::vector<Ring>& rings) {
  const Tessellation t = GlTessellator(TessWinding::Odd, TessOutput::Triangles).tessellate(rings);
  std::vector<Vector3D> corners;
  for (const TessPrimitive& triangles : t.Primitives)
    for (std::size_t number : triangles.Vertices) {
      const auto& c = t.Points[number];
      corners.push_back({c[0], c[1], c[2]});
    }
  return corners;
}

std::vector<Ring> FaceRings(const TFace& face) {
  std::vector<Ring> rings;
  face.RingPositions(rings);
  return rings;
}

// Fewer than three corners enclose nothing and write nothing.
void WriteDirectFace(std::string& out, const TFace& face, int layer) {
  const Ring p = FaceRings(face).front();
  if (p.size() == 3) Write3DFace(out, layer, p[0], p[1], p[2], p[0]);
  if (p.size() == 4) Write3DFace(out, layer, p[0], p[1], p[2], p[3]);
}

// The tessellator crashes on a NaN coordinate, and an infinite one bounds no area.
bool AllFinite(const std::vector<Ring>& rings) {
  for (const Ring& ring : rings)
    for (const Vector3D& p : ring)
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
  return true;
}

// False when the face gave no triangle.
bool WriteTessellatedFace(std::string& out, const TFace& face, int layer) {
  const std::vector<Ring> rings = FaceRings(face);
  if (!AllFinite(rings)) return false;
  const std::vector<Vector3D> corners = TessellatedTriangles(rings);
  for (std::size_t i = 0; i + 2 < corners.size(); i += 3)
    Write3DFace(out, layer, corners[i], corners[i + 1], corners[i + 2], corners[i]);
  return !corners.empty();
}

bool WriteFace(std::string& out, const TFace& face, int layer) {
  if (face.Contours.empty() && face.Refs.size() <= 4) {
    WriteDirectFace(out, face, layer);
    return true;
  }
  return WriteTessellatedFace(out, face, layer);
}

} // namespace

std::string DxfNumber(double value) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const auto [digits, e] = RoundedDigits(std::fabs(value));
  const std::string sign = value < 0 ? "-" : "";
  if (e >= kLowestPlainExponent && e <= kHighestPlainExponent) return sign + PlainNumber(digits, e);
  return sign + ScientificNumber(digits, e);
}

std::vector<const TEntity*> DxfEntities(std::span<TObjects* const> Items) {
  std::vector<const TEntity*> entities;
  for (const TObjects* item : Items) {
    if (const auto* entity = dynamic_cast<const TEntity*>(item)) entities.push_back(entity);
    if (const auto* group = dynamic_cast<const TSuperObject*>(item))
      for (const auto& entity : group->Entities)
        entities.push_back(entity.get());
  }
  return entities;
}

void Write3DFace(std::string& Out, int Layer, const Vector3D& P1, const Vector3D& P2, const Vector3D& P3,
                 const Vector3D& P4) {
  WriteLines(Out, {"0", "3DFACE", "8", std::to_string(Layer), "62", "0"});
  WriteCorner(Out, 0, P1);
  WriteCorner(Out, 1, P2);
  WriteCorner(Out, 2, P3);
  if (P4.x != NoFourthCorner && P4.y != NoFourthCorner && P4.z != NoFourthCorner) WriteCorner(Out, 3, P4);
}

std::string DxfText(std::span<const TEntity* const> EntityList, bool& SomeNotExported) {
  SomeNotExported = false;
  std::string out;
  WriteLines(out, {"0", "SECTION", "2", "HEADER", "0", "ENDSEC", "0", "SECTION", "2", "ENTITIES"});
  for (std::size_t i = 0; i < EntityList.size(); ++i)
    for (const auto& face : EntityList[i]->Faces)
      if (!WriteFace(out, *face, static_cast<int>(i))) SomeNotExported = true;
  WriteLines(out, {"0", "ENDSEC", "0", "EOF"});
  return out;
}

void ExportDXF(const std::string& FileName, std::span<const TEntity* const> EntityList) {
  if (EntityList.empty()) return;
  bool someNotExported = false;
  const std::string text = DxfText(EntityList, someNotExported);
  writeFileBytes(FileName, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  if (someNotExported) showMessage(kSomeNotExportedMessage);
}

} // namespace vorlan
