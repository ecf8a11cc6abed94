#include "tools/x2d/X2dWriter.h"

#include "platform/Dib.h"
#include "platform/Jpeg.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vorlan::x2d {

namespace {

int PenCode(PenStyle style) {
  return static_cast<int>(style);
}
int BrushCode(BrushStyle style) {
  return static_cast<int>(style);
}

std::uint8_t FontStyle(const Font& font) {
  return static_cast<std::uint8_t>((font.bold ? 1 : 0) | (font.italic ? 2 : 0) | (font.underline ? 4 : 0) |
                                   (font.strikeOut ? 8 : 0));
}

} // namespace

int LayerBrushCode(BrushStyle style) {
  static constexpr BrushStyle order[] = {BrushStyle::Solid,      BrushStyle::Clear,   BrushStyle::BDiagonal,
                                         BrushStyle::FDiagonal,  BrushStyle::Cross,   BrushStyle::DiagCross,
                                         BrushStyle::Horizontal, BrushStyle::Vertical};
  return static_cast<int>(std::find(std::begin(order), std::end(order), style) - std::begin(order));
}

void X2dWriter::WriteHeader(double version, const std::string& signature, std::int32_t reserved) {
  Mark();
  out_.writeText256(signature);
  out_.writeInt32(reserved);
  out_.writeDouble(version);
  out_.writeBool(false); // model space
  out_.writeDouble(10.0);
  out_.writeBool(true); // landscape
  out_.writeZeros(20);
}

void X2dWriter::WritePreview(std::span<const std::uint8_t> jpeg) {
  Mark();
  out_.writeInt32(static_cast<std::int32_t>(jpeg.size()));
  out_.writeBytes(jpeg);
}

void X2dWriter::WriteLayers(const std::vector<TGV_Layer>& layers) {
  Mark();
  out_.writeInt32(static_cast<std::int32_t>(layers.size()));
  for (const TGV_Layer& layer : layers) {
    Mark();
    out_.writeInt32(layer.Id);
    out_.writeInt32(PenCode(layer.PenStyle));
    out_.writeUInt32(layer.PenColor);
    WriteText256(layer.Name);
    out_.writeDouble(layer.PenWidthMM);
    out_.writeInt32(LayerBrushCode(layer.BrushStyle));
    out_.writeUInt32(layer.BrushColor);
    out_.writeBool(layer.Selectable);
  }
}

void X2dWriter::WriteEntityCount(std::int32_t count) {
  Mark();
  out_.writeInt32(count);
}

void X2dWriter::WriteEntity(const TGV_ENTITY& entity) {
  if (auto* bitmap = dynamic_cast<const TGV_BITMAP*>(&entity)) return WriteBitmap(*bitmap, 3);
  Mark();
  ++written_[static_cast<std::size_t>(entity.Tag())];
  out_.writeInt32(static_cast<std::int32_t>(entity.Tag()));
  WriteCommonPart(entity, IsGroupTag(entity.Tag()));
  WriteTail(entity);
}

void X2dWriter::WriteBitmap(const TGV_BITMAP& bitmap, int payloadKind) {
  Mark();
  ++written_[static_cast<std::size_t>(TGV_Tag::Bitmap)];
  out_.writeInt32(static_cast<std::int32_t>(TGV_Tag::Bitmap));
  WriteCommonPart(bitmap, false);
  WriteBitmapTail(bitmap, bitmap.Bitmap.isNull() ? 0 : payloadKind);
}

std::vector<std::size_t> X2dWriter::RecordBoundaries() const {
  std::vector<std::size_t> boundaries = boundaries_;
  boundaries.push_back(out_.size());
  return boundaries;
}

void X2dWriter::WriteCommonPart(const TGV_ENTITY& entity, bool isGroup) {
  out_.writeInt32(PenCode(entity.PenStyle));
  out_.writeUInt32(entity.PenColor);
  out_.writeInt32(entity.PenWidth);
  out_.writeDouble(entity.PenWidthMM);
  out_.writeByte(entity.Layer);
  out_.writeBool(entity.Selectable);
  out_.writeBool(entity.Selected);
  out_.writeBool(entity.Marked);
  out_.writeInt32(BrushCode(entity.BrushStyle));
  out_.writeUInt32(entity.BrushColor);
  for (double value : {entity.XMin, entity.YMin, entity.XMax, entity.YMax})
    out_.writeDouble(value);
  const auto grips = isGroup ? std::span<const TGV_SELPOINT>{} : std::span<const TGV_SELPOINT>(entity.Grips);
  out_.writeInt32(static_cast<std::int32_t>(grips.size()));
  for (const TGV_SELPOINT& grip : grips) {
    out_.writeDouble(grip.X);
    out_.writeDouble(grip.Y);
    out_.writeZeros(3);
  }
  out_.writeBool(true);
  out_.writeBool(entity.GripsShown);
  out_.writeBool(entity.Selectable);
  out_.writeBool(true);
  out_.writeBool(entity.Visible);
  out_.writeBool(true);
  out_.writeBool(entity.Printable);
  out_.writeZeros(3);
}

void X2dWriter::WriteTail(const TGV_ENTITY& entity) {
  switch (entity.Tag()) {
  case TGV_Tag::Line:
  case TGV_Tag::Axe:
    return WriteLineTail(static_cast<const TGV_LINE&>(entity));
  case TGV_Tag::Arrow: {
    const auto& arrow = static_cast<const TGV_ARROW&>(entity);
    WriteLineTail(arrow);
    out_.writeInt32(arrow.StartHead);
    out_.writeInt32(arrow.EndHead);
    out_.writeDouble(arrow.HeadSize);
    out_.writeZeros(3);
    return;
  }
  case TGV_Tag::Point: {
    const auto& point = static_cast<const TGV_Point&>(entity);
    for (double v : {point.X, point.Y, point.Radius})
      out_.writeDouble(v);
    out_.writeZeros(3);
    return;
  }
  case TGV_Tag::Cercle: {
    const auto& circle = static_cast<const TGV_CERCLE&>(entity);
    for (double v : {circle.CX, circle.CY, circle.Radius})
      out_.writeDouble(v);
    out_.writeZeros(3);
    return;
  }
  case TGV_Tag::Arc: {
    const auto& arc = static_cast<const TGV_ARC&>(entity);
    for (double v : {arc.CX, arc.CY, arc.Radius, arc.X1, arc.Y1, arc.X2, arc.Y2})
      out_.writeDouble(v);
    out_.writeZeros(3);
    return;
  }
  case TGV_Tag::Cote: {
    const auto& dimension = static_cast<const TGV_COTE&>(entity);
    for (double v : {dimension.X1, dimension.Y1, dimension.X2, dimension.Y2})
      out_.writeDouble(v);
    WriteText256(dimension.Text);
    out_.writeInt32(dimension.TextSize);
    WriteFontBlock(dimension.Font);
    out_.writeBool(dimension.FixedText);
    out_.writeZeros(2);
    return;
  }
  case TGV_Tag::CoteA: {
    const auto& dimension = static_cast<const TGV_COTEA&>(entity);
    for (double v : {dimension.CX, dimension.CY, dimension.Radius, dimension.X1, dimension.Y1, dimension.X2,
                     dimension.Y2})
      out_.writeDouble(v);
    out_.writeInt32(dimension.TextSize);
    out_.writeByte(dimension.Layer);
    WriteText256(dimension.Text);
    WriteFontBlock(dimension.Font);
    out_.writeBool(dimension.FixedText);
    out_.writeZeros(2);
    return;
  }
  case TGV_Tag::Texte: {
    const auto& text = static_cast<const TGV_TEXTE&>(entity);
    out_.writeDouble(text.X);
    out_.writeDouble(text.Y);
    WriteText256(text.Text);
    out_.writeInt32(text.TextSize);
    WriteFontBlock(text.Font);
    out_.writeBool(true);
    out_.writeDouble(text.Angle);
    out_.writeZeros(2);
    return;
  }
  case TGV_Tag::Polygone:
    return WritePolygonTail(static_cast<const TGV_POLYGONE&>(entity));
  case TGV_Tag::SequencedPolygone: {
    const auto& polygon = static_cast<const TGV_SEQUENCED_POLYGONE&>(entity);
    WritePolygonTail(polygon);
    return WriteClosedSequence(polygon.Sequence);
  }
  case TGV_Tag::Bitmap:
    return WriteBitmapTail(static_cast<const TGV_BITMAP&>(entity), 3);
  case TGV_Tag::Groupe:
  case TGV_Tag::Polyline:
  case TGV_Tag::Rectangle:
  case TGV_Tag::PolygoneRegulier:
  case TGV_Tag::CoteSerie:
    return WriteGroupTail(static_cast<const TGV_GROUPE&>(entity));
  case TGV_Tag::SequencedPolyline: {
    const auto& polyline = static_cast<const TGV_SEQUENCED_POLYLINE&>(entity);
    WriteGroupTail(polyline);
    return WriteOpenedSequence(polyline.Sequence);
  }
  case TGV_Tag::RptMemoCel:
    return WriteReportCellTail(static_cast<const TGV_RptMemoCel&>(entity));
  }
}

void X2dWriter::WriteLineTail(const TGV_LINE& line) {
  for (double v : {line.X1, line.Y1, line.X2, line.Y2})
    out_.writeDouble(v);
  out_.writeZeros(3);
}

void X2dWriter::WriteGroupTail(const TGV_GROUPE& group) {
  out_.writeInt32(static_cast<std::int32_t>(group.Children.size()));
  for (const auto& child : group.Children)
    WriteEntity(*child);
}

void X2dWriter::WritePolygonTail(const TGV_POLYGONE& polygon) {
  out_.writeInt32(static_cast<std::int32_t>(polygon.Vertices.size()));
  for (const TGV_SELPOINT& vertex : polygon.Vertices) {
    out_.writeDouble(vertex.X);
    out_.writeDouble(vertex.Y);
    out_.writeZeros(3);
  }
  out_.writeZeros(3);
}

void X2dWriter::WriteReportCellTail(const TGV_RptMemoCel& cell) {
  WriteGroupTail(cell);
  out_.writeLString(ToWindows1252(cell.Value));
  out_.writeByte(cell.Flag);
  out_.writeZeros(3);
  for (double v : cell.Cell)
    out_.writeDouble(v);
  out_.writeInt32(cell.Number1);
  out_.writeLString(ToWindows1252(cell.Text));
  out_.writeLString(ToWindows1252(cell.Font.name));
  WriteFontTail(cell.Font);
  out_.writeByte(cell.Alignment);
  out_.writeInt32(cell.Number2);
  out_.writeByte(cell.Flag2);
  out_.writeZeros(3);
}

void X2dWriter::WriteBitmapTail(const TGV_BITMAP& bitmap, int payloadKind) {
  out_.writeInt32(payloadKind);
  if (payloadKind == 1) {
    const std::vector<std::uint8_t> dib = encodeDib(bitmap.Bitmap, 24);
    out_.writeInt32(static_cast<std::int32_t>(BitmapInfoHeaderSize));
    out_.writeInt32(static_cast<std::int32_t>(dib.size() - BitmapInfoHeaderSize));
    out_.writeBytes(dib);
  } else if (payloadKind == 2) {
    const std::vector<std::uint8_t> jpeg = encodeJpeg(bitmap.Bitmap);
    out_.writeInt32(static_cast<std::int32_t>(jpeg.size()));
    for (std::size_t at = 0; at < jpeg.size(); at += 2048) {
      const std::size_t length = std::min<std::size_t>(2048, jpeg.size() - at);
      out_.writeInt32(static_cast<std::int32_t>(length));
      out_.writeBytes(std::span(jpeg).subspan(at, length));
    }
    out_.writeInt32(0);
  } else if (payloadKind == 3) {
    const std::vector<std::uint8_t> jpeg = encodeJpeg(bitmap.Bitmap);
    out_.writeInt32(static_cast<std::int32_t>(jpeg.size()));
    out_.writeBytes(jpeg);
  }
  for (double v : {bitmap.X, bitmap.Y, bitmap.Width, bitmap.Height})
    out_.writeDouble(v);
  out_.writeZeros(3);
}

void X2dWriter::WriteFontBlock(const Font& font) {
  WriteText256(font.name);
  WriteFontTail(font);
}

void X2dWriter::WriteFontTail(const Font& font) {
  out_.writeInt32(font.height);
  out_.writeUInt32(font.color);
  out_.writeByte(FontStyle(font));
}

void X2dWriter::WriteOpenedSequence(const T2DOpenedSequence& sequence) {
  out_.writeInt32(sequence.Count());
  for (const auto& piece : sequence.Pieces) {
    Mark();
    out_.writeInt32(static_cast<std::int32_t>(piece->PieceKind()));
    out_.writeBool(piece->Reversed);
    out_.writeBool(piece->Marker);
    for (double v : {piece->StartSlope, piece->EndSlope, piece->StartNormalSlope, piece->EndNormalSlope})
      out_.writeDouble(v);
    if (auto* line = dynamic_cast<const T2DSequenceLine*>(piece.get())) {
      for (double v : {line->X1, line->Y1, line->X2, line->Y2})
        out_.writeDouble(v);
    } else {
      const auto& arc = static_cast<const T2DSequenceArc&>(*piece);
      for (double v : {arc.CX, arc.CY, arc.Radius, arc.X1, arc.Y1, arc.X2, arc.Y2})
        out_.writeDouble(v);
    }
  }
}

void X2dWriter::WriteClosedSequence(const T2DClosedSequence& sequence) {
  out_.writeInt32(sequence.Count());
  for (const T2DOpenedSequence& loop : sequence.Loops)
    WriteOpenedSequence(loop);
}

void X2dWriter::WriteText256(const QString& text) {
  out_.writeText256(ToWindows1252(text));
}

} // namespace vorlan::x2d
