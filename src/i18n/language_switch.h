#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "i18n/caption_table.h"
#include "i18n/language_file.h"

namespace sequaflow::i18n {

class MessageStore;

// What a language change needs from the window: the widget work, in the order SelectLanguage calls it.
class LanguageHost {
public:
    virtual ~LanguageHost() = default;
    virtual void saveComboIndices() = 0;
    // Unchecks the nine language items, then checks `number` when it is 1..9.
    virtual void checkLanguageItem(int number) = 0;
    virtual void applyCharset(int charset) = 0;
    // One interface element of an entry (messages and fixed texts are kept by the store, not here).
    virtual void applyTarget(const CaptionTarget& target, std::string_view text) = 0;
    // A modal message box; `detail` says why, for the box's detail text.
    virtual void showError(std::string_view text, std::string_view detail) = 0;
    virtual void refreshAfterLanguage() = 0;
    virtual void restoreComboIndices() = 0;
    virtual void buildParameterHints() = 0;
};

enum class LanguageOutcome {
    Applied,        // the file was read to its end
    NoLanguage,     // number outside 1..9: nothing loaded
    FileMissing,    // the file could not be read: nothing applied, the earlier texts stay
    StoppedAtBadId, // an id was not a number: the lines above it were applied
};

struct LanguageResult {
    LanguageOutcome outcome = LanguageOutcome::Applied;
    LanguageLoadSummary summary;
    bool preferenceWritten = false;
    std::string detail;
};

// Applies one entry: stores its text and hands every interface target to the host.
void ApplyLanguageEntry(int id, std::string_view text, MessageStore& store, LanguageHost& host);

// Changes the interface language: remember the lists' selections, set the check mark, character set and
// texts, refresh, restore the selections, write jezyk.txt in `startDir`, rebuild the hints.
// A missing file shows the text of msg::Fault and the other steps still run. A file that stops at a bad id
// shows the error and is not written to jezyk.txt, but the lists' selections and hints are still restored
// so no list is left without its selection.
LanguageResult SelectLanguage(int number, const std::filesystem::path& startDir, MessageStore& store,
                              LanguageHost& host);

// The same, reading the language file below `languageRoot` (the start directory, or the installed data
// directory when the start directory has no "lang" folder) while jezyk.txt still goes to `startDir`.
LanguageResult SelectLanguage(int number, const std::filesystem::path& startDir,
                              const std::filesystem::path& languageRoot, MessageStore& store, LanguageHost& host);

}  // namespace sequaflow::i18n
