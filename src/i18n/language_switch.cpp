#include "i18n/language_switch.h"

#include "i18n/language_table.h"
#include "i18n/message_ids.h"
#include "i18n/message_store.h"
#include "i18n/preferences.h"

namespace sequaflow::i18n {

void ApplyLanguageEntry(int id, std::string_view text, MessageStore& store, LanguageHost& host) {
    const CaptionRow* row = store.apply(id, text);
    if (row == nullptr) return;
    const std::string_view kept = store.text(id);
    for (const auto& target : row->targets())
        if (!target.isStoredText()) host.applyTarget(target, kept);
}

LanguageResult SelectLanguage(int number, const std::filesystem::path& startDir, MessageStore& store,
                              LanguageHost& host) {
    return SelectLanguage(number, startDir, startDir, store, host);
}

LanguageResult SelectLanguage(int number, const std::filesystem::path& startDir,
                              const std::filesystem::path& languageRoot, MessageStore& store, LanguageHost& host) {
    LanguageResult result;
    host.saveComboIndices();
    const Language* language = findLanguage(number);
    host.checkLanguageItem(language != nullptr ? number : 0);

    if (language == nullptr) {
        result.outcome = LanguageOutcome::NoLanguage;
    } else {
        host.applyCharset(language->charset);
        auto loaded = LoadLanguageFile(languageRoot / language->fileName, codePageOf(*language),
                                       [&](int id, std::string_view text) { ApplyLanguageEntry(id, text, store, host); });
        if (loaded) {
            result.summary = *loaded;
        } else {
            result.detail = loaded.error().detail;
            if (loaded.error().code == LanguageFileError::BadId) {
                result.outcome = LanguageOutcome::StoppedAtBadId;
                host.showError(result.detail, {});
            } else {
                result.outcome = LanguageOutcome::FileMissing;
                host.showError(store.text(msg::Fault), result.detail);
            }
        }
    }

    host.refreshAfterLanguage();
    host.restoreComboIndices();
    if (result.outcome != LanguageOutcome::StoppedAtBadId)
        result.preferenceWritten = WriteLanguagePreference(startDir, number).ok();
    host.buildParameterHints();
    return result;
}

}  // namespace sequaflow::i18n
