#include "app/Inspector.h"

#include "graphic_viewer/KX_GRAPHIC_VIEWER.h"
#include "platform/FileBytes.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>
#include <exception>

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

int RunInspector(const QStringList& arguments) {
  QStringList rest = arguments.mid(1);
  rest.removeOne("--info");
  const bool json = rest.removeOne("--json");
  if (rest.size() != 1 || rest.front().startsWith("-")) {
    std::fputs(InfoUsage, stderr);
    return 2;
  }
  const std::string fileName = rest.front().toStdString();
  if (upperExtension(fileName) != ".X2D") {
    std::fprintf(stderr, "%s: not yet: --info describes .x2d drawings only\n", fileName.c_str());
    return 1;
  }
  try {
    const QJsonObject info = DescribeX2d(fileName);
    const QByteArray text =
        json ? QJsonDocument(info).toJson(QJsonDocument::Indented) : Readable(info).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}

} // namespace vorlan
