#pragma once

#include <QSize>
#include <QStringList>

#include <string>

namespace vorlan {

// --render and --export-dxf: what a file's window would first show, or what its DXF button writes,
// written to a file without a user.
struct TBatchJob {
  enum class Kind { None, Render, ExportDxf } What = Kind::None;
  std::string Input, Output;
  QSize Size{800, 600};
  std::string View = "perspective"; // perspective, top, front or side
  bool Paper = false, White = false;
};

// Fills `job` from the batch options; returns an error text for a usage error, empty otherwise.
std::string ParseBatchJob(const QStringList& arguments, TBatchJob& job);

// True when the job draws a 3D scene, which needs OpenGL and so an X display.
bool NeedsDisplay(const TBatchJob& job);

// Runs the job inside the application object; load and write errors propagate as exceptions.
void RunBatchJob(const TBatchJob& job);

} // namespace vorlan
