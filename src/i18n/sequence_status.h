#pragma once

#include <string>

#include "i18n/message_store.h"
#include "params/progress.h"

namespace sequaflow::i18n {

// The long sequences the window runs, each named in its status line.
enum class SequenceKind { Read, FileLoad, FactoryReset, MapUpload, MapEdit };

// The one line the status bar shows when a long sequence ends: that it finished, or why it stopped and how
// far it got, and for a sequence that writes, whether the controller now holds a half-written
// configuration. In the current language.
std::string SequenceStatusLine(const MessageStore& messages, SequenceKind kind, const SequenceResult& result);

// Replaces %1, %2 ... in a message text with the arguments, in order; unknown markers stay as they are.
std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> args);

}  // namespace sequaflow::i18n
