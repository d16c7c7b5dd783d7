// generate_mqo: writes a large, deterministic MQO text document for benchmarking vuv2ez,
// and checks the structure of such a document.
//
//   generate_mqo --faces N [--seed S] OUT.mqo     write a model with exactly N faces
//   generate_mqo --check FILE [--faces N]         verify a document's structure
//
// The document is laid out as the modeller saves it: CRLF line ends, tab indentation, a Scene
// chunk, a Material table (some entries textured) and several objects: flat grids of quads with
// a small jitter, and UV spheres (quads, with triangles around the poles). Vertex coordinates
// are written with four decimals, UVs with five. The last object absorbs the remainder so the
// face count is exact.
//
// Output depends only on (faces, seed): all coordinates are rounded to integers in units of
// 1e-4 before they are written, the randomness is a fixed 64-bit generator and sine/cosine are
// computed here with plain IEEE arithmetic rather than by the C library, whose last-bit results
// may differ between versions. Build with -ffp-contract=off so that no fused multiply-add
// changes a rounding on some target.
//
// Standard library only; one file.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Output buffer with hand-written number formatting (much faster than snprintf for %.4f).

class Writer {
 public:
  explicit Writer(std::FILE* f) : file_(f), buf_(kSize) {}
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  ~Writer() { flush(); }

  bool ok() const { return ok_; }

  void flush() {
    if (pos_ > 0) {
      if (std::fwrite(buf_.data(), 1, pos_, file_) != pos_) ok_ = false;
      pos_ = 0;
    }
  }

  // Makes sure at least n bytes can be appended without a check.
  void reserve(std::size_t n) {
    if (pos_ + n > buf_.size()) flush();
  }

  void put(char c) { buf_[pos_++] = c; }

  void put(std::string_view s) {
    reserve(s.size());
    std::memcpy(buf_.data() + pos_, s.data(), s.size());
    pos_ += s.size();
  }

  void put_uint(std::uint64_t v) {
    char tmp[24];
    int n = 0;
    do {
      tmp[n++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0);
    while (n > 0) buf_[pos_++] = tmp[--n];
  }

  // Writes q / 10^decimals with exactly `decimals` fractional digits.
  void put_fixed(std::int64_t q, int decimals) {
    std::uint64_t a;
    if (q < 0) {
      buf_[pos_++] = '-';
      a = static_cast<std::uint64_t>(-(q + 1)) + 1;
    } else {
      a = static_cast<std::uint64_t>(q);
    }
    char frac[12];
    for (int i = decimals - 1; i >= 0; --i) {
      frac[i] = static_cast<char>('0' + a % 10);
      a /= 10;
    }
    put_uint(a);
    buf_[pos_++] = '.';
    for (int i = 0; i < decimals; ++i) buf_[pos_++] = frac[i];
  }

 private:
  static constexpr std::size_t kSize = std::size_t{8} << 20;
  std::FILE* file_;
  std::vector<char> buf_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

constexpr std::string_view kEol = "\r\n";

// ---------------------------------------------------------------------------------------------
// Deterministic helpers.

struct Rng {  // splitmix64
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform integer in [-range, range].
  std::int64_t symmetric(std::int64_t range) {
    if (range <= 0) return 0;
    const auto span = static_cast<std::uint64_t>(2 * range + 1);
    return static_cast<std::int64_t>(next() % span) - range;
  }
};

std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
  Rng r{a * 0x2545F4914F6CDD1DULL ^ b};
  return r.next();
}

// Stream tags, so that each object draws its own random numbers.
constexpr std::uint64_t kTagGrid = 0x6772696400000000;
constexpr std::uint64_t kTagPatch = 0x7061746368000000;
constexpr std::uint64_t kTagSphere = 0x7370686572650000;

constexpr double kPi = 3.14159265358979323846;

// sin and cos of x for |x| <= pi/4, by their Taylor series (error below 1e-16 there).
double sin_small(double x) {
  const double x2 = x * x;
  double term = x;
  double sum = x;
  for (int k = 1; k <= 8; ++k) {
    term = -term * x2 / static_cast<double>((2 * k) * (2 * k + 1));
    sum += term;
  }
  return sum;
}

double cos_small(double x) {
  const double x2 = x * x;
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k <= 8; ++k) {
    term = -term * x2 / static_cast<double>((2 * k - 1) * (2 * k));
    sum += term;
  }
  return sum;
}

// sin and cos of the angle 2*pi*num/den, reduced to an octant with exact integer arithmetic.
void sincos_turn(std::int64_t num, std::int64_t den, double& s, double& c) {
  num %= den;
  if (num < 0) num += den;
  // Quadrant q = round(4*num/den); remainder angle r = 2*pi*(4*num - q*den)/(4*den).
  const std::int64_t q = (8 * num + den) / (2 * den);
  const std::int64_t rem = 4 * num - q * den;  // in [-den/2, den/2]
  const double r = 2.0 * kPi * static_cast<double>(rem) / static_cast<double>(4 * den);
  const double sr = sin_small(r);
  const double cr = cos_small(r);
  switch (q & 3) {
    case 0: s = sr; c = cr; break;
    case 1: s = cr; c = -sr; break;
    case 2: s = -sr; c = -cr; break;
    default: s = -cr; c = sr; break;
  }
}

// Rounds a length to integer units of 1e-4.
std::int64_t to_units(double v) { return static_cast<std::int64_t>(std::floor(v * 10000.0 + 0.5)); }

// round(num / den * 1e5) for non-negative num, den > 0: a UV coordinate in units of 1e-5.
std::int64_t uv_units(std::int64_t num, std::int64_t den) {
  return (num * 200000 + den) / (2 * den);
}

// ---------------------------------------------------------------------------------------------
// The model.

struct Material {
  const char* name;
  const char* col;
  const char* rest;
  const char* tex;  // nullptr when untextured
};

constexpr std::array<Material, 6> kMaterials = {{
    {"mat1", "1.000 1.000 1.000 1.000", "dif(0.800) amb(0.600) emi(0.000) spc(0.000) power(5.00)",
     "wood.bmp"},
    {"mat2", "0.800 0.200 0.100 1.000", "dif(0.800) amb(0.600) emi(0.000) spc(0.000) power(5.00)",
     nullptr},
    {"mat3", "0.200 0.550 0.900 1.000", "dif(0.750) amb(0.500) emi(0.000) spc(0.250) power(12.00)",
     "tiles_diffuse.png"},
    {"mat4", "0.300 0.800 0.300 0.600", "dif(0.700) amb(0.500) emi(0.100) spc(0.300) power(30.00)",
     nullptr},
    {"mat5", "0.900 0.850 0.700 1.000", "dif(0.900) amb(0.400) emi(0.000) spc(0.050) power(3.00)",
     "brick.jpg"},
    {"glass", "0.850 0.950 1.000 0.350", "dif(0.300) amb(0.300) emi(0.000) spc(0.900) power(80.00)",
     nullptr},
}};
constexpr std::uint64_t kMaterialCount = kMaterials.size();

enum class Kind { kGrid, kSphere };

struct ObjectPlan {
  Kind kind;
  std::string name;
  std::uint64_t faces = 0;
  // grid: width in quads; sphere: rings and slices
  std::uint64_t width = 0;
  std::uint64_t rings = 0;
  std::uint64_t slices = 0;
  int variant = 0;  // placement / orientation choice
};

std::uint64_t grid_vertex_count(std::uint64_t faces, std::uint64_t width) {
  const std::uint64_t rows = faces / width;
  const std::uint64_t rem = faces % width;
  return (rows + 1) * (width + 1) + (rem > 0 ? rem + 1 : 0);
}

ObjectPlan make_grid(std::string name, std::uint64_t faces, int variant) {
  ObjectPlan p{Kind::kGrid, std::move(name)};
  p.faces = faces;
  p.width = std::max<std::uint64_t>(
      1, static_cast<std::uint64_t>(std::ceil(std::sqrt(static_cast<double>(faces)))));
  p.variant = variant;
  return p;
}

ObjectPlan make_sphere(std::string name, std::uint64_t target, int variant) {
  ObjectPlan p{Kind::kSphere, std::move(name)};
  // rings * slices faces with slices = 2 * rings.
  const auto rings = std::max<std::uint64_t>(
      3, static_cast<std::uint64_t>(std::floor(std::sqrt(static_cast<double>(target) / 2.0) + 0.5)));
  p.rings = rings;
  p.slices = 2 * rings;
  p.faces = rings * p.slices;
  p.variant = variant;
  return p;
}

// Splits the face budget over six objects (roughly 25/20/15/15/10/15 %); the last grid takes
// whatever is left so that the total is exact. Small models are a single grid.
std::vector<ObjectPlan> plan_model(std::uint64_t faces) {
  std::vector<ObjectPlan> plan;
  if (faces >= 1000) {
    plan.push_back(make_grid("grid1", faces * 25 / 100, 0));
    plan.push_back(make_sphere("sphere1", faces * 20 / 100, 0));
    plan.push_back(make_grid("grid2", faces * 15 / 100, 1));
    plan.push_back(make_sphere("sphere2", faces * 15 / 100, 1));
    plan.push_back(make_sphere("sphere3", faces * 10 / 100, 2));
    std::uint64_t used = 0;
    for (const auto& o : plan) used += o.faces;
    if (used < faces) {
      plan.push_back(make_grid("grid3", faces - used, 2));
      return plan;
    }
    plan.clear();
  }
  plan.push_back(make_grid("grid1", faces, 0));
  return plan;
}

void write_header(Writer& w) {
  w.put("Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n");
  w.put(
      "Scene {\r\n"
      "\tpos 0.0000 0.0000 1500.0000\r\n"
      "\tlookat 0.0000 0.0000 0.0000\r\n"
      "\thead -0.5236\r\n"
      "\tpich 0.5236\r\n"
      "\tortho 0\r\n"
      "\tzoom2 5.0000\r\n"
      "\tamb 0.250 0.250 0.250\r\n"
      "}\r\n");
  w.put("Material ");
  w.reserve(32);
  w.put_uint(kMaterialCount);
  w.put(" {\r\n");
  for (const auto& m : kMaterials) {
    w.put("\t\"");
    w.put(m.name);
    w.put("\" col(");
    w.put(m.col);
    w.put(") ");
    w.put(m.rest);
    if (m.tex != nullptr) {
      w.put(" tex(\"");
      w.put(m.tex);
      w.put("\")");
    }
    w.put(kEol);
  }
  w.put("}\r\n");
}

void write_object_start(Writer& w, const ObjectPlan& o, const char* color) {
  w.put("Object \"");
  w.put(o.name);
  w.put(
      "\" {\r\n"
      "\tdepth 0\r\n"
      "\tfolding 0\r\n"
      "\tscale 1.000000 1.000000 1.000000\r\n"
      "\trotation 0.000000 0.000000 0.000000\r\n"
      "\ttranslation 0.000000 0.000000 0.000000\r\n"
      "\tvisible 15\r\n"
      "\tlocking 0\r\n"
      "\tshading 1\r\n"
      "\tfacet 59.5\r\n"
      "\tcolor ");
  w.put(color);
  w.put("\r\n\tcolor_type 0\r\n");
}

void write_count_line(Writer& w, std::string_view what, std::uint64_t n) {
  w.reserve(64);
  w.put('\t');
  w.put(what);
  w.put(' ');
  w.put_uint(n);
  w.put(" {\r\n");
}

void write_vertex(Writer& w, std::int64_t x, std::int64_t y, std::int64_t z) {
  w.reserve(96);
  w.put('\t');
  w.put('\t');
  w.put_fixed(x, 4);
  w.put(' ');
  w.put_fixed(y, 4);
  w.put(' ');
  w.put_fixed(z, 4);
  w.put('\r');
  w.put('\n');
}

// One face line: n vertex indices, a material and n UV pairs (units of 1e-5).
void write_face(Writer& w, int n, const std::uint64_t* v, std::uint64_t mat,
                const std::int64_t* uv) {
  w.reserve(256);
  w.put('\t');
  w.put('\t');
  w.put(static_cast<char>('0' + n));
  w.put(" V(");
  for (int i = 0; i < n; ++i) {
    if (i > 0) w.put(' ');
    w.put_uint(v[i]);
  }
  w.put(") M(");
  w.put_uint(mat);
  w.put(") UV(");
  for (int i = 0; i < 2 * n; ++i) {
    if (i > 0) w.put(' ');
    w.put_fixed(uv[i], 5);
  }
  w.put(')');
  w.put('\r');
  w.put('\n');
}

void write_grid(Writer& w, const ObjectPlan& o, std::uint64_t seed) {
  static constexpr std::array<const char*, 3> kColors = {"0.898 0.498 0.698", "0.498 0.698 0.898",
                                                         "0.698 0.898 0.498"};
  write_object_start(w, o, kColors[static_cast<std::size_t>(o.variant) % kColors.size()]);

  const std::uint64_t width = o.width;
  const std::uint64_t full_rows = o.faces / width;
  const std::uint64_t rem = o.faces % width;
  const std::uint64_t height = full_rows + (rem > 0 ? 1 : 0);  // rows of quads
  const std::uint64_t nverts = grid_vertex_count(o.faces, width);

  // The grid spans about 1600 x 1600 units whatever its resolution; each vertex is moved by up
  // to a tenth of a cell in the plane and by up to 0.5 units across it.
  const std::int64_t extent = 1600 * 10000;
  const std::int64_t step = std::max<std::int64_t>(1, extent / static_cast<std::int64_t>(width));
  const std::int64_t jitter = step / 10;
  const std::int64_t lift = 5000;
  std::int64_t origin_a = -extent / 2;
  std::int64_t origin_b = -extent / 2;
  std::int64_t plane = 0;
  if (o.variant == 1) plane = -450 * 10000;
  if (o.variant == 2) {
    origin_a += 300 * 10000;
    plane = 820 * 10000 + 1234;
  }
  Rng rng{mix(seed, kTagGrid + static_cast<std::uint64_t>(o.variant))};

  write_count_line(w, "vertex", nverts);
  for (std::uint64_t i = 0; i < nverts; ++i) {
    const std::uint64_t r = i / (width + 1);
    const std::uint64_t c = i % (width + 1);
    const std::int64_t a = origin_a + static_cast<std::int64_t>(c) * step + rng.symmetric(jitter);
    const std::int64_t b = origin_b + static_cast<std::int64_t>(r) * step + rng.symmetric(jitter);
    const std::int64_t h = plane + rng.symmetric(lift);
    switch (o.variant) {
      case 1: write_vertex(w, a, b, h); break;   // wall in the XY plane, behind the scene
      default: write_vertex(w, a, h, b); break;  // floor / ceiling in the XZ plane
    }
  }
  w.put("\t}\r\n");

  // Materials come in 8x8 patches of faces, picked by a hash of the patch.
  write_count_line(w, "face", o.faces);
  const auto wi = static_cast<std::int64_t>(width);
  const auto hi = static_cast<std::int64_t>(height);
  const std::uint64_t patch_seed = mix(seed, kTagPatch + static_cast<std::uint64_t>(o.variant));
  for (std::uint64_t f = 0; f < o.faces; ++f) {
    const std::uint64_t r = f / width;
    const std::uint64_t c = f % width;
    const std::uint64_t base = r * (width + 1) + c;
    const std::uint64_t v[4] = {base, base + 1, base + width + 2, base + width + 1};
    const auto ci = static_cast<std::int64_t>(c);
    const auto ri = static_cast<std::int64_t>(r);
    const std::int64_t uv[8] = {uv_units(ci, wi),     uv_units(ri, hi),
                                uv_units(ci + 1, wi), uv_units(ri, hi),
                                uv_units(ci + 1, wi), uv_units(ri + 1, hi),
                                uv_units(ci, wi),     uv_units(ri + 1, hi)};
    const std::uint64_t mat = mix(patch_seed, ((r >> 3) << 32) | (c >> 3)) % kMaterialCount;
    write_face(w, 4, v, mat, uv);
  }
  w.put("\t}\r\n}\r\n");
}

void write_sphere(Writer& w, const ObjectPlan& o, std::uint64_t seed) {
  static constexpr std::array<const char*, 3> kColors = {"0.498 0.898 0.898", "0.898 0.898 0.498",
                                                         "0.898 0.698 0.498"};
  write_object_start(w, o, kColors[static_cast<std::size_t>(o.variant) % kColors.size()]);

  struct Placement {
    double cx, cy, cz, radius;
  };
  static constexpr std::array<Placement, 3> kPlace = {{
      {-520.0, 260.0, 140.0, 240.0},
      {430.0, 180.0, -260.0, 175.5},
      {60.0, 520.0, 470.0, 96.25},
  }};
  const Placement& pl = kPlace[static_cast<std::size_t>(o.variant) % kPlace.size()];
  const std::uint64_t rings = o.rings;
  const std::uint64_t slices = o.slices;
  const std::uint64_t nverts = 2 + (rings - 1) * slices;
  // A slight, seeded bulge keeps each sphere a little different from the textbook one.
  Rng rng{mix(seed, kTagSphere + static_cast<std::uint64_t>(o.variant))};
  const double squash = 1.0 + static_cast<double>(rng.symmetric(500)) / 10000.0;

  write_count_line(w, "vertex", nverts);
  const auto ri = static_cast<std::int64_t>(rings);
  const auto si = static_cast<std::int64_t>(slices);
  write_vertex(w, to_units(pl.cx), to_units(pl.cy + pl.radius * squash), to_units(pl.cz));
  for (std::int64_t i = 1; i < ri; ++i) {
    double st = 0, ct = 0;
    sincos_turn(i, 2 * ri, st, ct);  // polar angle pi * i / rings
    const double y = pl.cy + pl.radius * squash * ct;
    const double rr = pl.radius * st;
    for (std::int64_t j = 0; j < si; ++j) {
      double sp = 0, cp = 0;
      sincos_turn(j, si, sp, cp);
      write_vertex(w, to_units(pl.cx + rr * cp), to_units(y), to_units(pl.cz + rr * sp));
    }
  }
  write_vertex(w, to_units(pl.cx), to_units(pl.cy - pl.radius * squash), to_units(pl.cz));
  w.put("\t}\r\n");

  // Materials run in bands of latitude; a seeded offset varies them between spheres.
  const std::uint64_t mat_offset = rng.next() % kMaterialCount;
  auto band_material = [&](std::int64_t ring) {
    return (static_cast<std::uint64_t>(ring) * 4 / rings + mat_offset) % kMaterialCount;
  };
  auto ring_vertex = [&](std::int64_t ring, std::int64_t j) {  // ring in 1..rings-1
    return static_cast<std::uint64_t>(1 + (ring - 1) * si + (j % si));
  };
  const std::uint64_t bottom = nverts - 1;

  write_count_line(w, "face", o.faces);
  // Top cap: triangles around the north pole.
  for (std::int64_t j = 0; j < si; ++j) {
    const std::uint64_t v[3] = {0, ring_vertex(1, j + 1), ring_vertex(1, j)};
    const std::int64_t uv[6] = {uv_units(2 * j + 1, 2 * si), 0,
                                uv_units(j + 1, si),         uv_units(1, ri),
                                uv_units(j, si),             uv_units(1, ri)};
    write_face(w, 3, v, band_material(0), uv);
  }
  // Body: one band of quads between each pair of neighbouring rings.
  for (std::int64_t i = 1; i + 1 < ri; ++i) {
    const std::uint64_t mat = band_material(i);
    for (std::int64_t j = 0; j < si; ++j) {
      const std::uint64_t v[4] = {ring_vertex(i, j), ring_vertex(i, j + 1),
                                  ring_vertex(i + 1, j + 1), ring_vertex(i + 1, j)};
      const std::int64_t uv[8] = {uv_units(j, si),     uv_units(i, ri),
                                  uv_units(j + 1, si), uv_units(i, ri),
                                  uv_units(j + 1, si), uv_units(i + 1, ri),
                                  uv_units(j, si),     uv_units(i + 1, ri)};
      write_face(w, 4, v, mat, uv);
    }
  }
  // Bottom cap: triangles around the south pole.
  for (std::int64_t j = 0; j < si; ++j) {
    const std::uint64_t v[3] = {ring_vertex(ri - 1, j), ring_vertex(ri - 1, j + 1), bottom};
    const std::int64_t uv[6] = {uv_units(j, si),         uv_units(ri - 1, ri),
                                uv_units(j + 1, si),     uv_units(ri - 1, ri),
                                uv_units(2 * j + 1, 2 * si), 100000};
    write_face(w, 3, v, band_material(ri - 1), uv);
  }
  w.put("\t}\r\n}\r\n");
}

int generate(std::uint64_t faces, std::uint64_t seed, const char* path) {
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) {
    std::fprintf(stderr, "generate_mqo: cannot open %s for writing\n", path);
    return 1;
  }
  bool ok = true;
  {
    Writer w(f);
    write_header(w);
    for (const auto& o : plan_model(faces)) {
      if (o.kind == Kind::kGrid) {
        write_grid(w, o, seed);
      } else {
        write_sphere(w, o, seed);
      }
    }
    w.put("Eof\r\n");
    w.flush();
    ok = w.ok();
  }
  if (std::fclose(f) != 0) ok = false;
  if (!ok) {
    std::fprintf(stderr, "generate_mqo: write error on %s\n", path);
    return 1;
  }
  return 0;
}

// ---------------------------------------------------------------------------------------------
// --check: re-reads a document and verifies its structure independently of the writer above.

class Checker {
 public:
  explicit Checker(std::string data) : data_(std::move(data)) {}

  bool run(std::uint64_t expected_faces, bool have_expected) {
    if (!split_lines()) return false;
    if (!expect_line("Metasequoia Document") || !expect_line("Format Text Ver 1.0") ||
        !expect_line("")) {
      return false;
    }
    if (!check_braces()) return false;
    while (line_ < lines_.size()) {
      const std::string_view l = lines_[line_];
      if (l == "Eof") {
        ++line_;
        break;
      }
      if (l == "Scene {") {
        if (!skip_chunk()) return false;
      } else if (l.substr(0, 9) == "Material ") {
        if (!read_materials()) return false;
      } else if (l.substr(0, 8) == "Object \"") {
        if (!read_object()) return false;
      } else {
        return fail("unexpected line");
      }
    }
    if (line_ != lines_.size()) return fail("text after Eof");
    if (!saw_materials_) return fail_at(0, "no Material chunk");
    if (have_expected && faces_ != expected_faces) {
      std::fprintf(stderr, "check: %llu faces in the document, %llu expected\n",
                   static_cast<unsigned long long>(faces_),
                   static_cast<unsigned long long>(expected_faces));
      return false;
    }
    std::printf("ok: %zu bytes, %zu lines, %llu materials, %llu objects, %llu vertices, %llu faces "
                "(%llu triangles, %llu quads)\n",
                data_.size(), lines_.size(), static_cast<unsigned long long>(materials_),
                static_cast<unsigned long long>(objects_), static_cast<unsigned long long>(vertices_),
                static_cast<unsigned long long>(faces_), static_cast<unsigned long long>(tris_),
                static_cast<unsigned long long>(faces_ - tris_));
    return true;
  }

 private:
  bool fail(const char* what) { return fail_at(line_, what); }
  bool fail_at(std::size_t line, const char* what) {
    std::fprintf(stderr, "check: line %zu: %s", line + 1, what);
    if (line < lines_.size()) {
      const std::string_view l = lines_[line];
      std::fprintf(stderr, ": \"%.*s\"", static_cast<int>(std::min<std::size_t>(l.size(), 120)),
                   l.data());
    }
    std::fputc('\n', stderr);
    return false;
  }

  // Every line must end in CRLF; no bare CR or LF anywhere.
  bool split_lines() {
    std::size_t start = 0;
    for (std::size_t i = 0; i < data_.size(); ++i) {
      const char c = data_[i];
      if (c == '\r') {
        if (i + 1 >= data_.size() || data_[i + 1] != '\n') {
          std::fprintf(stderr, "check: byte %zu: CR without LF\n", i);
          return false;
        }
        lines_.emplace_back(data_.data() + start, i - start);
        ++i;
        start = i + 1;
      } else if (c == '\n') {
        std::fprintf(stderr, "check: byte %zu: LF without CR\n", i);
        return false;
      }
    }
    if (start != data_.size()) {
      std::fprintf(stderr, "check: the last line has no CRLF\n");
      return false;
    }
    return true;
  }

  // Braces outside quoted strings balance and never go below zero.
  bool check_braces() {
    long depth = 0;
    for (std::size_t n = 0; n < lines_.size(); ++n) {
      bool quoted = false;
      for (const char c : lines_[n]) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '{') ++depth;
        if (c == '}' && --depth < 0) return fail_at(n, "'}' without '{'");
      }
      if (quoted) return fail_at(n, "unterminated string");
    }
    if (depth != 0) return fail_at(lines_.size(), "unbalanced braces at end of document");
    return true;
  }

  bool expect_line(std::string_view want) {
    if (line_ >= lines_.size() || lines_[line_] != want) return fail("unexpected header line");
    ++line_;
    return true;
  }

  bool skip_chunk() {  // a chunk without nested chunks
    ++line_;
    while (line_ < lines_.size() && lines_[line_] != "}") {
      if (lines_[line_].find('{') != std::string_view::npos) return fail("nested chunk");
      ++line_;
    }
    if (line_ >= lines_.size()) return fail("chunk not closed");
    ++line_;
    return true;
  }

  // Parses "<prefix><N> {" and returns N.
  bool count_header(std::string_view prefix, std::uint64_t& n) {
    const std::string_view l = lines_[line_];
    if (l.substr(0, prefix.size()) != prefix) return fail("expected a counted chunk");
    std::string_view rest = l.substr(prefix.size());
    if (!parse_uint(rest, n) || rest != " {") return fail("malformed count line");
    ++line_;
    return true;
  }

  static bool parse_uint(std::string_view& s, std::uint64_t& v) {
    std::size_t i = 0;
    v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      v = v * 10 + static_cast<std::uint64_t>(s[i] - '0');
      ++i;
    }
    if (i == 0 || i > 18) return false;
    s.remove_prefix(i);
    return true;
  }

  // -?digits.dddd (exactly `decimals` fractional digits)
  static bool parse_fixed(std::string_view& s, int decimals) {
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-') ++i;
    const std::size_t int_start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == int_start || i >= s.size() || s[i] != '.') return false;
    ++i;
    for (int d = 0; d < decimals; ++d, ++i) {
      if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    }
    if (i < s.size() && s[i] >= '0' && s[i] <= '9') return false;
    s.remove_prefix(i);
    return true;
  }

  static bool eat(std::string_view& s, std::string_view t) {
    if (s.substr(0, t.size()) != t) return false;
    s.remove_prefix(t.size());
    return true;
  }

  bool read_materials() {
    std::uint64_t n = 0;
    if (saw_materials_) return fail("second Material chunk");
    if (!count_header("Material ", n)) return false;
    for (std::uint64_t k = 0; k < n; ++k, ++line_) {
      if (line_ >= lines_.size()) return fail("material list cut short");
      const std::string_view l = lines_[line_];
      if (l.size() < 4 || l[0] != '\t' || l[1] != '"') return fail("malformed material line");
    }
    if (line_ >= lines_.size() || lines_[line_] != "}") return fail("material count mismatch");
    ++line_;
    materials_ = n;
    saw_materials_ = true;
    return true;
  }

  bool read_object() {
    const std::string_view head = lines_[line_];
    if (head.size() < 12 || head.substr(head.size() - 3) != "\" {") return fail("malformed object");
    ++line_;
    ++objects_;
    std::uint64_t nverts = 0;
    bool saw_vertex = false;
    bool saw_face = false;
    while (line_ < lines_.size()) {
      const std::string_view l = lines_[line_];
      if (l == "}") {
        ++line_;
        if (!saw_vertex || !saw_face) return fail_at(line_ - 1, "object without vertex or face");
        return true;
      }
      if (l.size() < 2 || l[0] != '\t' || l[1] == '\t') return fail("bad indentation in object");
      if (l.substr(0, 8) == "\tvertex ") {
        if (saw_vertex) return fail("second vertex chunk");
        if (!count_header("\tvertex ", nverts)) return false;
        for (std::uint64_t k = 0; k < nverts; ++k, ++line_) {
          if (line_ >= lines_.size()) return fail("vertex list cut short");
          std::string_view s = lines_[line_];
          if (!eat(s, "\t\t") || !parse_fixed(s, 4) || !eat(s, " ") || !parse_fixed(s, 4) ||
              !eat(s, " ") || !parse_fixed(s, 4) || !s.empty()) {
            return fail("malformed vertex line (or vertex count too large)");
          }
        }
        if (line_ >= lines_.size() || lines_[line_] != "\t}") return fail("vertex count mismatch");
        ++line_;
        vertices_ += nverts;
        saw_vertex = true;
      } else if (l.substr(0, 6) == "\tface ") {
        if (!saw_vertex) return fail("face chunk before vertex chunk");
        if (saw_face) return fail("second face chunk");
        std::uint64_t nfaces = 0;
        if (!count_header("\tface ", nfaces)) return false;
        for (std::uint64_t k = 0; k < nfaces; ++k, ++line_) {
          if (line_ >= lines_.size()) return fail("face list cut short");
          if (!check_face(lines_[line_], nverts)) return false;
        }
        if (line_ >= lines_.size() || lines_[line_] != "\t}") return fail("face count mismatch");
        ++line_;
        faces_ += nfaces;
        saw_face = true;
      } else {
        if (l.find('{') != std::string_view::npos) return fail("unexpected chunk in object");
        ++line_;
      }
    }
    return fail("object not closed");
  }

  bool check_face(std::string_view s, std::uint64_t nverts) {
    if (!eat(s, "\t\t") || s.empty()) return fail("malformed face line (or face count too large)");
    const char k = s[0];
    if (k != '3' && k != '4') return fail("face is neither a triangle nor a quad");
    const int n = k - '0';
    s.remove_prefix(1);
    if (!eat(s, " V(")) return fail("face without V(...)");
    std::uint64_t idx[4] = {};
    for (int i = 0; i < n; ++i) {
      if (i > 0 && !eat(s, " ")) return fail("malformed V(...)");
      if (!parse_uint(s, idx[i])) return fail("malformed vertex index");
      if (idx[i] >= nverts) return fail("vertex index out of range");
      for (int j = 0; j < i; ++j) {
        if (idx[j] == idx[i]) return fail("repeated vertex index in a face");
      }
    }
    std::uint64_t m = 0;
    if (!eat(s, ") M(") || !parse_uint(s, m)) return fail("malformed M(...)");
    if (m >= materials_) return fail("material index out of range");
    if (!eat(s, ") UV(")) return fail("face without UV(...)");
    for (int i = 0; i < 2 * n; ++i) {
      if (i > 0 && !eat(s, " ")) return fail("malformed UV(...)");
      if (!parse_fixed(s, 5)) return fail("malformed UV value");
    }
    if (s != ")") return fail("trailing text after UV(...)");
    if (n == 3) ++tris_;
    return true;
  }

  std::string data_;
  std::vector<std::string_view> lines_;
  std::size_t line_ = 0;
  bool saw_materials_ = false;
  std::uint64_t materials_ = 0;
  std::uint64_t objects_ = 0;
  std::uint64_t vertices_ = 0;
  std::uint64_t faces_ = 0;
  std::uint64_t tris_ = 0;
};

int check(const char* path, std::uint64_t expected_faces, bool have_expected) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) {
    std::fprintf(stderr, "check: cannot open %s\n", path);
    return 1;
  }
  std::string data;
  char chunk[1 << 16];
  std::size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.append(chunk, n);
  std::fclose(f);
  Checker c(std::move(data));
  return c.run(expected_faces, have_expected) ? 0 : 1;
}

int usage() {
  std::fprintf(stderr,
               "usage: generate_mqo --faces N [--seed S] OUT.mqo\n"
               "       generate_mqo --check FILE [--faces N]\n");
  return 2;
}

bool parse_number(const char* s, std::uint64_t& v) {
  std::string_view sv(s);
  if (sv.empty() || sv.size() > 18) return false;
  v = 0;
  for (const char c : sv) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t faces = 0;
  std::uint64_t seed = 1;
  bool have_faces = false;
  const char* check_path = nullptr;
  const char* out = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (a == "--faces" && i + 1 < argc) {
      if (!parse_number(argv[++i], faces)) return usage();
      have_faces = true;
    } else if (a == "--seed" && i + 1 < argc) {
      if (!parse_number(argv[++i], seed)) return usage();
    } else if (a == "--check" && i + 1 < argc) {
      check_path = argv[++i];
    } else if (a == "-h" || a == "--help") {
      usage();
      return 0;
    } else if (!a.empty() && a[0] != '-' && out == nullptr) {
      out = argv[i];
    } else {
      return usage();
    }
  }
  if (check_path != nullptr) {
    if (out != nullptr) return usage();
    return check(check_path, faces, have_faces);
  }
  if (!have_faces || faces == 0 || out == nullptr) return usage();
  return generate(faces, seed, out);
}
