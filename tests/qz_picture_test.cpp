// qzdump --png's pictures, decoded from the PNG file written: light and colour, the depth buffer,
// normals interpolated across faces, the fit, the views, and records that cannot be drawn.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <sstream>

#include "tests/test_support.h"
#include "tools/qzdump/png_output.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace {

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << " " << c.g << " " << c.b << ")";
}
const Rgb kBackground{kPictureBackground[0], kPictureBackground[1], kPictureBackground[2]};

// A PNG file read back.
struct Decoded {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  Rgb At(int x, int y) const {
    const size_t i = 3 * (static_cast<size_t>(y) * width + x);
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
  // The pixel at a fraction of the width and the height.
  Rgb AtFraction(double fx, double fy) const {
    return At(static_cast<int>(fx * width), static_cast<int>(fy * height));
  }
  bool operator==(const Decoded&) const = default;
};

Decoded Render(const QzFile& file, PictureView view, int size = 64) {
  ScratchFolder folder;
  const std::string path = folder / "picture.png";
  EXPECT_TRUE(WritePng(DrawPicture(file, view, size), path.c_str()));
  Decoded decoded;
  int channels = 0;
  stbi_uc* pixels = stbi_load(path.c_str(), &decoded.width, &decoded.height, &channels, 3);
  EXPECT_NE(pixels, nullptr) << stbi_failure_reason();
  if (pixels != nullptr) {
    decoded.rgb.assign(pixels, pixels + 3 * decoded.width * decoded.height);
    stbi_image_free(pixels);
  }
  return decoded;
}

// A record of four corners with one normal and a colour given as 0xRRGGBB.
QzFaceRecord Quad(std::array<Vec4, 4> corners, Vec4 normal, uint32_t colour) {
  QzFaceRecord record{};
  for (int k = 0; k < 4; ++k) {
    record.positions[k] = corners[k];
    record.normals[k] = normal;
  }
  record.colour = colour;
  record.texture = -1;
  return record;
}

// A square facing +Z at depth z, of half side `half`, centred on (x, y).
QzFaceRecord Square(float x, float y, float z, float half, Vec4 normal, uint32_t colour) {
  return Quad({Vec4{x - half, y - half, z, 1}, Vec4{x + half, y - half, z, 1},
               Vec4{x + half, y + half, z, 1}, Vec4{x - half, y + half, z, 1}},
              normal, colour);
}

QzFile FileOf(std::vector<QzFaceRecord> records) {
  QzFile file{};
  file.faces = std::move(records);
  return file;
}

QzFile Parsed(const Model& model, bool smooth) {
  const std::vector<uint8_t> bytes = QzBytes(model, smooth);
  QzFile file;
  std::string error;
  EXPECT_TRUE(ParseQz(bytes.data(), bytes.size(), file, error)) << error;
  return file;
}

TEST(QzPicture, LightComesFromTheViewerAndColoursKeepTheirChannels) {
  const double angle = std::acos(-1.0) / 3;  // 60 degrees
  const float nan = std::nanf("");
  const struct {
    const char* name;
    Vec4 normal;
    uint32_t colour;
    Rgb expected;
  } cases[] = {
      {"facing the viewer", {0, 0, 1, 1}, 0xFFFFFF, {255, 255, 255}},
      {"facing, longer than one", {0, 0, 5, 1}, 0xFFFFFF, {255, 255, 255}},
      {"sixty degrees off",
       {0, float(std::sin(angle)), float(std::cos(angle)), 1},
       0xFFFFFF,
       {153, 153, 153}},
      {"edge-on", {1, 0, 0, 1}, 0xFFFFFF, {51, 51, 51}},
      {"turned away", {0, 0, -1, 1}, 0xFFFFFF, {51, 51, 51}},
      {"no length", {0, 0, 0, 1}, 0xFFFFFF, {51, 51, 51}},
      {"not a number", {nan, 0, 1, 1}, 0xFFFFFF, {51, 51, 51}},
      {"red, green and blue bytes", {0, 0, 1, 1}, 0x00FF8040, {255, 128, 64}},
      {"the top byte is not a colour", {0, 0, 1, 1}, 0xAA000000, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    const Decoded picture =
        Render(FileOf({Square(0, 0, 0, 1, c.normal, c.colour)}), PictureView::kFront);
    EXPECT_EQ(picture.AtFraction(0.5, 0.5), c.expected) << c.name;
    EXPECT_EQ(picture.At(0, 0), kBackground) << c.name;
  }
}

TEST(QzPicture, TheNearestSurfaceHidesTheOthersWhateverTheirOrder) {
  const Vec4 toFront{0, 0, 1, 1};
  const QzFaceRecord nearRed = Square(0, 0, 1, 1, toFront, 0xFF0000);
  const QzFaceRecord farBlue = Square(0, 0, -1, 2, toFront, 0x0000FF);  // larger: its rim shows
  const struct {
    PictureView view;
    bool redFirst;
    Rgb middle, rim;
  } cases[] = {
      {PictureView::kFront, true, {255, 0, 0}, {0, 0, 255}},
      {PictureView::kFront, false, {255, 0, 0}, {0, 0, 255}},
      // From behind the blue square is nearer, and both face away: ambient light only.
      {PictureView::kBack, true, {0, 0, 51}, {0, 0, 51}},
      {PictureView::kBack, false, {0, 0, 51}, {0, 0, 51}},
  };
  for (const auto& c : cases) {
    const QzFile file = c.redFirst ? FileOf({nearRed, farBlue}) : FileOf({farBlue, nearRed});
    const Decoded picture = Render(file, c.view);
    EXPECT_EQ(picture.AtFraction(0.5, 0.5), c.middle) << c.redFirst;
    EXPECT_EQ(picture.AtFraction(0.1, 0.5), c.rim) << c.redFirst;
  }
}

// Far from the origin, one unit apart along the iso view's line of sight: two squares cover the
// same pixels, and the nearer one still wins, drawn first or last.
TEST(QzPicture, DepthKeepsItsPrecisionFarFromTheOrigin) {
  auto square = [](float offset, uint32_t colour) {
    const float o = 1e7f + offset;
    return Quad({Vec4{o - 100, o - 100, o, 1}, Vec4{o + 100, o - 100, o, 1},
                 Vec4{o + 100, o + 100, o, 1}, Vec4{o - 100, o + 100, o, 1}},
                Vec4{0, 0, 1, 1}, colour);
  };
  for (const bool nearFirst : {true, false}) {
    const QzFaceRecord nearRed = square(1, 0xFF0000), farBlue = square(0, 0x0000FF);
    const QzFile file = nearFirst ? FileOf({nearRed, farBlue}) : FileOf({farBlue, nearRed});
    const Rgb middle = Render(file, PictureView::kIso).AtFraction(0.5, 0.5);
    EXPECT_TRUE(middle.r > 0 && middle.b == 0) << nearFirst << " " << middle;
  }
}

// A record is two triangles on the diagonal from corner 0 to corner 2: normals interpolated along
// it come from corners 0 and 2 alone (on the other diagonal the two turned away would darken it),
// and a triangle's record, whose corner 3 repeats corner 2, draws one half.
TEST(QzPicture, ARecordIsTwoTrianglesOnTheDiagonalFromCornerZero) {
  QzFaceRecord quad = Square(0, 0, 0, 1, Vec4{0, 0, 1, 1}, 0xFFFFFF);
  quad.normals[1] = quad.normals[3] = Vec4{0, 0, -1, 1};
  EXPECT_GT(Render(FileOf({quad}), PictureView::kFront).AtFraction(0.5, 0.5).r, 240);

  QzFaceRecord triangle = Square(0, 0, 0, 1, Vec4{0, 0, 1, 1}, 0xFFFFFF);
  triangle.positions[3] = triangle.positions[2];
  const Decoded half = Render(FileOf({triangle}), PictureView::kFront);
  EXPECT_EQ(half.AtFraction(0.8, 0.5), (Rgb{255, 255, 255}));  // corners 0 1 2: lower right
  EXPECT_EQ(half.AtFraction(0.2, 0.5), kBackground);

  // A triangle of three slanted sides leaves the three corners of its box outside.
  triangle.positions[0] = {-1, -1, 0, 1};
  triangle.positions[1] = {1, -0.5f, 0, 1};
  triangle.positions[2] = triangle.positions[3] = {0, 1, 0, 1};
  const Decoded slanted = Render(FileOf({triangle}), PictureView::kFront);
  EXPECT_EQ(slanted.AtFraction(0.5, 0.5), (Rgb{255, 255, 255}));
  for (const auto& [x, y] : {std::pair{0.1, 0.1}, {0.9, 0.1}, {0.9, 0.9}})
    EXPECT_EQ(slanted.AtFraction(x, y), kBackground) << x << " " << y;
}

// The sphere: a globe of quads and pole triangles, wound as the modeller winds faces seen from
// outside, so that the writer's normals point outwards.
Model Globe() {
  const int rings = 8, segments = 12;
  const double pi = std::acos(-1.0);
  std::ostringstream text;
  text << "Metasequoia Document\nFormat Text Ver 1.0\nObject \"globe\" {\n vertex "
       << 2 + (rings - 1) * segments << " {\n 0 1 0\n 0 -1 0\n";
  for (int i = 1; i < rings; ++i) {
    for (int j = 0; j < segments; ++j) {
      const double theta = pi * i / rings, phi = 2 * pi * j / segments;
      text << " " << std::sin(theta) * std::cos(phi) << " " << std::cos(theta) << " "
           << std::sin(theta) * std::sin(phi) << "\n";
    }
  }
  auto at = [&](int ring, int segment) { return 2 + (ring - 1) * segments + segment % segments; };
  text << " }\n face " << rings * segments << " {\n";
  for (int j = 0; j < segments; ++j) {
    text << " 3 V(0 " << at(1, j) << " " << at(1, j + 1) << ")\n";
    text << " 3 V(1 " << at(rings - 1, j + 1) << " " << at(rings - 1, j) << ")\n";
    for (int i = 1; i + 1 < rings; ++i) {
      text << " 4 V(" << at(i, j) << " " << at(i + 1, j) << " " << at(i + 1, j + 1) << " "
           << at(i, j + 1) << ")\n";
    }
  }
  text << " }\n}\nEof\n";
  Model model;
  EXPECT_EQ(LoadText(model, text.str()), kLoadOk);
  return model;
}

TEST(QzPicture, SmoothAndFlatNormalsShadeTheSameOutlineDifferently) {
  const Model globe = Globe();
  const Decoded smooth = Render(Parsed(globe, true), PictureView::kIso, 128);
  const Decoded flat = Render(Parsed(globe, false), PictureView::kIso, 128);
  ASSERT_EQ(smooth.rgb.size(), flat.rgb.size());
  size_t inside = 0, differing = 0;
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 128; ++x) {
      const bool a = smooth.At(x, y) != kBackground, b = flat.At(x, y) != kBackground;
      EXPECT_EQ(a, b) << x << " " << y;  // the same positions: the same outline
      inside += a;
      differing += a && smooth.At(x, y) != flat.At(x, y);
    }
  }
  EXPECT_GT(inside, 128u * 128 / 2);
  EXPECT_GT(differing, inside / 2);
  // Outward normals: the middle faces the viewer and is lit almost fully.
  EXPECT_GT(smooth.AtFraction(0.5, 0.5).r, 240);
  EXPECT_GT(flat.AtFraction(0.5, 0.5).r, 200);
  // Along a row through the middle the flat globe keeps one shade per face; the smooth one
  // changes shade from pixel to pixel.
  auto shades = [](const Decoded& d) {
    int changes = 0;
    for (int x = 33; x < 96; ++x)
      changes += d.At(x, 64) != d.At(x - 1, 64);
    return changes;
  };
  EXPECT_GT(shades(smooth), 2 * shades(flat));
}

// The bounding box of the non-background pixels.
struct Box {
  int left, top, right, bottom;
};
Box Covered(const Decoded& d) {
  Box box{d.width, d.height, -1, -1};
  for (int y = 0; y < d.height; ++y) {
    for (int x = 0; x < d.width; ++x) {
      if (d.At(x, y) == kBackground) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
             std::max(box.bottom, y)};
    }
  }
  return box;
}

TEST(QzPicture, TheModelFillsThePictureWhereverItIsAndWhateverItsSize) {
  const Vec4 n{0, 0, 1, 1};
  const struct {
    const char* name;
    float x, y, z, halfWidth, halfHeight;
    int size;
  } cases[] = {
      {"at the origin", 0, 0, 0, 1, 1, 64},
      {"far from the origin", 1e5f, -2e5f, 3e5f, 40, 40, 64},
      {"tiny", 1000, 1000, 0, 1e-3f, 1e-3f, 64},
      {"huge", -1e30f, 0, 0, 1e29f, 1e29f, 64},
      {"wide", 7, 7, 7, 10, 1.3f, 100},
      {"tall", -7, 7, -7, 1.3f, 10, 100},
      {"smallest picture", 5, 5, 5, 1, 1, 16},
  };
  for (const auto& c : cases) {
    const QzFaceRecord rect = Quad({Vec4{c.x - c.halfWidth, c.y - c.halfHeight, c.z, 1},
                                    Vec4{c.x + c.halfWidth, c.y - c.halfHeight, c.z, 1},
                                    Vec4{c.x + c.halfWidth, c.y + c.halfHeight, c.z, 1},
                                    Vec4{c.x - c.halfWidth, c.y + c.halfHeight, c.z, 1}},
                                   n, 0xFFFFFF);
    const Decoded picture = Render(FileOf({rect}), PictureView::kFront, c.size);
    ASSERT_EQ(picture.width, c.size) << c.name;
    const Box box = Covered(picture);
    // The longer side spans all but a twentieth of the picture at either end; the shorter one is
    // in proportion, in the middle.
    const double size = c.size, longest = std::max(c.halfWidth, c.halfHeight);
    const double width = 0.9 * size * c.halfWidth / longest;
    const double height = 0.9 * size * c.halfHeight / longest;
    EXPECT_NEAR(box.left, (size - width) / 2, 1) << c.name;
    EXPECT_NEAR(box.right + 1, (size + width) / 2, 1) << c.name;
    EXPECT_NEAR(box.top, (size - height) / 2, 1) << c.name;
    EXPECT_NEAR(box.bottom + 1, (size + height) / 2, 1) << c.name;
    // Pixels are sampled at their centres: the model, centred, covers them symmetrically.
    EXPECT_EQ(box.left + box.right, c.size - 1) << c.name;
    EXPECT_EQ(box.top + box.bottom, c.size - 1) << c.name;
  }
}

// A cube whose six sides have six colours, written by the writer: each view sees its own side.
TEST(QzPicture, EachViewSeesItsOwnSide) {
  Model cube;
  ASSERT_EQ(LoadText(cube, R"(Metasequoia Document
Format Text Ver 1.0
Material 6 {
 "minus z" col(1 0 0 1)
 "plus z" col(0 1 0 1)
 "minus x" col(0 0 1 1)
 "plus x" col(1 1 0 1)
 "plus y" col(1 0 1 1)
 "minus y" col(0 1 1 1)
}
Object "cube" {
 vertex 8 {
  -1 -1 -1
  1 -1 -1
  1 1 -1
  -1 1 -1
  -1 -1 1
  1 -1 1
  1 1 1
  -1 1 1
 }
 face 6 {
  4 V(0 1 2 3) M(0)
  4 V(5 4 7 6) M(1)
  4 V(4 0 3 7) M(2)
  4 V(1 5 6 2) M(3)
  4 V(3 2 6 7) M(4)
  4 V(4 5 1 0) M(5)
 }
}
Eof
)"),
            kLoadOk);
  const QzFile file = Parsed(cube, false);
  // Which of red, green and blue a side's colour holds.
  enum : int { kMinusZ = 0b100, kPlusZ = 0b010, kMinusX = 0b001, kPlusX = 0b110, kPlusY = 0b101 };
  const struct {
    PictureView view;
    double x, y;
    int side;
  } cases[] = {
      {PictureView::kFront, 0.5, 0.5, kPlusZ},
      {PictureView::kBack, 0.5, 0.5, kMinusZ},
      {PictureView::kLeft, 0.5, 0.5, kMinusX},
      {PictureView::kRight, 0.5, 0.5, kPlusX},
      {PictureView::kTop, 0.5, 0.5, kPlusY},
      // From (1, 1, 1): the top above, +X to the right and +Z to the left below it.
      {PictureView::kIso, 0.5, 0.28, kPlusY},
      {PictureView::kIso, 0.7, 0.62, kPlusX},
      {PictureView::kIso, 0.3, 0.62, kPlusZ},
  };
  for (const auto& c : cases) {
    const Rgb pixel = Render(file, c.view).AtFraction(c.x, c.y);
    const int side = (pixel.r > 0) << 2 | (pixel.g > 0) << 1 | (pixel.b > 0);
    EXPECT_EQ(side, c.side) << static_cast<int>(c.view) << " at " << c.x << " " << c.y;
  }
}

// The top view looks down with +X to the right and +Z towards the bottom of the picture.
TEST(QzPicture, TheTopViewKeepsFrontAtTheBottom) {
  const Vec4 up{0, 1, 0, 1};
  const QzFaceRecord frontHalf = Quad(
      {Vec4{-1, 0, 0, 1}, Vec4{1, 0, 0, 1}, Vec4{1, 0, 1, 1}, Vec4{-1, 0, 1, 1}}, up, 0xFF0000);
  const QzFaceRecord rightBack = Quad(
      {Vec4{0, 0, -1, 1}, Vec4{1, 0, -1, 1}, Vec4{1, 0, 0, 1}, Vec4{0, 0, 0, 1}}, up, 0x00FF00);
  const Decoded picture = Render(FileOf({frontHalf, rightBack}), PictureView::kTop);
  EXPECT_EQ(picture.AtFraction(0.5, 0.8), (Rgb{255, 0, 0}));
  EXPECT_EQ(picture.AtFraction(0.8, 0.2), (Rgb{0, 255, 0}));
  EXPECT_EQ(picture.AtFraction(0.2, 0.2), kBackground);
}

TEST(QzPicture, SizesAndViewsByName) {
  const struct {
    const char* text;
    int size;  // 0: refused
  } sizes[] = {{"16", 16},
               {"512", 512},
               {"4096", 4096},
               {"0016", 16},
               {"15", 0},
               {"4097", 0},
               {"0", 0},
               {"", 0},
               {"-16", 0},
               {"+16", 0},
               {"16 ", 0},
               {"1e3", 0},
               {"99999999999999999999", 0}};
  for (const auto& c : sizes) {
    int size = 7;
    EXPECT_EQ(ParsePictureSize(c.text, size), c.size != 0) << c.text;
    EXPECT_EQ(size, c.size != 0 ? c.size : 7) << c.text;
  }
  const Picture largest = DrawPicture(QzFile{}, PictureView::kIso, kLargestPicture);
  EXPECT_EQ(largest.rgb.size(), 3u * 4096 * 4096);
  // A name that is none of the six leaves the view as it was.
  const struct {
    const char* name;
    bool known;
    PictureView view;
  } views[] = {{"front", true, PictureView::kFront}, {"back", true, PictureView::kBack},
               {"left", true, PictureView::kLeft},   {"right", true, PictureView::kRight},
               {"top", true, PictureView::kTop},     {"iso", true, PictureView::kIso},
               {"Front", false, PictureView::kTop},  {"", false, PictureView::kTop},
               {"bottom", false, PictureView::kTop}};
  for (const auto& c : views) {
    PictureView view =
        c.view == PictureView::kTop && c.known ? PictureView::kIso : PictureView::kTop;
    EXPECT_EQ(ParsePictureView(c.name, view), c.known) << c.name;
    EXPECT_EQ(view, c.view) << c.name;
  }
}

TEST(QzPicture, RecordsThatCannotBeDrawnLeaveAPlainPictureOrNoTrace) {
  const float inf = HUGE_VALF, nan = std::nanf("");
  const Vec4 n{0, 0, 1, 1};
  const Decoded empty = Render(QzFile{}, PictureView::kIso, 20);
  ASSERT_EQ(empty.width, 20);
  ASSERT_EQ(empty.height, 20);
  EXPECT_EQ(Covered(empty).right, -1);  // every pixel is the background

  const QzFaceRecord square = Square(0, 0, 0, 1, n, 0xFFFFFF);
  const Decoded alone = Render(FileOf({square}), PictureView::kFront);
  const Decoded plain = Render(QzFile{}, PictureView::kFront);
  const struct {
    const char* name;
    Vec4 corner;
  } cases[] = {
      {"infinite x", {inf, 0, 0, 1}},
      {"infinite z", {0, 0, -inf, 1}},
      {"not a number", {0, nan, 0, 1}},
  };
  for (const auto& c : cases) {
    QzFaceRecord bad = Square(100, 100, 100, 50, n, 0x00FF00);
    bad.positions[3] = c.corner;
    EXPECT_EQ(Render(FileOf({bad}), PictureView::kFront), plain) << c.name;
    EXPECT_EQ(Render(FileOf({bad, square, bad}), PictureView::kFront), alone) << c.name;
  }
}

// Any bits at all in the records: non-finite or huge normals and positions, float limits and
// subnormal extents. The picture is drawn without fault (the sanitizers watch) at every view.
TEST(QzPicture, RandomRecordsDrawWithoutFault) {
  std::mt19937 random(21);
  const float special[] = {0, -0.0f, 1, 3.4e38f, -3.4e38f, 1e-45f, HUGE_VALF, std::nanf("")};
  for (int round = 0; round < 20; ++round) {
    std::vector<QzFaceRecord> records(8);
    for (QzFaceRecord& r : records) {
      auto* words = reinterpret_cast<uint32_t*>(&r);
      for (size_t k = 0; k < sizeof r / 4; ++k)
        words[k] = random();
      for (int k = 0; k < 4; ++k) {
        if (random() % 2) r.positions[k].x = special[random() % 8];
        if (random() % 2) r.normals[k].z = special[random() % 8];
        if (round % 2) r.positions[k] = {float(random() % 5), float(random() % 5), 0, 1};
      }
    }
    for (const PictureView view : {PictureView::kFront, PictureView::kIso}) {
      const Picture picture = DrawPicture(FileOf(records), view, 16);
      EXPECT_EQ(picture.rgb.size(), 16u * 16 * 3);
    }
  }
}

}  // namespace
