#pragma once

#include "graphic_viewer/GvViewer.h"

class QPrinter;

namespace vorlan {

// The printable area of the printer's current page, in millimetres, and its resolution.
GvPrinterInfo PrinterInfoOf(const QPrinter& printer);

// The viewer's Print on a printer: the printer takes the viewer's orientation, the job starts,
// the drawing goes on the page in paper mode, and the job ends. Raises std::runtime_error when the
// job cannot start or finish.
void PrintOnPrinter(TGV_VIEWER& viewer, QPrinter& printer);

// The print button's work after the dialog: paper space at the scale that fits the drawing on
// the page, print, back to model space.
void PrintDrawingFitted(TGV_VIEWER& viewer, QPrinter& printer);

} // namespace vorlan
