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

class BackgroundWork;
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

// A .cam scene or an .x3d model (by its extension) read on a thread of its own from construction, so
// that the caller can go on, e.g. set up its view, meanwhile. `progress` is called on that thread.
// A missing .cam file is reported at once and reads as an empty document.
class TSceneRead {
public:
  TSceneRead(const std::string& FileName, const LoadProgress& progress = {});
  ~TSceneRead();

private:
  friend class TScene;
  std::unique_ptr<TCamObject> cam_;
  std::unique_ptr<TSuperObject> model_;
  std::unique_ptr<BackgroundWork> work_;
};

// The documents a 3D view shows: a .cam scene, an .x3d model or both. Their display lists and
// textures are made and freed in the view's own context.
class TScene {
public:
  // Waits for `read`, the windows repainting meanwhile, then shows what it read in place of the
  // document of the same kind and compiles its lists. A read error propagates once what was read
  // before it is in place.
  void Adopt(TGL_VIEW& view, TSceneRead& read);
  // Reads and adopts the file; `progress` is called on the reading thread.
  void Load(TGL_VIEW& view, const std::string& FileName, const LoadProgress& progress = {});
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
