#pragma once

#include "widgets/FrameServices.h"

#include <string>

namespace vorlan {

// The 3D window's opening sequence for a .cam file of kind 0. The 3D window's unit sets it; until
// then such files open nothing.
void SetCamSceneOpener(FileOpener opener);

// The ".CAM" branch of the Open command: probes the file's kind, then runs the 2D window's opening
// sequence (kind 1) or the 3D window's (kind 0). A file of any other kind raises ReadError; a
// missing one opens nothing. Needs the frame.
void OpenCamFile(const std::string& F);

// Registers OpenCamFile for ".CAM" with the frame.
void RegisterCamOpeners(FrameServices& frame);

} // namespace vorlan
