#pragma once

#include "i18n/message_store.h"

class QWidget;

namespace sequaflow::ui {

class ConfigurationModel;
class SequenceRunner;

// OdczytajCzasPracy1: reads the work-time counters into the parameter image and shows them, with the shares
// of each fuel, in an information box. A counter that does not answer shows what the image held before.
void ReadAndShowWorkTime(SequenceRunner& runner, ConfigurationModel& model, const i18n::MessageStore& messages,
                         QWidget* parent);

}  // namespace sequaflow::ui
