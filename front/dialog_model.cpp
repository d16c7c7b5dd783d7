// The conversion dialog's events on its model.
#include "front/dialog_model.h"

#include "front/resources/texts.h"

bool OnDropped(DialogModel& model, std::span<const std::string> paths) {
  if (paths.empty()) return false;
  model.source = paths.front();
  model.destination = paths.front() + ".qz";
  return true;
}

Conversion OnConvert(const DialogModel& model) {
  const ConversionOptions options = ConversionOptionsFor(model.settings, model.flat);
  return Convert(model.source.c_str(), model.destination.c_str(), options);
}

const char* OutcomeText(ConversionOutcome outcome) {
  const char* const texts[] = {kFinishedText, kReadFailedText, kNotMqoText, kWriteFailedText};
  return texts[outcome];
}
