// Walking the bytes of an extended dialog template: WORD-aligned fields, each control on a DWORD
// boundary from the start of the template.
#include "tests/windows/dialog_template.h"

#include <cstring>

namespace {

class Reader {
 public:
  Reader(const uint8_t* start, size_t size) : start_(start), size_(size) {}

  bool ok() const { return ok_; }

  template <typename T>
  T Take() {
    T value{};
    if (at_ + sizeof(T) > size_) {
      ok_ = false;
      return value;
    }
    std::memcpy(&value, start_ + at_, sizeof(T));
    at_ += sizeof(T);
    return value;
  }

  std::wstring TakeString() {
    std::wstring text;
    for (;;) {
      const auto unit = Take<uint16_t>();
      if (!ok_ || unit == 0) return text;
      text.push_back(static_cast<wchar_t>(unit));
    }
  }

  NameOrOrdinal TakeNameOrOrdinal() {
    NameOrOrdinal field;
    const auto first = Take<uint16_t>();
    if (first == 0xFFFF) {
      field.isOrdinal = true;
      field.ordinal = Take<uint16_t>();
    } else if (first != 0) {
      field.name.push_back(static_cast<wchar_t>(first));
      field.name += TakeString();
    }
    return field;
  }

  void AlignToDword() { at_ = (at_ + 3) & ~size_t{3}; }
  void Skip(size_t bytes) {
    at_ += bytes;
    if (at_ > size_) ok_ = false;
  }

 private:
  const uint8_t* start_;
  size_t size_;
  size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

bool ReadDialogTemplate(int id, LANGID language, DialogTemplate& dialog) {
  dialog = DialogTemplate{};
  HRSRC resource =
      FindResourceExA(nullptr, MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(id), language);
  if (resource == nullptr) return false;
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return false;
  Reader in(static_cast<const uint8_t*>(bytes), SizeofResource(nullptr, resource));

  dialog.version = in.Take<uint16_t>();
  dialog.signature = in.Take<uint16_t>();
  if (dialog.version != 1 || dialog.signature != 0xFFFF) return false;
  dialog.helpId = in.Take<uint32_t>();
  dialog.extendedStyle = in.Take<uint32_t>();
  dialog.style = in.Take<uint32_t>();
  const auto count = in.Take<uint16_t>();
  dialog.x = in.Take<int16_t>();
  dialog.y = in.Take<int16_t>();
  dialog.width = in.Take<int16_t>();
  dialog.height = in.Take<int16_t>();
  dialog.menu = in.TakeNameOrOrdinal();
  dialog.windowClass = in.TakeNameOrOrdinal();
  dialog.title = in.TakeString();
  if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
    dialog.pointSize = in.Take<uint16_t>();
    dialog.weight = in.Take<uint16_t>();
    dialog.italic = in.Take<uint8_t>();
    dialog.charset = in.Take<uint8_t>();
    dialog.typeface = in.TakeString();
  }
  for (uint16_t i = 0; i < count && in.ok(); ++i) {
    in.AlignToDword();
    TemplateControl control;
    control.helpId = in.Take<uint32_t>();
    control.extendedStyle = in.Take<uint32_t>();
    control.style = in.Take<uint32_t>();
    control.x = in.Take<int16_t>();
    control.y = in.Take<int16_t>();
    control.width = in.Take<int16_t>();
    control.height = in.Take<int16_t>();
    control.id = in.Take<uint32_t>();
    control.windowClass = in.TakeNameOrOrdinal();
    control.text = in.TakeNameOrOrdinal();
    control.creationDataSize = in.Take<uint16_t>();
    in.Skip(control.creationDataSize);
    dialog.controls.push_back(control);
  }
  return in.ok();
}

std::wstring ClassNameOf(const NameOrOrdinal& windowClass) {
  if (!windowClass.isOrdinal) return windowClass.name;
  switch (windowClass.ordinal) {
    case 0x0080:
      return L"Button";
    case 0x0081:
      return L"Edit";
    case 0x0082:
      return L"Static";
    case 0x0083:
      return L"ListBox";
    case 0x0084:
      return L"ScrollBar";
    case 0x0085:
      return L"ComboBox";
    default:
      return L"#" + std::to_wstring(windowClass.ordinal);
  }
}
