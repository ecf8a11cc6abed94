#pragma once

#include <QFont>

#include <GL/gl.h>

namespace vorlan {

// Compiles characters first..first+count-1 of `font` into a block of generated display lists, one
// per character: the glyph one em high, filled front and back, extruded `depth` along -Z, ending
// with a move by the glyph's advance so that consecutive calls lay out a line of text. Needs a current
// context; returns the first list name, or 0 when no names could be generated.
GLuint BuildOutlineGlyphs(const QFont& font, int first, int count, double depth);

} // namespace vorlan
