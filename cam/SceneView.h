#pragma once

#include "cam/KX_CAMOBJET.h"
#include "gl/KX_OpenGL_CAMERA.h"

#include <QImage>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlan {

class TEntity;
class TGL_VIEW;
class TObjects;
class TSuperObject;

// The four views of a 3D window's tool bar.
enum class TCameraPreset { Top, Front, Side, Perspective };

// The orbit a 3D scene opens in.
void SetUpSceneCamera(TGL_CAMERA& camera);
// Puts the camera in one of the presets; the caller sets the view's projection and redraws.
void ApplyCameraPreset(TGL_CAMERA& camera, TCameraPreset preset);
// The look of every 3D scene view (ground, gradient background with lens flare, no mirror or
// shadow), looking through `camera`.
void SetUpSceneView(TGL_VIEW& view, TGL_CAMERA& camera);
// What the view shows now, 24 bits, at its size: grabbing runs a fresh pass.
QImage GrabScene(TGL_VIEW& view);

// The documents a 3D view shows: a .cam scene, an .x3d model or both. Loading and freeing work in
// the view's own context, where their display lists and textures belong.
class TScene {
public:
  // A read error propagates; what was read before it is kept and drawn.
  void LoadCam(TGL_VIEW& view, const std::string& FileName, const LoadProgress& progress = {});
  void LoadX3D(TGL_VIEW& view, const std::string& FileName, std::function<void()> OnMappingRead = {});
  void Free(TGL_VIEW& view);
  // The view's drawing handlers draw the documents from now on; the scene outlives the view.
  void Attach(TGL_VIEW& view);
  // In layer order: the cam document's, then the model's.
  std::vector<const TEntity*> Entities() const;

  const TCamObject* Cam() const { return CamObject.get(); }
  const TSuperObject* Model() const { return SuperObject.get(); }
  bool Empty() const { return !CamObject && !SuperObject; }

private:
  void ForEachObject(const std::function<void(TObjects&)>& fn) const;

  std::unique_ptr<TCamObject> CamObject;
  std::unique_ptr<TSuperObject> SuperObject;
};

} // namespace vorlan
