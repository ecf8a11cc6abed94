#include "app/Inspector.h"

#include "cam/KX_CAMOBJET.h"
#include "graphic_viewer/KX_GRAPHIC_VIEWER.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "platform/PictureFacts.h"
#include "platform/ReadError.h"
#include "scene3d/Geometry3D.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>

namespace vorlan {

namespace {

constexpr const char* InfoUsage = "usage: vorlancam --info FILE [--json]\n";

QString PenStyleName(PenStyle style) {
  static const char* names[] = {"solid", "dash", "dot", "dash_dot", "dash_dot_dot", "clear", "inside_frame"};
  return names[static_cast<int>(style)];
}

QString BrushStyleName(BrushStyle style) {
  static const char* names[] = {
      "solid", "clear",         "horizontal", "vertical", "forward_diagonal", "backward_diagonal",
      "cross", "diagonal_cross"};
  return names[static_cast<int>(style)];
}

QString ColorText(TColor color) {
  return QString::asprintf("#%02x%02x%02x", GetRValue(color), GetGValue(color), GetBValue(color));
}

QJsonObject DescribeLayer(const TGV_Layer& layer) {
  return {{"name", layer.Name},
          {"id", layer.Id},
          {"pen_color", ColorText(layer.PenColor)},
          {"pen_style", PenStyleName(layer.PenStyle)},
          {"brush_style", BrushStyleName(layer.BrushStyle)},
          {"selectable", layer.Selectable}};
}

QString Readable(const QJsonObject& info) {
  QString text;
  text += "file: " + info["file"].toString() + "\n";
  text += "format: " + info["format"].toString() + "\n";
  text += "version: " + QString::number(info["version"].toDouble()) + "\n";
  const QJsonArray layers = info["layers"].toArray();
  text += QString("layers: %1\n").arg(layers.size());
  for (const QJsonValue& value : layers) {
    const QJsonObject layer = value.toObject();
    text += QString("  %1 (id %2): pen %3 %4, brush %5%6\n")
                .arg(layer["name"].toString())
                .arg(layer["id"].toInt())
                .arg(layer["pen_color"].toString(), layer["pen_style"].toString(),
                     layer["brush_style"].toString(), layer["selectable"].toBool() ? "" : ", not selectable");
  }
  const QJsonObject entities = info["entities"].toObject();
  text += "entities:\n";
  for (auto it = entities.begin(); it != entities.end(); ++it)
    text += QString("  %1: %2\n").arg(it.key()).arg(it.value().toInt());
  QStringList box;
  for (const QJsonValue& value : info["extents"].toArray())
    box << QString::number(value.toDouble());
  text += "extents: " + box.join(' ') + "\n";
  return text;
}

// Any description as indented "key: value" lines, for the kinds without a layout of their own.
void AppendReadable(QString& text, const QJsonValue& value, const QString& key, int depth) {
  const QString indent(2 * depth, ' ');
  const QString label = key.isEmpty() ? indent + "-" : indent + key + ":";
  if (value.isObject()) {
    text += label + "\n";
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
      AppendReadable(text, it.value(), it.key(), depth + 1);
  } else if (value.isArray()) {
    const QJsonArray array = value.toArray();
    const bool numbers =
        std::all_of(array.begin(), array.end(), [](const QJsonValue& v) { return v.isDouble(); });
    if (numbers) {
      QStringList items;
      for (const QJsonValue& item : array)
        items << QString::number(item.toDouble());
      text += label + " " + items.join(' ') + "\n";
      return;
    }
    text += label + "\n";
    for (const QJsonValue& item : array)
      AppendReadable(text, item, QString(), depth + 1);
  } else {
    const QString shown = value.isBool()     ? (value.toBool() ? "yes" : "no")
                          : value.isDouble() ? QString::number(value.toDouble())
                          : value.isNull()   ? "none"
                                             : value.toString();
    text += label + " " + shown + "\n";
  }
}

QString ReadableAnyKind(const QJsonObject& info) {
  QString text;
  for (auto it = info.begin(); it != info.end(); ++it)
    AppendReadable(text, it.value(), it.key(), 0);
  return text;
}

// A box grown point by point; empty until the first point.
class BoundsBuilder {
public:
  void Add(const Vector3D& p) {
    if (!min_) {
      min_ = max_ = p;
      return;
    }
    min_ = Vector3D{std::min(min_->x, p.x), std::min(min_->y, p.y), std::min(min_->z, p.z)};
    max_ = Vector3D{std::max(max_->x, p.x), std::max(max_->y, p.y), std::max(max_->z, p.z)};
  }
  QJsonValue Json() const {
    if (!min_) return QJsonValue::Null;
    return QJsonArray{min_->x, min_->y, min_->z, max_->x, max_->y, max_->z};
  }

private:
  std::optional<Vector3D> min_, max_;
};

// Translation first, then the turns about X, Y and Z: the order of the entities' own bounds.
Vector3D Placed(const Vector3D& p, const TObjects& object) {
  return RotateZ(RotateY(RotateX(p + object.Position, object.Rotation.x), object.Rotation.y),
                 object.Rotation.z);
}

// The stored name, and where it was found; a missing picture shows as unresolved.
QJsonObject DescribeTexture(const TEntity& entity) {
  const bool found = entity.Texture && !entity.Texture->Path.empty();
  return {{"name", QString::fromStdString(entity.TextureName)},
          {"resolved", found},
          {"path", found ? QJsonValue(QString::fromStdString(entity.Texture->Path)) : QJsonValue::Null}};
}

struct SceneTotals {
  int Entities = 0, SuperObjects = 0, Mappings = 0;
  qint64 Points = 0, Faces = 0, Contours = 0;
  QJsonArray Textures;
  BoundsBuilder Bounds;
};

// `group` is the super-object the entity belongs to, whose placement applies after the entity's.
QJsonObject DescribeEntity(const TEntity& entity, const TSuperObject* group, SceneTotals& totals) {
  qint64 contours = 0;
  for (const auto& face : entity.Faces)
    contours += static_cast<qint64>(face->Contours.size());
  QJsonObject info{{"type", "entity"},
                   {"name", QString::fromStdString(entity.Name)},
                   {"points", static_cast<qint64>(entity.Points.size())},
                   {"faces", static_cast<qint64>(entity.Faces.size())},
                   {"contours", contours}};
  // Both markers mean "no picture": the first is written for none, the second for one gone missing.
  if (entity.TextureName != kNoTextureName && entity.TextureName != kMissingTextureName) {
    info["texture"] = DescribeTexture(entity);
    totals.Textures.append(info["texture"]);
  }
  if (group) {
    const auto& mappings = group->Mappings;
    const auto mapping = std::find_if(mappings.begin(), mappings.end(),
                                      [&](const auto& m) { return m.get() == entity.Mapping; });
    info["mapping"] =
        mapping == mappings.end() ? QJsonValue(-1) : QJsonValue(int(mapping - mappings.begin()));
  }
  for (const TPoint3D& point : entity.Points) {
    const Vector3D placed = Placed(point.Position(), entity);
    totals.Bounds.Add(group ? Placed(placed, *group) : placed);
  }
  ++totals.Entities;
  totals.Points += static_cast<qint64>(entity.Points.size());
  totals.Faces += static_cast<qint64>(entity.Faces.size());
  totals.Contours += contours;
  return info;
}

QJsonObject DescribeSuperObject(const TSuperObject& group, SceneTotals& totals) {
  QJsonArray entities;
  for (const auto& entity : group.Entities)
    entities.append(DescribeEntity(*entity, &group, totals));
  ++totals.SuperObjects;
  totals.Mappings += static_cast<int>(group.Mappings.size());
  return {{"type", "super_object"},
          {"name", QString::fromStdString(group.Name)},
          {"mappings", static_cast<int>(group.Mappings.size())},
          {"entities", entities}};
}

QJsonObject DescribeScene(QJsonObject info, const QJsonArray& items, const SceneTotals& totals) {
  info["items"] = items;
  info["counts"] = QJsonObject{{"entities", totals.Entities}, {"super_objects", totals.SuperObjects},
                               {"points", totals.Points},     {"faces", totals.Faces},
                               {"contours", totals.Contours}, {"mappings", totals.Mappings}};
  info["bounds"] = totals.Bounds.Json();
  info["textures"] = totals.Textures;
  return info;
}

QJsonObject DescribePicture(const PictureFacts& facts) {
  QJsonObject info{{"width", facts.Width},
                   {"height", facts.Height},
                   {"bits_per_pixel", facts.BitsPerPixel},
                   {"compression", QString::fromStdString(facts.Compression)}};
  if (facts.Components > 0) info["components"] = facts.Components;
  return info;
}

std::int32_t FirstWord(const std::vector<std::uint8_t>& bytes, const std::string& fileName) {
  BinaryCursor cursor(bytes, fileName);
  return cursor.readInt32("version");
}

QJsonObject DescribeCamScene(const std::string& fileName) {
  TCamObject document;
  document.Load(fileName);
  SceneTotals totals;
  QJsonArray items;
  for (const auto& item : document.Items) {
    if (const auto* group = dynamic_cast<const TSuperObject*>(item.get()))
      items.append(DescribeSuperObject(*group, totals));
    else if (const auto* entity = dynamic_cast<const TEntity*>(item.get()))
      items.append(DescribeEntity(*entity, nullptr, totals));
  }
  return DescribeScene({{"file", QString::fromStdString(fileName)},
                        {"format", "cam"},
                        {"kind", "scene"},
                        {"version", kCamVersion}},
                       items, totals);
}

// The header walk repeats the reader's layout: two words, two reserved words, two DIB blocks.
QJsonObject DescribeCamPair(const std::string& fileName) {
  TCamObject document;
  document.Load(fileName);
  const std::vector<std::uint8_t> bytes = readFileBytes(fileName);
  BinaryCursor cursor(bytes, fileName);
  cursor.skip(16, "cam header");
  QJsonArray pictures;
  for (const char* what : {"picture 1", "picture 2"}) {
    const std::size_t infoSize =
        cursor.checkCount(cursor.readInt32({what, "info size"}), 1, {what, "info size"});
    const std::size_t bitsSize =
        cursor.checkCount(cursor.readInt32({what, "pixel size"}), 1, {what, "pixel size"});
    pictures.append(DescribePicture(readDibFacts(cursor, infoSize, what)));
    cursor.skip(bitsSize, {what, "pixels"});
  }
  return {{"file", QString::fromStdString(fileName)},
          {"format", "cam"},
          {"kind", "bitmap_pair"},
          {"version", kCamVersion},
          {"pictures", pictures}};
}

QJsonObject DescribeCam(const std::string& fileName) {
  const std::int32_t kind = TCamObject().ReadKind(fileName);
  if (kind == kCamScene) return DescribeCamScene(fileName);
  if (kind == kCamBitmapPair) return DescribeCamPair(fileName);
  const std::vector<std::uint8_t> bytes = readFileBytes(fileName);
  BinaryCursor(bytes, fileName).failAt(0, "not a .cam file of a known version and kind");
}

QJsonObject DescribeX3d(const std::string& fileName) {
  const std::int32_t version = FirstWord(readFileBytes(fileName), fileName);
  TSuperObject model;
  ReadX3D(fileName, model);
  SceneTotals totals;
  const QJsonArray items{DescribeSuperObject(model, totals)};
  return DescribeScene({{"file", QString::fromStdString(fileName)}, {"format", "x3d"}, {"version", version}},
                       items, totals);
}

// The picture is decoded too, so that a file whose pixels are damaged is reported as such.
QJsonObject DescribePictureFile(const std::string& fileName, bool jpeg) {
  const std::vector<std::uint8_t> bytes = readFileBytes(fileName);
  const PictureFacts facts = jpeg ? jpegFacts(bytes, fileName) : bmpFacts(bytes, fileName);
  if (jpeg)
    decodeJpeg(bytes, fileName);
  else
    decodeBmp(bytes, fileName);
  QJsonObject info = DescribePicture(facts);
  info["file"] = QString::fromStdString(fileName);
  info["format"] = jpeg ? "jpeg" : "bmp";
  return info;
}

} // namespace

bool IsInfoRequest(const QStringList& arguments) {
  return arguments.contains("--info");
}

QJsonObject DescribeX2d(const std::string& fileName) {
  const std::vector<std::uint8_t> bytes = readFileBytes(fileName);
  TGV_DOCUMENT document;
  X2dRecordCounts counts{};
  const X2dHeader header = LoadX2d(bytes, fileName, document, 0, &counts);

  QJsonArray layers;
  for (const auto& layer : document.Layers())
    layers.append(DescribeLayer(*layer));
  QJsonObject entities;
  for (int tag = 0; tag < TGV_TagCount; ++tag)
    if (counts[static_cast<std::size_t>(tag)] > 0)
      entities[QString::fromUtf8(TagClassName(static_cast<TGV_Tag>(tag)))] =
          counts[static_cast<std::size_t>(tag)];
  QJsonArray extents;
  if (!document.Entities().empty()) {
    const TGV_ENTITY& group = *document.Entities().front();
    extents = {group.XMin, group.YMin, group.XMax, group.YMax};
  }
  return {{"file", QString::fromStdString(fileName)},
          {"format", "x2d"},
          {"version", header.Version},
          {"layers", layers},
          {"entities", entities},
          {"extents", extents}};
}

QJsonObject DescribeFile(const std::string& fileName) {
  const std::string extension = upperExtension(fileName);
  if (extension == ".X2D") return DescribeX2d(fileName);
  if (extension == ".CAM") return DescribeCam(fileName);
  if (extension == ".X3D") return DescribeX3d(fileName);
  if (extension == ".BMP" || extension == ".JPG") return DescribePictureFile(fileName, extension == ".JPG");
  throw ReadError(fileName, 0, "not a file the viewer opens (.cam, .x3d, .x2d, .bmp, .jpg)");
}

int RunInspector(const QStringList& arguments) {
  QStringList rest = arguments.mid(1);
  rest.removeOne("--info");
  const bool json = rest.removeOne("--json");
  if (rest.size() != 1 || rest.front().startsWith("-")) {
    std::fputs(InfoUsage, stderr);
    return 2;
  }
  const std::string fileName = rest.front().toStdString();
  try {
    const QJsonObject info = DescribeFile(fileName);
    const QString readable = info["format"] == "x2d" ? Readable(info) : ReadableAnyKind(info);
    const QByteArray text = json ? QJsonDocument(info).toJson(QJsonDocument::Indented) : readable.toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}

} // namespace vorlan
