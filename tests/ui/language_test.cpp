#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "i18n/caption_table.h"
#include "i18n/language_table.h"
#include "i18n/message_store.h"
#include "i18n/parameter_hints.h"
#include "link/pacer.h"
#include "live/live_frame.h"
#include "support/scripted_port.h"
#include "ui/app_settings.h"
#include "ui/help_viewer.h"
#include "ui/language_controller.h"
#include "ui/main_menu.h"
#include "ui/live_feed.h"
#include "ui/main_window.h"
#include "ui/readings_controller.h"
#include "link/controller_link.h"
#include "params/program_state.h"
#include "ui/widgets/round_meter.h"

using namespace sequaflow;

namespace {

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The text a language's UTF-8 source gives `id`, read apart from the program's own loader.
QString SourceText(int number, int id) {
    static const char* const kSources[] = {"polish", "english", "russian", "german", "lithuanian",
                                           "italian", "serbian", "croatian", "turkish"};
    QFile f(QStringLiteral(SEQUAFLOW_SOURCE_DIR "/lang/src/%1.txt").arg(QLatin1String(kSources[number - 1])));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("<no source>");
    const QByteArray key = QByteArray::number(id) + ' ';
    for (QByteArray line : f.readAll().split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.startsWith(key)) return QString::fromUtf8(line.mid(key.size()));
    }
    return QStringLiteral("<no entry>");
}

// A start directory with its own "lang" folder, a window on a controller that records every frame.
struct Rig {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    link::VirtualPacer portClock;
    testing_support::ScriptedPort* port = nullptr;
    std::unique_ptr<ui::AppSettings> settings;
    std::unique_ptr<link::ControllerLink> line;
    params::ProgramState state;
    i18n::MessageStore messages;
    std::unique_ptr<ui::MainWindow> window;
    QStringList errors;
    QStringList errorDetails;

    // `languages`: the shipped files copied into the start directory ("*" for all of them).
    explicit Rig(const QStringList& shippedFiles = {QStringLiteral("*")}, const QByteArray* jezyk = nullptr) {
        QDir().mkpath(dir.filePath(QStringLiteral("lang")));
        const QDir shipped(QStringLiteral(SEQUAFLOW_SOURCE_DIR "/lang"));
        for (const QString& pattern : shippedFiles)
            for (const QString& name : shipped.entryList({pattern + QStringLiteral(".txt")}, QDir::Files))
                if (name != QLatin1String("help.txt"))
                    QFile::copy(shipped.filePath(name), dir.filePath(QStringLiteral("lang/") + name));
        if (jezyk != nullptr) WriteAll(dir.filePath(QStringLiteral("jezyk.txt")), *jezyk);
        QDir::setCurrent(dir.path());

        auto scripted = std::make_unique<testing_support::ScriptedPort>(portClock);
        port = scripted.get();
        link::PortTable ports;
        for (int i = 0; i < link::kPortCount; ++i) ports.setPath(i, "/nonexistent/tty" + std::to_string(i));
        settings = std::make_unique<ui::AppSettings>(dir.filePath(QStringLiteral("settings.ini")));
        // The pacer is the port's own virtual clock: no sequence ever waits in real time here.
        line = std::make_unique<link::ControllerLink>(std::move(scripted), portClock, ports);
        window = std::make_unique<ui::MainWindow>(*line, state, messages, *settings);
        window->readings().timer()->stop();
        languages().setErrorSink([this](const QString& text, const QString& detail) {
            errors << text;
            errorDetails << detail;
        });
        // A connected controller: whatever a language change sent would land in port->written().
        line->link().setPortName("scripted");
        (void)line->link().openPort();
        line->link().setConnected(true);
    }
    ~Rig() { QDir::setCurrent(previousDir); }

    ui::LanguageController& languages() { return window->languages(); }
    const i18n::MessageStore& store() const { return messages; }
    QString text(int id) const { return Text(messages.text(id)); }
    // A menu item, or the entry of a whole menu in the menu bar.
    QAction* item(const char* name) {
        const QString n = QString::fromLatin1(name);
        if (QAction* a = window->menu().findAction(n)) return a;
        QMenu* m = window->menu().findMenu(n);
        if (m == nullptr) qFatal("no menu item %s", name);
        return m->menuAction();
    }
    QString tabText(const char* page) {
        return window->pages()->tabText(window->pages()->indexOf(window->page(QString::fromLatin1(page))));
    }
    QByteArray file(const char* name) const { return ReadAll(dir.filePath(QString::fromLatin1(name))); }

    // The control the table names, made here as a `Make` when the window does not have it yet.
    template <class Make = QWidget>
    QWidget* ensure(const char* form, const char* name) {
        if (QWidget* existing = languages().findControl(form, name)) return existing;
        QWidget* parent = std::string_view(form) == "TForm1" ? window->page(QStringLiteral("TabSheet4"))
                                                             : languages().findControl(form, form);
        auto* w = new Make(parent);
        w->setObjectName(QString::fromLatin1(name));
        return w;
    }
    template <class W>
    W* ensureTyped(const char* form, const char* name) {
        auto* w = qobject_cast<W*>(ensure<W>(form, name));
        if (w == nullptr) qFatal("%s of %s is not the expected kind of widget", name, form);
        return w;
    }
    QComboBox* ensureCombo(const char* form, const char* name, int entries, int selected) {
        auto* combo = ensureTyped<QComboBox>(form, name);
        while (combo->count() < entries) combo->addItem(QStringLiteral("item %1").arg(combo->count()));
        combo->setCurrentIndex(selected);
        return combo;
    }
    QStringList checkedLanguages() {
        QStringList out;
        for (const auto& l : i18n::kLanguages)
            if (item(std::string(l.menuItem).c_str())->isChecked()) out << Text(l.menuItem);
        return out;
    }
};

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void startUpWithoutAnyLanguageFileShowsPolishQuietly() {
        Rig rig(QStringList{});
        rig.window->firstActivation();
        QVERIFY(rig.errors.isEmpty());
        QCOMPARE(rig.checkedLanguages(), QStringList{QStringLiteral("Polski1")});
        QCOMPARE(rig.file("jezyk.txt"), QByteArray(1, '\x01'));
        QCOMPARE(rig.item("Plik1")->text(), QStringLiteral("Plik"));
        // Chosen from the menu, the same missing file is reported.
        rig.item("Polski1")->trigger();
        QCOMPARE(rig.errors.size(), 1);
    }

    void builtInTextsReachTheirControls() {
        Rig rig;
        QCOMPARE(rig.item("Plik1")->text(), QStringLiteral("Plik"));
        QCOMPARE(rig.tabText("TabSheet3"), QStringLiteral("Parametry"));
        auto* meter = rig.window->findChild<ui::RoundMeter*>(QStringLiteral("Ab270MeterRPM"));
        QVERIFY(meter);
        QCOMPARE(meter->signalName(), rig.text(10101));
        auto* petrol = rig.window->findChild<QPushButton*>(QStringLiteral("ButtonBenzyna"));
        QVERIFY(petrol);
        QCOMPARE(petrol->text(), QStringLiteral("benzyna"));

        // Controls the table names but the window does not have yet: skipped, and only counted here.
        const QStringList missing = rig.languages().missingTargets();
        qDebug("%lld caption targets are not in the window yet", static_cast<long long>(missing.size()));
        for (const QString& where : missing) {
            const auto slash = where.indexOf(QLatin1Char('/'));
            const QString form = where.left(slash);
            QString control = where.mid(slash + 1);
            const bool entry = control.endsWith(QLatin1Char(']'));
            if (entry) control = control.left(control.indexOf(QLatin1Char('[')));
            QWidget* w = rig.languages().findControl(form.toStdString(), control.toStdString());
            // A control that exists must take its text; only list entries may wait for their lists.
            if (!entry) QVERIFY2(w == nullptr, qPrintable(where));
        }
    }

    void sameNameInTwoFormsReachesEachItsOwnText() {
        Rig rig;
        auto* mainLabel = rig.ensureTyped<QLabel>("TForm1", "Label5");      // factory page: 12104
        auto* vehicleLabel = rig.ensureTyped<QLabel>("TForm5", "Label5");   // vehicle dialog: 10812
        auto* dialogLabel = rig.ensureTyped<QLabel>("TForm6", "Label1");    // 10851
        auto* vehicleLabel1 = rig.ensureTyped<QLabel>("TForm5", "Label1");  // 10800
        QVERIFY(mainLabel != vehicleLabel);
        (void)rig.languages().applyCurrentTexts();
        QCOMPARE(mainLabel->text(), rig.text(12104));
        QCOMPARE(vehicleLabel->text(), rig.text(10812));
        QCOMPARE(dialogLabel->text(), rig.text(10851));
        QCOMPARE(vehicleLabel1->text(), rig.text(10800));
        auto* vehicle = rig.languages().findControl("TForm5", "TForm5");
        QVERIFY(vehicle && vehicle->isWindow());
        QCOMPARE(vehicle->windowTitle(), rig.text(10820));
    }

    void everyLanguageAndBackKeepsSelectionsAndSendsNothing() {
        Rig rig;
        auto* delta = rig.ensureCombo("TForm1", "ComboBoxDeltaRpm", 10, 3);
        auto* vehicle = rig.ensureCombo("TForm5", "ComboBox2", 4, 2);
        auto* tank = rig.ensureCombo("TForm12", "ComboBoxSzkloRosMal", 2, 1);
        QSignalSpy deltaChanges(delta, &QComboBox::currentIndexChanged);
        QSignalSpy vehicleChanges(vehicle, &QComboBox::currentIndexChanged);
        QSignalSpy deltaTexts(delta, &QComboBox::currentTextChanged);
        const QString polishFile = rig.item("Plik1")->text();
        const QString polishNoController = rig.text(10081);

        for (int number : {2, 3, 4, 5, 6, 7, 8, 9, 1}) {
            const auto result = rig.languages().selectLanguage(number);
            QCOMPARE(int(result.outcome), int(i18n::LanguageOutcome::Applied));
            QCOMPARE(rig.item("Plik1")->text(), rig.text(10000));
            QCOMPARE(rig.tabText("TabSheet3"), rig.text(10300));
            QCOMPARE(delta->itemText(0), rig.text(10453));
            QCOMPARE(delta->count(), 10);
            QCOMPARE(delta->currentIndex(), 3);
            QCOMPARE(vehicle->currentIndex(), 2);
            QCOMPARE(vehicle->itemText(2), rig.text(10808));
            QCOMPARE(tank->currentIndex(), 1);
            QCOMPARE(rig.checkedLanguages(), QStringList{Text(i18n::findLanguage(number)->menuItem)});
            QCOMPARE(rig.file("jezyk.txt"), QByteArray(1, char(number)));
            if (number != 1) {
                QVERIFY2(rig.item("Plik1")->text() != polishFile, qPrintable(QString::number(number)));
                QVERIFY(rig.text(10081) != polishNoController);
            }
            if (number == 3) {
                // Decoded from Windows-1251 all the way to the widget.
                const QString tab = rig.tabText("TabSheet3");
                QVERIFY2(std::any_of(tab.begin(), tab.end(), [](QChar c) { return c.unicode() >= 0x400 && c.unicode() < 0x500; }),
                         qPrintable(tab));
            }
        }
        QCOMPARE(rig.item("Plik1")->text(), polishFile);
        QCOMPARE(rig.text(10081), polishNoController);
        QCOMPARE(deltaChanges.count(), 0);
        QCOMPARE(vehicleChanges.count(), 0);
        QCOMPARE(deltaTexts.count(), 0);
        QVERIFY(rig.port->written().empty());
        QVERIFY(rig.errors.isEmpty());
    }

    void languageMenuItemsRunTheChange() {
        Rig rig;
        rig.item("Angielski1")->trigger();
        QCOMPARE(rig.item("Plik1")->text(), QStringLiteral("File"));
        QCOMPARE(rig.languages().currentLanguage(), 2);
        // Triggering the checked item again must not leave it unchecked.
        rig.item("Angielski1")->trigger();
        QCOMPARE(rig.checkedLanguages(), QStringList{QStringLiteral("Angielski1")});
        rig.item("Rosyjski1")->trigger();
        QCOMPARE(rig.languages().charset(), 204);
        QCOMPARE(rig.file("jezyk.txt"), QByteArray(1, '\x03'));
    }

    void everyLanguageAndHelpAreReachableFromTheMenus() {
        Rig rig;
        WriteAll(rig.dir.filePath(QStringLiteral("help.txt")), "help\n");
        QList<QUrl> opened;
        rig.languages().help().setOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        rig.window->show();
        rig.window->activateWindow();
        QCoreApplication::processEvents();

        // All nine in the menu's order, each one shown, and the menu itself in the menu bar.
        QMenu* menu = rig.window->menu().menu(QStringLiteral("Jzyk1"));
        QVERIFY(rig.window->menuBar()->actions().contains(menu->menuAction()));
        QVERIFY(menu->menuAction()->isVisible());
        QStringList shown;
        for (QAction* a : menu->actions())
            if (a->isVisible() && a->isEnabled()) shown << a->objectName();
        QStringList expected;
        for (int number : i18n::kLanguageMenuOrder) expected << Text(i18n::findLanguage(number)->menuItem);
        QCOMPARE(shown, expected);

        // Each language from its item, and Polish back after each of them.
        for (int number : {2, 4, 3, 5, 6, 7, 8, 9}) {
            for (int chosen : {number, int(i18n::kPolish)}) {
                QAction* item = rig.item(std::string(i18n::findLanguage(chosen)->menuItem).c_str());
                QVERIFY(menu->actions().contains(item));
                item->trigger();
                QCOMPARE(rig.languages().currentLanguage(), chosen);
                QCOMPARE(rig.checkedLanguages(), QStringList{Text(i18n::findLanguage(chosen)->menuItem)});
                QCOMPARE(rig.item("Plik1")->text(), SourceText(chosen, 10000));
                QCOMPARE(rig.item("Jzyk1")->text(), SourceText(chosen, 10060));
                QCOMPARE(rig.file("jezyk.txt"), QByteArray(1, char(chosen)));
            }
        }
        QCOMPARE(rig.item("Plik1")->text(), QStringLiteral("Plik"));
        QVERIFY(rig.errors.isEmpty());

        // Help: the menu, its help and About items; the assembly drawing has nothing behind it.
        QMenu* help = rig.window->menu().menu(QStringLiteral("Pomoc1"));
        QVERIFY(rig.window->menuBar()->actions().contains(help->menuAction()));
        QVERIFY(help->menuAction()->isVisible());
        QVERIFY(rig.item("Help1")->isVisible());
        QVERIFY(rig.item("OProgramie1")->isVisible());
        QVERIFY(!rig.item("SchematMontaowy1")->isVisible());
        QCOMPARE(rig.item("Help1")->shortcut(), QKeySequence(Qt::Key_F1));
        QTest::keyClick(rig.window.get(), Qt::Key_F1);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.front().toLocalFile(), QFileInfo(rig.dir.filePath(QStringLiteral("help.txt"))).absoluteFilePath());
        // Still there while another language is shown.
        rig.item("Serbski1")->trigger();
        QTest::keyClick(rig.window.get(), Qt::Key_F1);
        QCOMPARE(opened.size(), 2);
    }

    void missingFileShowsTheErrorTextAndKeepsTheEarlierLanguage() {
        Rig rig({QStringLiteral("english_ks")});
        QCOMPARE(int(rig.languages().selectLanguage(2).outcome), int(i18n::LanguageOutcome::Applied));
        auto* delta = rig.ensureCombo("TForm1", "ComboBoxDeltaRpm", 10, 7);
        const auto result = rig.languages().selectLanguage(4);  // niemiecki1.txt is not there
        QCOMPARE(int(result.outcome), int(i18n::LanguageOutcome::FileMissing));
        QCOMPARE(rig.errors, QStringList{QStringLiteral("Error")});  // 12050 in English
        QVERIFY(rig.errorDetails.front().contains(QLatin1String("niemiecki1.txt")));
        QCOMPARE(rig.item("Plik1")->text(), QStringLiteral("File"));
        QCOMPARE(delta->currentIndex(), 7);
        // The other steps still ran: the check mark and jezyk.txt follow the choice.
        QCOMPARE(rig.checkedLanguages(), QStringList{QStringLiteral("Niemiecki1")});
        QCOMPARE(rig.file("jezyk.txt"), QByteArray(1, '\x04'));
    }

    void badIdStopsTheFileAndKeepsThePreference() {
        Rig rig(QStringList{});
        WriteAll(rig.dir.filePath(QStringLiteral("lang/english_ks.txt")), "10000 File\n1x000 broken\n10001 Read\n");
        WriteAll(rig.dir.filePath(QStringLiteral("jezyk.txt")), QByteArray(1, '\x01'));
        auto* delta = rig.ensureCombo("TForm1", "ComboBoxDeltaRpm", 10, 5);
        const auto result = rig.languages().selectLanguage(2);
        QCOMPARE(int(result.outcome), int(i18n::LanguageOutcome::StoppedAtBadId));
        QCOMPARE(rig.errors.size(), 1);
        QCOMPARE(rig.item("Plik1")->text(), QStringLiteral("File"));
        QVERIFY(rig.item("OdczytajParametryCTRLO1")->text() != QLatin1String("Read"));
        QCOMPARE(delta->currentIndex(), 5);
        QCOMPARE(rig.file("jezyk.txt"), QByteArray(1, '\x01'));
    }

    void startUpChoiceFromJezykTxt_data() {
        QTest::addColumn<QByteArray>("content");  // "<none>": no file
        QTest::addColumn<QString>("checked");
        QTest::addColumn<QByteArray>("afterwards");
        QTest::newRow("0x09 turkish") << QByteArray(1, '\x09') << "Turecki1" << QByteArray(1, '\x09');
        QTest::newRow("0x02 english") << QByteArray(1, '\x02') << "Angielski1" << QByteArray(1, '\x02');
        QTest::newRow("digit 2 selects nothing") << QByteArray("2") << "Polski1" << QByteArray("2");
        QTest::newRow("empty selects nothing") << QByteArray() << "Polski1" << QByteArray();
        QTest::newRow("missing selects polish") << QByteArray("<none>") << "Polski1" << QByteArray(1, '\x01');
        QTest::newRow("0x09 without its file") << QByteArray(1, '\x09') << "Turecki1" << QByteArray(1, '\x09');
    }
    void startUpChoiceFromJezykTxt() {
        QFETCH(QByteArray, content);
        QFETCH(QString, checked);
        QFETCH(QByteArray, afterwards);
        const bool none = content == "<none>";
        const bool withoutFile = QByteArray(QTest::currentDataTag()).contains("without");
        Rig rig(withoutFile ? QStringList{} : QStringList{QStringLiteral("*")}, none ? nullptr : &content);
        rig.window->firstActivation();
        QCOMPARE(rig.checkedLanguages(), QStringList{checked});
        QCOMPARE(rig.file("jezyk.txt"), afterwards);
        QCOMPARE(rig.errors.size(), withoutFile ? 1 : 0);
        if (withoutFile) return;
        if (checked == QLatin1String("Turecki1")) {
            QCOMPARE(rig.languages().charset(), 162);
            QCOMPARE(rig.languages().currentLanguage(), 9);
            QVERIFY(rig.item("Plik1")->text() != QLatin1String("Plik"));
        } else if (checked == QLatin1String("Polski1")) {
            QCOMPARE(rig.item("Plik1")->text(), QStringLiteral("Plik"));
        }
    }

    void refreshPutsBackPlaceholdersAndInjectorStates() {
        Rig rig;
        // Plain or rich text memos both carry "plainText".
        QWidget* memo = rig.ensure<QPlainTextEdit>("TForm1", "MemoOpisParametru");
        QWidget* described = rig.ensure<QPlainTextEdit>("TForm1", "MemoOpisZaawansowanych");
        auto memoText = [](QWidget* w) { return w->property("plainText").toString(); };
        memo->setProperty("plainText", QStringLiteral("old"));
        described->setProperty("plainText", QStringLiteral("a parameter's description"));
        described->setProperty(ui::kShowsDescriptionProperty, true);
        rig.state.words[live::word::TestMask] = 0x04;  // injector 3 switched off, as a frame reported
        rig.window->feed().accept(live::ReadingsView{});

        QCOMPARE(int(rig.languages().selectLanguage(2).outcome), int(i18n::LanguageOutcome::Applied));
        QCOMPARE(memoText(memo), rig.text(11043));
        QVERIFY(memoText(memo) != QLatin1String("Wybierz parametr aby zobaczyć jego opis."));
        QCOMPARE(memoText(described), QStringLiteral("a parameter's description"));
        auto button = [&](int n) { return rig.window->findChild<QPushButton*>(QStringLiteral("ButtonW%1").arg(n)); };
        if (button(1) == nullptr) QSKIP("the injector switches are not in the window");
        QCOMPARE(button(3)->text(), rig.text(10602));
        QCOMPARE(button(1)->text(), rig.text(10601));
        QCOMPARE(button(8)->text(), rig.text(10601));
    }

    void longTranslationsAreNotCutShort() {
        Rig rig;
        rig.window->show();
        QCOMPARE(int(rig.languages().selectLanguage(3).outcome), int(i18n::LanguageOutcome::Applied));
        // The new texts' layout requests and the fitting of clipped texts are events already queued.
        QCoreApplication::processEvents();
        for (QPushButton* b : rig.window->findChildren<QPushButton*>()) {
            if (!b->isVisible() || b->property("caption").isValid()) continue;
            QVERIFY2(b->maximumWidth() >= b->sizeHint().width(), qPrintable(b->objectName() + b->text()));
        }
        for (QLabel* l : rig.window->findChildren<QLabel*>()) {
            if (!l->isVisible() || l->textFormat() == Qt::RichText) continue;
            // A label that breaks its text over lines fits when all of its lines are there.
            const bool fits = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                            : l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width();
            QVERIFY2(fits || l->toolTip() == l->text(), qPrintable(l->objectName() + QLatin1Char(' ') + l->text() + QStringLiteral(" wrap=%1 w=%2 need=%3").arg(l->wordWrap()).arg(l->contentsRect().width()).arg(l->fontMetrics().horizontalAdvance(l->text()))));
        }
    }

    void hintsFollowTheLanguage() {
        Rig rig;
        QWidget* edit = rig.ensure<QLineEdit>("TForm1", "EditMinTempPrzel");
        QWidget* coil = rig.ensure<QComboBox>("TForm1", "ComboBoxCewka");
        QCOMPARE(int(rig.languages().selectLanguage(2).outcome), int(i18n::LanguageOutcome::Applied));
        const QString hint = edit->toolTip();
        QVERIFY2(hint.startsWith(QStringLiteral("[-20 -:- +80]\n")), qPrintable(hint));
        QVERIFY(hint.contains(rig.text(11004).section(QLatin1Char(' '), 0, 1)));
        QCOMPARE(edit->toolTipDuration(), 30000);
        QVERIFY(coil->toolTip().startsWith(rig.text(11001).left(20)));
        // Every line is broken at the first space after column 40.
        for (const QString& tip : {hint, coil->toolTip()})
            for (const QString& line : tip.split(QLatin1Char('\n')))
                QVERIFY2(line.indexOf(QLatin1Char(' '), 40) < 0, qPrintable(line));
        QVERIFY(coil->toolTip().count(QLatin1Char('\n')) >= 2);
    }

    void listEntryBeyondTheListIsSkipped() {
        Rig rig;
        auto* delta = rig.ensureCombo("TForm1", "ComboBoxDeltaRpm", 0, -1);
        while (delta->count() > 2) delta->removeItem(delta->count() - 1);
        while (delta->count() < 2) delta->addItem(QStringLiteral("x"));
        delta->setCurrentIndex(1);
        (void)rig.languages().applyCurrentTexts();
        QCOMPARE(delta->count(), 2);
        QCOMPARE(delta->currentIndex(), 1);
        QCOMPARE(delta->itemText(1), rig.text(10454));
        QVERIFY(rig.languages().missingTargets().contains(QStringLiteral("TForm1/ComboBoxDeltaRpm[9]")));
    }

    void windowSizeItems() {
        Rig rig;
        auto sized = [&] {
            QStringList out;
            for (const char* n : {"N800x6001", "N1024x7681", "N1280x10241"})
                if (rig.item(n)->isChecked()) out << QString::fromLatin1(n);
            return out;
        };
        for (const char* n : {"N1024x7681", "N800x6001", "N1280x10241", "N1024x7681", "N1024x7681"}) {
            rig.item(n)->trigger();
            QCOMPARE(sized(), QStringList{QString::fromLatin1(n)});
            QVERIFY(rig.item("N640x4801")->isChecked());
        }
        QCOMPARE(rig.file("rozdz.txt"), QByteArray(1, '\x01'));
        const bool screenIs1024 = rig.window->screen()->geometry().width() == 1024;
        QCOMPARE(rig.window->isMaximized(), screenIs1024);
        rig.item("N800x6001")->trigger();
        QCOMPARE(rig.file("rozdz.txt"), QByteArray(1, '\x00'));
        rig.item("N640x4801")->trigger();
        QVERIFY(rig.item("N640x4801")->isChecked());
        QCOMPARE(rig.file("rozdz.txt"), QByteArray(1, '\x00'));
    }

    void helpOpensTheStartDirectoryFileOrShowsItItself() {
        QTemporaryDir dir;
        i18n::MessageStore store;
        QWidget owner;
        const QByteArray content = "Connecting: plug the cable in.\nŁączenie: podłącz kabel.\n";
        WriteAll(dir.filePath(QStringLiteral("help.txt")), content);

        QList<QUrl> opened;
        ui::HelpViewer viewer(dir.path(), store, &owner, [&](const QUrl& url) {
            opened << url;
            return true;
        });
        QVERIFY(viewer.show());
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(dir.filePath(QStringLiteral("help.txt")))});
        QVERIFY(viewer.fallbackWindow() == nullptr);

        ui::HelpViewer noViewer(dir.path(), store, &owner, [](const QUrl&) { return false; });
        QVERIFY(!noViewer.show());
        QVERIFY(noViewer.fallbackWindow() && noViewer.fallbackWindow()->isVisible());
        auto* text = noViewer.fallbackWindow()->findChild<QPlainTextEdit*>();
        QVERIFY(text && text->isReadOnly());
        QCOMPARE(text->toPlainText(), QString::fromUtf8(content));
        QVERIFY(!noViewer.fallbackWindow()->isModal());

        // No help.txt anywhere: the own window names the places it was looked for.
        QFile::remove(dir.filePath(QStringLiteral("help.txt")));
        if (!noViewer.locate().isEmpty()) QSKIP("an installed help.txt exists on this machine");
        int calls = 0;
        ui::HelpViewer missing(dir.path(), store, &owner, [&](const QUrl&) {
            ++calls;
            return true;
        });
        QVERIFY(!missing.show());
        QCOMPARE(calls, 0);
        const QString shown = missing.fallbackWindow()->findChild<QPlainTextEdit*>()->toPlainText();
        QVERIFY(shown.startsWith(Text(store.text(12000))));
        QVERIFY(shown.contains(dir.filePath(QStringLiteral("help.txt"))));
    }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
