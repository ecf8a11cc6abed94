#include "scene3d/TextureFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

namespace vorlan {

namespace {

// Names written by the Windows program are in its single-byte code page; names that are valid UTF-8
// were written here.
QString nameFromStoredBytes(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString name = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (utf8.hasError()) name = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return name.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

bool hasDriveLetter(const QString& name) {
  return name.size() >= 2 && name[1] == QLatin1Char(':') && name[0].isLetter();
}

bool isNetworkPath(const QString& name) {
  return name.startsWith(QLatin1String("//"));
}

QString lastComponent(const QString& name) {
  return name.section(QLatin1Char('/'), -1);
}

bool isFile(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && info.isFile();
}

// The entry of `folder` named `name` when letter case is ignored; an exact match is preferred.
QString entryIgnoringCase(const QDir& folder, const QString& name) {
  if (name == QLatin1String(".") || name == QLatin1String("..") || folder.exists(name)) return name;
  const QStringList entries =
      folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& entry : entries)
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
  return {};
}

QString findIgnoringCase(const QString& folder, const QString& relativeName) {
  QDir dir(folder);
  const QStringList parts = relativeName.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const QString entry = entryIgnoringCase(dir, parts[i]);
    if (entry.isEmpty()) return {};
    if (i + 1 == parts.size()) return isFile(dir.filePath(entry)) ? dir.filePath(entry) : QString();
    if (!dir.cd(entry)) return {};
  }
  return {};
}

} // namespace

std::string resolveTextureFile(const std::string& storedName, const std::string& documentFolder) {
  QString name = nameFromStoredBytes(storedName);
  if (hasDriveLetter(name))
    name = lastComponent(name.mid(2));
  else if (isNetworkPath(name))
    name = lastComponent(name);
  if (name.isEmpty()) return {};
  const QString folder = QString::fromStdString(documentFolder);
  if (QDir::isAbsolutePath(name)) {
    if (isFile(name)) return name.toStdString();
    return findIgnoringCase(QStringLiteral("/"), name).toStdString();
  }
  for (const QString& base : {folder, QDir::currentPath()}) {
    const QString path = QDir(base).filePath(name);
    if (isFile(path)) return path.toStdString();
  }
  return findIgnoringCase(folder, name).toStdString();
}

std::string documentFolderOf(const std::string& documentFileName) {
  return QFileInfo(QString::fromStdString(documentFileName)).absolutePath().toStdString();
}

} // namespace vorlan
