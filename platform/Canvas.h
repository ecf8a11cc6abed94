#pragma once

#include "platform/Numbers.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>

#include <optional>
#include <span>

class QPaintDevice;
class QPainterPath;

namespace vorlan {

// The GDI conventions of the system's 2D drawing, in one place. Coordinates are device pixels,
// x to the right and y down; a point names a pixel.

// In-memory codes 0..6, in this order.
enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
// Copy paints the pen colour; NotXor makes each pixel NOT(pixel XOR pen colour), so drawing the
// same figure twice restores the picture (rubber bands). NotXor needs an image device; on
// others it paints as Copy.
enum class PenMode { Copy, NotXor };
// In-memory codes 0..7, in this order. Hatches paint their lines in the brush colour and leave
// the gaps untouched.
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

// A stored code, or nothing when it is out of range (the caller keeps its default).
std::optional<PenStyle> penStyleFromCode(int code);
std::optional<BrushStyle> brushStyleFromCode(int code);

// GetPixel's answer outside the picture or on a device without pixels.
constexpr TColor clrInvalid = 0xFFFFFFFF;

QColor toQColor(TColor color);
TColor toTColor(QRgb rgb);

// A rectangle as GDI gives it: the right column and the bottom row are outside.
struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool isEmpty() const { return right <= left || bottom <= top; }
  bool operator==(const TRect&) const = default;
};

struct Pen {
  PenStyle style = PenStyle::Solid;
  TColor color = 0;
  // Pixels; 0 and 1 are the thin pen. Wider pens are solid whatever the style (as GDI makes
  // them), with round ends and joins.
  int width = 1;
  PenMode mode = PenMode::Copy;
};

struct Brush {
  BrushStyle style = BrushStyle::Solid;
  TColor color = 0xFFFFFF;
};

struct Font {
  QString name = "Arial";
  // Negative: the character height in pixels (the em); positive: the cell height, ascent plus
  // descent; 0: a default of 12 pixels.
  int height = -11;
  TColor color = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  // Tenths of a degree, counter-clockwise on the screen, about the text's top-left corner.
  int escapement = 0;
  // The resolution that size() and setSize() convert points with.
  int pixelsPerInch = 96;

  int size() const;
  void setSize(int points);
  bool operator==(const Font&) const = default;
};

// A new bitmap for off-screen drawing: 24-bit colour, white.
QImage newBitmap(int width, int height);

// A GDI-like canvas over a QPaintDevice: a QImage for bitmaps and tests, a printer, or a widget
// inside its paint event. The pen, brush and font are plain values read by every operation, so
// `canvas.pen.color = RGB(255, 0, 0)` takes effect at the next drawing call. Drawing is aliased;
// on an image it is pixel-exact where GDI is.
class Canvas {
public:
  explicit Canvas(QPaintDevice& device);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  Pen pen;
  Brush brush;
  Font font;

  // False when the device could not be painted on (a printer whose job did not start).
  bool isActive() const { return painter_.isActive(); }
  // Ends the painting now (a printer's job ends with it); false when the device failed.
  bool end() { return !painter_.isActive() || painter_.end(); }

  // The bitmap under the canvas, or null on a device that is not an image.
  const QImage* image() const { return image_; }
  int width() const;
  int height() const;

  QPoint penPos() const { return penPos_; }
  void moveTo(int x, int y);
  // Draws from the pen position to (x, y) without the end pixel, then moves the pen there.
  void lineTo(int x, int y);
  // Joined segments, each without its end pixel; the pen position is neither used nor moved.
  void polyline(std::span<const QPoint> points);
  // Closed, filled with the brush (alternate filling), outlined with the pen.
  void polygon(std::span<const QPoint> points);

  // Figures inside a bounding box whose right column and bottom row are outside:
  // rectangle(0, 0, 10, 10) outlines pixels 0 and 9. Without a pen the filled area is one
  // pixel smaller, as in GDI. Inside-frame pens wider than 1 keep their whole width inside.
  void rectangle(int x1, int y1, int x2, int y2);
  void ellipse(int x1, int y1, int x2, int y2);
  // Part of the ellipse of the box, counter-clockwise on the screen from where the ray from the
  // centre through (xStart, yStart) meets it to where the ray through (xEnd, yEnd) does; equal
  // rays give the whole ellipse. Not filled.
  void arc(int x1, int y1, int x2, int y2, int xStart, int yStart, int xEnd, int yEnd);
  // The arc closed through the centre, filled.
  void pie(int x1, int y1, int x2, int y2, int xStart, int yStart, int xEnd, int yEnd);
  // The arc closed by its chord, filled.
  void chord(int x1, int y1, int x2, int y2, int xStart, int yStart, int xEnd, int yEnd);

  // The brush only, whatever the pen mode; an inverted rectangle fills nothing.
  void fillRect(const TRect& rect);

  // The top-left corner of the text cell at (x, y), turned by the font's escapement about that
  // point. The cell's background is the brush colour when the brush is solid, else untouched.
  // Glyph edges are anti-aliased; the pen mode does not apply.
  void textOut(int x, int y, const QString& text);
  // The unturned extent: the advance width and the cell height (ascent plus descent).
  int textWidth(const QString& text);
  int textHeight(const QString& text);

  // On an image only; elsewhere pixel() is clrInvalid and setPixel() does nothing. For work on
  // many pixels use the image itself.
  TColor pixel(int x, int y) const;
  void setPixel(int x, int y, TColor color);

  // Copies (and stretches, when the sizes differ) a rectangle of a picture; a plain copy of
  // the pixels. The source may be this canvas's own bitmap.
  void copyRect(const TRect& dest, const QImage& source, const TRect& sourceRect);
  // The whole picture stretched into the rectangle, nearest pixel; a rectangle given right to
  // left or bottom to top mirrors the picture.
  void stretchDraw(const TRect& dest, const QImage& picture);

private:
  enum class Figure { Open, Filled };
  void preparePainter(Figure figure);
  void drawLineSegment(QPoint from, QPoint to);
  QRectF figureBox(int x1, int y1, int x2, int y2) const;
  void drawArcFigure(const QPainterPath& path, Figure figure);
  const QFont& qFont();

  QPainter painter_;
  QImage* image_ = nullptr;
  QPoint penPos_;
  std::optional<Font> fontOfQFont_;
  QFont qFont_;
};

} // namespace vorlan
