// The document, material and object readers: each case is a document and the model it must give.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "tests/test_support.h"

namespace {

const std::string kHead = "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n";

struct Case {
  const char* name;
  std::string text;
  std::string model;  // Describe() of the result; a failed load leaves the model empty
};

void Check(const Case& c, LoadResult expected = kLoadOk) {
  Model model;
  EXPECT_EQ(LoadText(model, c.text), expected) << c.name;
  EXPECT_EQ(Describe(model), expected == kLoadOk ? c.model : "textures 0\n") << c.name;
}

TEST(DocumentReader, HeaderAndTopLevel) {
  const Case cases[] = {
      {"two materials, two objects, last object first",
       kHead +
           "Scene {\r\n pos 0 0 1500\r\n}\r\nMaterial 2 {\r\n \"a\" col(1 0 0 1)\r\n \"b\" col(0 1 "
           "0 1)\r\n}\r\n"
           "Object \"first\" {\r\n vertex 3 {\r\n 0 0 0\r\n 1 0 0\r\n 0 1 0\r\n }\r\n face 1 {\r\n"
           "  3 V(0 1 2) M(1)\r\n }\r\n}\r\nObject \"second\" {\r\n}\r\nEof\r\n",
       "textures 0\nmaterial \"a\" col 1 0 0 1\nmaterial \"b\" col 0 1 0 1\n"
       "object \"second\" vertices 0 faces 0:\nobject \"first\" vertices 3 faces 1: 3[0 1 2]m1\n"},
      {"header keyword in any case, no Eof", "METASEQUOIA\nObject \"x\" {\n}\n",
       "textures 0\nobject \"x\" vertices 0 faces 0:\n"},
      {"text after Eof is ignored", kHead + "Eof\r\nObject \"late\" {\r\n}\r\n", "textures 0\n"},
      {"unknown chunks are skipped whole",
       kHead + "MaterialEx2 1 {\n material 0 {\n  shadermappingparam {\n  }\n }\n}\n"
               "Thumbnail 2 2 24 { 00ff }\nObject \"o\" {\n}\nBackImage {\n eof 1\n}\nEof\n",
       "textures 0\nobject \"o\" vertices 0 faces 0:\n"},
      {"a stray closing brace at the top never goes below zero",
       kHead + "}\n}\nObject \"o\" {\n}\n", "textures 0\nobject \"o\" vertices 0 faces 0:\n"},
      {"a quoted brace is no brace", kHead + "IncludeXml \"}\"\nObject \"o\" {\n}\n",
       "textures 0\nobject \"o\" vertices 0 faces 0:\n"},
  };
  for (const Case& c : cases)
    Check(c);
}

TEST(DocumentReader, NotMqo) {
  const Case cases[] = {
      {"empty text", "", ""},
      {"leading line feed", "\nMetasequoia Document\n", ""},
      {"byte-order mark", "\xEF\xBB\xBFMetasequoia Document\n", ""},
      {"other first word", "Meta sequoia\n", ""},
      {"zip archive", std::string("PK\x03\x04\x14\0", 6), ""},
  };
  for (const Case& c : cases)
    Check(c, kLoadNotMqo);
}

TEST(MaterialReader, Materials) {
  const Case cases[] = {
      {"properties and texture",
       kHead +
           "Material 1 {\n \"w\" col(0.5 0.25 1.000 0.8) dif(0.8) amb(0.6) tex(\"Wood.BMP\")\n}\n",
       "textures 1\nmaterial \"w\" tex 0 \"Wood.BMP\" col 0.5 0.25 1 0.8\n"},
      {"unquoted tex arrives lower-cased", kHead + "Material 1 {\n \"w\" tex(WOOD.bmp)\n}\n",
       "textures 1\nmaterial \"w\" tex 0 \"wood.bmp\" col 1 1 1 1\n"},
      {"tex twice: two numbers, the second kept",
       kHead + "Material 2 {\n \"a\" tex(\"1.bmp\") tex(\"2.bmp\")\n \"b\" tex(\"3.bmp\")\n}\n",
       "textures 3\nmaterial \"a\" tex 1 \"2.bmp\" col 1 1 1 1\nmaterial \"b\" tex 2 \"3.bmp\" col "
       "1 1 1 1\n"},
      {"a second chunk replaces the table and restarts numbering",
       kHead + "Material 1 {\n \"a\" tex(\"1.bmp\")\n}\nMaterial 1 {\n \"b\" tex(\"2.bmp\")\n}\n",
       "textures 1\nmaterial \"b\" tex 0 \"2.bmp\" col 1 1 1 1\n"},
      {"empty table", kHead + "Material 0 {\n}\n", "textures 0\n"},
      {"no col stays white; unnamed entries stay default",
       kHead + "Material 3 {\n \"a\" dif(0.5)\n}\n",
       "textures 0\nmaterial \"a\" col 1 1 1 1\nmaterial \"\" col 1 1 1 1\nmaterial \"\" col 1 1 1 "
       "1\n"},
      {"quoted arguments of other properties open no material",
       kHead +
           "Material 2 {\n \"a\" col(1 0 0 1) bump(\"b.png\") aplane(\"c.png\") tex(\"t.png\")\n"
           " \"b\" col(0 0 1 1)\n}\n",
       "textures 1\nmaterial \"a\" tex 0 \"t.png\" col 1 0 0 1\nmaterial \"b\" col 0 0 1 1\n"},
      {"names beyond the declared count are dropped with their properties",
       kHead + "Material 1 {\n \"a\" col(1 0 0 1)\n \"b\" col(0 1 0 1) tex(\"x.bmp\")\n}\n",
       "textures 0\nmaterial \"a\" col 1 0 0 1\n"},
      {"properties before the first name are skipped",
       kHead + "Material 1 {\n col(0 0 0 0) tex(\"x.bmp\") \"a\"\n}\n",
       "textures 0\nmaterial \"a\" col 1 1 1 1\n"},
      {"negative count reads as zero", kHead + "Material -3 {\n \"a\" col(0 0 0 0)\n}\n",
       "textures 0\n"},
      {"a long absolute texture path stays one token",
       kHead + "Material 2 {\n \"a\" "
               "tex(\"C:\\\\Users\\\\modeller\\\\Documents\\\\Metasequoia\\\\textures\\\\"
               "very_long_texture_file_name_for_the_body.png\")\n \"b\" col(0 1 0 1)\n}\n",
       "textures 1\nmaterial \"a\" tex 0 "
       "\"C:\\\\Users\\\\modeller\\\\Documents\\\\Metasequoia\\\\textures\\\\"
       "very_long_texture_file_name_for_the_body.png\" col 1 1 1 1\nmaterial \"b\" col 0 1 0 1\n"},
      {"a quoted name starting with a brace is a name",
       kHead + "Material 1 {\n \"}x\" col(0 1 0 1)\n}\n",
       "textures 0\nmaterial \"}x\" col 0 1 0 1\n"},
  };
  for (const Case& c : cases)
    Check(c);
}

std::string Object(const std::string& body) {
  return kHead + "Object \"o\" {\n" + body + "}\nEof\n";
}
std::string Faces(const std::string& faces) {
  return Object(" vertex 4 {\n 0 0 0\n 1 0 0\n 1 1 0\n 0 1 0\n }\n face 9 {\n" + faces + " }\n");
}
std::string Expect(const std::string& faces, int count) {
  return "textures 0\nobject \"o\" vertices 4 faces " + std::to_string(count) + ":" + faces + "\n";
}

TEST(ObjectReader, ObjectsAndVertices) {
  const Case cases[] = {
      {"no vertex chunk, no face chunk", Object(" depth 0\n"),
       "textures 0\nobject \"o\" vertices 0 faces 0:\n"},
      {"unquoted name is lower-cased", kHead + "Object Body {\n}\n",
       "textures 0\nobject \"body\" vertices 0 faces 0:\n"},
      {"quoted name keeps case", kHead + "Object \"Big Body\" {\n}\n",
       "textures 0\nobject \"Big Body\" vertices 0 faces 0:\n"},
      {"a second vertex chunk replaces the first",
       Object(" vertex 1 {\n 0 0 0\n }\n vertex 2 {\n 1 1 1\n 2 2 2\n }\n"),
       "textures 0\nobject \"o\" vertices 2 faces 0:\n"},
      {"negative vertex count reads none", Object(" vertex -5 {\n }\n"),
       "textures 0\nobject \"o\" vertices 0 faces 0:\n"},
      {"nested unknown chunks are skipped whole",
       Object(" vertex 1 {\n 0 0 0\n }\n vertexattr {\n  uid {\n   1\n  }\n }\n face 1 {\n  1 "
              "V(0)\n }\n"),
       "textures 0\nobject \"o\" vertices 1 faces 1: 1[0]m0\n"},
      {"keywords inside nested chunks mean nothing",
       Object(" vertexattr {\n  face 1 {\n  }\n }\n vertex 1 {\n 0 0 0\n }\n"),
       "textures 0\nobject \"o\" vertices 1 faces 0:\n"},
  };
  for (const Case& c : cases)
    Check(c);

  Model model;
  ASSERT_EQ(LoadText(model, Object(" vertex 2 {\n 1.5 -2 3e1\n 4d-1 .5 -0\n }\n")), kLoadOk);
  const auto& v = model.objects.at(0).vertices;
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].x, 1.5f);
  EXPECT_EQ(v[0].y, -2.0f);
  EXPECT_EQ(v[0].z, 30.0f);
  EXPECT_EQ(v[1].x, 0.4f);
  EXPECT_EQ(v[1].y, 0.5f);
  EXPECT_TRUE(std::signbit(v[1].z));
  EXPECT_EQ(v[1].w, 1.0f);
}

TEST(ObjectReader, FaceLines) {
  const Case cases[] = {
      {"usual face line", Faces("  4 V(0 1 2 3) M(1) UV(0 0 1 0 1 1 0 1)\n"),
       Expect(" 4[0 1 2 3]m1", 1)},
      {"no M keeps material 0", Faces("  3 V(0 1 2)\n"), Expect(" 3[0 1 2]m0", 1)},
      {"keywords in capitals", Faces("  3 v(0 1 2) m(2) uv(0 0 0 0 0 0)\n"),
       Expect(" 3[0 1 2]m2", 1)},
      {"COL, UID and N are skipped with their values",
       Faces("  3 V(0 1 2) UID(2) M(1) N(0 0 1 0 0 1 0 0 1) COL(4278190080 1 1)\n"),
       Expect(" 3[0 1 2]m1", 1)},
      {"UV before UID on the same line", Faces("  3 V(0 1 2) M(0) UV(0 0 1 0 1 1) UID(7)\n"),
       Expect(" 3[0 1 2]m0", 1)},
      {"a property left open loses only its line", Faces("  3 V(0 1 2) COL(1 1\n  3 V(1 2 3)\n"),
       Expect(" 3[0 1 2]m0 3[1 2 3]m0", 2)},
      {"a word sets n to 0: UV reads nothing and its values become faces",
       Faces("  3 V(0 1 2) X UV(0 0 1 0 1 1)\n"), Expect(" 3[0 1 2]m0 1[0]m0 1[0]m0 1[0]m0", 4)},
      {"UV on the next line reads nothing", Faces("  3 V(0 1 2)\n UV(0 0 1 0 1 1)\n"),
       Expect(" 3[0 1 2]m0 1[0]m0 1[0]m0 1[0]m0", 4)},
      {"extra V numbers fall to the loop", Faces("  2 V(0 1 2 3)\n"),
       Expect(" 2[0 1]m0 2[0 0]m0 3[0 0 0]m0", 3)},
      {"M before the first face leaves its argument to the loop", Faces("  M(2) 3 V(0 1 2)\n"),
       Expect(" 2[0 0]m0 3[0 1 2]m0", 2)},
      {"a negative count sets n; M still sets the current face", Faces("  3 V(0 1 2) -1 M(3)\n"),
       Expect(" 3[0 1 2]m3", 1)},
      {"faces of 2 and of 7 corners are stored as written",
       Faces("  2 V(0 1)\n  7 V(0 1 2 3 0 1 2)\n"), Expect(" 2[0 1]m0 7[0 1 2 3 0 1 2]m0", 2)},
      {"a second face chunk replaces the first",
       Faces("  3 V(0 1 2)\n }\n face 1 {\n  3 V(1 2 3)\n"), Expect(" 3[1 2 3]m0", 1)},
      {"wrapping indices", Faces("  3 V(4294967295 4294967296 7)\n"), Expect(" 3[-1 0 7]m0", 1)},
  };
  for (const Case& c : cases)
    Check(c);
}

// Face lines as the modeller writes them are recognised by their bytes; written with a blank
// before each "(" (which reads as the same tokens) they take the token-by-token reading. Random
// chunks of usual and unusual lines, cut at random places, must give the same model both ways.
TEST(ObjectReader, UsualFaceLinesReadAsTokenByToken) {
  std::mt19937 random(6);
  auto pick = [&](std::initializer_list<const char*> choices) {
    return *(choices.begin() + random() % choices.size());
  };
  size_t faces = 0;
  for (int round = 0; round < 1500; ++round) {
    std::vector<std::string> pieces;  // each piece holds "(" where a property opens
    const int lines = 1 + static_cast<int>(random() % 12);
    for (int line = 0; line < lines; ++line) {
      const int corners = static_cast<int>(random() % 6);
      std::string text = pick({"\t\t", "  ", "", "\t"});
      text += random() % 12 == 0 ? pick({"-2", "04", "1234567890", "x", "4V"})
                                 : std::to_string(corners);
      text += pick({" ", " ", " ", "\t", "  "});
      text += pick({"V(", "V(", "V(", "v(", "V (", "UV("});
      const int indices = corners + static_cast<int>(random() % 3) - 1;
      for (int k = 0; k < indices; ++k) {
        if (k > 0) text += random() % 20 != 0 ? " " : pick({"  ", "\t", " \r"});
        text += random() % 20 != 0 ? std::to_string(random() % 9)
                                   : pick({"-1", "2.5", "123456789012", "+3", "07"});
      }
      text += ")";
      pieces.push_back(text);
      if (random() % 6 != 0)
        pieces.push_back(pick(
            {" M(1)", " M(2)", " m(0)", " M()", " M(1.5)", " COL(1 1 1 1)", " M( 3)", " M(4 )"}));
      if (random() % 6 != 0) {
        std::string uv = pick({" UV(", " UV(", " uv(", " UV (", " UID(3) UV("});
        const int reals = 2 * corners + static_cast<int>(random() % 3) - 1;
        for (int k = 0; k < reals; ++k) {
          if (k > 0) uv += random() % 20 != 0 ? " " : pick({"  ", "\t"});
          uv += pick({"0.00000", "0.12500", "1", "-0.5", "1e2", "0.1234567890"});
        }
        pieces.push_back(uv + ")");
      }
      pieces.push_back(pick({"\r\n", "\r\n", "\n", " ", ";\n"}));
    }
    const size_t kept = random() % 4 == 0 ? random() % pieces.size() : pieces.size();
    std::string usual, spaced;
    for (size_t i = 0; i < kept; ++i) {
      usual += pieces[i];
      for (const char c : pieces[i])
        spaced += c == '(' ? std::string(" (") : std::string(1, c);
    }
    const std::string head = " vertex 4 {\n 0 0 0\n 1 0 0\n 1 1 0\n 0 1 0\n }\n face " +
                             std::to_string(random() % 14) + " {\n";
    const std::string tail = kept == pieces.size() ? " }\n}\nEof\n" : "";
    Model a, b;
    const LoadResult ra = LoadText(a, kHead + "Object \"o\" {\n" + head + usual + tail);
    const LoadResult rb = LoadText(b, kHead + "Object \"o\" {\n" + head + spaced + tail);
    ASSERT_EQ(ra, rb) << usual;
    ASSERT_EQ(Describe(a), Describe(b)) << usual;
    ASSERT_EQ(QzBytes(a, true), QzBytes(b, true)) << usual;
    if (!a.objects.empty()) faces += a.objects[0].faces.size();
  }
  EXPECT_GT(faces, 5000u);
}

TEST(ObjectReader, DeclaredFaceCountOnlyCaps) {
  const std::string head = " vertex 3 {\n 0 0 0\n 1 0 0\n 0 1 0\n }\n";
  const Case cases[] = {
      {"fewer faces than declared: only those created",
       Object(head + " face 5 {\n  3 V(0 1 2) M(1)\n }\n"),
       "textures 0\nobject \"o\" vertices 3 faces 1: 3[0 1 2]m1\n"},
      {"more faces than declared: the rest is read and dropped",
       Object(head + " face 1 {\n  3 V(0 1 2) M(1)\n  3 V(2 1 0) M(2) UV(0 0 0 0 0 0)\n  4 V(0 0 0 "
                     "0) M(3)\n }\n"),
       "textures 0\nobject \"o\" vertices 3 faces 1: 3[0 1 2]m1\n"},
      {"declared zero: every face dropped", Object(head + " face 0 {\n  3 V(0 1 2) M(1)\n }\n"),
       "textures 0\nobject \"o\" vertices 3 faces 0:\n"},
      {"corners without V are 0", Object(head + " face 1 {\n  3 M(1)\n }\n"),
       "textures 0\nobject \"o\" vertices 3 faces 1: 3[0 0 0]m1\n"},
  };
  for (const Case& c : cases)
    Check(c);

  Model model;
  ASSERT_EQ(
      LoadText(model,
               Object(head + " face 2 {\n  3 V(0 1 2) UV(0.25 0.5 1 0 1 1)\n  3 V(0 1 2)\n }\n")),
      kLoadOk);
  const MeshObject& o = model.objects.at(0);
  EXPECT_EQ(o.cornerUvs, (std::vector<float>{0.25f, 0.5f, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(Reader, EndOfTextRepeatsTheLastToken) {
  // The vertex chunk is read by position: numbers missing at the end repeat the last token.
  Model model;
  ASSERT_EQ(LoadText(model, kHead + "Object \"o\" {\n vertex 2 {\n 1 2"), kLoadOk);
  const auto& v = model.objects.at(0).vertices;
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0].x, 1.0f);
  EXPECT_EQ(v[0].y, 2.0f);
  EXPECT_EQ(v[0].z, 2.0f);
  EXPECT_EQ(v[1].z, 2.0f);

  // A quoted last token repeats like any other; corner indices repeat it too.
  ASSERT_EQ(LoadText(model, kHead + "Object \"o\" {\n vertex 2 {\n \"1.5"), kLoadOk);
  for (const Vec4& p : model.objects.at(0).vertices) {
    EXPECT_EQ(p.x, 1.5f);
    EXPECT_EQ(p.z, 1.5f);
  }
  ASSERT_EQ(LoadText(model, kHead + "Object \"o\" {\n face 1 {\n  4 V(7 5"), kLoadOk);
  EXPECT_EQ(Describe(model), "textures 0\nobject \"o\" vertices 0 faces 1: 4[7 5 5 5]m0\n");
  ASSERT_EQ(LoadText(model, kHead + "Object \"o\" {\n face 1 {\n  2 UV(0.5 0.25"), kLoadOk);
  EXPECT_EQ(model.objects.at(0).cornerUvs, (std::vector<float>{0.5f, 0.25f, 0.25f, 0.25f}));
}

TEST(Reader, NothingIsRefunded) {
  // Repeated chunks are charged each time: one of these tables alone fits the text's size.
  const std::string text = kHead + std::string(200, ' ') + "Material 150 {\n}\n";
  Model model;
  EXPECT_EQ(LoadText(model, text), kLoadOk);
  EXPECT_EQ(LoadText(model, text + "Material 150 {\n}\n"), kLoadUnreadable);
  EXPECT_TRUE(model.materials.empty());
}

}  // namespace
