// The Windows build's texts are code page 932 bytes, the ANSI code page of a Japanese desktop, as
// the narrow window functions take them: the compiler turned the UTF-8 source into them.
#include <gtest/gtest.h>

#include <string>

#include "front/resources/dialog_layout.h"
#include "front/resources/texts.h"

namespace {

// The bytes of a text as hex digits, two a byte.
std::string Hex(const std::string& bytes) {
  std::string out;
  for (const unsigned char c : bytes)
    out += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
  return out;
}

TEST(Texts, AreInCodePage932) {
  const std::pair<const char*, const char*> cases[] = {
      {kFinishedText, "95cf8ab782aa8f4997b982b582dc82b582bd8142"},
      {kReadFailedText, "837483408343838b82cc93c782dd8d9e82dd82c98eb8947382b582dc82b582bd8142"},
      {kNotMqoText, "4d514f2083748348815b837d8362836782c582cd82a082e882dc82b982f18142"},
      {kWriteFailedText, "837483408343838b82cc8f9182ab8d9e82dd82c98eb8947382b582dc82b582bd8142"},
      {kCaption, "56555632455a"},
      {kConversionDialogControls[2].text, "95cf8ab7"},
      {kConversionDialogControls[4].text, "95cf8ab790e6"},
      {kConversionDialogControls[3].text,
       "95cf8ab78cb3203a206d716f20837483408343838b82f08368838d8362837682b582c482ad82be82b382a2"},
      {kConversionDialogControls[5].text,
       "964090fc82f0837483898362836783568346815b836683428393834f977082c982b782e9"},
      {DIALOG_FONT, "826c827220826f835383568362834e"},
  };
  for (const auto& [text, bytes] : cases)
    EXPECT_EQ(Hex(text), bytes);
}

}  // namespace
