// Curved surfaces refined by OpenSubdiv: the counts after one to four levels, the first level of
// a cube, face points at their parent's centroid, a texture seam and a crease kept, the faces the
// refiner is not given, refused objects, mirror halves joined before refining, the order of the
// baking steps and their limits, and the corpus document's Catmull-Clark object.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "tests/loaded_object.h"
#include "tests/support/test_support.h"
#include "writer/bake.h"
#include "writer/subdivide.h"

namespace {

// A cube of half-size 1, faces turned outwards, each face's texture its own unit square; `extra`
// goes on every face line.
std::string Cube(const std::string& settings, const std::string& extra = "") {
  return settings +
         "vertex 8 {\n-1 -1 -1\n1 -1 -1\n1 1 -1\n-1 1 -1\n-1 -1 1\n1 -1 1\n1 1 1\n-1 1 1\n}\n"
         "face 6 {\n"
         "4 V(0 1 2 3) UV(0 0 1 0 1 1 0 1)" +
         extra +
         "\n"
         "4 V(7 6 5 4) UV(0 0 1 0 1 1 0 1)" +
         extra +
         "\n"
         "4 V(4 5 1 0) UV(0 0 1 0 1 1 0 1)" +
         extra +
         "\n"
         "4 V(5 6 2 1) UV(0 0 1 0 1 1 0 1)" +
         extra +
         "\n"
         "4 V(6 7 3 2) UV(0 0 1 0 1 1 0 1)" +
         extra +
         "\n"
         "4 V(7 4 0 3) UV(0 0 1 0 1 1 0 1)" +
         extra + "\n}\n";
}

bool Near(const Vec4& p, double x, double y, double z, double tolerance = 1e-5) {
  return std::fabs(p.x - x) < tolerance && std::fabs(p.y - y) < tolerance &&
         std::fabs(p.z - z) < tolerance;
}

bool Has(const MeshObject& o, double x, double y, double z) {
  return std::any_of(o.vertices.begin(), o.vertices.end(),
                     [&](const Vec4& p) { return Near(p, x, y, z); });
}

TEST(Subdivision, EveryNGonGivesItsCornerCountTimesFourToTheLevelsLessOne) {
  // A quad, a triangle and a pentagon sharing edges (an open surface), then faces the refiner is
  // not given: two corners, a repeated vertex, a corner outside the vertex list.
  const std::string mesh =
      "vertex 7 {\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 0\n2 1 1\n-1 0.5 0\n}\nface 7 {\n"
      "4 V(0 1 2 3) M(1)\n3 V(1 4 2) M(2)\n5 V(3 2 5 0 6) M(3)\n2 V(0 1)\n3 V(0 1 1)\n"
      "3 V(0 1 9)\n}\n";
  struct Case {
    std::string settings;
    int levels;
    bool outOfRange;
  };
  const Case cases[] = {
      {"patch 3\n", 1, false},
      {"patch 3\nsegment 2\n", 2, false},
      {"patch 4\nsegment 3\n", 3, false},
      {"patch 3\nsegment 4\n", 4, false},
      {"patch 3\nsegment 0\n", 1, true},
      {"patch 4\nsegment 9\n", 4, true},
      {"patch 3\npatchtri 0\n", 1, false},
  };
  for (const Case& c : cases) {
    Model model = LoadedObject(c.settings + mesh);
    MeshObject& o = model.objects[0];
    EXPECT_EQ(SubdivisionLevels(o), c.levels) << c.settings;
    EXPECT_EQ(LevelsOutOfRange(o), c.outOfRange) << c.settings;
    const uint32_t quads = 12u << (2 * (c.levels - 1));
    EXPECT_EQ(SubdividedRecords(o), 3 + quads) << c.settings;
    ASSERT_EQ(Subdivide(o), kSubdivided) << c.settings;
    EXPECT_EQ(o.patch, 0);
    ASSERT_EQ(o.faces.size(), 3 + quads) << c.settings;
    // The faces not given come first, as they were, on the object's own vertices.
    EXPECT_EQ(o.faces[0].vertexCount, 2);
    EXPECT_EQ(std::vector<int32_t>(o.cornerIndices.begin(), o.cornerIndices.begin() + 8),
              (std::vector<int32_t>{0, 1, 0, 1, 1, 0, 1, 9}));
    EXPECT_TRUE(Near(o.vertices[6], -1, 0.5, 0));
    // Then the quads, by parent: 4, 3 and 5 of them at the first level, each times 4^(L-1).
    const uint32_t growth = 1u << (2 * (c.levels - 1));
    for (size_t q = 0; q < quads; ++q) {
      const Face& face = o.faces[3 + q];
      EXPECT_EQ(face.vertexCount, 4);
      EXPECT_EQ(face.material, q < 4 * growth ? 1 : q < 7 * growth ? 2 : 3) << q;
      for (int k = 0; k < 4; ++k) {
        const int32_t i = o.cornerIndices[face.firstCorner + k];
        EXPECT_TRUE(i >= 7 && static_cast<size_t>(i) < o.vertices.size()) << i;
      }
    }
  }
}

TEST(Subdivision, CubeFirstLevelAndFacePointsAtTheCentroids) {
  Model model = LoadedObject(Cube("patch 3\n"));
  MeshObject& o = model.objects[0];
  ASSERT_EQ(Subdivide(o), kSubdivided);
  ASSERT_EQ(o.faces.size(), 24u);
  ASSERT_EQ(o.vertices.size(), 26u);  // 8 corners, 12 edge points, 6 face points
  int corners = 0, edges = 0, faces = 0;
  for (const Vec4& p : o.vertices) {
    const double c[3] = {std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)};
    const int zeros = (c[0] < 1e-6) + (c[1] < 1e-6) + (c[2] < 1e-6);
    const double largest = std::max({c[0], c[1], c[2]});
    if (zeros == 0)
      corners += std::fabs(c[0] - 5.0 / 9) < 1e-6 && std::fabs(c[1] - 5.0 / 9) < 1e-6 &&
                 std::fabs(c[2] - 5.0 / 9) < 1e-6;
    if (zeros == 1) edges += std::fabs(largest - 0.75) < 1e-6 && c[0] + c[1] + c[2] - 1.5 < 1e-6;
    if (zeros == 2) faces += std::fabs(largest - 1) < 1e-6;
  }
  EXPECT_EQ(corners, 8);
  EXPECT_EQ(edges, 12);
  EXPECT_EQ(faces, 6);

  // An uneven open surface: the one vertex all of a face's child quads share is its face point,
  // the centroid of its corners.
  Model uneven = LoadedObject(
      "patch 3\nvertex 6 {\n0 0 0\n3 0 1\n4 2 0\n0 3 2\n5 -1 3\n7 4 -2\n}\nface 3 {\n"
      "4 V(0 1 2 3)\n3 V(1 4 2)\n4 V(4 5 2 1)\n}\n");
  const MeshObject before = uneven.objects[0];
  MeshObject& u = uneven.objects[0];
  ASSERT_EQ(Subdivide(u), kSubdivided);
  size_t first = 0;
  for (const Face& parent : before.faces) {
    const int n = parent.vertexCount;
    std::map<int32_t, int> uses;
    for (int q = 0; q < n; ++q) {
      const Face& child = u.faces[first + static_cast<size_t>(q)];
      for (int k = 0; k < 4; ++k)
        ++uses[u.cornerIndices[child.firstCorner + k]];
    }
    first += static_cast<size_t>(n);
    double centroid[3] = {0, 0, 0};
    for (int k = 0; k < n; ++k) {
      const Vec4& p = before.vertices[before.cornerIndices[parent.firstCorner + k]];
      centroid[0] += p.x / n, centroid[1] += p.y / n, centroid[2] += p.z / n;
    }
    int shared = 0;
    for (const auto& [vertex, count] : uses) {
      if (count != n) continue;
      ++shared;
      EXPECT_TRUE(Near(u.vertices[vertex], centroid[0], centroid[1], centroid[2])) << n;
    }
    EXPECT_EQ(shared, 1) << n;
  }
}

// The texture coordinates of every corner at a position, as (u, v) pairs.
std::set<std::pair<float, float>> UvsAt(const MeshObject& o, double x, double y, double z) {
  std::set<std::pair<float, float>> uvs;
  for (size_t c = 0; c < o.cornerIndices.size(); ++c) {
    if (Near(o.vertices[o.cornerIndices[c]], x, y, z)) {
      uvs.emplace(o.cornerUvs[2 * c], o.cornerUvs[2 * c + 1]);
    }
  }
  return uvs;
}

TEST(Subdivision, TextureSeamsStayAndSharedCoordinatesStayShared) {
  // Two quads side by side sharing the edge x = 1: with equal coordinates on that edge they share
  // values; with others (a seam) each side keeps its own, linear along the seam.
  const std::string positions = "vertex 6 {\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n2 0 0\n2 1 0\n}\n";
  Model shared = LoadedObject("patch 3\n" + positions +
                              "face 2 {\n4 V(0 1 2 3) UV(0 0 0.5 0 0.5 1 0 1)\n"
                              "4 V(1 4 5 2) UV(0.5 0 1 0 1 1 0.5 1)\n}\n");
  ASSERT_EQ(Subdivide(shared.objects[0]), kSubdivided);
  EXPECT_EQ(UvsAt(shared.objects[0], 1, 0.5, 0), (std::set<std::pair<float, float>>{{0.5f, 0.5f}}));

  Model seam = LoadedObject("patch 3\n" + positions +
                            "face 2 {\n4 V(0 1 2 3) UV(0 0 0.5 0 0.5 1 0 1)\n"
                            "4 V(1 4 5 2) UV(0.75 0 1 0 1 1 0.75 1)\n}\n");
  ASSERT_EQ(Subdivide(seam.objects[0]), kSubdivided);
  EXPECT_EQ(UvsAt(seam.objects[0], 1, 0.5, 0),
            (std::set<std::pair<float, float>>{{0.5f, 0.5f}, {0.75f, 0.5f}}));
}

TEST(Subdivision, CreasesStaySharpAndTheLargerValueWins) {
  // The top face creases its four edges; the side faces sharing them say 0. The edge points of
  // the top edges stay at the edges' midpoints; the vertical edges' are smoothed as usual.
  const std::string patch3 =
      "patch 3\nvertex 8 {\n-1 -1 -1\n1 -1 -1\n1 1 -1\n-1 1 -1\n-1 -1 1\n1 -1 1\n1 1 1\n-1 1 1\n}\n"
      "face 6 {\n4 V(0 1 2 3)\n4 V(7 6 5 4) CRS(1 1 1 1)\n4 V(4 5 1 0) CRS(0 0 0 0)\n"
      "4 V(5 6 2 1) CRS(0 0 0 0)\n4 V(6 7 3 2) CRS(0 0 0 0)\n4 V(7 4 0 3) CRS(0 0 0 0)\n}\n";
  Model sharp = LoadedObject(patch3);
  ASSERT_EQ(Subdivide(sharp.objects[0]), kSubdivided);
  for (const auto& [x, y] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
    EXPECT_TRUE(Has(sharp.objects[0], x, y, 1)) << x << " " << y;
  EXPECT_TRUE(Has(sharp.objects[0], 0.75, 0, -0.75));  // the bottom's edges are smooth

  // For patch 4 the value is the sharpness: 0 is smooth, as no crease at all.
  Model soft = LoadedObject("patch 4\n" + patch3.substr(8));
  soft.objects[0].cornerCreases.assign(soft.objects[0].cornerCreases.size(), 0.0f);
  ASSERT_EQ(Subdivide(soft.objects[0]), kSubdivided);
  EXPECT_TRUE(Has(soft.objects[0], 0.75, 0, 0.75));
  EXPECT_FALSE(Has(soft.objects[0], 1, 0, 1));
}

TEST(Subdivision, OnlyCatmullClarkAndOpenSubdivSurfacesAreRefined) {
  for (const std::string settings : {"", "patch 1\n", "patch 2\n", "patch 3\npatchtri 1\n"}) {
    Model model = LoadedObject(Cube(settings));
    const std::string before = Describe(model);
    EXPECT_FALSE(RefinesAsSurface(model.objects[0])) << settings;
    EXPECT_EQ(SubdividedRecords(model.objects[0]), 6u);
    EXPECT_EQ(Subdivide(model.objects[0]), kSubdivided) << settings;
    EXPECT_EQ(Describe(model), before) << settings;
  }
  // No face the refiner can take: refused, and left as it was.
  Model edges = LoadedObject(
      "patch 3\nvertex 3 {\n0 0 0\n1 0 0\n0 1 0\n}\nface 2 {\n2 V(0 1)\n3 V(0 1 5)\n}\n");
  const std::string before = Describe(edges);
  EXPECT_EQ(Subdivide(edges.objects[0]), kSurfaceRefused);
  EXPECT_EQ(Describe(edges), before);
}

TEST(Subdivision, TheDocumentsRulesForPatch4) {
  // Positions on the limit surface lie further in than the first level's corners.
  Model level = LoadedObject(Cube("patch 4\n"));
  Model limit = LoadedObject(Cube("patch 4\npatchlimitsurface 1\n"));
  ASSERT_EQ(Subdivide(level.objects[0]), kSubdivided);
  ASSERT_EQ(Subdivide(limit.objects[0]), kSubdivided);
  EXPECT_TRUE(Has(level.objects[0], 5.0 / 9, 5.0 / 9, 5.0 / 9));
  EXPECT_FALSE(Has(limit.objects[0], 5.0 / 9, 5.0 / 9, 5.0 / 9));
  // Boundaries: edge only lets an open surface's corner move; edge and corner keeps it.
  const std::string quad = "vertex 4 {\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n}\nface 1 {\n4 V(0 1 2 3)\n}\n";
  for (const auto& [settings, cornerKept] : {std::pair{"patch 4\npatchmeshinterp 2\n", true},
                                             {"patch 4\npatchmeshinterp 1\n", false},
                                             {"patch 3\n", true}}) {
    Model model = LoadedObject(settings + quad);
    ASSERT_EQ(Subdivide(model.objects[0]), kSubdivided);
    EXPECT_EQ(Has(model.objects[0], 0, 0, 0), cornerKept) << settings;
  }
}

// Mirror halves connected at the seam are joined before refining: the refined surface of a cube's
// half, open at x = 0, is closed, with no edge of one face only.
TEST(Subdivision, ConnectedMirrorHalvesAreRefinedAsOneSurface) {
  Model model = LoadedObject(
      "patch 3\nmirror 2\nmirror_axis 1\nvertex 8 {\n0 -1 -1\n1 -1 -1\n1 1 -1\n0 1 -1\n"
      "0 -1 1\n1 -1 1\n1 1 1\n0 1 1\n}\nface 5 {\n4 V(0 1 2 3)\n4 V(7 6 5 4)\n4 V(4 5 1 0)\n"
      "4 V(5 6 2 1)\n4 V(6 7 3 2)\n}\n");
  const BakeReport report = BakeModel(model, BakeOptions{false, true, true}, UINT64_MAX);
  ASSERT_EQ(report.failure, kWriteCauseNone);
  const MeshObject& o = model.objects[0];
  EXPECT_EQ(o.faces.size(), 40u);
  std::map<std::pair<int32_t, int32_t>, int> edges;
  for (const Face& f : o.faces) {
    for (int k = 0; k < f.vertexCount; ++k) {
      const int32_t a = o.cornerIndices[f.firstCorner + k];
      const int32_t b = o.cornerIndices[f.firstCorner + (k + 1) % f.vertexCount];
      ++edges[{std::min(a, b), std::max(a, b)}];
    }
  }
  EXPECT_TRUE(std::all_of(edges.begin(), edges.end(), [](const auto& e) { return e.second == 2; }));
}

TEST(Subdivision, BakingStopsBeforeAnythingChangesWhenTooLarge) {
  // 24 corners at 4 levels give 1,536 records: a memory allowance below that, then a file that
  // would pass 4 GiB (a vertex list far too long to build, counted only).
  Model model = LoadedObject(Cube("patch 3\nsegment 4\n"));
  const std::string before = Describe(model);
  BakeReport report = BakeModel(model, BakeOptions{false, false, true}, 1535 * 288);
  EXPECT_EQ(report.failure, kWriteCauseTooLargeForMemory);
  EXPECT_EQ(Describe(model), before);
  report = BakeModel(model, BakeOptions{false, false, true}, 1536 * 288);
  EXPECT_EQ(report.failure, kWriteCauseNone);
  EXPECT_EQ(model.objects[0].faces.size(), 1536u);

  Model huge = LoadedObject(Cube("patch 3\nsegment 4\n"));
  MeshObject& o = huge.objects[0];
  // A face of 400,000 corners gives 25.6 million quads at 4 levels: past 4 GiB of records.
  o.cornerIndices.resize(400000);
  o.cornerUvs.resize(800000);
  for (size_t i = 0; i < o.cornerIndices.size(); ++i)
    o.cornerIndices[i] = static_cast<int32_t>(i);
  o.vertices.resize(400000, Vec4{0, 0, 0, 1});
  o.faces = {Face{0, 400000, 0}};
  report = BakeModel(huge, BakeOptions{false, false, true}, UINT64_MAX);
  EXPECT_EQ(report.failure, kWriteCauseTooLarge);
  EXPECT_EQ(o.faces.size(), 1u);
}

TEST(Subdivision, BakeReportNamesRefusedSurfacesAndCountsLevelsOutOfRange) {
  Model model;
  ASSERT_EQ(LoadText(model,
                     "Metasequoia Document\nFormat Text Ver 1.0\n"
                     "Object \"bad\" {\n patch 3\n segment 7\n vertex 2 {\n0 0 0\n1 0 0\n}\n"
                     " face 1 {\n2 V(0 1)\n}\n}\n"
                     "Object \"good\" {\n" +
                         Cube("patch 4\nsegment 0\n") + "}\nEof\n"),
            kLoadOk);
  const BakeReport report = BakeModel(model, BakeOptions{false, false, true}, UINT64_MAX);
  EXPECT_EQ(report.failure, kWriteCauseNone);
  EXPECT_EQ(report.refusedSurfaces, (std::vector<std::string>{"bad"}));
  EXPECT_EQ(report.levelsOutOfRange, 2u);
  EXPECT_EQ(model.objects[0].faces.size(), 24u);  // "good", read last, stands first
  EXPECT_EQ(model.objects[1].patch, 3);           // "bad" stays a cage
}

// The corpus document's Catmull-Clark object becomes one quad per corner of its faces; its other
// object is left exactly as it was.
TEST(Subdivision, CorpusCatmullClarkDocument) {
  const std::string path = std::string(VUV2EZ_CORPUS_DIR) + "/v10_kattun_maid_leftleg_patch3.mqo";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
  Model model;
  ASSERT_EQ(LoadModel(model, path.c_str()), kLoadOk);
  ASSERT_EQ(model.objects.size(), 2u);
  const Model before = model;
  ASSERT_EQ(model.objects[0].name, "asi");
  ASSERT_EQ(model.objects[0].patch, 3);
  EXPECT_EQ(model.objects[1].patch, 0);
  const BakeReport report = BakeModel(model, BakeOptions{false, false, true}, UINT64_MAX);
  EXPECT_EQ(report.failure, kWriteCauseNone);
  EXPECT_TRUE(report.refusedSurfaces.empty());
  EXPECT_EQ(model.objects[0].faces.size(), 908u);
  Model other = before;
  other.objects.erase(other.objects.begin());
  Model otherAfter = model;
  otherAfter.objects.erase(otherAfter.objects.begin());
  EXPECT_EQ(Describe(otherAfter), Describe(other));
  EXPECT_EQ(QzBytes(otherAfter, true), QzBytes(other, true));
}

}  // namespace
