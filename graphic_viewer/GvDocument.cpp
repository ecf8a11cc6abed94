#include "graphic_viewer/GvDocument.h"

#include <algorithm>

namespace vorlan {

void TGV_UndoRedoList::Push(TGV_UndoRedo record) {
  records_.resize(static_cast<std::size_t>(current_ + 1));
  records_.push_back(std::move(record));
  ++current_;
}

TGV_DOCUMENT::TGV_DOCUMENT() {
  layers_.push_back(std::make_unique<TGV_Layer>());
}

TGV_DOCUMENT::~TGV_DOCUMENT() = default;

TGV_Layer* TGV_DOCUMENT::LayerById(int id) const {
  for (const auto& layer : layers_)
    if (layer->Id == id) return layer.get();
  return nullptr;
}

int TGV_DOCUMENT::MaxLayerId() const {
  int maxId = -1;
  for (const auto& layer : layers_)
    maxId = std::max(maxId, layer->Id);
  return maxId;
}

int TGV_DOCUMENT::LayerIndexByName(const QString& name) const {
  for (std::size_t i = 0; i < layers_.size(); ++i)
    if (layers_[i]->Name == name) return static_cast<int>(i);
  return -1;
}

TGV_Layer& TGV_DOCUMENT::AppendLayer(std::unique_ptr<TGV_Layer> layer) {
  layers_.push_back(std::move(layer));
  return *layers_.back();
}

TGV_ENTITY& TGV_DOCUMENT::AddEntity(std::unique_ptr<TGV_ENTITY> entity) {
  entities_.push_back(std::move(entity));
  for (TGV_ViewerLink* viewer : viewers_)
    viewer->AppendToDisplayList(*entities_.back());
  return *entities_.back();
}

std::unique_ptr<TGV_ENTITY> TGV_DOCUMENT::RemoveEntity(TGV_ENTITY& entity) {
  std::erase(selection_, &entity);
  std::erase(secondarySelection_, &entity);
  std::erase(highlighted_, &entity);
  const auto found =
      std::find_if(entities_.begin(), entities_.end(), [&](const auto& e) { return e.get() == &entity; });
  if (found == entities_.end()) return nullptr;
  std::unique_ptr<TGV_ENTITY> removed = std::move(*found);
  entities_.erase(found);
  return removed;
}

void TGV_DOCUMENT::ClearSelection() {
  for (TGV_ENTITY* entity : selection_)
    entity->Selected = false;
  selection_.clear();
  for (TGV_ENTITY* entity : secondarySelection_)
    entity->Selected = false;
  secondarySelection_.clear();
  for (const auto& entity : entities_)
    entity->Picked = false;
}

void TGV_DOCUMENT::ClearHighlights() {
  for (TGV_ENTITY* entity : highlighted_)
    entity->Highlighted = false;
  highlighted_.clear();
  snapPoints_.clear();
}

void TGV_DOCUMENT::AttachViewer(TGV_ViewerLink& viewer) {
  if (std::find(viewers_.begin(), viewers_.end(), &viewer) == viewers_.end()) viewers_.push_back(&viewer);
}

void TGV_DOCUMENT::DetachViewer(const TGV_ViewerLink& viewer) {
  std::erase(viewers_, &viewer);
}

void TGV_DOCUMENT::DetachViewers() {
  std::erase_if(viewers_, [this](const TGV_ViewerLink* viewer) { return viewer->ShownDocument() != this; });
}

TGV_ViewerLink* TGV_DOCUMENT::Viewers(int i) const {
  if (i < 0 || i >= ViewerCount()) return nullptr;
  return viewers_[static_cast<std::size_t>(i)];
}

void TGV_DOCUMENT::RebuildDisplayLists() {
  for (TGV_ViewerLink* viewer : viewers_)
    viewer->RebuildDisplayList();
}

void TGV_DOCUMENT::Draw(TGV_ViewerLink& viewer, Canvas& canvas, int width, int height) {
  if (!AllViewRedraw) return viewer.DrawDisplayList(canvas, width, height);
  AllViewRedraw = false;
  for (TGV_ViewerLink* each : viewers_)
    each->Redraw();
  AllViewRedraw = true;
}

} // namespace vorlan
