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

} // namespace vorlan
