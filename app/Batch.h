#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QSize>
#include <QStringList>

#include <memory>
#include <string>

namespace vorlan {

class TSceneRead;

// --render, --export-dxf, --print and --thumbnail: what a file's window would first show, what its DXF button
// writes, or what its print button prints, written to a file without a user.
struct TBatchJob {
  enum class Kind { None, Render, ExportDxf, Print, Thumbnail } What = Kind::None;
  std::string Input, Output;
  QSize Size{800, 600};             // for --thumbnail, the side of the square the picture fits in
  std::string View = "perspective"; // perspective, top, front or side
  bool Paper = false, White = false;
  // --print only: the page, as chosen in the print dialog.
  QPageSize::PageSizeId PaperSize = QPageSize::A4;
  QPageLayout::Orientation Orientation = QPageLayout::Landscape;
};

// Fills `job` from the batch options; returns an error text for a usage error, empty otherwise.
std::string ParseBatchJob(const QStringList& arguments, TBatchJob& job);

// The read a job can start before the application object exists: that of a 3D file to render.
// Empty for any other job.
std::unique_ptr<TSceneRead> StartBatchRead(const TBatchJob& job);
// Runs the job inside the application object, with the read StartBatchRead gave, if any; load and
// write errors propagate as exceptions.
void RunBatchJob(const TBatchJob& job, std::unique_ptr<TSceneRead> read = {});

} // namespace vorlan
