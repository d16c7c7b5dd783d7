// qzdump --png's pictures, decoded from the PNG file written: light and colour, the depth buffer,
// the record's two triangles, smooth against flat normals, the fit, the views, sizes and names,
// and records that cannot be drawn.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>

#include "tests/support/golden_hex.h"
#include "tests/support/test_support.h"
#include "tools/qzdump/png_output.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace {

using Rgb = std::array<int, 3>;
const Rgb kPlain{kPictureBackground[0], kPictureBackground[1], kPictureBackground[2]};

struct Decoded {
  int size = 0;
  std::vector<uint8_t> rgb;
  Rgb At(int x, int y) const {
    const uint8_t* p = &rgb.at(3 * (static_cast<size_t>(y) * size + x));
    return {p[0], p[1], p[2]};
  }
  Rgb At(double fx, double fy) const { return At(int(fx * size), int(fy * size)); }
  bool operator==(const Decoded&) const = default;
};

Decoded Render(const QzFile& file, PictureView view, int size = 64) {
  ScratchFolder folder;
  const std::string path = folder / "p.png";
  EXPECT_TRUE(WritePng(DrawPicture(file, view, size), path.c_str()));
  Decoded d;
  int width = 0, channels = 0;
  stbi_uc* pixels = stbi_load(path.c_str(), &width, &d.size, &channels, 3);
  EXPECT_TRUE(pixels != nullptr && width == d.size);
  if (pixels != nullptr) d.rgb.assign(pixels, pixels + 3 * width * d.size);
  stbi_image_free(pixels);
  return d;
}

// A square facing +Z at depth z, centred on (x, y), of half sides hw and hh; colour 0xRRGGBB.
QzFaceRecord Square(float x, float y, float z, float hw, Vec4 normal, uint32_t colour,
                    float hh = 0) {
  hh = hh > 0 ? hh : hw;
  return {{{x - hw, y - hh, z, 1},
           {x + hw, y - hh, z, 1},
           {x + hw, y + hh, z, 1},
           {x - hw, y + hh, z, 1}},
          {normal, normal, normal, normal},
          {},
          colour,
          -1,
          0};
}
QzFile FileOf(std::vector<QzFaceRecord> records) {
  QzFile file{};
  file.faces = std::move(records);
  return file;
}
QzFile Parsed(const std::string& mqo, bool smooth) {
  Model model;
  EXPECT_EQ(LoadText(model, mqo), kLoadOk);
  const std::vector<uint8_t> bytes = QzBytes(model, smooth);
  QzFile file;
  std::string error;
  EXPECT_TRUE(ParseQz(bytes.data(), bytes.size(), file, error)) << error;
  return file;
}
const Vec4 kToFront{0, 0, 1, 1};

TEST(QzPicture, LightFromTheViewerOnTheRecordsColour) {
  const float s = std::sqrt(0.75f), nan = std::nanf("");
  const struct {
    Vec4 normal;
    uint32_t colour;
    Rgb expected;
  } cases[] = {{kToFront, 0xFFFFFF, {255, 255, 255}},
               {{0, s, 0.5f, 1}, 0xFFFFFF, {153, 153, 153}},
               {{0, 0, -1, 1}, 0xFFFFFF, {51, 51, 51}},
               {{nan, 0, 1, 1}, 0xFFFFFF, {51, 51, 51}},
               {kToFront, 0xAAFF8040, {255, 128, 64}}};
  for (const auto& c : cases) {
    const Decoded d = Render(FileOf({Square(0, 0, 0, 1, c.normal, c.colour)}), PictureView::kFront);
    EXPECT_EQ(d.At(0.5, 0.5), c.expected) << c.normal.x << " " << c.normal.z;
    EXPECT_EQ(d.At(0, 0), kPlain);
  }
}

TEST(QzPicture, TheNearestSurfaceWinsWhateverTheOrder) {
  const QzFaceRecord nearRed = Square(0, 0, 1, 1, kToFront, 0xFF0000);
  const QzFaceRecord farBlue = Square(0, 0, -1, 2, kToFront, 0x0000FF);  // larger: its rim shows
  for (const bool redFirst : {true, false}) {
    const QzFile file =
        FileOf(redFirst ? std::vector{nearRed, farBlue} : std::vector{farBlue, nearRed});
    const Decoded front = Render(file, PictureView::kFront),
                  back = Render(file, PictureView::kBack);
    EXPECT_EQ(front.At(0.5, 0.5), (Rgb{255, 0, 0})) << redFirst;
    EXPECT_EQ(front.At(0.1, 0.5), (Rgb{0, 0, 255})) << redFirst;
    EXPECT_EQ(back.At(0.5, 0.5), (Rgb{0, 0, 51})) << redFirst;  // nearer from behind, turned away
  }
}

// Normals along the diagonal come from corners 0 and 2 alone (on the other diagonal the two
// turned away would darken it); a triangle's record repeats corner 2 and covers its triangle only.
TEST(QzPicture, ARecordIsTwoTrianglesOnTheDiagonalFromCornerZero) {
  QzFaceRecord r = Square(0, 0, 0, 1, kToFront, 0xFFFFFF);
  r.normals[1] = r.normals[3] = Vec4{0, 0, -1, 1};
  EXPECT_GT(Render(FileOf({r}), PictureView::kFront).At(0.5, 0.5)[0], 240);
  r = Square(0, 0, 0, 1, kToFront, 0xFFFFFF);
  r.positions[1].y = -0.5f;
  r.positions[2] = r.positions[3] = {0, 1, 0, 1};
  const Decoded d = Render(FileOf({r}), PictureView::kFront);
  EXPECT_EQ(d.At(0.5, 0.5), (Rgb{255, 255, 255}));
  for (const auto& [x, y] : {std::pair{0.1, 0.1}, {0.9, 0.1}, {0.9, 0.9}})
    EXPECT_EQ(d.At(x, y), kPlain);
}

// An octahedron, its faces wound as the modeller winds them seen from outside: smooth normals
// (the axes at its corners) shade across each face, flat ones keep one shade a face.
TEST(QzPicture, SmoothAndFlatNormalsShadeTheSameOutlineDifferently) {
  const std::string octahedron =
      "Metasequoia Document\nObject \"o\" {\nvertex 6 {\n1 0 0\n-1 0 0\n0 1 0\n0 -1 0\n0 0 1\n"
      "0 0 -1\n}\nface 8 {\n3 V(0 4 2)\n3 V(1 2 4)\n3 V(0 3 4)\n3 V(0 2 5)\n3 V(1 4 3)\n"
      "3 V(1 5 2)\n3 V(0 5 3)\n3 V(1 3 5)\n}\n}\nEof\n";
  const Decoded smooth = Render(Parsed(octahedron, true), PictureView::kIso, 128);
  const Decoded flat = Render(Parsed(octahedron, false), PictureView::kIso, 128);
  int inside = 0, differing = 0, smoothSteps = 0, flatSteps = 0;
  for (int y = 0; y < 128; ++y) {
    for (int x = 1; x < 128; ++x) {
      const bool covered = smooth.At(x, y) != kPlain;
      EXPECT_EQ(covered, flat.At(x, y) != kPlain) << x << " " << y;
      inside += covered;
      differing += covered && smooth.At(x, y) != flat.At(x, y);
      smoothSteps += covered && smooth.At(x, y) != smooth.At(x - 1, y);
      flatSteps += covered && flat.At(x, y) != flat.At(x - 1, y);
    }
  }
  EXPECT_GT(inside, 128 * 128 / 3);
  EXPECT_GT(differing, inside / 2);
  EXPECT_GT(smoothSteps, 5 * flatSteps);
  EXPECT_EQ(flat.At(0.5, 0.5), (Rgb{255, 255, 255}));  // outward: the face towards the viewer
}

TEST(QzPicture, TheModelFillsThePictureWhereverItIsAndWhateverItsSize) {
  const struct {
    float x, y, z, hw, hh;
    int size;
  } cases[] = {{1e5f, -2e5f, 3e5f, 40, 40, 64},  {1000, 1000, 0, 1e-3f, 1e-3f, 64},
               {-1e30f, 0, 0, 1e29f, 1e29f, 64}, {7, 7, 7, 10, 1.3f, 100},
               {-7, 7, -7, 1.3f, 10, 100},       {5, 5, 5, 1, 1, 16}};
  for (const auto& c : cases) {
    const Decoded d = Render(FileOf({Square(c.x, c.y, c.z, c.hw, kToFront, 0xFFFFFF, c.hh)}),
                             PictureView::kFront, c.size);
    int box[4] = {c.size, c.size, -1, -1};  // left, top, right, bottom of the model's pixels
    for (int y = 0; y < c.size; ++y) {
      for (int x = 0; x < c.size; ++x) {
        if (d.At(x, y) == kPlain) continue;
        box[0] = std::min(box[0], x), box[1] = std::min(box[1], y);
        box[2] = std::max(box[2], x), box[3] = std::max(box[3], y);
      }
    }
    // The longer side spans all but a twentieth at either end; the shorter one is in proportion;
    // sampled at pixel centres, the centred model covers them symmetrically.
    const double longest = std::max(c.hw, c.hh);
    EXPECT_NEAR(box[2] + 1 - box[0], 0.9 * c.size * c.hw / longest, 1) << c.x;
    EXPECT_NEAR(box[3] + 1 - box[1], 0.9 * c.size * c.hh / longest, 1) << c.x;
    EXPECT_EQ(box[0] + box[2], c.size - 1) << c.x;
    EXPECT_EQ(box[1] + box[3], c.size - 1) << c.x;
  }
}

// The golden cube, its six sides coloured, seen from each view: which of red, green and blue the
// side seen holds. Then the top view's orientation: +X to the right, +Z at the bottom.
TEST(QzPicture, EachViewSeesItsOwnSide) {
  QzFile cube = Parsed(ReadFile(GoldenPath("cube.mqo")), false);
  ASSERT_EQ(cube.faces.size(), 6u);  // sides -Z, +Z, -X, +X, +Y, -Y
  const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};
  for (size_t i = 0; i < 6; ++i)
    cube.faces[i].colour = colours[i];
  const struct {
    PictureView view;
    double x, y;
    int side;  // red 4, green 2, blue 1
  } cases[] = {{PictureView::kFront, 0.5, 0.5, 2}, {PictureView::kBack, 0.5, 0.5, 4},
               {PictureView::kLeft, 0.5, 0.5, 1},  {PictureView::kRight, 0.5, 0.5, 6},
               {PictureView::kTop, 0.5, 0.5, 5},   {PictureView::kIso, 0.5, 0.28, 5},
               {PictureView::kIso, 0.7, 0.62, 6},  {PictureView::kIso, 0.3, 0.62, 2}};
  for (const auto& c : cases) {
    const Rgb p = Render(cube, c.view).At(c.x, c.y);
    EXPECT_EQ((p[0] > 0) * 4 + (p[1] > 0) * 2 + (p[2] > 0), c.side) << int(c.view) << " " << c.x;
  }
  const Vec4 up{0, 1, 0, 1};
  QzFaceRecord front = Square(0, 0, 0, 1, up, 0xFF0000),
               rightBack = Square(0, 0, 0, 1, up, 0x00FF00);
  for (int k = 0; k < 4; ++k) {
    front.positions[k] = {front.positions[k].x, 0, (front.positions[k].y + 1) / 2, 1};
    rightBack.positions[k] = {(rightBack.positions[k].x + 1) / 2, 0,
                              (rightBack.positions[k].y - 1) / 2, 1};
  }
  const Decoded top = Render(FileOf({front, rightBack}), PictureView::kTop);
  EXPECT_EQ(top.At(0.5, 0.8), (Rgb{255, 0, 0}));
  EXPECT_EQ(top.At(0.8, 0.2), (Rgb{0, 255, 0}));
  EXPECT_EQ(top.At(0.2, 0.2), kPlain);
}

TEST(QzPicture, SizesAndViewsByName) {
  const std::pair<const char*, int> sizes[] = {
      {"16", 16}, {"4096", 4096}, {"0512", 512},
      {"15", 0},  {"4097", 0},    {"", 0},
      {"-16", 0}, {"16 ", 0},     {"99999999999999999999", 0}};
  for (const auto& [text, expected] : sizes) {
    int size = 7;
    EXPECT_EQ(ParsePictureSize(text, size), expected != 0) << text;
    EXPECT_EQ(size, expected != 0 ? expected : 7) << text;
  }
  EXPECT_EQ(DrawPicture(QzFile{}, PictureView::kIso, 4096).rgb.size(), 3u * 4096 * 4096);
  const char* names[] = {"front", "back", "left", "right", "top", "iso", "Front", "", "bottom"};
  for (int i = 0; i < 9; ++i) {
    PictureView view = i == 0 ? PictureView::kIso : PictureView::kFront;
    EXPECT_EQ(ParsePictureView(names[i], view), i < 6) << names[i];
    EXPECT_EQ(view, i < 6 ? PictureView(i) : PictureView::kFront) << names[i];
  }
}

TEST(QzPicture, RecordsThatCannotBeDrawnLeaveNoTrace) {
  const Decoded plain = Render(QzFile{}, PictureView::kFront, 20);
  EXPECT_EQ(plain.rgb, Render(FileOf({}), PictureView::kIso, 20).rgb);
  for (int i = 0; i < 20 * 20; ++i)
    EXPECT_EQ(plain.At(i % 20, i / 20), kPlain);
  const QzFaceRecord square = Square(0, 0, 0, 1, kToFront, 0xFFFFFF);
  const Decoded alone = Render(FileOf({square}), PictureView::kFront);
  for (const Vec4 corner :
       {Vec4{HUGE_VALF, 0, 0, 1}, Vec4{0, 0, -HUGE_VALF, 1}, Vec4{0, std::nanf(""), 0, 1}}) {
    QzFaceRecord bad = Square(100, 100, 100, 50, kToFront, 0x00FF00);
    bad.positions[3] = corner;
    EXPECT_EQ(Render(FileOf({bad}), PictureView::kFront, 20), plain);
    EXPECT_EQ(Render(FileOf({bad, square, bad}), PictureView::kFront), alone);
  }
}

}  // namespace
