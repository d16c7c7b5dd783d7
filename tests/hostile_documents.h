// Documents built to make the reader spend time and memory: declared counts far beyond the text,
// counts with nothing left to read, and patterns that give the most records per byte. Each row
// says what loading must give and what it may cost; the resource test loads each at 1 MiB, and
// make_stress_document writes one at any size for scripts/measure-resources.sh.
#pragma once

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "reader/model.h"
#include "writer/bake.h"

inline const std::string kHostileHead = "Metasequoia Document\nFormat Text Ver 1.0\n\n";

// `text` followed by as many `unit`s as fit in `size` bytes with `tail` after them.
inline std::string Fill(std::string text, std::string_view unit, size_t size,
                        std::string_view tail = "") {
  while (text.size() + unit.size() + tail.size() <= size)
    text += unit;
  return text += tail;
}

inline std::string Repeat(std::string_view unit, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i)
    text += unit;
  return text;
}

struct HostileDocument {
  const char* name;
  std::string (*text)(size_t size);  // at most `size` bytes; some rows are of a fixed size
  LoadResult result;
  long bytesPerByte;  // memory the load may keep and its writes take, per byte (0: 50 MiB in all)
  // Baked before it is written, with that memory to count on: how baking must end.
  BakeOptions bake = {};
  WriteCause baked = kWriteCauseNone;
};

// The head and `body`, then blank lines up to 1 KiB.
inline std::string Kib(const std::string& body) {
  return Fill(kHostileHead + body, "\n", 1024);
}

// A declared count as large as the budget allows, then blank lines up to `size`.
inline std::string DeclaredCount(const std::string& chunk, const std::string& tail, size_t size) {
  const size_t count = size - kHostileHead.size() - chunk.size() - tail.size() - 24;
  return Fill(kHostileHead + chunk + std::to_string(count) + " {\n", "\n", size, tail);
}

inline const HostileDocument kHostileDocuments[] = {
    {"2,000,000,000 vertices declared",
     [](size_t) { return Kib("Object \"o\" {\n vertex 2000000000 {\n"); }, kLoadUnreadable, 0},
    {"2,000,000,000 materials declared",
     [](size_t) { return Kib("Material 2000000000 {\n \"m\"\n"); }, kLoadUnreadable, 0},
    {"a face of 2,000,000,000 corners",
     [](size_t) { return Kib("Object \"o\" {\n face 1 {\n 2000000000 V(0"); }, kLoadUnreadable, 0},
    {"2,000,000,000 faces declared, one made",
     [](size_t) { return Kib("Object \"o\" {\n face 2000000000 {\n  3 V(0 1 2)\n }\n}\n"); },
     kLoadOk, 0},
    {"400 objects declaring 4,000,000 faces each, after a megabyte of vertices",
     [](size_t) {
       return kHostileHead + "Object \"big\" {\n vertex 30000 {\n" +
              Repeat("  1.000000 1.000000 2.000000\n", 30000) + " }\n}\n" +
              Repeat("Object \"o\" {\n face 4000000 {\n  1 V(0)\n }\n}\n", 400);
     },
     kLoadOk, 0},
    // A corner count past the declared faces is not charged: its values are not read two billion
    // times at the end of the text.
    {"V of 2,000,000,000 corners past the declared faces",
     [](size_t) { return kHostileHead + "Object \"o\" {\n face 0 {\n  2000000000 V(0 1 2)"; },
     kLoadOk, 0},
    {"UV of 2,000,000,000 corners past the declared faces",
     [](size_t) { return kHostileHead + "Object \"o\" {\n face 0 {\n  2000000000 UV(0 1 2)"; },
     kLoadOk, 0},
    // Missing coordinates repeat the last token, here as long as the text: it is parsed once.
    {"count-quoted",
     [](size_t size) {
       return Fill(kHostileHead + "Object \"o\" {\n vertex " + std::to_string(size / 8) + " {\n\"",
                   "7", size);
     },
     kLoadOk, 16},
    {"quoted", [](size_t size) { return Fill(kHostileHead + "\"", "q", size); }, kLoadOk, 16},
    {"delimiters", [](size_t size) { return Fill(kHostileHead, ";,\n()", size); }, kLoadOk, 16},
    {"corners",  // one face whose corners are all its vertices, 68 bytes of text a corner
     [](size_t size) {
       const size_t n = size / 70;
       return kHostileHead + "Object \"f\" {\n vertex " + std::to_string(n) + " {\n" +
              Repeat("  0.123456789012345 0.234567890123456 0.345678901234567\n", n) +
              " }\n face 1 {\n  " + std::to_string(n) + " V(" + Repeat("0 ", n) + ") UV(" +
              Repeat("0.5 0.5 ", n) + ")\n }\n}\n";
     },
     kLoadOk, 16},
    {"objects",
     [](size_t size) {
       return Fill(kHostileHead, "Object \"obj\" {\n\tdepth 0\n\tfolding 0\n\tscale 1 1 1\n}\n",
                   size);
     },
     kLoadOk, 16},
    {"tiny-faces",  // a face, a corner and a record (written twice) per 2 bytes
     [](size_t size) {
       return Fill(kHostileHead + "Object \"o\" {\n face " + std::to_string(size / 2) + " {\n",
                   "1\n", size);
     },
     kLoadOk, 64},
    {"fan",  // faces of as many directions around one vertex, a smoothing angle that joins none
     [](size_t size) {
       const size_t n = size / 56;
       std::string text = kHostileHead;  // appended piece by piece: no temporary strings
       text += "Object \"o\" {\n facet 0.001\n vertex ";
       text += std::to_string(n + 1);
       text += " {\n 0 0 0\n";
       for (size_t i = 0; i < n; ++i) {  // a spiral over the sphere
         const double z = 1 - 2 * (static_cast<double>(i) + 0.5) / static_cast<double>(n);
         const double r = std::sqrt(1 - z * z), a = 2.399963229728653 * static_cast<double>(i);
         for (const double c : {r * std::cos(a), r * std::sin(a), z})
           (text += ' ') += std::to_string(c);
         text += '\n';
       }
       (text += " }\n face ") += std::to_string(n - 1);
       text += " {\n";
       for (size_t i = 1; i < n; ++i)
         ((((text += " 3 V(0 ") += std::to_string(i)) += ' ') += std::to_string(i + 1)) += ")\n";
       return text += " }\n}\n";
     },
     kLoadOk, 0},
    {"materials",  // a 104-byte entry per byte
     [](size_t size) { return DeclaredCount("Material ", "}\nEof\n", size); }, kLoadOk, 160},
    {"vertices",  // a vertex and its smooth normal per byte
     [](size_t size) { return DeclaredCount("Object \"o\" {\n vertex ", " }\n}\nEof\n", size); },
     kLoadOk, 48},
    // The largest surface the text can declare (a quad a 13 bytes, on four vertices) refined four
    // levels: 64 quads a corner, more than its memory allows, refused before refining.
    {"subdivision bomb",
     [](size_t size) {
       return Fill(kHostileHead +
                       "Object \"cc\" {\n patch 3\n segment 4\n vertex 4 {\n0 0 0\n1 0 0\n"
                       "1 1 0\n0 1 0\n }\n face " +
                       std::to_string(size / 13) + " {\n",
                   "4 V(0 1 2 3)\n", size, " }\n}\n");
     },
     kLoadOk, 64, BakeOptions{false, false, true}, kWriteCauseTooLargeForMemory},
    // A profile edge every 9 bytes turned 256 steps both ways: 512 records an edge, past 4 GiB.
    {"lathe bomb",
     [](size_t size) {
       return Fill(kHostileHead +
                       "Object \"body\" {\n lathe 3\n lathe_seg 256\n vertex 2 {\n1 0 0\n"
                       "1 1 0\n }\n face " +
                       std::to_string(size / 9) + " {\n",
                   "2 V(0 1)\n", size, " }\n}\n");
     },
     kLoadOk, 64, BakeOptions{true, false, false}, kWriteCauseTooLarge},
    // The same at a size that fits: a profile edge every 9 bytes turned 3 steps one way, and a
    // surface of separate quads refined once, both written whole.
    {"lathe within bounds",
     [](size_t size) {
       return Fill(kHostileHead +
                       "Object \"body\" {\n lathe 1\n vertex 2 {\n1 0 0\n"
                       "1 1 0\n }\n face " +
                       std::to_string(size / 9) + " {\n",
                   "2 V(0 1)\n", size, " }\n}\n");
     },
     kLoadOk, 64, BakeOptions{true, false, false}, kWriteCauseNone},
    {"subdivision within bounds",
     [](size_t size) {
       std::string text = kHostileHead + "Object \"cc\" {\n patch 3\n vertex " +
                          std::to_string(size / 60 * 4) + " {\n";
       text += Repeat("0 0 0\n1 0 0\n1 1 0\n0 1 0\n", size / 60);
       text += " }\n face " + std::to_string(size / 60) + " {\n";
       for (size_t i = 0; i < size / 60; ++i)
         text += "4 V(" + std::to_string(4 * i) + " " + std::to_string(4 * i + 1) + " " +
                 std::to_string(4 * i + 2) + " " + std::to_string(4 * i + 3) + ")\n";
       return text + " }\n}\n";
     },
     kLoadOk, 64, BakeOptions{false, false, true}, kWriteCauseNone},
};
