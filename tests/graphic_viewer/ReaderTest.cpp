#include "graphic_viewer/ReaderTestSupport.h"

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace vorlan {
namespace {

using namespace test;

// Every field away from its default, so that a field read into the wrong place shows.
template <class T> std::unique_ptr<T> Styled(std::unique_ptr<T> entity) {
  entity->PenStyle = PenStyle::DashDot;
  entity->PenColor = 0x112233;
  entity->PenWidth = 3;
  entity->PenWidthMM = 0.35;
  entity->BrushStyle = BrushStyle::Vertical;
  entity->BrushColor = 0x445566;
  entity->Layer = 2;
  entity->Selectable = false;
  entity->Selected = entity->Marked = true;
  entity->GripsShown = entity->Visible = entity->Printable = false;
  return entity;
}

Font OddFont() {
  Font font;
  font.name = QString::fromUtf8("Times – €");
  font.height = -17;
  font.color = 0x0000FF;
  font.italic = font.strikeOut = true;
  return font;
}

std::vector<std::unique_ptr<TGV_ENTITY>> OneOfEachClassButBitmaps() {
  std::vector<std::unique_ptr<TGV_ENTITY>> all;
  all.push_back(Styled(std::make_unique<TGV_LINE>(1, 2, 3, 4)));
  auto dimension = Styled(std::make_unique<TGV_COTE>(0, 0, 30, 40));
  dimension->Text = "fifty", dimension->TextSize = 7, dimension->Font = OddFont(),
  dimension->FixedText = true;
  all.push_back(std::move(dimension));
  auto text = Styled(std::make_unique<TGV_TEXTE>(5, 6, QString::fromUtf8("Entrée ™"), 12));
  text->Font = OddFont(), text->Angle = 0.75;
  all.push_back(std::move(text));
  auto polygon = Styled(std::make_unique<TGV_POLYGONE>());
  for (auto [x, y] : {std::pair{0.5, 0.25}, {9, 1}, {4, 7}})
    polygon->AddVertex(x, y);
  all.push_back(std::move(polygon));
  all.push_back(Styled(std::make_unique<TGV_ARC>(0, 0, 5, 5, 0, 0, 5)));
  auto groupOf = [](auto group) {
    group->Add(Styled(std::make_unique<TGV_LINE>(-1, -2, 8, 9)));
    group->Add(Styled(std::make_unique<TGV_CERCLE>(3, 3, 1)));
    return Styled(std::move(group));
  };
  all.push_back(groupOf(std::make_unique<TGV_POLYLINE>()));
  all.push_back(Styled(std::make_unique<TGV_AXE>(0, 0, 1, 1)));
  all.push_back(groupOf(std::make_unique<TGV_RECTANGLE>()));
  all.push_back(Styled(std::make_unique<TGV_CERCLE>(7, 8, 9)));
  all.push_back(groupOf(std::make_unique<TGV_POLYGONE_REGULIER>()));
  all.push_back(groupOf(std::make_unique<TGV_GROUPE>()));
  auto angular = Styled(std::make_unique<TGV_COTEA>());
  angular->CX = 1, angular->CY = 2, angular->X1 = 11, angular->Y1 = 2, angular->X2 = 1, angular->Y2 = 12;
  angular->Radius = 10, angular->Text = "90", angular->TextSize = 3, angular->Font = OddFont();
  all.push_back(std::move(angular));
  all.push_back(Styled(std::make_unique<TGV_Point>(1, 1, 0.5)));
  auto arrow = Styled(std::make_unique<TGV_ARROW>(0, 0, 10, 0));
  arrow->StartHead = 4, arrow->EndHead = 5, arrow->HeadSize = 2.5;
  all.push_back(std::move(arrow));
  all.push_back(groupOf(std::make_unique<TGV_COTESERIE>()));
  auto cell = groupOf(std::make_unique<TGV_RptMemoCel>());
  cell->Value = "v", cell->Flag = 7, cell->Number1 = -4, cell->Text = QString::fromUtf8("Total: 12 €");
  cell->Font = OddFont(), cell->Alignment = 3, cell->Number2 = 99, cell->Flag2 = 1;
  cell->Cell[0] = 1, cell->Cell[2] = -3.5, cell->Cell[4] = 1e6;
  all.push_back(std::move(cell));
  auto table = Styled(std::make_unique<TGV_SEQUENCED_POLYGONE>());
  T2DOpenedSequence loop;
  loop.Add(std::make_unique<T2DSequenceLine>(0, 0, 10, 0));
  loop.Add(std::make_unique<T2DSequenceArc>(10, 5, 5, 10, 0, 10, 10));
  loop.Add(std::make_unique<T2DSequenceLine>(10, 10, 0, 0));
  loop.Items(1).Marker = true;
  table->Sequence.Add(std::move(loop));
  all.push_back(std::move(table));
  auto worktop = Styled(std::make_unique<TGV_SEQUENCED_POLYLINE>());
  worktop->Sequence.Add(std::make_unique<T2DSequenceArc>(0, 0, 4, 4, 0, 0, 4));
  worktop->Sequence.Add(std::make_unique<T2DSequenceLine>(0, 4, -6, 4));
  worktop->Sequence.Items(0).ComputeSlopes();
  all.push_back(std::move(worktop));
  for (auto& entity : all)
    entity->CalcExtents();
  return all;
}

std::vector<std::uint8_t> RecordOf(const TGV_ENTITY& entity) {
  x2d::X2dWriter writer;
  writer.WriteEntity(entity);
  return writer.Bytes();
}

const std::vector<TGV_Layer> ThreeLayers = {TGV_Layer{}, NamedLayer("A"), NamedLayer("B")};

// Written, read and written again, each record gives the same bytes: every field lands where it
// came from. Layer position 2 reads as Id 2 in a new document.
TEST(Reader, EveryClassRoundTrips) {
  for (const auto& entity : OneOfEachClassButBitmaps()) {
    SCOPED_TRACE(std::string(TagClassName(entity->Tag())));
    TGV_DOCUMENT document;
    X2dRecordCounts counts{};
    TGV_GROUPE* group = Load(document, Drawing({entity.get()}, ThreeLayers), &counts);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->Children.size(), 1u);
    const TGV_ENTITY& loaded = *group->Children[0];
    EXPECT_EQ(loaded.Tag(), entity->Tag());
    EXPECT_EQ(RecordOf(loaded), RecordOf(*entity));
    EXPECT_EQ(counts[static_cast<std::size_t>(entity->Tag())], 1);
  }
}

QImage Picture() {
  QImage picture(24, 16, QImage::Format_RGB888);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x)
      picture.setPixelColor(x, y, QColor(x * 10, y * 15, 128));
  return picture;
}

// Payload kinds 1 (DIB), 2 (chunked JPEG) and 3 (JPEG) give the picture back, decoded from memory:
// no temporary file and no folder for one.
TEST(Reader, BitmapPayloadsAreDecodedFromMemory) {
  auto bitmap = Styled(std::make_unique<TGV_BITMAP>());
  bitmap->Bitmap = Picture();
  bitmap->X = 1, bitmap->Y = 2, bitmap->Width = 30, bitmap->Height = 20;
  bitmap->SetGripsAndBox();
  const QDir here(QDir::currentPath()), program(QCoreApplication::applicationDirPath());
  for (int kind : {0, 1, 2, 3}) {
    SCOPED_TRACE(kind);
    x2d::X2dWriter writer = StartedDrawing(1, 1.1);
    writer.WriteBitmap(*bitmap, kind);
    TGV_DOCUMENT document;
    const auto& loaded = static_cast<const TGV_BITMAP&>(*Load(document, writer.Bytes())->Children[0]);
    EXPECT_EQ(loaded.Width, 30);
    EXPECT_EQ(loaded.XMax, 31);
    if (kind == 0) {
      EXPECT_TRUE(loaded.Bitmap.isNull());
      continue;
    }
    ASSERT_EQ(loaded.Bitmap.size(), QSize(24, 16));
    EXPECT_EQ(loaded.Bitmap.depth(), 24);
    const int tolerance = kind == 1 ? 0 : 12;
    for (QPoint p : {QPoint(0, 0), QPoint(23, 15), QPoint(12, 8)})
      EXPECT_NEAR(qRed(loaded.Bitmap.pixel(p)), p.x() * 10, tolerance);
  }
  EXPECT_FALSE(here.exists("temp") || program.exists("temp") || here.exists("tmp.~kx"));
}

TEST(Reader, HeaderChecks) {
  // clang-format off
  struct Case { const char* name; std::string signature; std::int32_t reserved; double version;
                std::int64_t failsAt; };
  // failsAt -1: loads
  const Case cases[] = {
      {"version 1.2", "X2D", 0, 1.2, -1},
      {"version 1.1", "X2D", 0, 1.1, -1},
      {"lower-case signature", "X2d", 0, 1.2, 0},
      {"longer signature", "X2DX", 0, 1.2, 0},
      {"reserved word 1", "X2D", 1, 1.2, 256},
      {"version 1.2000001", "X2D", 0, 1.2000001, 260},
      {"version NaN", "X2D", 0, std::numeric_limits<double>::quiet_NaN(), 260},
  };
  // clang-format on
  const TGV_LINE line(0, 0, 1, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    x2d::X2dWriter writer;
    writer.WriteHeader(c.version, c.signature, c.reserved);
    if (c.version > 1.1) {
      writer.WritePreview({});
      writer.WriteLayers({TGV_Layer{}});
    }
    writer.WriteEntityCount(1);
    writer.WriteEntity(line);
    TGV_DOCUMENT document;
    if (c.failsAt < 0) {
      EXPECT_NO_THROW(Load(document, writer.Bytes()));
      EXPECT_EQ(document.Entities().size(), 1u);
      EXPECT_EQ(document.Version, c.version);
      continue;
    }
    try {
      Load(document, writer.Bytes());
      ADD_FAILURE() << "loaded";
    } catch (const ReadError& error) {
      EXPECT_EQ(error.offset(), static_cast<std::uint64_t>(c.failsAt));
      if (c.version == 1.2000001) {
        EXPECT_NE(dynamic_cast<const X2dTooRecentError*>(&error), nullptr);
        EXPECT_EQ(error.reason(), "This X2D file is more recent than the program !");
      }
    }
    EXPECT_TRUE(document.Entities().empty());
  }
}

// Version 1.1 has no layer section: whatever position an entity names, it lands on the first layer.
TEST(Reader, Version11PutsEverythingOnTheFirstLayer) {
  auto line = std::make_unique<TGV_LINE>(0, 0, 1, 1);
  line->Layer = 3;
  x2d::X2dWriter writer = StartedDrawing(1, 1.1);
  writer.WriteEntity(*line);
  TGV_DOCUMENT document;
  EXPECT_EQ(Load(document, writer.Bytes())->Children[0]->Layer, 0);
  EXPECT_EQ(document.Layers().size(), 1u);
}

TEST(Reader, LayersMergeByNameAndLoadsAreUndoable) {
  auto onBase = std::make_unique<TGV_LINE>(0, 0, 1, 1);
  auto onWalls = std::make_unique<TGV_LINE>(0, 0, 2, 2);
  onWalls->Layer = 1;
  const auto bytes = Drawing({onBase.get(), onWalls.get()}, {TGV_Layer{}, NamedLayer("Walls")});
  TGV_DOCUMENT document;
  const TGV_GROUPE* first = Load(document, bytes);
  ASSERT_EQ(document.Layers().size(), 2u);
  EXPECT_EQ(document.Layers()[1]->Id, 1);
  EXPECT_EQ(first->Children[0]->Layer, 0);
  EXPECT_EQ(first->Children[1]->Layer, 1);
  const auto& history = document.UndoHistory().Records();
  ASSERT_EQ(history.size(), 2u);
  ASSERT_EQ(history[0].Records.size(), 1u);
  const auto expected =
      std::tuple(TGV_UndoKind::Compound, TGV_UndoKind::LayerAdded, document.Layers()[1].get(),
                 TGV_UndoKind::EntitiesInserted, static_cast<const TGV_ENTITY*>(first));
  EXPECT_TRUE(std::tuple(history[0].Kind, history[0].Records[0].Kind, history[0].Records[0].Layer,
                         history[1].Kind, static_cast<const TGV_ENTITY*>(history[1].Group)) == expected);

  Load(document, bytes);
  EXPECT_EQ(document.Layers().size(), 2u) << "the same file again adds no layer";
  EXPECT_EQ(document.Entities().size(), 2u);
  EXPECT_EQ(document.UndoHistory().Records().size(), 3u);
  EXPECT_EQ(document.UndoHistory().Records()[2].Kind, TGV_UndoKind::EntitiesInserted);
}

// Brush code 6 means horizontal hatching in a layer record but a cross hatch in an entity's.
TEST(Reader, LayersAndEntitiesCodeBrushesDifferently) {
  TGV_Layer hatched = NamedLayer("Hatched");
  hatched.BrushStyle = BrushStyle::Horizontal;
  auto line = std::make_unique<TGV_LINE>(0, 0, 1, 1);
  auto bytes = Drawing({line.get()}, {TGV_Layer{}, hatched});
  const std::size_t secondLayerBrush = 298 + 4 + 4 + 285 + 276;
  ASSERT_EQ(bytes[secondLayerBrush], 6);
  const std::size_t entity = FirstEntityOffset + 285;
  PutInt32(bytes, entity + 28, 6);
  TGV_DOCUMENT document;
  const TGV_GROUPE* group = Load(document, bytes);
  EXPECT_EQ(document.Layers()[1]->BrushStyle, BrushStyle::Horizontal);
  EXPECT_EQ(group->Children[0]->BrushStyle, BrushStyle::Cross);
}

// The angular dimension repeats its layer position in its tail, and the repeat is the one used.
TEST(Reader, TheAngularDimensionsOwnLayerByteWins) {
  auto angular = std::make_unique<TGV_COTEA>();
  angular->Radius = 1, angular->X1 = 1, angular->Y2 = 1;
  for (auto [common, extra] : {std::pair<std::uint8_t, std::uint8_t>{0, 1}, {1, 0}}) {
    SCOPED_TRACE(int(extra));
    auto bytes = Drawing({angular.get()}, {TGV_Layer{}, NamedLayer("A")});
    const std::size_t record = FirstEntityOffset + 285;
    bytes[record + LayerByteOffset] = common;
    bytes[record + TailOffset(3) + 7 * 8 + 4] = extra;
    TGV_DOCUMENT document;
    EXPECT_EQ(Load(document, bytes)->Children[0]->Layer, extra);
  }
}

TEST(Reader, NoEntitiesAddsNothingButTheLayers) {
  for (std::int32_t count : {0, -3}) {
    TGV_DOCUMENT document;
    EXPECT_EQ(Load(document, StartedDrawing(count, 1.2, {NamedLayer("New")}).Bytes()), nullptr);
    EXPECT_EQ(document.Layers().size(), 2u);
    ASSERT_EQ(document.UndoHistory().Records().size(), 1u);
    EXPECT_EQ(document.UndoHistory().Records()[0].Kind, TGV_UndoKind::Compound);
  }
}

// Cut anywhere, the sample is one error naming the file and the offset; the layers read before
// the cut stay and no entity of the file is added.
TEST(Reader, TruncatedAnywhereTheSampleIsOneClearError) {
  const std::vector<std::uint8_t> full = x2d::FloorPlanDrawing();
  std::int32_t preview = 0;
  std::memcpy(&preview, full.data() + 298, 4);
  const std::size_t layersEnd = 298 + 4 + static_cast<std::size_t>(preview) + 4 + 6 * 285;
  for (std::size_t size = 0; size < full.size(); ++size) {
    const std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
    TGV_DOCUMENT document;
    try {
      LoadX2d(cut, "floor.x2d", document);
      ADD_FAILURE() << "cut at " << size << " loaded";
    } catch (const ReadError& error) {
      ASSERT_EQ(std::string(error.what()).rfind("floor.x2d: offset ", 0), 0u) << error.what();
      ASSERT_LE(error.offset(), size);
    }
    ASSERT_TRUE(document.Entities().empty()) << size;
    ASSERT_TRUE(size < layersEnd || document.Layers().size() == 6u) << size;
  }
  TGV_DOCUMENT document;
  LoadX2d(full, "floor.x2d", document);
  EXPECT_EQ(document.Layers().size(), 6u);
}

// Every count or size is a claim checked against the bytes left, and an unknown tag or piece kind
// stops the load: each is an error at the offset of the word.
TEST(Reader, BadCountsTagsAndKindsAreErrorsWhereTheyStand) {
  auto line = std::make_unique<TGV_LINE>(0, 0, 1, 1);
  auto polygon = std::make_unique<TGV_POLYGONE>();
  for (int i = 0; i < 3; ++i)
    polygon->AddVertex(i, i * i);
  auto group = std::make_unique<TGV_GROUPE>();
  auto polyline = std::make_unique<TGV_SEQUENCED_POLYLINE>();
  polyline->Sequence.Add(std::make_unique<T2DSequenceLine>(0, 0, 1, 1));
  auto sequencedPolygon = std::make_unique<TGV_SEQUENCED_POLYGONE>();
  auto cell = std::make_unique<TGV_RptMemoCel>();
  auto bitmap = std::make_unique<TGV_BITMAP>();
  bitmap->Bitmap = Picture();
  bitmap->SetGripsAndBox();
  constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
  // payload: bitmap payload kind; offset: of the word, in the file or in the first entity record.
  // clang-format off
  struct Case { const char* name; const TGV_ENTITY* entity; int payload; std::size_t offset;
                std::vector<std::int32_t> values; bool inRecord = true; };
  const Case cases[] = {
      {"preview length", line.get(), 0, 298, {Max, -1}, false},
      {"layer count", line.get(), 0, 302, {Max, -1}, false},
      {"entity count", line.get(), 0, 302 + 4 + 285, {Max}, false},
      {"entity count without a record", nullptr, 0, 302 + 4 + 285, {1}, false},
      {"grip count", line.get(), 0, GripCountOffset, {Max, -1}},
      {"vertex count", polygon.get(), 0, TailOffset(3), {Max, -1}},
      {"child count", group.get(), 0, TailOffset(0), {Max, -1}},
      {"piece count", polyline.get(), 0, TailOffset(0) + 4, {Max, -1}},
      {"piece kind", polyline.get(), 0, TailOffset(0) + 8, {2}},
      {"loop count", sequencedPolygon.get(), 0, TailOffset(0) + 7, {Max, -1}},
      {"lstring length", cell.get(), 0, TailOffset(0) + 4, {Max, -1}},
      {"DIB header size", bitmap.get(), 1, TailOffset(2) + 4, {Max, -1}},
      {"DIB pixel size", bitmap.get(), 1, TailOffset(2) + 8, {Max, -1}},
      {"chunk length", bitmap.get(), 2, TailOffset(2) + 8, {Max, -1}},
      {"JPEG length", bitmap.get(), 3, TailOffset(2) + 4, {Max, -1}},
      {"tag", line.get(), 0, 0, {19, -1, 1000}},
  };
  // clang-format on
  for (const Case& c : cases) {
    for (std::int32_t value : c.values) {
      SCOPED_TRACE(std::string(c.name) + " " + std::to_string(value));
      x2d::X2dWriter writer = StartedDrawing(1);
      if (c.payload)
        writer.WriteBitmap(*bitmap, c.payload);
      else if (c.entity)
        writer.WriteEntity(*c.entity);
      auto bytes = writer.Bytes();
      const std::size_t at = c.inRecord ? FirstEntityOffset + c.offset : c.offset;
      PutInt32(bytes, at, value);
      TGV_DOCUMENT document;
      try {
        Load(document, bytes);
        ADD_FAILURE() << "loaded";
      } catch (const ReadError& error) {
        EXPECT_EQ(error.offset(), at) << error.what();
      }
      EXPECT_TRUE(document.Entities().empty());
    }
  }
}

// Groups in groups, as written by hand: tag 11, a common part without blocks, the child count.
std::vector<std::uint8_t> NestedGroups(int depth) {
  x2d::X2dWriter writer = StartedDrawing(1, 1.1);
  BinaryWriter& out = writer.Out();
  for (int level = 0; level < depth; ++level) {
    out.writeInt32(11);
    out.writeZeros(4 + 4 + 4 + 8 + 4 + 4 + 4 + 32 + 4 + 3);
    out.writeInt32(1);
  }
  writer.WriteEntity(TGV_LINE(0, 0, 5, 7));
  return writer.Bytes();
}

TEST(Reader, DeepNestingIsCappedWithAClearError) {
  TGV_DOCUMENT shallow;
  const TGV_GROUPE* group = Load(shallow, NestedGroups(MaxGroupDepth - 1));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->XMax, 5);
  EXPECT_EQ(group->YMax, 7);
  for (int depth : {MaxGroupDepth, 100000}) {
    TGV_DOCUMENT document;
    try {
      Load(document, NestedGroups(depth));
      ADD_FAILURE() << depth << " levels loaded";
    } catch (const ReadError& error) {
      EXPECT_NE(std::string(error.what()).find("nested deeper than 256"), std::string::npos) << error.what();
    }
  }
}

std::vector<TGV_Layer> ManyLayers(int count) {
  std::vector<TGV_Layer> layers(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    layers[static_cast<std::size_t>(i)].Name = QString("L%1").arg(i);
  return layers;
}

TEST(Reader, LayerLimits) {
  TGV_LINE line(0, 0, 1, 1);
  TGV_DOCUMENT tooMany;
  EXPECT_THROW(Load(tooMany, Drawing({&line}, ManyLayers(1025))), ReadError);
  EXPECT_EQ(tooMany.Layers().size(), 1u);
  // With 300 new layers their Ids run 1..300; position 254 is Id 255, position 255 is Id 256.
  line.Layer = 254;
  TGV_DOCUMENT fits;
  EXPECT_EQ(Load(fits, Drawing({&line}, ManyLayers(300)))->Children[0]->Layer, 255);
  line.Layer = 255;
  TGV_DOCUMENT beyond;
  EXPECT_THROW(Load(beyond, Drawing({&line}, ManyLayers(300))), ReadError);
  EXPECT_EQ(beyond.Layers().size(), 301u) << "layers merged before the failure stay";
  EXPECT_TRUE(beyond.Entities().empty());
}

// NaN and infinite coordinates load, stay out of the extents and out of every window.
TEST(Reader, NonFiniteCoordinatesLoadButStayOutOfExtents) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const TGV_LINE good(0, 0, 100, 50), bad(nan, 0, 1e6, 1e6);
  const TGV_CERCLE endless(0, 0, inf);
  TGV_SEQUENCED_POLYLINE wild;
  wild.Sequence.Add(std::make_unique<T2DSequenceArc>(nan, 0, inf, 1, 0, 0, 1));
  TGV_DOCUMENT document;
  const TGV_GROUPE* group = Load(document, Drawing({&good, &bad, &endless, &wild}));
  ASSERT_EQ(group->Children.size(), 4u);
  EXPECT_EQ(std::vector({group->XMin, group->YMin, group->XMax, group->YMax}),
            std::vector<double>({0, 0, 100, 50}));
  EXPECT_FALSE(group->Children[1]->IsInWindow(-1e300, -1e300, 1e300, 1e300));
  EXPECT_FALSE(group->Children[2]->IsInWindow(-1e300, -1e300, 1e300, 1e300));
}

// Single-byte texts are Windows-1252: 0x80..0x9F are letters and signs, not control codes.
TEST(Reader, TextsAreWindows1252) {
  const TGV_TEXTE text(0, 0, "xxxxx", 10);
  auto bytes = Drawing({&text});
  const std::size_t at = FirstEntityOffset + TailOffset(1) + 16;
  const std::uint8_t ansi[] = {0x80, 0x96, 0x99, 0xE9, 0x81};
  std::copy(std::begin(ansi), std::end(ansi), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  TGV_DOCUMENT document;
  const auto& loaded = static_cast<const TGV_TEXTE&>(*Load(document, bytes)->Children[0]);
  EXPECT_EQ(loaded.Text, QString::fromUtf8("€–™é") + QChar(0x81));
}

TEST(Reader, APolygonKeepsAllItsVertices) {
  TGV_POLYGONE polygon;
  for (int i = 0; i < 1500; ++i)
    polygon.AddVertex(std::cos(i * 0.01) * 100, std::sin(i * 0.01) * 100);
  TGV_DOCUMENT document;
  const auto& loaded = static_cast<const TGV_POLYGONE&>(*Load(document, Drawing({&polygon}))->Children[0]);
  EXPECT_EQ(loaded.Vertices.size(), 1500u);
}

} // namespace
} // namespace vorlan
