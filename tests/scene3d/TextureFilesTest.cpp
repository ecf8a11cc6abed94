#include "SceneFixtures.h"
#include "support/TestSupport.h"

#include "platform/FileBytes.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/TextureFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

void makeFile(const std::string& path) {
  test::writeBytes(path, {1, 2, 3});
}

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

TEST(TextureFiles, ResolvesWindowsNamesInTheDocumentFolder) {
  test::ScratchDir doc;
  QDir().mkpath(QString::fromStdString(doc.path("tex")));
  QDir().mkpath(QString::fromStdString(doc.path("folder.jpg")));
  makeFile(doc.path("tex/wood.jpg"));
  makeFile(doc.path("Brick.BMP"));
  makeFile(doc.path("bois\xc3\xa9.bmp")); // UTF-8 on disk
  struct Case {
    std::string stored;
    std::string found; // relative to the document folder; empty: nothing
  };
  for (const auto& [stored, found] :
       {Case{"TEX\\WOOD.JPG", "tex/wood.jpg"}, Case{"C:\\textures\\BRICK.bmp", "Brick.BMP"},
        Case{"d:brick.bmp", "Brick.BMP"}, Case{"\\\\server\\share\\Brick.BMP", "Brick.BMP"},
        Case{"C:\\Program Files\\wood.jpg", ""}, Case{"bois\xe9.bmp", "bois\xc3\xa9.bmp"},
        Case{"folder.jpg", ""}, Case{"tex\\", ""}, Case{doc.path("tex/wood.jpg"), "tex/wood.jpg"}}) {
    SCOPED_TRACE(stored);
    const std::string result = resolveTextureFile(stored, doc.path(""));
    if (found.empty())
      EXPECT_EQ(result, "");
    else
      EXPECT_EQ(canonical(result), canonical(doc.path(found)));
  }
}

TEST(TextureFiles, TriesTheDocumentFolderBeforeTheCurrentDirectory) {
  test::ScratchDir doc, current;
  makeFile(doc.path("same.bmp"));
  makeFile(current.path("same.bmp"));
  makeFile(current.path("current-only.bmp"));
  const CurrentDirectory here(current.path(""));
  EXPECT_EQ(canonical(resolveTextureFile("same.bmp", doc.path(""))), canonical(doc.path("same.bmp")));
  EXPECT_EQ(canonical(resolveTextureFile("current-only.bmp", doc.path(""))),
            canonical(current.path("current-only.bmp")));
  EXPECT_EQ(resolveTextureFile("CURRENT-ONLY.BMP", doc.path("")), "")
      << "letter case is ignored in the document folder only";
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

TEST(EntityTexture, FoundPictureBecomesTheTextureAndKeepsItsStoredName) {
  test::ScratchDir doc;
  QImage red(8, 4, QImage::Format_RGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(QString::fromStdString(doc.path("red.bmp"))));
  const std::string stored = "C:\\Scenes\\RED.BMP";
  const auto attempt = loadWithTexture(stored, false, doc.path("scene.cam"));
  ASSERT_FALSE(attempt.error) << attempt.error->what();
  const TEntity& entity = *attempt.entity;
  ASSERT_TRUE(entity.Texture);
  EXPECT_TRUE(entity.UseTexture) << "loading a texture turns it on";
  EXPECT_EQ(entity.Texture->Picture.size(), QSize(8, 4));
  EXPECT_EQ(test::rgbAt(entity.Texture->Picture, 3, 2), 0xFF0000u);
  EXPECT_EQ(entity.Texture->Width, 500.0);
  EXPECT_EQ(entity.Texture->Height, 500.0);
  EXPECT_EQ(entity.Texture->FileName, stored);

  const auto savedWithFile = test::savedBytes(entity);
  BinaryCursor saved(savedWithFile, "saved");
  saved.seek(test::kTextureNameOffset, "texture name");
  EXPECT_EQ(saved.readText256("texture name"), stored) << "written back as it was read";

  QFile::remove(QString::fromStdString(doc.path("red.bmp")));
  const auto savedWithoutFile = test::savedBytes(entity);
  BinaryCursor afterRemoval(savedWithoutFile, "saved");
  afterRemoval.seek(test::kTextureNameOffset, "texture name");
  EXPECT_EQ(afterRemoval.readText256("texture name"), "NoTexture") << "a file that is gone is not named";
}

TEST(EntityTexture, EmptyAndMissingNamesLeaveTheEntityWithoutTexture) {
  test::ScratchDir doc;
  QImage picture(2, 2, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  // A picture named "Empty" next to the document: the name means none and the disk is not asked.
  ASSERT_TRUE(picture.save(QString::fromStdString(doc.path("Empty")), "BMP"));
  for (const char* name : {"Empty", "NoTexture"}) {
    SCOPED_TRACE(name);
    const auto attempt = loadWithTexture(name, false, doc.path("scene.cam"));
    ASSERT_FALSE(attempt.error) << attempt.error->what();
    EXPECT_FALSE(attempt.entity->Texture);
    EXPECT_FALSE(attempt.entity->UseTexture);
  }
}

TEST(EntityTexture, FileThatIsNoPictureIsReportedAndLeftOut) {
  test::ScratchDir doc;
  test::writeBytes(doc.path("bad.jpg"), {0xFF, 0xD8, 0xFF, 0x00, 'n', 'o', 't'});
  const auto attempt = loadWithTexture("bad.jpg", true, doc.path("scene.cam"));
  ASSERT_FALSE(attempt.error) << attempt.error->what();
  EXPECT_FALSE(attempt.entity->Texture);
  const std::string& problem = attempt.entity->TextureProblem;
  EXPECT_NE(problem.find("offset " + std::to_string(test::kTextureNameOffset)), std::string::npos) << problem;
  EXPECT_NE(problem.find("bad.jpg\" is not a picture"), std::string::npos) << problem;
}

} // namespace
} // namespace vorlan
