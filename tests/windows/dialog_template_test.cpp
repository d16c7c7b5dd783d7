// Resource 101 against kConversionDialogLayout, field by field, so that the resource script and
// the layout the rest of the program and the tests rely on cannot drift apart.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "front/resources/conversion_dialog.h"
#include "front/resources/dialog_layout.h"
#include "tests/windows/dialog_template.h"

namespace {

// A narrow text of ours (code page 932) as the template stores texts.
std::wstring Wide(const char* text) {
  const int length = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
  if (length <= 0) return L"(not code page 932)";
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text, -1, wide.data(), length);
  wide.pop_back();
  return wide;
}

const wchar_t* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kEdit:
      return L"Edit";
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
      return L"Button";
    case ControlKind::kLabel:
      return L"Static";
  }
  return L"?";
}

TEST(DialogTemplate, IsTheLayoutInJapanese) {
  DialogTemplate dialog;
  ASSERT_TRUE(
      ReadDialogTemplate(IDD_CONVERSION, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), dialog));
  const DialogLayout& layout = kConversionDialogLayout;
  EXPECT_EQ(dialog.helpId, 0u);
  EXPECT_EQ(dialog.style, layout.style);
  EXPECT_EQ(dialog.extendedStyle, layout.extendedStyle);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.width, layout.width);
  EXPECT_EQ(dialog.height, layout.height);
  EXPECT_FALSE(dialog.menu.isOrdinal || !dialog.menu.name.empty()) << "no menu";
  EXPECT_FALSE(dialog.windowClass.isOrdinal || !dialog.windowClass.name.empty())
      << "the platform's dialog class";
  EXPECT_EQ(dialog.title, Wide(layout.caption));
  EXPECT_EQ(dialog.title, L"VUV2EZ");
  EXPECT_EQ(dialog.pointSize, layout.fontPoints);
  EXPECT_EQ(dialog.weight, 0);
  EXPECT_EQ(dialog.italic, 0);
  EXPECT_EQ(dialog.charset, 1);
  EXPECT_EQ(dialog.typeface, Wide(layout.fontName));
  EXPECT_EQ(dialog.typeface, L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");  // ＭＳ Ｐゴシック

  ASSERT_EQ(dialog.controls.size(), layout.controls.size());
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const DialogControl& want = layout.controls[i];
    const TemplateControl& got = dialog.controls[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", identifier " + std::to_string(want.id));
    EXPECT_EQ(got.id, static_cast<uint32_t>(want.id));
    EXPECT_EQ(_wcsicmp(ClassNameOf(got.windowClass).c_str(), ClassOf(want.kind)), 0)
        << "class " << testing::PrintToString(ClassNameOf(got.windowClass));
    EXPECT_FALSE(got.text.isOrdinal);
    EXPECT_EQ(got.text.name, Wide(want.text));
    EXPECT_EQ(got.x, want.left);
    EXPECT_EQ(got.y, want.top);
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(got.height, want.height);
    EXPECT_EQ(got.style, want.style);
    EXPECT_EQ(got.extendedStyle, 0u);
    EXPECT_EQ(got.helpId, 0u);
    EXPECT_EQ(got.creationDataSize, 0u);
  }
}

TEST(DialogTemplate, IsOnlyInJapanese) {
  DialogTemplate dialog;
  EXPECT_FALSE(
      ReadDialogTemplate(IDD_CONVERSION, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), dialog));
}

}  // namespace
