#include "i18n/language_switch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "i18n/language_table.h"
#include "i18n/message_store.h"
#include "i18n/preferences.h"

namespace sequaflow::i18n {
namespace {

// Records the window's side of a language change.
class RecordingHost : public LanguageHost {
public:
    std::vector<std::string> steps;
    std::map<std::string, std::string> captions;  // "form.control[entry]/part" -> text
    std::vector<std::string> errors;
    int checked = -1;
    int charset = -1;

    void saveComboIndices() override { steps.push_back("save"); }
    void checkLanguageItem(int number) override {
        steps.push_back("check");
        checked = number;
    }
    void applyCharset(int cs) override {
        steps.push_back("charset");
        charset = cs;
    }
    void applyTarget(const CaptionTarget& t, std::string_view text) override {
        std::string key = std::string(t.form) + "." + std::string(t.control);
        if (t.entry >= 0) key += "[" + std::to_string(t.entry) + "]";
        if (t.part == WidgetPart::SignalName) key += "/signal";
        if (t.part == WidgetPart::UnitText) key += "/unit";
        captions[key] = std::string(text);
    }
    void showError(std::string_view text, std::string_view) override {
        steps.push_back("error");
        errors.emplace_back(text);
    }
    void refreshAfterLanguage() override { steps.push_back("refresh"); }
    void restoreComboIndices() override { steps.push_back("restore"); }
    void buildParameterHints() override { steps.push_back("hints"); }
};

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::filesystem::path kHere = ".";

TEST(SelectLanguage, RunsItsStepsInOrderAndWritesThePreference) {
    writeFile("lang/english_ks.txt", "10000 File\n10453 No falling RPM\n10101 RPM\n10103 bar\n");
    MessageStore store;
    RecordingHost host;
    const auto result = SelectLanguage(2, kHere, store, host);
    EXPECT_EQ(result.outcome, LanguageOutcome::Applied);
    EXPECT_EQ(host.steps, (std::vector<std::string>{"save", "check", "charset", "refresh", "restore", "hints"}));
    EXPECT_EQ(host.checked, 2);
    EXPECT_EQ(host.charset, 1);
    EXPECT_EQ(host.captions["TForm1.Plik1"], "File");
    // List entry 0 of the speed-drop box is replaced in place; selection handling is the host's restore step.
    EXPECT_EQ(host.captions["TForm1.ComboBoxDeltaRpm[0]"], "No falling RPM");
    EXPECT_EQ(host.captions["TForm1.Ab270MeterRPM/signal"], "RPM");
    EXPECT_EQ(host.captions["TForm1.LabelBObroty"], "RPM");
    EXPECT_EQ(host.captions["TForm1.ManometrPsys/unit"], "bar");
    EXPECT_TRUE(result.preferenceWritten);
    EXPECT_EQ(readFile("jezyk.txt"), std::string(1, '\x02'));
}

TEST(SelectLanguage, SharedIdSetsLabelAndMessageToTheLaterLine) {
    writeFile("lang/english_ks.txt", "10114 Condition\n10114 State\n");
    MessageStore store;
    RecordingHost host;
    ASSERT_EQ(SelectLanguage(2, kHere, store, host).outcome, LanguageOutcome::Applied);
    EXPECT_EQ(host.captions["TForm1.LabelStatus"], "State");
    EXPECT_EQ(store.text(10114), "State");
}

TEST(SelectLanguage, FileOfOnlyCommentsStillSetsCharsetRefreshesAndWrites) {
    writeFile("lang/russian_ks.txt", "# \xFF\n# nothing here\n");
    MessageStore store;
    RecordingHost host;
    const auto result = SelectLanguage(3, kHere, store, host);
    EXPECT_EQ(result.outcome, LanguageOutcome::Applied);
    EXPECT_TRUE(host.captions.empty());
    EXPECT_EQ(host.charset, 204);
    EXPECT_EQ(readFile("jezyk.txt"), std::string(1, '\x03'));
}

TEST(SelectLanguage, MissingFileKeepsTheEarlierLanguageAndReportsTheErrorText) {
    writeFile("lang/english_ks.txt", "10000 File\n12050 Error\n");
    MessageStore store;
    RecordingHost host;
    ASSERT_EQ(SelectLanguage(2, kHere, store, host).outcome, LanguageOutcome::Applied);

    RecordingHost second;
    const auto result = SelectLanguage(4, kHere, store, second);  // lang/niemiecki1.txt does not exist
    EXPECT_EQ(result.outcome, LanguageOutcome::FileMissing);
    EXPECT_EQ(second.errors, (std::vector<std::string>{"Error"}));  // the current text of 12050
    EXPECT_TRUE(second.captions.empty());
    EXPECT_EQ(store.text(10000), "File");
    EXPECT_EQ(second.steps, (std::vector<std::string>{"save", "check", "charset", "error", "refresh", "restore", "hints"}));
    EXPECT_EQ(second.checked, 4);
    EXPECT_EQ(readFile("jezyk.txt"), std::string(1, '\x04'));
}

TEST(SelectLanguage, BadIdKeepsEarlierEntriesAndDoesNotRememberTheFile) {
    writeFile("jezyk.txt", std::string(1, '\x02'));
    writeFile("lang/turkish_ks.txt", "10000 Dosya\n1000x Bozuk\n10001 Never\n");
    MessageStore store;
    RecordingHost host;
    const auto result = SelectLanguage(9, kHere, store, host);
    EXPECT_EQ(result.outcome, LanguageOutcome::StoppedAtBadId);
    EXPECT_EQ(host.captions["TForm1.Plik1"], "Dosya");
    EXPECT_EQ(host.captions.count("TForm1.OdczytajParametryCTRLO1"), 0u);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find("line 2"), std::string::npos);
    EXPECT_FALSE(result.preferenceWritten);
    EXPECT_EQ(readFile("jezyk.txt"), std::string(1, '\x02'));
    // The lists still get their selections back, so none is left empty.
    EXPECT_EQ(host.steps, (std::vector<std::string>{"save", "check", "charset", "error", "refresh", "restore", "hints"}));
}

TEST(SelectLanguage, NumberOutsideTheTableLoadsNothingButDoesTheOtherSteps) {
    MessageStore store;
    RecordingHost host;
    const auto result = SelectLanguage(0, kHere, store, host);
    EXPECT_EQ(result.outcome, LanguageOutcome::NoLanguage);
    EXPECT_EQ(host.checked, 0);
    EXPECT_EQ(host.steps, (std::vector<std::string>{"save", "check", "refresh", "restore", "hints"}));
    EXPECT_EQ(readFile("jezyk.txt"), std::string(1, '\x00'));
}

TEST(SelectLanguage, TurkishFileIsDecodedFromItsCodePage) {
    writeFile("lang/turkish_ks.txt", "10061 \xDDngilizce\n");  // "İngilizce"
    MessageStore store;
    RecordingHost host;
    ASSERT_EQ(SelectLanguage(9, kHere, store, host).outcome, LanguageOutcome::Applied);
    EXPECT_EQ(host.charset, 162);
    EXPECT_EQ(host.captions["TForm1.Angielski1"], "\xC4\xB0ngilizce");
}

}  // namespace
}  // namespace sequaflow::i18n
