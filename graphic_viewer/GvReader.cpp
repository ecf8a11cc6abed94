#include "graphic_viewer/GvReader.h"

#include "graphic_viewer/GvReadContext.h"
#include "platform/Dib.h"
#include "platform/Jpeg.h"
#include "platform/PictureBudget.h"

#include <cmath>
#include <cstring>

namespace vorlan {

namespace {

// Shortest records, used to check a count against the bytes left before anything is allocated.
constexpr std::size_t CommonPartMinSize = 4 + 4 + 4 + 8 + 4 * 1 + 4 + 4 + 4 * 8 + 4 + 3 * 1;
constexpr std::size_t EntityRecordMinSize = 4 + CommonPartMinSize;
constexpr std::size_t GripRecordSize = 19;
constexpr std::size_t LayerRecordSize = 285;
constexpr int MaxLayerId = 255;

// Layers store their brush in their own code order; entities use the in-memory one.
std::optional<BrushStyle> LayerBrushFromCode(int code) {
  static constexpr BrushStyle order[] = {BrushStyle::Solid,      BrushStyle::Clear,   BrushStyle::BDiagonal,
                                         BrushStyle::FDiagonal,  BrushStyle::Cross,   BrushStyle::DiagCross,
                                         BrushStyle::Horizontal, BrushStyle::Vertical};
  if (code < 0 || code > 7) return std::nullopt;
  return order[code];
}

class BodyReader {
public:
  BodyReader(BinaryCursor& cursor, TGV_DOCUMENT& document, X2dRecordCounts* counts)
      : cursor_(cursor), document_(document), counts_(counts) {}

  void SkipPreview();
  void ReadLayers();
  std::unique_ptr<TGV_GROUPE> ReadEntities(std::uint8_t loadLayer);

private:
  std::unique_ptr<TGV_ENTITY> ReadEntity(int depth);
  std::uint8_t ReadCommonPart(TGV_ENTITY& entity);
  void ReadTail(TGV_ENTITY& entity, int depth, std::uint8_t& layerPosition);
  void ApplyLayerPosition(TGV_ENTITY& entity, std::uint8_t position, std::size_t offset);

  void ReadLayer(TGV_Layer& layer);
  void ReadLineTail(TGV_LINE& line);
  void ReadArrowTail(TGV_ARROW& arrow);
  void ReadPointTail(TGV_Point& point);
  void ReadCircleTail(TGV_CERCLE& circle);
  void ReadArcTail(TGV_ARC& arc);
  void ReadDimensionTail(TGV_COTE& dimension);
  void ReadAngularDimensionTail(TGV_COTEA& dimension, std::uint8_t& layerPosition);
  void ReadTextTail(TGV_TEXTE& text);
  void ReadPolygonTail(TGV_POLYGONE& polygon);
  void ReadGroupTail(TGV_GROUPE& group, int depth);
  void ReadReportCellTail(TGV_RptMemoCel& cell, int depth);
  void ReadBitmapTail(TGV_BITMAP& bitmap);
  QImage ReadChunkedJpeg();
  QImage ReadJpeg();
  Font ReadFontBlock();
  Font ReadFontLBlock();
  void ReadFontTail(Font& font);
  std::vector<TGV_SELPOINT> ReadGripRecords(const char* countName, const char* name);
  QString ReadText256(const char* what) { return FromWindows1252(cursor_.readText256(what)); }
  QString ReadLString(const char* what);

  BinaryCursor& cursor_;
  TGV_DOCUMENT& document_;
  X2dRecordCounts* counts_;
  // File layer position -> index in the document's layers; positions the file does not list stay
  // on the first layer.
  std::array<int, MaxFileLayers> layerMap_{};
};

void BodyReader::SkipPreview() {
  const std::size_t length = cursor_.readCount(1, "preview length");
  cursor_.skip(length, "preview picture");
}

// Merged by name: a layer the document already has is not added twice.
void BodyReader::ReadLayers() {
  const std::size_t start = cursor_.offset();
  const std::size_t count = cursor_.readCount(LayerRecordSize, "layer count");
  if (count > MaxFileLayers)
    cursor_.failAt(start, std::to_string(count) + " layers; a drawing holds at most " +
                              std::to_string(MaxFileLayers));
  int maxId = document_.MaxLayerId();
  TGV_UndoRedo compound{TGV_UndoKind::Compound, nullptr, nullptr, {}};
  for (std::size_t i = 0; i < count; ++i) {
    auto layer = std::make_unique<TGV_Layer>();
    layer->Name = "aLayer";
    ReadInRecord([&] { ReadLayer(*layer); }, [&] { return "layer " + std::to_string(i); });
    const int existing = document_.LayerIndexByName(layer->Name);
    if (existing >= 0) {
      layerMap_[i] = existing;
      continue;
    }
    layerMap_[i] = static_cast<int>(document_.Layers().size());
    layer->Id = ++maxId;
    compound.Records.push_back(
        {TGV_UndoKind::LayerAdded, nullptr, &document_.AppendLayer(std::move(layer)), {}});
  }
  if (!compound.Records.empty()) document_.UndoHistory().Push(std::move(compound));
}

// int32 id at save time (unused), int32 pen style, colour, text256 name, double pen width in mm,
// int32 brush style in the layer code order, colour, bool8 selectable.
void BodyReader::ReadLayer(TGV_Layer& layer) {
  cursor_.readInt32("saved id");
  if (auto style = penStyleFromCode(cursor_.readInt32("pen style"))) layer.PenStyle = *style;
  layer.PenColor = cursor_.readUInt32("pen colour");
  layer.Name = ReadText256("name");
  layer.PenWidthMM = cursor_.readDouble("pen width");
  if (auto style = LayerBrushFromCode(cursor_.readInt32("brush style"))) layer.BrushStyle = *style;
  layer.BrushColor = cursor_.readUInt32("brush colour");
  layer.Selectable = cursor_.readBool("selectable");
}

std::unique_ptr<TGV_GROUPE> BodyReader::ReadEntities(std::uint8_t loadLayer) {
  const std::size_t start = cursor_.offset();
  const std::int32_t count = cursor_.readInt32("entity count");
  if (count <= 0) return nullptr;
  if (static_cast<std::size_t>(count) > cursor_.remaining() / EntityRecordMinSize)
    cursor_.failAt(start, "entity count of " + std::to_string(count) + " records does not fit in the " +
                              std::to_string(cursor_.remaining()) + " bytes left");
  auto group = std::make_unique<TGV_GROUPE>(&document_, loadLayer);
  group->Layer = loadLayer;
  for (std::int32_t i = 0; i < count; ++i)
    group->Add(ReadInRecord([&] { return ReadEntity(1); }, [&] { return "entity " + std::to_string(i); }));
  return group;
}

// int32 type tag, the common part, the class tail.
std::unique_ptr<TGV_ENTITY> BodyReader::ReadEntity(int depth) {
  const std::size_t start = cursor_.offset();
  const std::int32_t tag = cursor_.readInt32("type tag");
  if (tag < 0 || tag >= TGV_TagCount)
    cursor_.failAt(start, "entity type tag " + std::to_string(tag) + " is outside 0..18");
  std::unique_ptr<TGV_ENTITY> entity = CreateEntity(static_cast<TGV_Tag>(tag), &document_);
  const std::size_t layerOffset = cursor_.offset() + 20;
  std::uint8_t layerPosition = ReadCommonPart(*entity);
  ReadTail(*entity, depth, layerPosition);
  ApplyLayerPosition(*entity, layerPosition, layerOffset);
  if (counts_) ++(*counts_)[static_cast<std::size_t>(tag)];
  return entity;
}

void BodyReader::ApplyLayerPosition(TGV_ENTITY& entity, std::uint8_t position, std::size_t offset) {
  const int id = document_.Layers()[static_cast<std::size_t>(layerMap_[position])]->Id;
  if (id > MaxLayerId || id < 0)
    cursor_.failAt(offset, "layer position " + std::to_string(position) + " maps to layer Id " +
                               std::to_string(id) + ", outside 0..255");
  entity.Layer = static_cast<std::uint8_t>(id);
}

// Pen style, pen colour, pen width, pen width in mm, layer position, selectable, selected, marked,
// brush style, brush colour, extents, grips, then three optional blocks. Returns the layer position.
std::uint8_t BodyReader::ReadCommonPart(TGV_ENTITY& entity) {
  entity.Grips.clear();
  if (auto style = penStyleFromCode(cursor_.readInt32("pen style"))) entity.PenStyle = *style;
  entity.PenColor = cursor_.readUInt32("pen colour");
  entity.PenWidth = cursor_.readInt32("pen width");
  entity.PenWidthMM = cursor_.readDouble("pen width mm");
  const std::uint8_t layerPosition = cursor_.readByte("layer");
  entity.Selectable = cursor_.readBool("selectable");
  entity.Selected = cursor_.readBool("selected");
  entity.Marked = cursor_.readBool("marked");
  if (auto style = brushStyleFromCode(cursor_.readInt32("brush style"))) entity.BrushStyle = *style;
  entity.BrushColor = cursor_.readUInt32("brush colour");
  entity.XMin = cursor_.readDouble("extents");
  entity.YMin = cursor_.readDouble("extents");
  entity.XMax = cursor_.readDouble("extents");
  entity.YMax = cursor_.readDouble("extents");
  entity.Grips = ReadGripRecords("grip count", "grip");
  if (cursor_.readBool("block 1")) {
    entity.GripsShown = cursor_.readBool("grips shown");
    entity.Selectable = cursor_.readBool("selectable");
  }
  if (cursor_.readBool("block 2")) entity.Visible = cursor_.readBool("visible");
  if (cursor_.readBool("block 3")) {
    entity.Printable = cursor_.readBool("printable");
    cursor_.skip(3, "block 3");
  }
  return layerPosition;
}

void BodyReader::ReadTail(TGV_ENTITY& entity, int depth, std::uint8_t& layerPosition) {
  switch (entity.Tag()) {
  case TGV_Tag::Line:
  case TGV_Tag::Axe:
    return ReadLineTail(static_cast<TGV_LINE&>(entity));
  case TGV_Tag::Arrow:
    return ReadArrowTail(static_cast<TGV_ARROW&>(entity));
  case TGV_Tag::Point:
    return ReadPointTail(static_cast<TGV_Point&>(entity));
  case TGV_Tag::Cercle:
    return ReadCircleTail(static_cast<TGV_CERCLE&>(entity));
  case TGV_Tag::Arc:
    return ReadArcTail(static_cast<TGV_ARC&>(entity));
  case TGV_Tag::Cote:
    return ReadDimensionTail(static_cast<TGV_COTE&>(entity));
  case TGV_Tag::CoteA:
    return ReadAngularDimensionTail(static_cast<TGV_COTEA&>(entity), layerPosition);
  case TGV_Tag::Texte:
    return ReadTextTail(static_cast<TGV_TEXTE&>(entity));
  case TGV_Tag::Polygone:
    return ReadPolygonTail(static_cast<TGV_POLYGONE&>(entity));
  case TGV_Tag::SequencedPolygone: {
    auto& polygon = static_cast<TGV_SEQUENCED_POLYGONE&>(entity);
    ReadPolygonTail(polygon);
    polygon.Sequence = ReadClosedSequence(cursor_);
    return;
  }
  case TGV_Tag::Bitmap:
    return ReadBitmapTail(static_cast<TGV_BITMAP&>(entity));
  case TGV_Tag::Groupe:
  case TGV_Tag::Polyline:
  case TGV_Tag::Rectangle:
  case TGV_Tag::PolygoneRegulier:
  case TGV_Tag::CoteSerie:
    return ReadGroupTail(static_cast<TGV_GROUPE&>(entity), depth);
  case TGV_Tag::SequencedPolyline: {
    auto& polyline = static_cast<TGV_SEQUENCED_POLYLINE&>(entity);
    ReadGroupTail(polyline, depth);
    polyline.Sequence = ReadOpenedSequence(cursor_);
    return;
  }
  case TGV_Tag::RptMemoCel:
    return ReadReportCellTail(static_cast<TGV_RptMemoCel&>(entity), depth);
  }
}

// double X1, Y1, X2, Y2; 3 reserved.
void BodyReader::ReadLineTail(TGV_LINE& line) {
  for (double* field : {&line.X1, &line.Y1, &line.X2, &line.Y2})
    *field = cursor_.readDouble("line point");
  cursor_.skip(3, "line reserved");
}

// The line tail; int32 start head, int32 end head, double head size; 3 reserved.
void BodyReader::ReadArrowTail(TGV_ARROW& arrow) {
  ReadLineTail(arrow);
  arrow.StartHead = cursor_.readInt32("start head");
  arrow.EndHead = cursor_.readInt32("end head");
  arrow.HeadSize = cursor_.readDouble("head size");
  cursor_.skip(3, "arrow reserved");
}

// double X, Y, Radius; 3 reserved.
void BodyReader::ReadPointTail(TGV_Point& point) {
  for (double* field : {&point.X, &point.Y, &point.Radius})
    *field = cursor_.readDouble("point");
  cursor_.skip(3, "point reserved");
}

// double CX, CY, Radius; 3 reserved.
void BodyReader::ReadCircleTail(TGV_CERCLE& circle) {
  for (double* field : {&circle.CX, &circle.CY, &circle.Radius})
    *field = cursor_.readDouble("circle");
  cursor_.skip(3, "circle reserved");
}

// double CX, CY, Radius, X1, Y1, X2, Y2; 3 reserved.
void BodyReader::ReadArcTail(TGV_ARC& arc) {
  for (double* field : {&arc.CX, &arc.CY, &arc.Radius, &arc.X1, &arc.Y1, &arc.X2, &arc.Y2})
    *field = cursor_.readDouble("arc");
  cursor_.skip(3, "arc reserved");
}

// double X1, Y1, X2, Y2; text256 text; int32 text size; font block; byte fixed text; 2 reserved.
void BodyReader::ReadDimensionTail(TGV_COTE& dimension) {
  for (double* field : {&dimension.X1, &dimension.Y1, &dimension.X2, &dimension.Y2})
    *field = cursor_.readDouble("dimension");
  dimension.Text = ReadText256("dimension text");
  dimension.TextSize = cursor_.readInt32("text size");
  dimension.Font = ReadFontBlock();
  dimension.FixedText = cursor_.readBool("fixed text");
  cursor_.skip(2, "dimension reserved");
}

// double CX, CY, Radius, X1, Y1, X2, Y2; int32 text size; byte layer position (this one counts);
// text256 text; font block; byte fixed text; 2 reserved.
void BodyReader::ReadAngularDimensionTail(TGV_COTEA& dimension, std::uint8_t& layerPosition) {
  for (double* field : {&dimension.CX, &dimension.CY, &dimension.Radius, &dimension.X1, &dimension.Y1,
                        &dimension.X2, &dimension.Y2})
    *field = cursor_.readDouble("angular");
  dimension.TextSize = cursor_.readInt32("text size");
  layerPosition = cursor_.readByte("layer");
  dimension.Text = ReadText256("dimension text");
  dimension.Font = ReadFontBlock();
  dimension.FixedText = cursor_.readBool("fixed text");
  cursor_.skip(2, "angular reserved");
}

// double X, Y; text256 text; int32 text size; font block; bool8 angle present [double angle];
// 2 reserved.
void BodyReader::ReadTextTail(TGV_TEXTE& text) {
  text.X = cursor_.readDouble("text position");
  text.Y = cursor_.readDouble("text position");
  text.Text = ReadText256("text");
  text.TextSize = cursor_.readInt32("text size");
  text.Font = ReadFontBlock();
  if (cursor_.readBool("angle present")) text.Angle = cursor_.readDouble("angle");
  cursor_.skip(2, "text reserved");
}

// int32 count; per record X, Y (doubles) and 3 reserved bytes.
std::vector<TGV_SELPOINT> BodyReader::ReadGripRecords(const char* countName, const char* name) {
  std::vector<TGV_SELPOINT> points(cursor_.readCount(GripRecordSize, countName));
  for (TGV_SELPOINT& point : points) {
    point.X = cursor_.readDouble(name);
    point.Y = cursor_.readDouble(name);
    cursor_.skip(3, name);
  }
  return points;
}

// int32 vertex count; vertices as grip records; 3 reserved.
void BodyReader::ReadPolygonTail(TGV_POLYGONE& polygon) {
  polygon.Vertices = ReadGripRecords("vertex count", "vertex");
  cursor_.skip(3, "polygon reserved");
}

// int32 child count; the child records.
void BodyReader::ReadGroupTail(TGV_GROUPE& group, int depth) {
  if (depth >= MaxGroupDepth)
    cursor_.fail("groups nested deeper than " + std::to_string(MaxGroupDepth) + " levels");
  const std::size_t count = cursor_.readCount(EntityRecordMinSize, "child count");
  group.Children.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    group.Add(ReadEntity(depth + 1));
}

// The group tail; lstring value; byte; 3 reserved; 5 doubles; int32; lstring text; font lblock;
// byte alignment; int32; byte; 3 reserved.
void BodyReader::ReadReportCellTail(TGV_RptMemoCel& cell, int depth) {
  ReadGroupTail(cell, depth);
  cell.Value = ReadLString("cell value");
  cell.Flag = cursor_.readByte("cell flag");
  cursor_.skip(3, "cell reserved");
  for (double& field : cell.Cell)
    field = cursor_.readDouble("cell geometry");
  cell.Number1 = cursor_.readInt32("cell number");
  cell.Text = ReadLString("cell text");
  cell.Font = ReadFontLBlock();
  cell.Alignment = cursor_.readByte("cell alignment");
  cell.Number2 = cursor_.readInt32("cell number");
  cell.Flag2 = cursor_.readByte("cell flag");
  cursor_.skip(3, "cell reserved");
}

// int32 payload kind; the payload; double X, Y, Width, Height; 3 reserved.
void BodyReader::ReadBitmapTail(TGV_BITMAP& bitmap) {
  const std::int32_t kind = cursor_.readInt32("payload kind");
  if (kind == 1) {
    const std::size_t infoSize = cursor_.readCount(1, "DIB header size");
    const std::size_t bitsSize = cursor_.readCount(1, "DIB pixel size");
    cursor_.checkCount(static_cast<std::int64_t>(infoSize) + static_cast<std::int64_t>(bitsSize), 1,
                       "DIB size");
    bitmap.Bitmap = readDib(cursor_, infoSize, bitsSize, "bitmap").convertToFormat(QImage::Format_RGB888);
  } else if (kind == 2) {
    bitmap.Bitmap = ReadChunkedJpeg();
  } else if (kind == 3) {
    bitmap.Bitmap = ReadJpeg();
  }
  for (double* field : {&bitmap.X, &bitmap.Y, &bitmap.Width, &bitmap.Height})
    *field = cursor_.readDouble("bitmap place");
  cursor_.skip(3, "bitmap reserved");
}

// int32 total (unused); chunks of int32 n and n bytes, ended by n = 0.
QImage BodyReader::ReadChunkedJpeg() {
  cursor_.readInt32("JPEG total");
  const std::size_t start = cursor_.offset();
  std::vector<std::uint8_t> data;
  while (const std::size_t length = cursor_.readCount(1, "JPEG chunk length")) {
    const auto chunk = cursor_.readBytes(length, "JPEG chunk");
    data.insert(data.end(), chunk.begin(), chunk.end());
  }
  return decodeJpeg(data, cursor_.fileName(), start);
}

// int32 length; the JPEG file.
QImage BodyReader::ReadJpeg() {
  const std::size_t length = cursor_.readCount(1, "JPEG length");
  const std::size_t start = cursor_.offset();
  return decodeJpeg(cursor_.readBytes(length, "JPEG data"), cursor_.fileName(), start);
}

// int32 n = characters + 1, then the characters and a NUL.
QString BodyReader::ReadLString(const char* what) {
  const std::size_t start = cursor_.offset();
  const std::size_t length = cursor_.readCount(1, what);
  if (length < 1)
    cursor_.failAt(start, std::string(what) + ": length 0 leaves no room for the terminating NUL");
  const auto bytes = cursor_.readBytes(length, what);
  const auto* text = reinterpret_cast<const char*>(bytes.data());
  return FromWindows1252(std::string(text, strnlen(text, length)));
}

// text256 face name; then the common font fields.
Font BodyReader::ReadFontBlock() {
  Font font;
  font.name = ReadText256("font name");
  ReadFontTail(font);
  return font;
}

// lstring face name; then the common font fields.
Font BodyReader::ReadFontLBlock() {
  Font font;
  font.name = ReadLString("font name");
  ReadFontTail(font);
  return font;
}

// int32 height; colour; byte style set (bold, italic, underline, strike-out).
void BodyReader::ReadFontTail(Font& font) {
  font.height = cursor_.readInt32("font height");
  font.color = cursor_.readUInt32("font colour");
  const std::uint8_t style = cursor_.readByte("font style");
  font.bold = style & 1;
  font.italic = style & 2;
  font.underline = style & 4;
  font.strikeOut = style & 8;
}

} // namespace

X2dHeader ReadX2dHeader(BinaryCursor& cursor) {
  if (cursor.readText256("signature") != "X2D")
    cursor.failAt(0, "not an X2D drawing: the signature is not \"X2D\"");
  const std::int32_t reserved = cursor.readInt32("reserved word");
  if (reserved != 0)
    cursor.failAt(256, "not an X2D drawing: the reserved word is " + std::to_string(reserved) + ", not 0");
  X2dHeader header;
  header.Version = cursor.readDouble("format version");
  if (!std::isfinite(header.Version)) cursor.failAt(260, "the format version is not a number");
  if (header.Version > X2dFormatVersion) throw X2dTooRecentError(cursor.fileName(), 260, TooRecentMessage);
  header.PaperSpace = cursor.readBool("space view");
  header.ScalePaper = cursor.readDouble("paper scale");
  header.Landscape = cursor.readBool("print orientation");
  cursor.skip(20, "header reserved");
  return header;
}

TGV_GROUPE* LoadX2dBody(BinaryCursor& cursor, TGV_DOCUMENT& document, double version, std::uint8_t loadLayer,
                        X2dRecordCounts* counts) {
  BodyReader reader(cursor, document, counts);
  if (version > 1.1) {
    reader.SkipPreview();
    reader.ReadLayers();
  }
  std::unique_ptr<TGV_GROUPE> group = reader.ReadEntities(loadLayer);
  if (!group) return nullptr;
  auto& added = static_cast<TGV_GROUPE&>(document.AddEntity(std::move(group)));
  added.CalcExtents();
  document.UndoHistory().Push({TGV_UndoKind::EntitiesInserted, &added, nullptr, {}});
  return &added;
}

X2dHeader LoadX2d(std::span<const std::uint8_t> bytes, const std::string& fileName, TGV_DOCUMENT& document,
                  std::uint8_t loadLayer, X2dRecordCounts* counts) {
  PictureBudget pictures;
  const PictureBudgetScope charged(pictures);
  BinaryCursor cursor(bytes, fileName);
  const X2dHeader header = ReadX2dHeader(cursor);
  document.Version = header.Version;
  LoadX2dBody(cursor, document, header.Version, loadLayer, counts);
  return header;
}

QString FromWindows1252(const std::string& bytes) {
  // 0x80..0x9F; the five unassigned codes keep their C1 value, as Windows maps them.
  static constexpr char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text[static_cast<qsizetype>(i)] = QChar(byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char16_t{byte});
  }
  return text;
}

std::string ToWindows1252(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar c : text) {
    const char16_t code = c.unicode();
    if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
      bytes.push_back(static_cast<char>(code));
      continue;
    }
    char byte = '?';
    for (int b = 0x80; b < 0xA0; ++b)
      if (FromWindows1252(std::string(1, static_cast<char>(b)))[0] == c) byte = static_cast<char>(b);
    bytes.push_back(byte);
  }
  return bytes;
}

} // namespace vorlan
