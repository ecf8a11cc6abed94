#include "cam/SceneView.h"

#include "cam/KX_DXF.h"
#include "gl/GlContext.h"
#include "gl/KX_OpenGL_VIEW.h"
#include "platform/BackgroundWork.h"
#include "platform/FileBytes.h"
#include "platform/Messages.h"
#include "scene3d/KX_SUPEROBJECT.h"

namespace vorlan {

namespace {

constexpr TColor Silver = 0xC0C0C0;
constexpr TColor White = 0xFFFFFF;

struct PresetValues {
  CStyle Style;
  double DistNear, DistFar;
  bool Perspective;
  double Rot1, Rot2, Rot3;
};

PresetValues ValuesOf(TCameraPreset preset) {
  switch (preset) {
  case TCameraPreset::Top:
    return {CStyle::normal, -40000, 40000, false, 0, 0, 0};
  case TCameraPreset::Front:
    return {CStyle::normal, -40000, 40000, false, 90, 0, 90};
  case TCameraPreset::Side:
    return {CStyle::normal, -40000, 40000, false, 90, 0, 0};
  case TCameraPreset::Perspective:
    break;
  }
  return {CStyle::polar, 0.01, 100, true, 0, 0, 0};
}

void SetOrthographicBox(TParams& params) {
  params.SetLeft(-500);
  params.SetRight(500);
  params.SetTop(500);
  params.SetBottom(-500);
}

} // namespace

void SetUpSceneCamera(TGL_CAMERA& camera) {
  camera.SetPerspective(true);
  camera.SetStyle(CStyle::polar);
  camera.UpVector().SetZ(1);
  camera.SetAngle(35);
  camera.SetDistNear(0.01);
  camera.SetDistFar(100);
  camera.SetScale(0.001);
  TParams& params = camera.Params();
  params.SetElevation(45);
  params.SetAzimuth(45);
  params.SetDistance(1500);
  params.SetPan_v(1);
  params.SetPas(10);
  params.SetPasRot(3);
  SetOrthographicBox(params);
}

void ApplyCameraPreset(TGL_CAMERA& camera, TCameraPreset preset) {
  const PresetValues v = ValuesOf(preset);
  camera.SetStyle(v.Style);
  camera.SetDistNear(v.DistNear);
  camera.SetDistFar(v.DistFar);
  camera.SetPerspective(v.Perspective);
  TParams& params = camera.Params();
  SetOrthographicBox(params);
  params.SetRot1(v.Rot1);
  params.SetRot2(v.Rot2);
  params.SetRot3(v.Rot3);
}

void SetUpSceneView(TGL_VIEW& view, TGL_CAMERA& camera) {
  view.SetCamera(&camera);
  TGL_GROUND& ground = view.Ground();
  ground.SetStyle(CGroundStyle::FillSquare);
  ground.SetColor(Silver);
  ground.SetActive(false);
  ground.SetGroundWidth(20000);
  ground.SetGroundUnit(1000);
  TGL_BACKGROUND& back = view.BackGround();
  back.SetShowLensFlare(true);
  back.SetShowSky(false);
  back.SetSunX(50000);
  back.SetSunY(-50000);
  back.SetSunZ(30000);
  back.SetStyle(CBackGroundStyle::GradualColors);
  back.SetFirstColor(White);
  back.SetSecondColor(0x804000);
  view.SetReflection(false);
  view.SetShadow(false);
  view.SetPreview(false);
  view.SetDrawMode(CViewMode::RENDER);
}

QImage GrabScene(TGL_VIEW& view) {
  return view.grabFramebuffer().convertToFormat(QImage::Format_RGB888);
}

TSceneRead::TSceneRead(const std::string& FileName, const LoadProgress& progress) {
  if (upperExtension(FileName) == ".X3D") {
    model_ = std::make_unique<TSuperObject>();
    work_ = std::make_unique<BackgroundWork>(
        [model = model_.get(), FileName, progress] { ReadX3DRecords(FileName, *model, progress); });
    return;
  }
  cam_ = std::make_unique<TCamObject>();
  if (!fileExists(FileName)) {
    showMessage("File not found : " + FileName);
    return;
  }
  work_ = std::make_unique<BackgroundWork>(
      [cam = cam_.get(), FileName, progress] { cam->ReadFile(FileName, progress); });
}

TSceneRead::~TSceneRead() = default;

void TScene::Adopt(TGL_VIEW& view, TSceneRead& read) {
  std::exception_ptr error;
  try {
    if (read.work_) read.work_->Wait();
  } catch (...) {
    error = std::current_exception();
  }
  const CurrentContextGuard current(view, ContextNeed::Own);
  if (read.cam_) {
    for (const auto& item : read.cam_->Items)
      item->CompileLists();
    CamObject = std::move(read.cam_);
  }
  if (read.model_) {
    read.model_->CompileLists();
    SuperObject = std::move(read.model_);
  }
  if (error) std::rethrow_exception(error);
}

void TScene::Load(TGL_VIEW& view, const std::string& FileName, const LoadProgress& progress) {
  TSceneRead read(FileName, progress);
  Adopt(view, read);
}

// Other windows' lists live in the same namespace: deleting ours in our own context is what keeps
// theirs.
void TScene::Free(TGL_VIEW& view) {
  if (Empty()) return;
  const CurrentContextGuard current(view, ContextNeed::Own);
  CamObject.reset();
  SuperObject.reset();
}

void TScene::Attach(TGL_VIEW& view) {
  view.OnRedraw = [this](TGL_VIEW&) {
    ForEachObject([](TObjects& object) { object.Draw(true, false, true, true, true, false, 0); });
  };
  view.OnMovingRedraw = [this](TGL_VIEW&) {
    ForEachObject([](TObjects& object) { object.Draw(false, false, false, false, true, false, 0); });
  };
  view.OnRedrawPaperFill = [this](TGL_VIEW&) {
    ForEachObject([](TObjects& object) { object.DrawPaperFill(); });
  };
  view.OnRedrawPaperLine = [this](TGL_VIEW&) {
    ForEachObject([](TObjects& object) { object.DrawPaperLine(); });
  };
}

std::vector<const TEntity*> TScene::Entities() const {
  std::vector<TObjects*> items;
  if (CamObject)
    for (const auto& item : CamObject->Items)
      items.push_back(item.get());
  if (SuperObject) items.push_back(SuperObject.get());
  return DxfEntities(items);
}

void TScene::ForEachObject(const std::function<void(TObjects&)>& fn) const {
  if (CamObject)
    for (const auto& item : CamObject->Items)
      fn(*item);
  if (SuperObject) fn(*SuperObject);
}

} // namespace vorlan
