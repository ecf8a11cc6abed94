#pragma once

#include "gl/GlTexture.h"
#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/Colors.h"
#include "scene3d/Geometry3D.h"
#include "scene3d/ListBatches.h"
#include "scene3d/PointGrid.h"
#include "scene3d/RecordFields.h"

#include <QImage>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace vorlan {

class TEntity;
class TListState;

inline constexpr std::size_t kPointRecordSize = 63;
inline constexpr std::size_t kContourRecordSize = 35;
inline constexpr std::size_t kObjectRecordSize = 630;
inline constexpr std::size_t kMaxMarkedFaces = 50;
// How many faces are read between two calls of OnReadProgress.
inline constexpr std::size_t kFacesPerProgressStep = 4096;
// World size of one repetition of a picture texture named in an entity record.
inline constexpr double kEntityTextureSize = 500.0;
// The texture name that means "no texture"; it never reaches the disk.
inline constexpr const char* kNoTextureName = "Empty";
// Written when there is no texture file to name; it reads back as a missing file.
inline constexpr const char* kMissingTextureName = "NoTexture";

// A texture file's bytes, a bitmap or a JPEG picture told apart by their first bytes; a very large JPEG
// picture is decoded smaller, as only its resample is used. Anything else raises ReadError.
QImage DecodeTexturePicture(const std::vector<std::uint8_t>& bytes, const std::string& path);

enum class TShading : std::uint8_t {
  Flat = 0,    // the face normal everywhere
  ByAngle = 1, // per corner, see TMem::Smooth
  Smooth = 2,  // vertex normals everywhere
};

// One point of an entity's point list, which all its faces share by index.
struct TPoint3D {
  TPoint3D() = default;
  TPoint3D(double X, double Y, double Z, double W) : X(X), Y(Y), Z(Z), W(W) {}

  Vector3D Position() const { return {X, Y, Z}; }
  Vector3D Normal() const { return {NX, NY, NZ}; }
  void SetNormal(const Vector3D& n);

  void LoadFromFile(BinaryCursor& F, const ReadPlace& where);
  void SaveToFile(BinaryWriter& F) const;

  double X = 0;
  double Y = 0;
  double Z = 0;
  double W = 1; // homogeneous weight, carried through files only
  double NX = 0;
  double NY = 0;
  double NZ = 0;
  std::int32_t Tag = 1;
  std::array<std::uint8_t, 3> Marks{};
};

// One corner of a face: the point it uses and its texture coordinates. The doubles come first, so
// that a corner takes 24 bytes rather than 32: a big mesh has millions of them.
struct TMem {
  explicit TMem(std::int32_t Index) : Index(Index) {}

  double U = 0;
  double V = 0;
  std::int32_t Index; // into the owning entity's Points
  // With by-angle shading: use the point's vertex normal rather than the face normal.
  bool Smooth = true;
};

// One closed ring of a face that has holes or several outlines.
struct TContours {
  void LoadFromFile(BinaryCursor& F, const ReadPlace& where);
  void SaveToFile(BinaryWriter& F) const;

  bool Outer = true; // the face plane comes from the first outer contour
  std::int32_t Tag = -1;
  // The ring's corners in order, as positions in the owning face's Refs, which own them.
  std::vector<std::size_t> Refs;
  TColorRGBA Color{250, 250, 250, 255};
  TColorRGB Color2{250, 250, 250};
};

// A ring of corners of a face: the face's own Refs, or one contour's.
template <typename Mem> class TBasicCornerRing {
public:
  using RefList = std::conditional_t<std::is_const_v<Mem>, const std::vector<TMem>, std::vector<TMem>>;

  TBasicCornerRing(RefList& refs, const std::vector<std::size_t>* positions)
      : refs_(&refs), positions_(positions) {}

  std::size_t size() const { return positions_ ? positions_->size() : refs_->size(); }
  Mem& operator[](std::size_t i) const { return (*refs_)[positions_ ? (*positions_)[i] : i]; }

private:
  RefList* refs_;
  const std::vector<std::size_t>* positions_;
};
using TCornerRing = TBasicCornerRing<TMem>;
using TConstCornerRing = TBasicCornerRing<const TMem>;

// A planar polygon of an entity, possibly with contours (outlines and holes).
class TFace {
public:
  // A face with `Owner`'s defaults, appended to `Owner`'s face list, which owns it.
  static TFace& Create(TEntity& Owner);
  TFace(const TFace&) = delete;
  TFace& operator=(const TFace&) = delete;

  TContours& AddContour(TContours Contour = {});
  // Adds a corner at (X, Y, Z), sharing the owner's last listed point that lies within the merge
  // tolerance in every coordinate. `Contour`, when given, is one of this face's Contours and lists the
  // corner too.
  void AddPoint(TContours* Contour, double X, double Y, double Z, double W);

  void LoadFromFile(BinaryCursor& F, const ReadPlace& where);
  void SaveToFile(BinaryWriter& F) const;

  // Emits the face's geometry into the display list being compiled, or draws it when none is: texture
  // enable and disable when the face is textured (TexturingOn), then a quad strip, a polygon or the
  // tessellated rings. The form with a run state leaves out state calls that repeat the state the run
  // has set; a batched run also sends fans and line loops as the triangles and segments they are
  // made of (see TListState).
  void Compile();
  void Compile(TListState& State);
  // Black line loops over the rings, flat shaded.
  void DrawOutline();
  // As DrawOutline, every corner moved 0.1 along the face normal, so the line shows in front of the face.
  void DrawLiftedOutline();
  void DrawOutline(TListState& State, double Lift);
  // The face filled with one colour for paper output and export: untessellated faces flat shaded,
  // tessellated ones with the face normal at every corner; one face of the run `State`.
  void DrawSolid(std::uint8_t R, std::uint8_t G, std::uint8_t B, std::uint8_t A, TListState& State);
  // The face is textured, its entity uses textures and has a picture texture or a mapping.
  bool TexturingOn() const;
  // The normal a corner is lit with: the face normal, the point's normal, or by the corner's Smooth.
  Vector3D CornerNormal(const TMem& corner) const;

  // The face's rings, as drawing and export take them: one per contour, or ring 0 holding every corner
  // of a face without contours.
  std::size_t RingCount() const { return Contours.empty() ? 1 : Contours.size(); }
  TConstCornerRing Ring(std::size_t ring) const {
    return TConstCornerRing(Refs, Contours.empty() ? nullptr : &Contours[ring].Refs);
  }
  // The corner positions of every ring into `rings`, whose lists are reused to spare allocations.
  void RingPositions(std::vector<std::vector<Vector3D>>& rings) const;

  // The ring that texture coordinates start from: the first contour's, or Refs without contours.
  TCornerRing CornerRing();
  // The ring that gives the face its plane: the first outer contour's, or Refs without contours;
  // none when no contour is outer.
  std::optional<TCornerRing> NormalRing();

  // Calls fn(TMem&) for each corner of each contour in order, or of Refs when there are no contours.
  template <typename Fn> void ForEachCorner(Fn&& fn) {
    if (Contours.empty()) {
      for (TMem& corner : Refs)
        fn(corner);
      return;
    }
    for (const TContours& contour : Contours)
      for (std::size_t position : contour.Refs)
        fn(Refs[position]);
  }

  // The one-byte fields come last, together, so that a face takes 104 bytes rather than 112: a big
  // mesh has hundreds of thousands of faces.
  TEntity& Owner;
  std::vector<TMem> Refs; // every corner, in the order added
  std::vector<TContours> Contours;
  Vector3D Normal{0, 0, 1};
  double D = 0; // Normal . P + D = 0 on the face's plane
  TShading Shading;
  bool Visible = true;
  TColorRGBA Color{200, 200, 200, 255};
  TColorRGB Color2{200, 200, 200};
  bool Textured = true;
  bool HideEdges = true; // false: a black outline is drawn just in front of the face
  bool Tessellate = true;
  bool Marked = false;

private:
  explicit TFace(TEntity& Owner);

  // A corner of an untessellated face as it is sent: single-precision normal and texture coordinates.
  struct DirectVertex {
    static DirectVertex Of(const Vector3D& P, const Vector3D& N, double U, double V);
    Vector3D P;
    std::array<float, 3> N;
    float U;
    float V;
  };
  std::vector<DirectVertex> PolygonVertices() const;
  std::vector<DirectVertex> StripVertices() const;

  void ReadHead(BinaryCursor& F, const ReadPlace& where);
  void ReadContour(BinaryCursor& F, const ReadPlace& where);
  void ReadCorners(BinaryCursor& F, TContours* contour, const ReadPlace& where);
  void WritePointOf(BinaryWriter& F, const TMem& corner) const;
};

// A picture texture of an entity: the picture resampled to 256 x 256 and uploaded with mipmaps, and
// the world size of one repetition. Its OpenGL work runs in the current 3D rendering context; without
// one the texture stays nameless until the first Bind.
class TTexture {
public:
  TTexture(const QImage& Picture, double Width, double Height);
  TTexture(const TTexture&) = delete;
  TTexture& operator=(const TTexture&) = delete;

  // Uploads the resampled picture, in the current 3D rendering context when there is one.
  void Build();
  // For drawing passes, in the context already current: binds, then sets the sampling fields.
  void Bind();
  // Frees the texture name now, for a view whose context is about to go; Bind takes a new one.
  void DeleteTexture();

  double Width;
  double Height;
  std::string FileName = kNoTextureName; // the name as the entity record stores it
  std::string Path;                      // where the picture was found; empty when not from a file
  std::int32_t WrapS = 0x2901;           // GL_REPEAT
  std::int32_t WrapT = 0x2901;           // GL_REPEAT
  std::int32_t MagFilter = 0x2601;       // GL_LINEAR
  std::int32_t MinFilter = 0x2701;       // GL_LINEAR_MIPMAP_NEAREST
  std::int32_t EnvMode = 0x2100;         // GL_MODULATE
  QImage Picture;

  std::uint32_t TexName() const { return Tex.name(); }

private:
  GlTexture Tex;
};

// What entities need from a procedural mapping (TMapping derives from it): the world size of one tile
// repetition for texture coordinates, and the binding for drawing.
struct TMappingTile {
  TMappingTile() = default;
  TMappingTile(std::int32_t TileWidth, std::int32_t TileHeight)
      : TileWidth(TileWidth), TileHeight(TileHeight) {}
  virtual ~TMappingTile() = default;

  // Enables texturing and binds the tile; a bare tile has nothing to bind.
  virtual void Bind() const {}

  std::int32_t TileWidth = 0;
  std::int32_t TileHeight = 0;
};

struct TBounds {
  double MinX, MinY, MinZ, MaxX, MaxY, MaxZ;
};

// Base of every 3D object of a scene: name, placement and values carried through files.
class TObjects {
public:
  TObjects() = default;
  virtual ~TObjects() = default;
  TObjects(const TObjects&) = delete;
  TObjects& operator=(const TObjects&) = delete;

  // `where` names the object in error messages, e.g. "entity 2".
  virtual void LoadFromFile(BinaryCursor& F, const ReadPlace& where);
  virtual void SaveToFile(BinaryWriter& F) const;
  // Drawing is given by each kind of object; the base has nothing to draw.
  virtual void Draw(bool Textured, bool Flag2, bool Solid, bool Flag4, bool Flag5, bool HiddenLine,
                    std::int32_t Mode);
  virtual void Prepare() = 0;
  virtual void DrawPaperLine();
  virtual void DrawPaperFill();
  // Compiles the display lists in the current 3D rendering context, for an object read where there
  // was none; the base has no lists.
  virtual void CompileLists() {}

  std::string Name = "NoName";
  std::int32_t Value1 = 0;
  std::array<bool, 3> Flags3{true, true, false};
  bool Filled = true;          // not stored
  std::int32_t StripCount = 2; // not stored
  std::array<TColorRGBA, 3> HighlightColors{TColorRGBA{255, 0, 255, 180}, TColorRGBA{255, 255, 0, 255},
                                            TColorRGBA{0, 255, 0, 100}};
  std::string Text2 = "0";
  std::array<double, 3> Triple{-1, 1, -1};
  std::int32_t Value2 = 3;
  Vector3D Position;
  Vector3D Rotation; // degrees about X, then Y, then Z
  // Called now and then while the record is read (after each mapping, every few thousand faces),
  // on the reading thread, so that a progress bar can follow a long load.
  std::function<void()> OnReadProgress;

protected:
  // Calls OnReadProgress when `facesRead` faces of a list have been read and it is time to.
  void FacesRead(std::size_t facesRead) const {
    if (OnReadProgress && facesRead % kFacesPerProgressStep == 0) OnReadProgress();
  }
};

// Moves and turns the model-view matrix to the object's placement: Position, then Rotation about X,
// Y and Z, in single precision.
void ApplyPlacement(const TObjects& Object);

// A mesh: shared points, planar faces, an optional picture texture or procedural mapping.
class TEntity : public TObjects {
public:
  TEntity() = default;

  // Reads the entity record; the caller has already read the class-name block before it.
  void LoadFromFile(BinaryCursor& F, const ReadPlace& where) override;
  // Writes the class-name block "TEntity", then the entity record.
  void SaveToFile(BinaryWriter& F) const override;
  // Face planes, vertex normals, smooth marking and texture coordinates, then the display lists when a
  // 3D rendering context is available; runs once after loading.
  void Prepare() override;
  // Prepare without the display lists, shared among `workers` threads; the result does not depend
  // on their number. Needs no rendering context.
  void PrepareGeometry(unsigned workers);
  // In its placement: with Solid and Filled the faces, textured when Textured, else black outlines.
  void Draw(bool Textured, bool Flag2, bool Solid, bool Flag4, bool Flag5, bool HiddenLine,
            std::int32_t Mode) override;
  // In feedback mode only the faces that look toward the viewer, each outline after a pass-through
  // token; otherwise every outline.
  void DrawPaperLine() override;
  // Every face white, for hidden-line output.
  void DrawPaperFill() override;

  // Compiles the face lists in the current 3D rendering context; without one the first Draw does.
  void CompileLists() override;
  // Frees display lists and texture names now, for a view whose context is about to go; the next
  // Draw compiles and uploads again.
  void ReleaseGlNames();
  const TListBatches& FaceLists() const { return faceLists_; }
  const TListBatches& OutlineLists() const { return outlineLists_; }

  void LoadTexture(const QImage& Picture, double Width, double Height);
  // Over all points placed by Position and then Rotation X, Y and Z; starts from +-1000000.
  TBounds GetBounds() const;
  // The index of the last listed point within the merge tolerance of (X, Y, Z) in every coordinate;
  // a new point is appended when none is.
  std::int32_t SharePoint(double X, double Y, double Z, double W);

  // Points keep their positions once listed: the merge grid indexes them by position.
  std::vector<TPoint3D> Points;
  std::vector<std::unique_ptr<TFace>> Faces;
  TShading Shading = TShading::ByAngle; // copied into each new face
  std::unique_ptr<TTexture> Texture;
  // The picture name as the record stores it, whether or not the picture was found.
  std::string TextureName = kNoTextureName;
  // Why the texture file the record names was found but not used (not a regular file, too large, not
  // a picture); empty otherwise. The entity loads without it, as without a missing one.
  std::string TextureProblem;
  bool UseTexture = true;
  std::int32_t Value3 = 0;
  double Value4 = 1.0;
  std::int32_t TextureOrigin = 1;        // index of the reference corner for texture coordinates
  TMappingTile* Mapping = nullptr;       // not owned: a mapping of the owning super-object
  std::vector<std::int32_t> MarkedFaces; // at most kMaxMarkedFaces
  std::int32_t Value5 = -1;
  bool EdgeAligned = true; // texture coordinates follow the reference edge, else the dominant axis

  // Where a corner of one of the faces lies.
  Vector3D PointOf(const TMem& corner) const {
    return Points[static_cast<std::size_t>(corner.Index)].Position();
  }

private:
  void ReadHead(BinaryCursor& F, const ReadPlace& where);
  void LoadNamedTexture(const std::string& name, BinaryCursor& F, std::size_t nameOffset,
                        const ReadPlace& where);
  void ReadFaces(BinaryCursor& F, const ReadPlace& where);
  void ReadMarkedFaces(BinaryCursor& F, const ReadPlace& where);
  void MarkFace(BinaryCursor& F, const ReadPlace& where);
  void ReadTail(BinaryCursor& F, const ReadPlace& where);
  std::string StoredTextureName() const;

  bool PlaceFace(TFace& face);
  void AccumulateVertexNormals(const std::vector<std::uint8_t>& placed, std::size_t first, std::size_t end);
  void ApplyTextureCoordinates(const std::vector<std::uint8_t>& placed, unsigned workers);
  bool TakesCoordinates(const TFace& face, const TCornerRing& ring) const;
  void ApplyPictureTexture(TFace& face, const TCornerRing& ring, std::size_t origin) const;
  void ApplyMapping(TFace& face, const TCornerRing& ring, std::size_t origin, const TBounds& bounds,
                    double phase) const;
  void MarkSmoothCorners(TFace& face);

  void SyncGrid();

  bool MappingCase() const { return UseTexture && !Texture && Mapping; }
  void EmitFaces(std::size_t first, std::size_t end, TListState& state);
  void EmitOutlines(std::size_t first, std::size_t end, TListState& state);
  void EmitSharedOutlines(std::size_t first, std::size_t end, const std::vector<bool>& drawn,
                          std::size_t& segment, TListState& state);
  void CompileOutlineLists();
  void SetUpTexture(bool textured);
  void TearDownTexture(bool textured);
  void DrawFaces();
  void DrawOutlines();

  PointGrid grid_;
  TListBatches faceLists_;
  TListBatches outlineLists_;
};

} // namespace vorlan
