// OpenSubdiv as linked into this build (Debian's shared library on Linux, the static cross-built
// one on Windows) refines alike on both: a cube's first Catmull-Clark level, bit for bit.
#include <gtest/gtest.h>

#include <opensubdiv/far/primvarRefiner.h>
#include <opensubdiv/far/topologyDescriptor.h>
#include <opensubdiv/far/topologyRefinerFactory.h>

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

using namespace OpenSubdiv;

struct Point {
  float x = 0, y = 0, z = 0;
  void Clear() { x = y = z = 0; }
  void AddWithWeight(const Point& p, float w) {
    x += w * p.x;
    y += w * p.y;
    z += w * p.z;
  }
};

TEST(OpenSubdiv, RefinesACubeAlikeOnEveryBuild) {
  const std::vector<Point> cube = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                   {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
  const int corners[] = {0, 3, 2, 1, 4, 5, 6, 7, 0, 1, 5, 4, 1, 2, 6, 5, 2, 3, 7, 6, 3, 0, 4, 7};
  const int cornerCounts[] = {4, 4, 4, 4, 4, 4};
  Far::TopologyDescriptor descriptor;
  descriptor.numVertices = 8;
  descriptor.numFaces = 6;
  descriptor.numVertsPerFace = cornerCounts;
  descriptor.vertIndicesPerFace = corners;
  Sdc::Options options;
  options.SetVtxBoundaryInterpolation(Sdc::Options::VTX_BOUNDARY_EDGE_AND_CORNER);
  using Factory = Far::TopologyRefinerFactory<Far::TopologyDescriptor>;
  const std::unique_ptr<Far::TopologyRefiner> refiner(
      Factory::Create(descriptor, Factory::Options(Sdc::SCHEME_CATMARK, options)));
  ASSERT_NE(refiner, nullptr);
  refiner->RefineUniform(Far::TopologyRefiner::UniformOptions(1));
  const Far::TopologyLevel& level = refiner->GetLevel(1);
  ASSERT_EQ(level.GetNumVertices(), 26);
  ASSERT_EQ(level.GetNumFaces(), 24);
  std::vector<Point> refined(26);
  const Point* const source = cube.data();
  Point* destination = refined.data();
  Far::PrimvarRefiner(*refiner).Interpolate(1, source, destination);
  // Level 1 numbers the old corners first, then the face points, then the edge points: a corner
  // at 5/9 of the half-size, a face point at 1, an edge point at 3/4, as floats.
  const std::array<uint32_t, 3> expected[] = {
      {0xbf0e38e4, 0xbf0e38e4, 0xbf0e38e4},  // (-5/9, -5/9, -5/9)
      {0x00000000, 0x00000000, 0xbf800000},  // (0, 0, -1)
      {0xbf400000, 0x00000000, 0xbf400000},  // (-3/4, 0, -3/4)
  };
  const int rows[] = {0, 8, 14};
  for (int i = 0; i < 3; ++i) {
    const Point& p = refined[rows[i]];
    const std::array<uint32_t, 3> bits = {
        std::bit_cast<uint32_t>(p.x), std::bit_cast<uint32_t>(p.y), std::bit_cast<uint32_t>(p.z)};
    EXPECT_EQ(bits, expected[i]) << p.x << " " << p.y << " " << p.z;
  }
}

}  // namespace
