#pragma once

#include <QJsonObject>
#include <QStringList>

#include <string>

namespace vorlan {

// vorlancam --info FILE [--json]: what a file holds, without a window or a display.
bool IsInfoRequest(const QStringList& arguments);
// Prints the facts on stdout; returns 0, or 1 with "file: offset N: reason" on stderr, or 2 on misuse.
int RunInspector(const QStringList& arguments);

// A drawing loaded into a new document: its version, the document's layers, the records of the
// file by class and the loaded group's box. Load failures raise ReadError.
QJsonObject DescribeX2d(const std::string& fileName);
// Any file the viewer opens, chosen by its extension as File > Open chooses: a 3D scene or model
// (items with their counts of points, faces, contours and mappings, the bounding box, every texture
// name with where it was found), a bitmap pair or a picture (size, depth, compression).
QJsonObject DescribeFile(const std::string& fileName);

} // namespace vorlan
