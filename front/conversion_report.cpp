// The lines of a conversion's report, and the reasons of failures in the program's language: our
// own texts for the common system errors and for what the program finds itself, the system's
// text for the rest.
#include "front/conversion_report.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "front/resources/texts.h"

namespace {

std::string SystemReason(int error) {
  const std::pair<int, const char*> reasons[] = {
      {ENOENT, kNoSuchFileText},      {ENOTDIR, kNoSuchFileText}, {EACCES, kPermissionDeniedText},
      {EPERM, kPermissionDeniedText}, {EISDIR, kFolderText},      {ENOSPC, kDiskFullText},
      {EFBIG, kDiskFullText},         {EROFS, kReadOnlyText},     {ENAMETOOLONG, kNameTooLongText},
      {ENOMEM, kNoMemoryText},
#ifdef EDQUOT
      {EDQUOT, kDiskFullText},
#endif
  };
  for (const auto& [code, text] : reasons)
    if (code == error) return text;
  return std::string(std::strerror(error)) + "。";
}

}  // namespace

std::string ReasonText(const LoadFailure& failure) {
  switch (failure.cause) {
    case kCauseSystem:
      return SystemReason(failure.systemError);
    case kCauseFolder:
      return kFolderText;
    case kCauseNotAFile:
      return kNotAFileText;
    case kCauseTooLarge:
      return kTooLargeText;
    case kCauseShortened:
      return kShortenedText;
    case kCauseChanged:
      return kChangedText;
    case kCauseZipNoDocument:
      return kZipNoDocumentText;
    case kCauseZipDamaged:
      return kZipDamagedText;
    case kCauseZipUnsupported:
      return kZipUnsupportedText;
    case kCauseOverCounted:
      return kOverCountedText;
    case kCauseBinaryDamaged:
      return kBinaryDamagedText;
    case kCauseNone:
      break;
  }
  return {};
}

std::string ReasonText(const WriteFailure& failure) {
  switch (failure.cause) {
    case kWriteCauseSystem:
      return SystemReason(failure.systemError);
    case kWriteCauseFolder:
      return kFolderText;
    case kWriteCauseNotAFile:
      return kNotAFileText;
    case kWriteCauseTooLarge:
      return kPastFormatText;
    case kWriteCauseNoMemory:
      return kNoMemoryText;
    case kWriteCauseTooLargeForMemory:
      return kTooLargeText;
    case kWriteCauseNone:
      break;
  }
  return {};
}

std::vector<std::string> ReportLines(const std::string& source, const std::string& destination,
                                     const Conversion& conversion, bool quiet) {
  const std::string from = std::string(kCaption) + ": " + source + ": ";
  switch (conversion.outcome) {
    case kSourceUnreadable:
      return {from + kReadFailedText + ReasonText(conversion.loadFailure)};
    case kSourceNotMqo:
      return {from + kNotMqoText};
    case kDestinationUnwritable:
      return {std::string(kCaption) + ": " + destination + ": " + kWriteFailedText +
              ReasonText(conversion.writeFailure)};
    case kConverted:
      break;
  }
  std::vector<std::string> lines = {from + kFinishedText};
  if (quiet) return lines;
  for (const std::string& warning : WarningTexts(conversion))
    lines.push_back(from + warning);
  return lines;
}

std::vector<std::string> WarningTexts(const Conversion& conversion) {
  const ModelNotes& n = conversion.notes;
  const std::pair<uint64_t, NoteText> notes[] = {
      {n.hiddenObjects, kHiddenNote},
      {n.mirrorObjects, kMirrorNote},
      {n.latheObjects, kLatheNote},
      {n.patchObjects, kPatchNote},
      {n.fannedFaces, kFanNote},
      {n.shortFaces, kShortFaceNote},
      {n.cornersOutOfRange, kCornerRangeNote},
      {n.materialsOutOfRange, kMaterialRangeNote},
      {n.cutTextureNames, kTextureNameNote},
      {n.wrappedObjects, kWrapNote},
      {n.localMirrorObjects, kLocalMirrorNote},
  };
  std::vector<std::string> texts;
  for (const auto& [count, text] : notes) {
    if (count > 0)
      texts.push_back(kWarningText + (text.before + std::to_string(count)) + text.after);
  }
  const BakeReport& bake = conversion.bake;
  if (bake.levelsOutOfRange > 0) {
    texts.push_back(kWarningText + (kLevelsNote.before + std::to_string(bake.levelsOutOfRange)) +
                    kLevelsNote.after);
  }
  for (const std::string& name : bake.refusedSurfaces)
    texts.push_back(kWarningText + (kRefusedSurfaceNote.before + name) + kRefusedSurfaceNote.after);
  return texts;
}
