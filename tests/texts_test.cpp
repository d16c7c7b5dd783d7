// The Windows build's texts are code page 932 bytes, the ANSI code page of a Japanese desktop, as
// the narrow window functions take them: the compiler turned the UTF-8 source into them.
#include <gtest/gtest.h>

#include <string>

#include "front/resources/dialog_layout.h"
#include "front/resources/texts.h"

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  const char* digits = "0123456789abcdef";
  for (unsigned char c : bytes) {
    out += {digits[c >> 4], digits[c & 15], ' '};
  }
  return out;
}

TEST(Texts, AreInCodePage932) {
  const struct {
    const char* text;
    const char* bytes;
  } cases[] = {
      {kFinishedText, "95 cf 8a b7 82 aa 8f 49 97 b9 82 b5 82 dc 82 b5 82 bd 81 42 "},
      {kReadFailedText,
       "83 74 83 40 83 43 83 8b 82 cc 93 c7 82 dd 8d 9e 82 dd 82 c9 8e b8 94 73 82 b5 82 dc 82 b5 "
       "82 bd 81 42 "},
      {kNotMqoText,
       "4d 51 4f 20 83 74 83 48 81 5b 83 7d 83 62 83 67 82 c5 82 cd 82 a0 82 e8 82 dc 82 b9 82 f1 "
       "81 42 "},
      {kWriteFailedText,
       "83 74 83 40 83 43 83 8b 82 cc 8f 91 82 ab 8d 9e 82 dd 82 c9 8e b8 94 73 82 b5 82 dc 82 b5 "
       "82 bd 81 42 "},
      {kCaption, "56 55 56 32 45 5a "},
      {kConversionDialogControls[2].text, "95 cf 8a b7 "},
      {kConversionDialogControls[4].text, "95 cf 8a b7 90 e6 "},
      {kConversionDialogControls[3].text,
       "95 cf 8a b7 8c b3 20 3a 20 6d 71 6f 20 83 74 83 40 83 43 83 8b 82 f0 83 68 83 8d 83 62 83 "
       "76 82 b5 82 c4 82 ad 82 be 82 b3 82 a2 "},
      {kConversionDialogControls[5].text,
       "96 40 90 fc 82 f0 83 74 83 89 83 62 83 67 83 56 83 46 81 5b 83 66 83 42 83 93 83 4f 97 70 "
       "82 c9 82 b7 82 e9 "},
      {kConversionDialogLayout.fontName, "82 6c 82 72 20 82 6f 83 53 83 56 83 62 83 4e "},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Hex(c.text), c.bytes);
}

}  // namespace
