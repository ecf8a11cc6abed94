// Draws every picture of the application shell into the resources folder, so that each one can
// be made again from this source: make_pictures <resources folder>.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cstdio>
#include <functional>
#include <utility>

namespace {

// One palette for every picture: slate and steel blues over greys.
const QColor Slate(0x2B, 0x3A, 0x4A);
const QColor SteelBlue(0x3A, 0x6E, 0xA5);
const QColor SkyBlue(0x8F, 0xB8, 0xDE);
const QColor Pale(0xDC, 0xE6, 0xF0);
const QColor Grey(0x7A, 0x84, 0x8E);
const QColor Olive(0x80, 0x80, 0x00);

constexpr int Glyph = 16;

QImage Transparent(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  return image;
}

QFont SansFont(int pixelSize, bool bold) {
  QFont font("Liberation Sans");
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

// The three visible faces of a cube seen from above, filling a square of side `size` at `origin`.
void DrawCube(QPainter& p, QPointF origin, double size) {
  const double w = size, h = size;
  const QPointF top(origin.x() + w / 2, origin.y());
  const QPointF left(origin.x(), origin.y() + h / 4);
  const QPointF right(origin.x() + w, origin.y() + h / 4);
  const QPointF centre(origin.x() + w / 2, origin.y() + h / 2);
  const QPointF bottomLeft(origin.x(), origin.y() + 3 * h / 4);
  const QPointF bottomRight(origin.x() + w, origin.y() + 3 * h / 4);
  const QPointF bottom(origin.x() + w / 2, origin.y() + h);
  p.setPen(Qt::NoPen);
  p.setBrush(Pale);
  p.drawPolygon(QPolygonF({top, right, centre, left}));
  p.setBrush(SkyBlue);
  p.drawPolygon(QPolygonF({left, centre, bottom, bottomLeft}));
  p.setBrush(SteelBlue);
  p.drawPolygon(QPolygonF({centre, right, bottomRight, bottom}));
}

void DrawFolderGlyph(QPainter& p) {
  p.setPen(Slate);
  p.setBrush(SkyBlue);
  p.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}));
  p.setBrush(Pale);
  p.drawPolygon(QPolygon({{1, 13}, {4, 8}, {15, 8}, {13, 13}}));
}

void DrawLogoGlyph(QPainter& p) {
  p.setPen(Slate);
  p.setBrush(Pale);
  p.drawRect(1, 2, 13, 11);
  p.setRenderHint(QPainter::Antialiasing);
  DrawCube(p, QPointF(4, 4), 8);
}

void DrawPageGlyph(QPainter& p) {
  p.setPen(Slate);
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
  p.setBrush(SkyBlue);
  p.drawPolygon(QPolygon({{10, 1}, {10, 4}, {13, 4}}));
  p.setPen(SteelBlue);
  for (int y = 6; y <= 12; y += 2)
    p.drawLine(5, y, 11, y);
}

void DrawDiskGlyph(QPainter& p) {
  p.setPen(Slate);
  p.setBrush(SteelBlue);
  p.drawRect(1, 1, 13, 13);
  p.setBrush(Pale);
  p.drawRect(4, 1, 7, 5);
  p.setBrush(Qt::white);
  p.drawRect(3, 9, 9, 5);
}

void DrawPrinterGlyph(QPainter& p) {
  p.setPen(Slate);
  p.setBrush(Qt::white);
  p.drawRect(4, 1, 7, 5);
  p.setBrush(SkyBlue);
  p.drawRect(1, 6, 13, 6);
  p.setBrush(Qt::white);
  p.drawRect(4, 10, 7, 5);
  p.setPen(SteelBlue);
  p.drawLine(5, 12, 9, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x4C, 0xAF, 0x50));
  p.drawRect(11, 8, 2, 1);
}

void DrawSlidersGlyph(QPainter& p) {
  for (int i = 0; i < 3; ++i) {
    const int y = 3 + 5 * i;
    p.setPen(Grey);
    p.drawLine(1, y, 14, y);
    p.setPen(Slate);
    p.setBrush(SkyBlue);
    const int knob = (i == 1) ? 9 : 3 + 3 * i;
    p.drawRect(knob, y - 2, 3, 4);
  }
}

void DrawExitGlyph(QPainter& p) {
  p.setPen(Slate);
  p.setBrush(Grey);
  p.drawRect(2, 1, 8, 14);
  p.setBrush(SkyBlue);
  p.drawPolygon(QPolygon({{2, 1}, {7, 3}, {7, 15}, {2, 15}}));
  p.setPen(QPen(SteelBlue, 2));
  p.drawLine(9, 8, 15, 8);
  p.drawLine(12, 5, 15, 8);
  p.drawLine(12, 11, 15, 8);
}

// The menu glyph strip: open, logo, file, save, print, options, exit.
QImage MenuGlyphs() {
  const std::function<void(QPainter&)> glyphs[] = {DrawFolderGlyph, DrawLogoGlyph,    DrawPageGlyph,
                                                   DrawDiskGlyph,   DrawPrinterGlyph, DrawSlidersGlyph,
                                                   DrawExitGlyph};
  QImage strip = Transparent(Glyph * 7, Glyph);
  QPainter p(&strip);
  int x = 0;
  for (const auto& draw : glyphs) {
    p.save();
    p.translate(x, 0);
    draw(p);
    p.restore();
    x += Glyph;
  }
  return strip;
}

QImage PrinterGlyph() {
  QImage glyph = Transparent(Glyph, Glyph);
  QPainter p(&glyph);
  DrawPrinterGlyph(p);
  return glyph;
}

QImage SaveGlyph() {
  QImage glyph = Transparent(Glyph, Glyph);
  QPainter p(&glyph);
  DrawDiskGlyph(p);
  return glyph;
}

// A framed landscape: sky, a hill and a sun. `sky` tells the pictures of a pair apart.
void DrawLandscape(QPainter& p, const QColor& sky) {
  p.setPen(Slate);
  p.setBrush(sky);
  p.drawRect(1, 2, 13, 11);
  p.setPen(Qt::NoPen);
  p.setBrush(SteelBlue);
  p.drawPolygon(QPolygon({{2, 13}, {7, 7}, {10, 10}, {14, 6}, {14, 13}}));
  p.setBrush(QColor(0xF2, 0xC1, 0x4E));
  p.drawEllipse(QPoint(5, 5), 1, 1);
}

// A picture of the pair with its number in a corner badge.
QImage PairPictureGlyph(const QColor& sky, const char* number) {
  QImage glyph = Transparent(Glyph, Glyph);
  QPainter p(&glyph);
  DrawLandscape(p, sky);
  p.setPen(Qt::NoPen);
  p.setBrush(Slate);
  p.drawRect(8, 8, 8, 8);
  p.setPen(Qt::white);
  p.setFont(SansFont(8, true));
  p.drawText(QRect(8, 8, 8, 8), Qt::AlignCenter, number);
  return glyph;
}

QImage Picture1Glyph() {
  return PairPictureGlyph(Pale, "1");
}
QImage Picture2Glyph() {
  return PairPictureGlyph(SkyBlue, "2");
}

// The working picture: half of each picture of the pair and a brush across the seam.
QImage RetouchedGlyph() {
  QImage glyph = Transparent(Glyph, Glyph);
  QPainter p(&glyph);
  DrawLandscape(p, Pale);
  p.setPen(Qt::NoPen);
  p.setBrush(SkyBlue);
  p.drawRect(8, 3, 6, 4);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x8B, 0x5A, 0x2B), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(14, 1), QPointF(9, 7));
  p.setPen(Qt::NoPen);
  p.setBrush(Slate);
  p.drawEllipse(QPointF(8, 8), 2, 2);
  return glyph;
}

// A magnifying glass with a plus.
QImage ZoomGlyph() {
  QImage glyph = Transparent(Glyph, Glyph);
  QPainter p(&glyph);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Slate, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10, 10), QPointF(14, 14));
  p.setPen(QPen(Slate, 1.5));
  p.setBrush(Pale);
  p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
  p.setPen(QPen(SteelBlue, 1.5));
  p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
  p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
  return glyph;
}

// A 16 x 16 glyph drawn by `draw` on a transparent ground, antialiased.
QImage DrawnGlyph(const std::function<void(QPainter&)>& draw) {
  QImage glyph = Transparent(Glyph, Glyph);
  QPainter p(&glyph);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return glyph;
}

// Three quarters of a circle with an arrow head: continuous rotation.
QImage RotationGlyph() {
  return DrawnGlyph([](QPainter& p) {
    p.setPen(QPen(SteelBlue, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 90 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Slate);
    p.drawPolygon(QPolygonF({QPointF(8, 0), QPointF(12, 3), QPointF(8, 6)}));
  });
}

// A square seen face on, lettered with the view it stands for.
QImage AxisViewGlyph(const QColor& face, const char* letter) {
  return DrawnGlyph([&](QPainter& p) {
    p.setPen(Slate);
    p.setBrush(face);
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
    p.setPen(Slate);
    p.setFont(SansFont(9, true));
    p.drawText(QRect(2, 2, 12, 12), Qt::AlignCenter, letter);
  });
}

QImage TopGlyph() {
  return AxisViewGlyph(Pale, "T");
}
QImage FrontGlyph() {
  return AxisViewGlyph(SkyBlue, "F");
}
QImage SideGlyph() {
  return AxisViewGlyph(SteelBlue, "S");
}

QImage PerspectiveGlyph() {
  return DrawnGlyph([](QPainter& p) { DrawCube(p, QPointF(1, 1), 14); });
}

// A white sheet with a black wire cube: the hidden-line drawing.
QImage PaperGlyph() {
  return DrawnGlyph([](QPainter& p) {
    p.setPen(Grey);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF({QPointF(8, 3), QPointF(13, 5.5), QPointF(8, 8), QPointF(3, 5.5)}));
    p.drawPolyline(
        QPolygonF({QPointF(3, 5.5), QPointF(3, 10.5), QPointF(8, 13), QPointF(13, 10.5), QPointF(13, 5.5)}));
    p.drawLine(QPointF(8, 8), QPointF(8, 13));
  });
}

// A white ground behind a small cube: the white background.
QImage WhiteBackgroundGlyph() {
  return DrawnGlyph([](QPainter& p) {
    p.setPen(Slate);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 0.5, 15, 15));
    DrawCube(p, QPointF(4, 4), 8);
  });
}

// A tool-bar tile: a steel band with a light top edge and faint diagonal grooves.
// Light strokes, as the print glyph has, show on the dark tool-bar wallpaper.
// A magnifying glass over a dashed frame: zoom to a window dragged on the drawing.
QImage X2dZoomWindowGlyph() {
  return DrawnGlyph([](QPainter& p) {
    p.setPen(QPen(SkyBlue, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(Pale, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(14.5, 14.5));
    p.setPen(QPen(Pale, 1.2));
    p.setBrush(SkyBlue);
    p.drawEllipse(QPointF(9, 9), 3.2, 3.2);
  });
}

// Four corner marks around a small drawing: the whole drawing fitted.
QImage X2dZoomAllGlyph() {
  return DrawnGlyph([](QPainter& p) {
    p.setPen(QPen(Pale, 1.5));
    p.setBrush(Qt::NoBrush);
    for (const auto& [x, y, dx, dy] : {std::array{1.5, 1.5, 1.0, 1.0},
                                       {14.5, 1.5, -1.0, 1.0},
                                       {1.5, 14.5, 1.0, -1.0},
                                       {14.5, 14.5, -1.0, -1.0}}) {
      p.drawLine(QPointF(x, y), QPointF(x + 4 * dx, y));
      p.drawLine(QPointF(x, y), QPointF(x, y + 4 * dy));
    }
    p.setPen(QPen(SkyBlue, 1.5));
    p.setBrush(SkyBlue);
    p.drawRect(QRectF(5, 5, 6, 6));
  });
}

// A magnifying glass with arrows up and down: zoom by dragging the mouse.
QImage X2dDynamicZoomGlyph() {
  return DrawnGlyph([](QPainter& p) {
    p.setPen(QPen(Pale, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 9), QPointF(10, 12));
    p.setPen(QPen(Pale, 1.2));
    p.setBrush(SkyBlue);
    p.drawEllipse(QPointF(5, 6.5), 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.setBrush(SkyBlue);
    p.drawPolygon(QPolygonF({QPointF(13, 0.5), QPointF(16, 4.5), QPointF(10, 4.5)}));
    p.drawPolygon(QPolygonF({QPointF(13, 15.5), QPointF(16, 11.5), QPointF(10, 11.5)}));
    p.drawRect(QRectF(12.25, 4.5, 1.5, 7));
  });
}

QImage Wallpaper() {
  QImage tile(32, 25, QImage::Format_RGB32);
  tile.fill(QColor(0x34, 0x4E, 0x68));
  QPainter p(&tile);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x3B, 0x58, 0x75), 3));
  for (int x = -32; x < 64; x += 16)
    p.drawLine(x, 25, x + 25, 0);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QColor(0x5E, 0x80, 0xA3));
  p.drawLine(0, 0, 31, 0);
  p.setPen(QColor(0x22, 0x33, 0x44));
  p.drawLine(0, 24, 31, 24);
  return tile;
}

// The vertical strip in the left margin of the 3D windows.
QImage LogoStrip() {
  QImage strip(53, 276, QImage::Format_RGB32);
  strip.fill(Slate);
  QPainter p(&strip);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(0, 0, 4, 276, SteelBlue);
  DrawCube(p, QPointF(12, 10), 30);
  p.setPen(Pale);
  p.setFont(SansFont(20, true));
  p.translate(36, 266);
  p.rotate(-90);
  p.drawText(0, 0, "VORLAN");
  p.setPen(SkyBlue);
  p.setFont(SansFont(13, false));
  p.drawText(QPointF(0, 14), "cam 2.3.2");
  return strip;
}

// The splash: a rounded steel plate on a white key, an olive caption band at its top.
QImage Splash() {
  QImage splash(352, 352, QImage::Format_RGB32);
  splash.fill(Qt::white);
  QPainter p(&splash);
  // Hard edges: every pixel of the outline is either the key or part of the window.
  QPainterPath plate;
  plate.addRoundedRect(QRectF(8, 8, 336, 336), 36, 36);
  p.fillPath(plate, Slate);
  p.setClipPath(plate);
  p.fillRect(8, 8, 336, 44, Olive);
  p.fillRect(8, 300, 336, 44, SteelBlue);
  p.setClipping(false);
  p.setRenderHint(QPainter::Antialiasing);
  // No pure white inside the plate: white is the key, and would punch holes in the window.
  p.setPen(Pale);
  p.setFont(SansFont(16, true));
  p.drawText(QRect(8, 8, 336, 44), Qt::AlignCenter, "Vorlan cam");
  p.setPen(Pale);
  p.setFont(SansFont(30, true));
  p.drawText(QRect(128, 130, 200, 40), Qt::AlignLeft | Qt::AlignVCenter, "Vorlan cam");
  p.setPen(SkyBlue);
  p.setFont(SansFont(15, false));
  p.drawText(QRect(130, 170, 200, 24), Qt::AlignLeft | Qt::AlignVCenter, "version 2.3.2");
  p.drawText(QRect(130, 192, 200, 24), Qt::AlignLeft | Qt::AlignVCenter, "3D and 2D design viewer");
  p.setPen(QPen(SteelBlue, 2));
  p.drawLine(32, 240, 320, 240);
  p.setPen(Pale);
  p.setFont(SansFont(13, false));
  p.drawText(QRect(8, 300, 336, 44), Qt::AlignCenter, "Vorlan Design Tools");
  return splash;
}

QImage SplashEmblem() {
  QImage emblem = Transparent(80, 80);
  QPainter p(&emblem);
  p.setRenderHint(QPainter::Antialiasing);
  DrawCube(p, QPointF(6, 4), 68);
  return emblem;
}

// The frame's icon, and the desktop's in every size of the icon theme: drawn at 32 pixels and scaled
// as a drawing, so the small sizes stay sharp.
QImage AppIconSized(int size) {
  QImage icon = Transparent(size, size);
  QPainter p(&icon);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  p.setPen(Qt::NoPen);
  p.setBrush(Slate);
  p.drawRoundedRect(QRectF(0, 0, 32, 32), 6, 6);
  DrawCube(p, QPointF(5, 4), 22);
  return icon;
}

QImage AppIcon() {
  return AppIconSized(32);
}

bool Save(const QImage& image, const QDir& folder, const char* name) {
  const QString path = folder.filePath(name);
  if (image.save(path, "PNG", 0)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

} // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pictures <resources folder>\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const std::pair<const char*, QImage (*)()> pictures[] = {{"images_menu.png", MenuGlyphs},
                                                           {"print.png", PrinterGlyph},
                                                           {"wallpaper.png", Wallpaper},
                                                           {"logo_strip.png", LogoStrip},
                                                           {"splash.png", Splash},
                                                           {"splash_emblem.png", SplashEmblem},
                                                           {"app_icon.png", AppIcon},
                                                           {"save.png", SaveGlyph},
                                                           {"cam_picture1.png", Picture1Glyph},
                                                           {"cam_picture2.png", Picture2Glyph},
                                                           {"cam_retouched.png", RetouchedGlyph},
                                                           {"zoom.png", ZoomGlyph},
                                                           {"cam3d_rotation.png", RotationGlyph},
                                                           {"cam3d_top.png", TopGlyph},
                                                           {"cam3d_front.png", FrontGlyph},
                                                           {"cam3d_side.png", SideGlyph},
                                                           {"cam3d_perspective.png", PerspectiveGlyph},
                                                           {"cam3d_paper.png", PaperGlyph},
                                                           {"cam3d_white.png", WhiteBackgroundGlyph},
                                                           {"x2d_zoom_window.png", X2dZoomWindowGlyph},
                                                           {"x2d_zoom_all.png", X2dZoomAllGlyph},
                                                           {"x2d_dynamic_zoom.png", X2dDynamicZoomGlyph}};
  int failures = 0;
  for (const auto& [name, draw] : pictures)
    if (!Save(draw(), folder, name)) ++failures;
  folder.mkpath("icons");
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QByteArray name = "icons/vorlancam_" + QByteArray::number(size) + ".png";
    if (!Save(AppIconSized(size), folder, name.constData())) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
