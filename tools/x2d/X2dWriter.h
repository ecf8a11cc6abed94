#pragma once

#include "graphic_viewer/KX_GRAPHIC_VIEWER.h"
#include "platform/BinaryWriter.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorlan::x2d {

// Writes .x2d drawings for the tests, the samples and the benchmarks; the program never writes
// them. Entities are written from the model classes, so a test can compare what it wrote with
// what the reader gives back. An entity's Layer is written as its layer position in the file.
class X2dWriter {
public:
  void WriteHeader(double version = 1.2, const std::string& signature = "X2D", std::int32_t reserved = 0);
  // Version 1.2 only: the preview length and picture, then the layer count and records.
  void WritePreview(std::span<const std::uint8_t> jpeg);
  void WriteLayers(const std::vector<TGV_Layer>& layers);
  void WriteEntityCount(std::int32_t count);
  void WriteEntity(const TGV_ENTITY& entity);
  // A bitmap with its picture as a DIB (1), chunked JPEG (2) or JPEG (3); WriteEntity uses 3.
  void WriteBitmap(const TGV_BITMAP& bitmap, int payloadKind);

  std::vector<std::uint8_t>& Bytes() { return out_.bytes(); }
  BinaryWriter& Out() { return out_; }
  // The offset where each record starts: header, preview, layer section and each layer, entity
  // count, each entity (children too) and each sequence piece; then the end of the file.
  std::vector<std::size_t> RecordBoundaries() const;
  // Records of each class written, nested children included.
  const X2dRecordCounts& Written() const { return written_; }

private:
  void Mark() { boundaries_.push_back(out_.size()); }
  void WriteCommonPart(const TGV_ENTITY& entity, bool isGroup);
  void WriteTail(const TGV_ENTITY& entity);
  void WriteLineTail(const TGV_LINE& line);
  void WriteGroupTail(const TGV_GROUPE& group);
  void WritePolygonTail(const TGV_POLYGONE& polygon);
  void WriteReportCellTail(const TGV_RptMemoCel& cell);
  void WriteBitmapTail(const TGV_BITMAP& bitmap, int payloadKind);
  void WriteFontBlock(const Font& font);
  void WriteFontTail(const Font& font);
  void WriteOpenedSequence(const T2DOpenedSequence& sequence);
  void WriteClosedSequence(const T2DClosedSequence& sequence);
  void WriteText256(const QString& text);

  BinaryWriter out_;
  std::vector<std::size_t> boundaries_;
  X2dRecordCounts written_{};
};

// File code of a brush in a layer record (their own order).
int LayerBrushCode(BrushStyle style);

// A small floor plan on named layers that uses every kind of record a drawing usually holds.
std::vector<std::uint8_t> FloorPlanDrawing();
// The box the floor plan's entities make after loading (its dimension row and its axis reach
// outside the walls).
constexpr double FloorPlanExtents[4] = {-500, -600, 10500, 8000};

// `count` entities cycling through lines, arcs, circles, polylines of three lines, texts and
// polygons of six vertices, on `layers` layers, laid out on a grid.
std::vector<std::uint8_t> MixedDrawing(int count, int layers);

} // namespace vorlan::x2d
