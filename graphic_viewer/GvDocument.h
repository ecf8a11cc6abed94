#pragma once

#include "graphic_viewer/GvEntities.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace vorlan {

struct TGV_Layer {
  std::int32_t Id = 0;
  QString Name = "-- 0 --";
  vorlan::PenStyle PenStyle = vorlan::PenStyle::Solid;
  TColor PenColor = 0;
  double PenWidthMM = 0.1;
  vorlan::BrushStyle BrushStyle = vorlan::BrushStyle::Solid;
  TColor BrushColor = 0;
  bool Selectable = true;
};

// Kinds of undo record that loading pushes; the editing tools own the others.
enum class TGV_UndoKind { EntitiesInserted = 0, Compound = 15, LayerAdded = 16 };

// The records point at what the document owns; they never own it.
struct TGV_UndoRedo {
  TGV_UndoKind Kind = TGV_UndoKind::EntitiesInserted;
  TGV_ENTITY* Group = nullptr;
  TGV_Layer* Layer = nullptr;
  std::vector<TGV_UndoRedo> Records;
};

// A list and a current position; a push drops everything after the position.
class TGV_UndoRedoList {
public:
  void Push(TGV_UndoRedo record);
  const std::vector<TGV_UndoRedo>& Records() const { return records_; }
  int Current() const { return current_; }

private:
  std::vector<TGV_UndoRedo> records_;
  int current_ = -1;
};

// What a document needs of a viewer that shows it. The viewer itself lives with the window code.
class TGV_ViewerLink {
public:
  virtual ~TGV_ViewerLink() = default;
  virtual const GvTransform& Transform() const = 0;
  // Measures text on the viewer's own canvas, so text boxes match what it draws.
  virtual TGV_TextMeasurer& Measurer() = 0;
  // The document this viewer shows now; DetachViewers drops viewers that moved on.
  virtual const TGV_DOCUMENT* ShownDocument() const = 0;
  virtual void AppendToDisplayList(TGV_ENTITY& entity) = 0;
  virtual void RebuildDisplayList() = 0;
  // A complete redraw on the viewer's own surface.
  virtual void Redraw() = 0;
  // Draws the display list on `canvas`, a surface of width x height pixels.
  virtual void DrawDisplayList(Canvas& canvas, int width, int height) = 0;
};

// The model behind a 2D drawing: its entities in drawing order, its layers (never empty), the
// selection, the undo history and the viewers that show it.
class TGV_DOCUMENT {
public:
  TGV_DOCUMENT();
  ~TGV_DOCUMENT();
  TGV_DOCUMENT(const TGV_DOCUMENT&) = delete;
  TGV_DOCUMENT& operator=(const TGV_DOCUMENT&) = delete;

  // The first layer with this Id, or none.
  TGV_Layer* LayerById(int id) const;
  // The largest layer Id, -1 without layers.
  int MaxLayerId() const;
  // The index of the first layer named exactly `name`, -1 when there is none.
  int LayerIndexByName(const QString& name) const;
  TGV_Layer& AppendLayer(std::unique_ptr<TGV_Layer> layer);

  // Appends to the drawing and to the display list of every attached viewer.
  TGV_ENTITY& AddEntity(std::unique_ptr<TGV_ENTITY> entity);
  // Takes the entity out of the drawing and the selection lists; the caller gets it back.
  std::unique_ptr<TGV_ENTITY> RemoveEntity(TGV_ENTITY& entity);
  void ClearSelection();
  void ClearHighlights();

  void AttachViewer(TGV_ViewerLink& viewer);
  void DetachViewer(const TGV_ViewerLink& viewer);
  // Drops every viewer that now shows another document.
  void DetachViewers();
  // The i-th viewer, or none.
  TGV_ViewerLink* Viewers(int i) const;
  int ViewerCount() const { return static_cast<int>(viewers_.size()); }
  void RebuildDisplayLists();
  // With AllViewRedraw every attached viewer redraws itself on its own surface (canvas, width and
  // height unused); otherwise `viewer` draws its display list on `canvas`.
  void Draw(TGV_ViewerLink& viewer, Canvas& canvas, int width, int height);

  const std::vector<std::unique_ptr<TGV_ENTITY>>& Entities() const { return entities_; }
  const std::vector<std::unique_ptr<TGV_Layer>>& Layers() const { return layers_; }
  std::vector<TGV_ENTITY*>& Selection() { return selection_; }
  std::vector<TGV_ENTITY*>& SecondarySelection() { return secondarySelection_; }
  std::vector<TGV_ENTITY*>& HighlightedList() { return highlighted_; }
  std::vector<TGV_SELPOINT>& SnapPoints() { return snapPoints_; }
  TGV_UndoRedoList& UndoHistory() { return undo_; }
  const TGV_UndoRedoList& UndoHistory() const { return undo_; }
  bool Empty() const { return entities_.empty(); }

  bool AllViewRedraw = true;
  double Version = 0; // format version of the last loaded file

private:
  std::vector<TGV_ENTITY*> highlighted_;
  std::vector<TGV_SELPOINT> snapPoints_;
  std::vector<TGV_ENTITY*> secondarySelection_;
  std::vector<TGV_ViewerLink*> viewers_;
  std::vector<std::unique_ptr<TGV_ENTITY>> entities_;
  std::vector<TGV_ENTITY*> selection_;
  TGV_UndoRedoList undo_;
  std::vector<std::unique_ptr<TGV_Layer>> layers_;
};

} // namespace vorlan
