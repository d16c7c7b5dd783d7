// generate_mqo: writes a large, deterministic MQO text document for benchmarking vuv2ez, and
// checks the structure of such a document.
//
//   generate_mqo --faces N [--seed S] [--patch] OUT.mqo
//                                                 write a model with exactly N faces; with
//                                                 --patch every object is a Catmull-Clark
//                                                 surface (patch 3, segment 1)
//   generate_mqo --check FILE [--faces N]         verify a document's structure
//
// The document is laid out as the modeller saves it: CRLF line ends, tab indentation, a Scene
// chunk, a Material table (some entries textured) and six objects: jittered grids of quads and
// UV spheres (quads, with triangles around the poles); the last grid takes the remainder so the
// face count is exact. Below 1000 faces the model is one grid.
//
// The output depends only on (faces, seed): coordinates are integers in units of 1e-4 (UVs
// 1e-5) before they are written, the randomness is a fixed 64-bit generator, and sine and cosine
// are computed here with plain IEEE arithmetic, not by the C library. Build with
// -ffp-contract=off so that no fused multiply-add changes a rounding.

#include <algorithm>
#include <array>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>

namespace {

using u64 = std::uint64_t;
using i64 = std::int64_t;

// A number written as q / 10^decimals, with exactly `decimals` fractional digits.
struct Fixed {
  i64 q;
  int decimals;
};

// The document, buffered and written out in blocks of about 8 MiB.
struct Out {
  std::FILE* file;
  std::string buf;
  bool ok = true;

  void flush() {
    ok = ok && std::fwrite(buf.data(), 1, buf.size(), file) == buf.size();
    buf.clear();
  }
  void add(std::string_view s) { buf += s; }
  void add(u64 v) {
    char t[24];
    buf.append(t, std::to_chars(t, t + sizeof t, v).ptr);
  }
  void add(Fixed f) {
    u64 a = f.q < 0 ? 0 - static_cast<u64>(f.q) : static_cast<u64>(f.q);
    char frac[8];
    for (int i = f.decimals - 1; i >= 0; --i, a /= 10)
      frac[i] = static_cast<char>('0' + a % 10);
    put(f.q < 0 ? "-" : "", a, ".", std::string_view(frac, static_cast<std::size_t>(f.decimals)));
  }
  void put(const auto&... parts) { (add(parts), ...); }
  void line(const auto&... parts) {
    put(parts..., "\r\n");
    if (buf.size() >= (std::size_t{8} << 20)) flush();
  }
  void vertex(i64 x, i64 y, i64 z) {
    line("\t\t", Fixed{x, 4}, " ", Fixed{y, 4}, " ", Fixed{z, 4});
  }
  // One face line: N vertex indices, a material and N UV pairs in units of 1e-5.
  template <std::size_t N>
  void face(const u64 (&v)[N], u64 mat, const i64 (&uv)[2 * N]) {
    put(N == 3 ? "\t\t3 V(" : "\t\t4 V(");
    for (std::size_t i = 0; i < N; ++i)
      put(i > 0 ? " " : "", v[i]);
    put(") M(", mat, ") UV(");
    for (std::size_t i = 0; i < 2 * N; ++i)
      put(i > 0 ? " " : "", Fixed{uv[i], 5});
    line(")");
  }
};

struct Rng {  // splitmix64
  u64 state;
  u64 next() {
    u64 z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  i64 symmetric(i64 range) {  // uniform in [-range, range]
    if (range <= 0) return 0;
    return static_cast<i64>(next() % static_cast<u64>(2 * range + 1)) - range;
  }
};

u64 mix(u64 a, u64 b) {
  return Rng{a * 0x2545F4914F6CDD1DULL ^ b}.next();
}

// Stream tags, so that each object draws its own random numbers.
constexpr u64 kTagGrid = 0x6772696400000000;
constexpr u64 kTagPatch = 0x7061746368000000;
constexpr u64 kTagSphere = 0x7370686572650000;
constexpr u64 kMaterials = 6;

// sin (first = x, odd = 1) or cos (first = 1, odd = 0) of |x| <= pi/4 by its Taylor series.
double series(double x, double first, int odd) {
  const double x2 = x * x;
  double term = first;
  double sum = first;
  for (int k = 1; k <= 8; ++k) {
    term = -term * x2 / static_cast<double>((2 * k - 1 + odd) * (2 * k + odd));
    sum += term;
  }
  return sum;
}

// sin and cos of the angle 2*pi*num/den, reduced to an octant with exact integer arithmetic.
std::pair<double, double> sincos_turn(i64 num, i64 den) {
  num %= den;
  const i64 q = (8 * num + den) / (2 * den);  // the nearest quarter turn
  const double r = 2.0 * 3.14159265358979323846 * static_cast<double>(4 * num - q * den) /
                   static_cast<double>(4 * den);
  const double sr = series(r, r, 1);
  const double cr = series(r, 1.0, 0);
  const std::array<double, 4> v = {sr, cr, -sr, -cr};
  return {v[static_cast<std::size_t>(q & 3)], v[static_cast<std::size_t>((q + 1) & 3)]};
}

i64 to_units(double v) {
  return static_cast<i64>(std::floor(v * 10000.0 + 0.5));
}

// round(num / den * 1e5) for num >= 0, den > 0: a UV coordinate in units of 1e-5.
i64 uv_units(i64 num, i64 den) {
  return (num * 200000 + den) / (2 * den);
}

constexpr std::string_view kHeader =
    "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\nScene {\r\n"
    "\tpos 0.0000 0.0000 1500.0000\r\n\tlookat 0.0000 0.0000 0.0000\r\n\thead -0.5236\r\n"
    "\tpich 0.5236\r\n\tortho 0\r\n\tzoom2 5.0000\r\n\tamb 0.250 0.250 0.250\r\n}\r\n"
    "Material 6 {\r\n"
    "\t\"mat1\" col(1.000 1.000 1.000 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) "
    "power(5.00) tex(\"wood.bmp\")\r\n"
    "\t\"mat2\" col(0.800 0.200 0.100 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) "
    "power(5.00)\r\n"
    "\t\"mat3\" col(0.200 0.550 0.900 1.000) dif(0.750) amb(0.500) emi(0.000) spc(0.250) "
    "power(12.00) tex(\"tiles_diffuse.png\")\r\n"
    "\t\"mat4\" col(0.300 0.800 0.300 0.600) dif(0.700) amb(0.500) emi(0.100) spc(0.300) "
    "power(30.00)\r\n"
    "\t\"mat5\" col(0.900 0.850 0.700 1.000) dif(0.900) amb(0.400) emi(0.000) spc(0.050) "
    "power(3.00) tex(\"brick.jpg\")\r\n"
    "\t\"glass\" col(0.850 0.950 1.000 0.350) dif(0.300) amb(0.300) emi(0.000) spc(0.900) "
    "power(80.00)\r\n}\r\n";

// Whether every object is written as a Catmull-Clark surface (--patch).
bool catmull_clark = false;

void object_start(Out& o, std::string_view name, std::string_view color) {
  o.line("Object \"", name,
         "\" {\r\n\tdepth 0\r\n\tfolding 0\r\n\tscale 1.000000 1.000000 1.000000\r\n"
         "\trotation 0.000000 0.000000 0.000000\r\n\ttranslation 0.000000 0.000000 0.000000\r\n"
         "\tvisible 15\r\n\tlocking 0\r\n\tshading 1\r\n\tfacet 59.5\r\n\tcolor ",
         color, "\r\n\tcolor_type 0");
  if (catmull_clark) o.line("\tpatch 3\r\n\tsegment 1");
}

// A grid of `faces` quads, about 1600 x 1600 units whatever its resolution, in rows `width`
// quads wide; each vertex moves by up to a tenth of a cell in the plane and 0.5 units across.
u64 grid(Out& o, std::string_view name, u64 faces, u64 variant, u64 seed) {
  constexpr std::array<std::string_view, 3> kColors = {"0.898 0.498 0.698", "0.498 0.698 0.898",
                                                       "0.698 0.898 0.498"};
  object_start(o, name, kColors[variant]);
  const auto width =
      std::max<u64>(1, static_cast<u64>(std::ceil(std::sqrt(static_cast<double>(faces)))));
  const u64 rem = faces % width;
  const u64 nverts = (faces / width + 1) * (width + 1) + (rem > 0 ? rem + 1 : 0);
  const auto wi = static_cast<i64>(width);
  const auto hi = static_cast<i64>(faces / width + (rem > 0 ? 1 : 0));  // rows of quads
  const i64 extent = 1600 * 10000;
  const i64 step = std::max<i64>(1, extent / wi);
  const i64 origin_a = -extent / 2 + (variant == 2 ? 300 * 10000 : 0);
  const i64 plane = variant == 1 ? -450 * 10000 : variant == 2 ? 820 * 10000 + 1234 : 0;
  Rng rng{mix(seed, kTagGrid + variant)};
  o.line("\tvertex ", nverts, " {");
  for (u64 i = 0; i < nverts; ++i) {
    const i64 a = origin_a + static_cast<i64>(i % (width + 1)) * step + rng.symmetric(step / 10);
    const i64 b = -extent / 2 + static_cast<i64>(i / (width + 1)) * step + rng.symmetric(step / 10);
    const i64 h = plane + rng.symmetric(5000);
    if (variant == 1) {
      o.vertex(a, b, h);  // a wall in the XY plane, behind the scene
    } else {
      o.vertex(a, h, b);  // a floor or ceiling in the XZ plane
    }
  }
  o.line("\t}");
  // Materials come in 8x8 patches of faces, picked by a hash of the patch.
  o.line("\tface ", faces, " {");
  const u64 patch_seed = mix(seed, kTagPatch + variant);
  for (u64 f = 0; f < faces; ++f) {
    const u64 r = f / width;
    const u64 c = f % width;
    const u64 base = r * (width + 1) + c;
    const u64 v[4] = {base, base + 1, base + width + 2, base + width + 1};
    const auto ci = static_cast<i64>(c);
    const auto ri = static_cast<i64>(r);
    const i64 uv[8] = {uv_units(ci, wi), uv_units(ri, hi),     uv_units(ci + 1, wi),
                       uv_units(ri, hi), uv_units(ci + 1, wi), uv_units(ri + 1, hi),
                       uv_units(ci, wi), uv_units(ri + 1, hi)};
    o.face(v, mix(patch_seed, ((r >> 3) << 32) | (c >> 3)) % kMaterials, uv);
  }
  o.line("\t}\r\n}");
  return faces;
}

// A UV sphere of about `target` faces: `rings` bands of latitude, 2 * rings slices.
u64 sphere(Out& o, std::string_view name, u64 target, u64 variant, u64 seed) {
  constexpr std::array<std::string_view, 3> kColors = {"0.498 0.898 0.898", "0.898 0.898 0.498",
                                                       "0.898 0.698 0.498"};
  constexpr std::array<std::array<double, 4>, 3> kPlace = {
      {{-520.0, 260.0, 140.0, 240.0}, {430.0, 180.0, -260.0, 175.5}, {60.0, 520.0, 470.0, 96.25}}};
  object_start(o, name, kColors[variant]);
  const auto [cx, cy, cz, radius] = kPlace[variant];
  const auto rings = std::max<u64>(
      3, static_cast<u64>(std::floor(std::sqrt(static_cast<double>(target) / 2.0) + 0.5)));
  const auto ri = static_cast<i64>(rings);
  const i64 si = 2 * ri;
  const u64 nverts = 2 + (rings - 1) * 2 * rings;
  // A slight, seeded bulge keeps each sphere a little different from the textbook one.
  Rng rng{mix(seed, kTagSphere + variant)};
  const double squash = 1.0 + static_cast<double>(rng.symmetric(500)) / 10000.0;
  o.line("\tvertex ", nverts, " {");
  o.vertex(to_units(cx), to_units(cy + radius * squash), to_units(cz));
  for (i64 i = 1; i < ri; ++i) {
    const auto [st, ct] = sincos_turn(i, 2 * ri);  // polar angle pi * i / rings
    for (i64 j = 0; j < si; ++j) {
      const auto [sp, cp] = sincos_turn(j, si);
      o.vertex(to_units(cx + radius * st * cp), to_units(cy + radius * squash * ct),
               to_units(cz + radius * st * sp));
    }
  }
  o.vertex(to_units(cx), to_units(cy - radius * squash), to_units(cz));
  o.line("\t}");
  // Materials run in bands of latitude; a seeded offset varies them between spheres.
  const u64 mat_offset = rng.next() % kMaterials;
  auto band = [&](i64 ring) { return (static_cast<u64>(ring) * 4 / rings + mat_offset) % 6; };
  auto at = [&](i64 ring, i64 j) { return static_cast<u64>(1 + (ring - 1) * si + j % si); };
  o.line("\tface ", rings * 2 * rings, " {");
  for (i64 j = 0; j < si; ++j) {  // the cap around the north pole
    const u64 v[3] = {0, at(1, j + 1), at(1, j)};
    const i64 uv[6] = {uv_units(2 * j + 1, 2 * si),
                       0,
                       uv_units(j + 1, si),
                       uv_units(1, ri),
                       uv_units(j, si),
                       uv_units(1, ri)};
    o.face(v, band(0), uv);
  }
  for (i64 i = 1; i + 1 < ri; ++i) {  // a band of quads between neighbouring rings
    for (i64 j = 0; j < si; ++j) {
      const u64 v[4] = {at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i + 1, j)};
      const i64 uv[8] = {uv_units(j, si), uv_units(i, ri),     uv_units(j + 1, si),
                         uv_units(i, ri), uv_units(j + 1, si), uv_units(i + 1, ri),
                         uv_units(j, si), uv_units(i + 1, ri)};
      o.face(v, band(i), uv);
    }
  }
  for (i64 j = 0; j < si; ++j) {  // the cap around the south pole
    const u64 v[3] = {at(ri - 1, j), at(ri - 1, j + 1), nverts - 1};
    const i64 uv[6] = {uv_units(j, si),      uv_units(ri - 1, ri),        uv_units(j + 1, si),
                       uv_units(ri - 1, ri), uv_units(2 * j + 1, 2 * si), 100000};
    o.face(v, band(ri - 1), uv);
  }
  o.line("\t}\r\n}");
  return rings * 2 * rings;
}

int generate(u64 faces, u64 seed, const char* path) {
  Out o{std::fopen(path, "wb"), {}};
  if (o.file == nullptr) {
    std::fprintf(stderr, "generate_mqo: cannot open %s for writing\n", path);
    return 1;
  }
  o.buf.reserve((std::size_t{8} << 20) + 4096);
  o.put(kHeader);
  // About 25/20/15/15/10/15 % of the faces; each sphere stays within a few percent of its
  // share, so the last grid always has faces left to take.
  u64 used = 0;
  if (faces >= 1000) {
    used += grid(o, "grid1", faces * 25 / 100, 0, seed);
    used += sphere(o, "sphere1", faces * 20 / 100, 0, seed);
    used += grid(o, "grid2", faces * 15 / 100, 1, seed);
    used += sphere(o, "sphere2", faces * 15 / 100, 1, seed);
    used += sphere(o, "sphere3", faces * 10 / 100, 2, seed);
  }
  grid(o, used > 0 ? "grid3" : "grid1", faces - used, used > 0 ? 2 : 0, seed);
  o.line("Eof");
  o.flush();
  if (std::fclose(o.file) != 0 || !o.ok) {
    std::fprintf(stderr, "generate_mqo: write error on %s\n", path);
    return 1;
  }
  return 0;
}

// --check reads a document back with code of its own: a cursor over the current line.
struct Line {
  std::string_view s;
  bool eat(std::string_view t) {
    if (!s.starts_with(t)) return false;
    s.remove_prefix(t.size());
    return true;
  }
  bool uint(u64& v) {
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), v);
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    return error == std::errc();
  }
  bool fixed(std::size_t decimals) {  // -?digits.digits, exactly `decimals` after the point
    u64 v = 0;
    eat("-");
    if (!uint(v) || !eat(".")) return false;
    const std::size_t before = s.size();
    return uint(v) && before - s.size() == decimals;
  }
  bool list(u64 n, std::string_view sep, auto item) {
    for (u64 i = 0; i < n; ++i) {
      if ((i > 0 && !eat(sep)) || !item()) return false;
    }
    return true;
  }
};

int check(const char* path, u64 want, bool have_want) {
  std::ostringstream read;
  read << std::ifstream(path, std::ios::binary).rdbuf();
  const std::string text = std::move(read).str();
  std::size_t pos = 0, lineno = 0;
  std::string_view l;
  auto next = [&] {  // the next line, which must end in CRLF and hold no other CR
    const std::size_t end = text.find('\n', pos);
    ++lineno;
    if (end != std::string::npos && end > pos && text[end - 1] == '\r') {
      l = std::string_view(text).substr(pos, end - 1 - pos);
      pos = end + 1;
      if (l.find('\r') == std::string_view::npos) return true;
    }
    l = {};
    pos = std::string::npos;  // and every later call fails too
    return false;
  };
  auto fail = [&](const char* what) {
    std::fprintf(stderr, "check: line %zu: %s\n", lineno, what);
    return 1;
  };
  if (!next() || l != "Metasequoia Document" || !next() || l != "Format Text Ver 1.0" || !next() ||
      !l.empty()) {
    return fail("not an MQO text document with CRLF line ends");
  }
  u64 materials = 0, objects = 0, vertices = 0, faces = 0, triangles = 0;
  while (next() && l != "Eof") {
    Line h{l};
    u64 n = 0;
    if (l == "Scene {") {
      while (next() && l != "}") {
      }
    } else if (h.eat("Material ") && h.uint(materials) && h.s == " {") {
      for (u64 k = 0; k < materials; ++k) {
        if (!next() || !l.starts_with("\t\"")) return fail("malformed material line");
      }
      if (!next() || l != "}") return fail("material count mismatch");
    } else if (h.eat("Object \"") && h.s.ends_with("\" {")) {
      ++objects;
      u64 nverts = 0;  // no face may come before the vertices
      while (next() && l != "}") {
        Line c{l};
        if (c.eat("\tvertex ") && c.uint(n) && c.s == " {") {
          for (u64 k = 0; k < n; ++k) {
            Line v = next() ? Line{l} : Line{};
            if (!v.eat("\t\t") || !v.list(3, " ", [&] { return v.fixed(4); }) || !v.s.empty()) {
              return fail("malformed vertex line (or a vertex count too large)");
            }
          }
          nverts = n;
          vertices += n;
        } else if (c.eat("\tface ") && c.uint(n) && c.s == " {") {
          for (u64 k = 0; k < n; ++k) {
            Line v = next() ? Line{l} : Line{};
            u64 arity = 0, m = 0, idx[4] = {};
            std::size_t i = 0;
            auto index = [&] {  // in range, and not repeated within the face
              const bool ok =
                  v.uint(idx[i]) && idx[i] < nverts && std::find(idx, idx + i, idx[i]) == idx + i;
              ++i;
              return ok;
            };
            if (!v.eat("\t\t") || !v.uint(arity) || (arity != 3 && arity != 4) || !v.eat(" V(") ||
                !v.list(arity, " ", index) || !v.eat(") M(") || !v.uint(m) || m >= materials ||
                !v.eat(") UV(") || !v.list(2 * arity, " ", [&] { return v.fixed(5); }) ||
                v.s != ")") {
              return fail("malformed face line (or a face count too large)");
            }
            triangles += arity == 3;
          }
          faces += n;
        } else if (l.find('{') != std::string_view::npos) {
          return fail("unexpected chunk in an object");
        } else {
          continue;
        }
        if (!next() || l != "\t}") return fail("count does not match the lines that follow");
      }
    } else {
      return fail("unexpected line");
    }
  }
  if (l != "Eof" || pos != text.size() || materials == 0) {
    return fail("a bad line end, an unclosed chunk, no Material table or no Eof at the end");
  }
  if (have_want && faces != want) {
    std::fprintf(stderr, "check: %" PRIu64 " faces, %" PRIu64 " expected\n", faces, want);
    return 1;
  }
  std::printf("ok: %zu bytes, %zu lines, %" PRIu64 " materials, %" PRIu64 " objects, %" PRIu64
              " vertices, %" PRIu64 " faces (%" PRIu64 " triangles)\n",
              text.size(), lineno, materials, objects, vertices, faces, triangles);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  u64 faces = 0, seed = 1;
  bool have_faces = false;
  const char* check_path = nullptr;
  const char* out = nullptr;
  bool ok = true;
  for (int i = 1; i < argc && ok; ++i) {
    auto number = [&](u64& v) {
      Line n{argv[++i]};
      return n.uint(v) && n.s.empty();
    };
    const std::string_view a = argv[i];
    if (a == "--faces" && i + 1 < argc) {
      ok = have_faces = number(faces);
    } else if (a == "--seed" && i + 1 < argc) {
      ok = number(seed);
    } else if (a == "--patch") {
      catmull_clark = true;
    } else if (a == "--check" && i + 1 < argc) {
      check_path = argv[++i];
    } else {
      ok = !a.starts_with("-") && out == nullptr;
      out = argv[i];
    }
  }
  if (ok && check_path != nullptr && out == nullptr) return check(check_path, faces, have_faces);
  if (ok && check_path == nullptr && out != nullptr && faces > 0) {
    return generate(faces, seed, out);
  }
  std::fprintf(stderr,
               "usage: generate_mqo --faces N [--seed S] [--patch] OUT.mqo\n"
               "       generate_mqo --check FILE [--faces N]\n");
  return 2;
}
