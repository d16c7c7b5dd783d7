// Mirror objects baked into plain faces (the small documents and the models they give once baked
// are cases of data/mirror_cases.txt): the original records kept, the facing of reflected copies
// in the QZ records, the object settings the reader keeps, and a real connected mirror against
// the modeller's own frozen copy of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "tests/support/test_support.h"
#include "writer/mirror.h"
#include "writer/qz_format.h"

namespace {

// The document of one object "o" of `body`, loaded and, with `bake`, its mirrors baked.
Model Loaded(const std::string& body, bool bake = false) {
  Model model;
  EXPECT_EQ(LoadText(model, "Metasequoia Document\nFormat Text Ver 1.0\nObject \"o\" {\n" + body +
                                "}\nEof\n"),
            kLoadOk)
      << body;
  EXPECT_EQ(ValidateModel(model), kModelSound) << body;
  if (bake) BakeMirrors(model);
  EXPECT_EQ(ValidateModel(model), kModelSound) << body;
  return model;
}

const std::string kUv = " UV(0 0 1 0 1 1 0 1)\n}\n";
// A quad from the plane x = 0 to x = 2, of material 3.
const std::string kQuad =
    "vertex 4 {\n0 0 0\n2 0 0\n2 1 0\n0 1 0\n}\nface 1 {\n4 V(0 1 2 3) M(3)" + kUv;
// One slope of a roof from its ridge on the plane x = 0 to its eave at x = 4.
const std::string kRoof = "vertex 4 {\n0 0 0\n4 0 2\n4 3 2\n0 3 0\n}\nface 1 {\n4 V(0 1 2 3)" + kUv;

// The model and its records are untouched without a mirror to bake; with one, the original faces
// still write the same records (a corner outside the list still at the origin), but for the
// smooth normals that connected halves share across the seam.
TEST(Mirror, OriginalRecordsUnchanged) {
  const std::string odd = "vertex 3 {\n1 0 0\n2 0 0\n1 1 0\n}\nface 1 {\n3 V(0 1 3)\n}\n";
  for (const std::string settings : {"", "mirror 0\nmirror_axis 7\n", "mirror 3\n",
                                     "mirror 1\nmirror_axis 0\n", "mirror 2\nmirror_axis 8\n"}) {
    EXPECT_EQ(Describe(Loaded(settings + kQuad, true)), Describe(Loaded(settings + kQuad)))
        << settings;
  }
  for (const std::string& object : {kQuad, kRoof, odd}) {
    for (const int mode : {1, 2}) {
      const std::string settings = "mirror " + std::to_string(mode) + "\nmirror_axis 7\n";
      const Model plain = Loaded(object), baked = Loaded(settings + object, true);
      for (const bool smooth : {false, mode == 1}) {
        const std::vector<uint8_t> before = QzBytes(plain, smooth), after = QzBytes(baked, smooth);
        const size_t start = sizeof(QzHeader) + sizeof(QzObjectEntry);
        ASSERT_GT(after.size(), before.size());
        EXPECT_EQ(0, std::memcmp(&before[start], &after[start], sizeof(QzFaceRecord)))
            << settings << object;
      }
    }
  }
}

// 0 - c, so that a zero comes out +0.
Vec4 Reflected(Vec4 v, int planes) {
  if (planes & 1) v.x = 0 - v.x;
  if (planes & 2) v.y = 0 - v.y;
  if (planes & 4) v.z = 0 - v.z;
  return v;
}

// A non-planar quad on every combination of planes: each copy's flat normal is the original's
// reflected (it faces the mirrored way), and it keeps the quad's diagonal c0-c2.
TEST(Mirror, CopiesFaceTheMirroredWay) {
  for (int axes = 1; axes < 8; ++axes) {
    const std::vector<uint8_t> bytes = QzBytes(
        Loaded("mirror 1\nmirror_axis " + std::to_string(axes) +
                   "\nvertex 4 {\n1 0 0\n3 0 1\n3 2 0\n1 2 2\n}\nface 1 {\n4 V(0 1 2 3)\n}\n",
               true),
        false);
    const size_t start = sizeof(QzHeader) + sizeof(QzObjectEntry);
    std::vector<QzFaceRecord> records((bytes.size() - start) / sizeof(QzFaceRecord));
    std::memcpy(records.data(), &bytes[start], records.size() * sizeof(QzFaceRecord));
    ASSERT_EQ(records.size(), 1u << std::popcount(unsigned(axes)));
    size_t r = 1;
    for (int planes = 1; planes < 8; ++planes) {
      if (planes & ~axes) continue;
      const QzFaceRecord& copy = records[r++];
      const bool odd = std::popcount(unsigned(planes)) % 2 == 1;
      for (int slot = 0; slot < 4; ++slot) {
        const Vec4 p =
            Reflected(records[0].positions[odd && slot % 2 == 0 ? 2 - slot : slot], planes);
        EXPECT_TRUE(std::memcmp(&p, &copy.positions[slot], sizeof p) == 0) << planes << slot;
      }
      const Vec4 n = Reflected(records[0].normals[0], planes), m = copy.normals[0];
      EXPECT_LT(std::max({std::abs(n.x - m.x), std::abs(n.y - m.y), std::abs(n.z - m.z)}), 1e-6)
          << planes << ": " << m.x << " " << m.y << " " << m.z;
    }
  }
}

// The counting pass sizes the object exactly: a bridge that becomes a triangle, or nothing, takes
// no room of a quad. Every record list ends as full as it was reserved.
TEST(Mirror, BakingReservesWhatItAdds) {
  const std::string ridge = "mirror 2\nmirror_axis 1\nmirror_dis 5\n" + kRoof;  // two triangles
  const std::string onPlane =  // a quad with an edge on each of the planes: nothing to bridge
      "mirror 2\nmirror_axis 3\nvertex 4 {\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n}\nface 1 {\n4 V(0 1 2 "
      "3)\n}\n";
  for (const std::string& body : {ridge, onPlane}) {
    Model model = Loaded(body);
    MeshObject& o = model.objects.at(0);
    const size_t before = o.faces.size();
    EXPECT_EQ(BakeMirror(o), kMirrorBaked);
    EXPECT_GT(o.faces.size(), before);
    EXPECT_EQ(o.faces.capacity(), o.faces.size()) << body;
    EXPECT_EQ(o.cornerIndices.capacity(), o.cornerIndices.size()) << body;
    EXPECT_EQ(o.cornerUvs.capacity(), o.cornerUvs.size()) << body;
    EXPECT_EQ(o.vertices.capacity(), o.vertices.size()) << body;
  }
}

// mirror_axis 8 mirrors in the object's own frame: baked when that frame is the identity (any
// spelling of it), left as stored, and said so, when it is not. Without 8 the frame is not looked
// at.
TEST(Mirror, LocalFrame) {
  const struct {
    const char* settings;
    MirrorBake result;
  } rows[] = {
      {"mirror_axis 9\n", kMirrorBaked},
      {"mirror_axis 9\nscale 1 1 1\nrotation 0 -0 0\ntranslation 0.0 0 0\n", kMirrorBaked},
      {"mirror_axis 9\ntranslation 0 1 0\n", kMirrorLocalFrame},
      {"mirror_axis 9\nscale 1 1 2\n", kMirrorLocalFrame},
      {"mirror_axis 9\nrotation 90 0 0\n", kMirrorLocalFrame},
      {"mirror_axis 12\nrotation 0 0 1\n", kMirrorLocalFrame},
      {"mirror_axis 1\nrotation 90 0 0\nscale 2 2 2\n", kMirrorBaked},
      {"mirror_axis 8\nrotation 90 0 0\n", kMirrorNone},  // no plane named
  };
  for (const auto& row : rows) {
    const std::string body = std::string("mirror 1\n") + row.settings + kQuad;
    Model model = Loaded(body);
    EXPECT_EQ(BakeMirrors(model).localFrame, row.result == kMirrorLocalFrame ? 1u : 0u) << body;
    Model again = Loaded(body);
    EXPECT_EQ(BakeMirror(again.objects.at(0)), row.result) << body;
    const bool unchanged = Describe(again) == Describe(Loaded(body));
    EXPECT_EQ(unchanged, row.result != kMirrorBaked) << body;
  }
}

TEST(Mirror, ObjectSettingsRead) {
  const struct {
    std::string body;
    const char* settings;
  } rows[] = {
      {"visible 0\npatch 3\nlathe 1\nmirror 2\nmirror_axis 6\nmirror_dis 2.5\nshading 0\nfacet "
       "30.5\nscale 1 2 3\nrotation 4 5 6\ntranslation 7 8 9\n",
       "hidden patch 3 lathe mirror 2 axis 6 distance 2.5 shading 0 facet 30.5 frame 1 2 3 4 5 6 7 "
       "8 9"},
      {"visible 15\nlathe 0\nmirror 1\n",
       "visible patch 0 plain mirror 1 axis 1 distance -1 shading 1 facet 59.5 frame 1 1 1 0 0 0 0 "
       "0 0"},
      {"depth 1\nvertexattr {\nvisible 0\nmirror 2\nmirror_dis 4\nfacet 3\nscale 2 2 2\n}\n",
       "visible patch 0 plain mirror 0 axis 1 distance -1 shading 1 facet 59.5 frame 1 1 1 0 0 0 0 "
       "0 0"},
  };
  for (const auto& row : rows) {
    const Model model = Loaded(row.body + kQuad);
    const MeshObject& o = model.objects.at(0);
    std::ostringstream settings;
    settings << (o.visible ? "visible" : "hidden") << " patch " << o.patch
             << (o.lathe ? " lathe" : " plain") << " mirror " << o.mirror << " axis "
             << o.mirrorAxis << " distance " << o.mirrorDistance << " shading " << o.shading
             << " facet " << o.facet << " frame";
    for (const float* part : {o.scale, o.rotation, o.translation})
      settings << " " << part[0] << " " << part[1] << " " << part[2];
    EXPECT_EQ(settings.str(), row.settings) << row.body;
    EXPECT_EQ(o.faces.size(), 1u) << row.body;
  }
}

// obj1 of this document is a connected mirror (no mirror_dis, open edges 4 off the plane); obj2
// is the modeller's own freeze of it, moved. Baked, obj1 must give obj2's vertices, moved back,
// and obj2's faces, each the same loop of vertices and UVs (a copy may start at another corner).
TEST(Mirror, RealConnectedMirrorAsTheModellerFreezesIt) {
  const std::filesystem::path path =
      std::filesystem::path(VUV2EZ_CORPUS_DIR) / "v10_lsb_medaka_BackImage.mqo";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus document " << path;
  Model model;
  ASSERT_EQ(LoadModel(model, path.string().c_str()), kLoadOk);
  BakeMirrors(model);
  const MeshObject *baked = nullptr, *frozen = nullptr;
  for (const MeshObject& o : model.objects) {
    if (o.name == "obj1") baked = &o;
    if (o.name == "obj2") frozen = &o;
  }
  ASSERT_TRUE(baked && frozen && baked->mirror == 2 && frozen->mirror == 0);
  ASSERT_EQ(baked->vertices.size(), frozen->vertices.size());
  const Vec4 a0 = baked->vertices[0], b0 = frozen->vertices[0];
  for (size_t v = 0; v < baked->vertices.size(); ++v) {
    const Vec4 a = baked->vertices[v], b = frozen->vertices[v];
    ASSERT_TRUE(a.x - a0.x == b.x - b0.x && a.y - a0.y == b.y - b0.y && a.z - a0.z == b.z - b0.z);
  }
  ASSERT_EQ(baked->faces.size(), frozen->faces.size());
  auto loop = [](const MeshObject& o, const Face& f, int32_t start) {
    std::ostringstream text;
    for (int32_t k = 0; k < f.vertexCount; ++k) {
      const uint32_t c = f.firstCorner + static_cast<uint32_t>((start + k) % f.vertexCount);
      text << o.cornerIndices[c] << "(" << o.cornerUvs[2 * c] << " " << o.cornerUvs[2 * c + 1]
           << ") ";
    }
    return text.str() + "m" + std::to_string(f.material);
  };
  for (size_t i = 0; i < baked->faces.size(); ++i) {
    const Face &mine = baked->faces[i], &theirs = frozen->faces[i];
    ASSERT_EQ(mine.vertexCount, theirs.vertexCount) << i;
    bool same = false;
    for (int32_t start = 0; start < mine.vertexCount; ++start)
      same = same || loop(*baked, mine, start) == loop(*frozen, theirs, 0);
    EXPECT_TRUE(same) << "face " << i << ": " << loop(*baked, mine, 0) << " against "
                      << loop(*frozen, theirs, 0);
  }
}

}  // namespace

namespace {

// Creases move with their edges: a copy turned over walks each edge backwards, so the crease of
// its corner j is the one of the face's edge that now runs from j to j + 1; a bridge across a
// connected seam has none.
TEST(Mirror, CreasesFollowTheirEdges) {
  Model model = Loaded(
      "mirror 1\nmirror_axis 1\nvertex 4 {\n0 0 0\n2 0 0\n2 1 0\n0 1 0\n}\n"
      "face 1 {\n4 V(0 1 2 3) CRS(1 2 3 4)\n}\n",
      true);
  const MeshObject& o = model.objects[0];
  ASSERT_EQ(o.faces.size(), 2u);
  ASSERT_EQ(o.cornerCreases.size(), 8u);
  // The copy's corners are (c2, c1, c0, c3): its edges c2-c1, c1-c0, c0-c3, c3-c2 are the face's
  // edges 1, 0, 3 and 2.
  EXPECT_EQ(o.cornerCreases, (std::vector<float>{1, 2, 3, 4, 2, 1, 4, 3}));
  Model plain = Loaded(
      "mirror 1\nmirror_axis 2\nvertex 3 {\n1 1 0\n2 1 0\n2 2 0\n}\n"
      "face 2 {\n3 V(0 1 2)\n3 V(0 1 2) CRS(5 6 7)\n}\n",
      true);
  EXPECT_EQ(plain.objects[0].cornerCreases,
            (std::vector<float>{0, 0, 0, 5, 6, 7, 0, 0, 0, 6, 5, 7}));
  Model bridged = Loaded(
      "mirror 2\nmirror_axis 1\nvertex 4 {\n1 0 0\n2 0 0\n2 1 0\n1 1 0\n}\n"
      "face 1 {\n4 V(0 1 2 3) CRS(1 2 3 4)\n}\n",
      true);
  const MeshObject& b = bridged.objects[0];
  ASSERT_GT(b.faces.size(), 2u);
  for (size_t c = b.faces[2].firstCorner; c < b.cornerCreases.size(); ++c)
    EXPECT_EQ(b.cornerCreases[c], 0) << c;
}

}  // namespace
