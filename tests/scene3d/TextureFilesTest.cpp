#include "SceneFixtures.h"
#include "support/TestSupport.h"

#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/TextureFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

std::string canonical(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).canonicalFilePath().toStdString();
}

// The current directory for as long as it lives.
class CurrentDirectory {
public:
  explicit CurrentDirectory(const std::string& path) : previous_(QDir::currentPath()) {
    QDir::setCurrent(QString::fromStdString(path));
  }
  ~CurrentDirectory() { QDir::setCurrent(previous_); }

private:
  QString previous_;
};

// Letter case is ignored in the document folder only; the current directory is tried after it.
TEST(TextureFiles, ResolvesWindowsNamesInTheDocumentFolderThenTheCurrentDirectory) {
  test::ScratchDir doc, current;
  QDir().mkpath(QString::fromStdString(doc.path("tex")));
  QDir().mkpath(QString::fromStdString(doc.path("folder.jpg")));
  // The accented name is UTF-8 on disk.
  for (const std::string& file :
       {doc.path("tex/wood.jpg"), doc.path("Brick.BMP"), doc.path("bois\xc3\xa9.bmp"), doc.path("same.bmp"),
        current.path("same.bmp"), current.path("current-only.bmp")})
    test::writeBytes(file, {1, 2, 3});
  const CurrentDirectory here(current.path(""));
  // clang-format off
  // found: relative to the document folder, or to the current directory when `inCurrent`; empty: nothing
  struct Case { std::string stored; std::string found; bool inCurrent = false; };
  for (const auto& [stored, found, inCurrent] :
       {Case{"TEX\\WOOD.JPG", "tex/wood.jpg"}, Case{"C:\\textures\\BRICK.bmp", "Brick.BMP"},
        Case{"d:brick.bmp", "Brick.BMP"}, Case{"\\\\server\\share\\Brick.BMP", "Brick.BMP"},
        Case{"C:\\Program Files\\wood.jpg", ""}, Case{"bois\xe9.bmp", "bois\xc3\xa9.bmp"},
        Case{"folder.jpg", ""}, Case{"tex\\", ""}, Case{doc.path("tex/wood.jpg"), "tex/wood.jpg"},
        Case{"same.bmp", "same.bmp"}, Case{"current-only.bmp", "current-only.bmp", true}, Case{"CURRENT-ONLY.BMP", ""}}) {
    // clang-format on
    SCOPED_TRACE(stored);
    const std::string result = resolveTextureFile(stored, doc.path(""));
    if (found.empty())
      EXPECT_EQ(result, "");
    else
      EXPECT_EQ(canonical(result), canonical((inCurrent ? current : doc).path(found)));
  }
}

// An entity record whose texture name block holds `name`, read as if from `document`.
test::LoadAttempt loadWithTexture(const std::string& name, bool useTexture, const std::string& document) {
  TEntity source;
  source.UseTexture = useTexture;
  auto bytes = test::savedBytes(source);
  std::fill_n(bytes.begin() + test::kTextureNameOffset, 256, 0);
  std::copy(name.begin(), name.end(), bytes.begin() + test::kTextureNameOffset);
  return test::tryLoadEntity(bytes, document);
}

std::string savedTextureName(const TEntity& entity) {
  const auto bytes = test::savedBytes(entity);
  BinaryCursor saved(bytes, "saved");
  saved.seek(test::kTextureNameOffset, "texture name");
  return saved.readText256("texture name");
}

// Texture files are told apart by their content, whatever their name says; one that is no picture is
// reported and the entity loads without it. A picture found turns the texture on and keeps its stored
// name, which is written back while the file is there. "Empty" means none, so a file of that name next
// to the document is not asked for; "NoTexture", saved for a file that is gone, is simply not found.
TEST(EntityTexture, FilesDecodeByTheirContentOrAreReportedAndLeftOut) {
  QImage stripes(30, 20, QImage::Format_RGB32);
  stripes.fill(QColor(20, 20, 240));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 10; ++x)
      stripes.setPixelColor(x, y, QColor(250, 20, 20));
  // clang-format off
  struct Case { const char* file; std::vector<std::uint8_t> bytes; const char* error; };
  test::ScratchDir doc;
  for (const Case& c : {Case{"Empty", encodeBmp(stripes), ""}, {"NoTexture", {}, ""},
                        {"wall.jpg", encodeJpeg(stripes), nullptr}, {"wall.bmp", encodeBmp(stripes), nullptr},
                        {"jpeg-named.bmp", encodeJpeg(stripes), nullptr},
                        {"notes.jpg", {'h', 'e', 'l', 'l', 'o'}, "neither a bitmap nor a JPEG"},
                        {"bad.jpg", {0xFF, 0xD8, 0xFF, 0x00, 'n', 'o', 't'}, "bad.jpg\" is not a picture"}}) {
    // clang-format on
    SCOPED_TRACE(c.file);
    if (!c.bytes.empty()) test::writeBytes(doc.path(c.file), c.bytes);
    const auto attempt = loadWithTexture(c.file, false, doc.path("scene.cam"));
    ASSERT_FALSE(attempt.error) << attempt.error->what();
    if (c.error) {
      const std::string& problem = attempt.entity->TextureProblem;
      EXPECT_FALSE(attempt.entity->Texture) << "the entity loads without the texture";
      if (!*c.error) {
        EXPECT_EQ(std::pair(problem, attempt.entity->UseTexture), std::pair(std::string(), false));
        continue;
      }
      EXPECT_NE(problem.find("offset " + std::to_string(test::kTextureNameOffset)), std::string::npos)
          << problem;
      EXPECT_NE(problem.find(c.error), std::string::npos) << problem;
      continue;
    }
    const TTexture& t = *attempt.entity->Texture;
    EXPECT_EQ(std::tuple(attempt.entity->UseTexture, t.Picture.size(), t.Width, t.Height,
                         savedTextureName(*attempt.entity)),
              std::tuple(true, QSize(30, 20), 500.0, 500.0, std::string(c.file)));
    const QImage& picture = t.Picture;
    EXPECT_LT(std::abs(qRed(picture.pixel(3, 3)) - 250), 12) << "the picture itself, not a placeholder";
    EXPECT_LT(std::abs(qBlue(picture.pixel(25, 15)) - 240), 12);
    QFile::remove(QString::fromStdString(doc.path(c.file)));
    EXPECT_EQ(savedTextureName(*attempt.entity), "NoTexture") << "a file that is gone is not named";
  }
}

} // namespace
} // namespace vorlan
