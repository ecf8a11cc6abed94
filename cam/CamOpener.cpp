#include "cam/CamOpener.h"

#include "cam/KX_CAMOBJET.h"
#include "cam/UnitCamOGL.h"
#include "cam/UnitRetoucheCam.h"
#include "platform/FileBytes.h"
#include "platform/ReadError.h"

#include <cassert>

namespace vorlan {

namespace {

FileOpener& CamSceneOpener() {
  static FileOpener opener;
  return opener;
}

std::int32_t ProbeKind(const std::string& F) {
  const TCamObject probe;
  return probe.ReadKind(F);
}

} // namespace

void SetCamSceneOpener(FileOpener opener) {
  CamSceneOpener() = std::move(opener);
}

void OpenCamFile(const std::string& F) {
  FrameServices* frame = FrameServices::instance();
  assert(frame && "the Open command runs inside the frame");
  switch (ProbeKind(F)) {
  case kCamScene:
    if (CamSceneOpener()) CamSceneOpener()(F);
    break;
  case kCamBitmapPair:
    TFicheRetoucheCam::Open(frame->ClientArea(), F);
    break;
  default:
    // A missing file is the frame's to report; anything else here is some other kind of file.
    if (fileExists(F)) throw ReadError(F, 0, "not a cam file");
    break;
  }
}

void RegisterCamOpeners(FrameServices& frame) {
  frame.RegisterOpener(".CAM", OpenCamFile);
  // The openers outlive no frame of theirs: they ask for the frame at each opening.
  SetCamSceneOpener(
      [](const std::string& F) { TFicheCamOGL::OpenCam(FrameServices::instance()->ClientArea(), F); });
  frame.RegisterOpener(".X3D", [](const std::string& F) {
    TFicheCamOGL::OpenX3D(FrameServices::instance()->ClientArea(), F);
  });
}

} // namespace vorlan
