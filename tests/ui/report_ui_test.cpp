#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include "ui/pages/report_page.h"
#include "ui_rig.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;

namespace {

struct ReportRig : VirtualRig {
    explicit ReportRig(Behind behind) : VirtualRig(behind) { activate(); }
    ui::ReportPage* page() const { return find<ui::ReportPage>("TabSheet9"); }
    QTextEdit* console() const { return find<QTextEdit>("Konsola"); }
    void click(const char* button) const { find<QPushButton>(button)->click(); }
    QStringList consoleLines() const { return console()->toPlainText().split(QLatin1Char('\n')); }
    // The colour of the text of console line `n`.
    QColor colourOf(int n) const {
        const QTextBlock block = console()->document()->findBlockByNumber(n);
        return block.begin().fragment().charFormat().foreground().color();
    }
    QString lineStarting(const QString& prefix) const {
        for (const QString& l : consoleLines())
            if (l.startsWith(prefix)) return l;
        return {};
    }
};

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class ReportUiTest : public QObject {
    Q_OBJECT
private slots:
    void reportWithoutControllerShowsWhatTheScreensShow();
    void reportAfterAReadCarriesTheControllersValues();
    void copyPutsFormattedAndPlainTextOnTheClipboard();
    void savedPdfHasItsPagesAndALongReportContinuesOnANewPage();
};

void ReportUiTest::reportWithoutControllerShowsWhatTheScreensShow() {
    ReportRig rig(Behind::Nothing);
    rig.find<QLineEdit>("EditWspolneCykle")->setText(QStringLiteral("7"));
    rig.click("ButtonKonfiguracja");
    const QStringList lines = rig.consoleLines();
    // No controller: the reducer sensor label stays hidden, so 46 lines.
    QCOMPARE(lines.size(), 46);
    QVERIFY2(lines[0].startsWith(QStringLiteral("Konfiguracja sprzętowa:\t\t")), qPrintable(lines[0]));
    QCOMPARE(rig.colourOf(0), QColor(255, 0, 0));
    QCOMPARE(lines[1], QStringLiteral("Wersja programu PC:\t\t\tKestra sequaflow system - V 2.20 (16.02.2010)"));
    QCOMPARE(rig.colourOf(1), QColor(0, 0, 255));
    QCOMPARE(lines[6], QStringLiteral("Dane samochodu:"));
    QCOMPARE(rig.colourOf(6), QColor(0, 128, 0));
    QCOMPARE(lines[14], QStringLiteral("Parametry :\t\t\t"));
    QCOMPARE(rig.colourOf(14), QColor(128, 0, 128));
    QCOMPARE(rig.lineStarting(QStringLiteral("Wspólne cykle")), QStringLiteral("Wspólne cykle 7 [cykle]"));
    // The report is not rebuilt by itself: an edit shows only after the next press.
    rig.find<QLineEdit>("EditWspolneCykle")->setText(QStringLiteral("8"));
    QCOMPARE(rig.lineStarting(QStringLiteral("Wspólne cykle")), QStringLiteral("Wspólne cykle 7 [cykle]"));
    rig.click("ButtonKonfiguracja");
    QCOMPARE(rig.consoleLines().size(), 46);
    QCOMPARE(rig.lineStarting(QStringLiteral("Wspólne cykle")), QStringLiteral("Wspólne cykle 8 [cykle]"));
}

void ReportUiTest::reportAfterAReadCarriesTheControllersValues() {
    ReportRig rig(Behind::Simulator);
    rig.click("ButtonKonfiguracja");
    const QStringList lines = rig.consoleLines();
    QCOMPARE(lines.size(), 47);  // hardware 0x43, software 37: the reducer sensor line is there
    QCOMPARE(lines[2], QStringLiteral("Urządzenie:\t\t\td.4"));
    QCOMPARE(lines[5], QStringLiteral("Numer seryjny:\t\t\t\t4711"));
    QCOMPARE(rig.lineStarting(QStringLiteral("Wspólne cykle")), QStringLiteral("Wspólne cykle 4 [cykle]"));
    QCOMPARE(rig.lineStarting(QStringLiteral("Temperatura przełączenia")),
             QStringLiteral("Temperatura przełączenia\t\t25 [°C]"));
    const QString mixture = rig.lineStarting(QStringLiteral("Korekta mieszanki"));
    QCOMPARE(mixture, QStringLiteral("Korekta mieszanki\t\t+15 [%]"));
    QCOMPARE(rig.colourOf(static_cast<int>(lines.indexOf(mixture))), QColor(255, 0, 0));
    QVERIFY(!rig.lineStarting(QStringLiteral("Czujnik temp. reduktora\t\t\t")).isEmpty());
    // The vehicle lines come from the record the read left in TForm5, without the dialog ever opening.
    QCOMPARE(rig.lineStarting(QStringLiteral("Nr rejestracyjny")), QStringLiteral("Nr rejestracyjny: :\t\t\t\tWX 4711 AB  "));
    QCOMPARE(rig.lineStarting(QStringLiteral("Liczba Cylindrów")), QStringLiteral("Liczba Cylindrów: :\t\t\t4"));
    QCOMPARE(rig.lineStarting(QStringLiteral("Pojemność silnika")), QStringLiteral("Pojemność silnika: :\t\t\t1,60 L"));

    const auto printed = rig.page()->printedLines();
    QCOMPARE(printed.size(), std::size_t{50});
    QCOMPARE(QString::fromStdString(printed[23]), QStringLiteral("Wspólne cykle 4 [cykle]"));
}

void ReportUiTest::copyPutsFormattedAndPlainTextOnTheClipboard() {
    ReportRig rig(Behind::Nothing);
    rig.click("ButtonKonfiguracja");
    QApplication::clipboard()->clear();
    rig.click("ButtonKopiujDoSchowka");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data != nullptr);
    QVERIFY(data->hasHtml());
    QVERIFY(data->text().startsWith(QStringLiteral("Konfiguracja sprzętowa:")));
    QVERIFY(data->text().contains(QStringLiteral("Parametry :")));
}

void ReportUiTest::savedPdfHasItsPagesAndALongReportContinuesOnANewPage() {
    ReportRig rig(Behind::Simulator);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(rig.page()->saveReportPdf(path));
    const QByteArray pdf = ReadAll(path);
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY2(pdf.contains("/Count 1"), "the report fits one A4 page at 600 dpi");
    QVERIFY(!QFile::exists(path + QStringLiteral(".part")));

    // At 300 dpi an A4 page holds about 30 lines 110 units apart: the rest goes on a second page.
    const QString lowRes = dir.filePath(QStringLiteral("300dpi.pdf"));
    {
        QPdfWriter writer(lowRes);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&writer);
        QCOMPARE(ui::ReportPage::PaintReport(writer, painter, rig.page()->printedLines()), 2);
    }
    QVERIFY(ReadAll(lowRes).contains("/Count 2"));

    // A place that cannot be written says so and leaves nothing behind.
    const QString bad = dir.filePath(QStringLiteral("missing/report.pdf"));
    QVERIFY(!rig.page()->saveReportPdf(bad));
    QVERIFY(!QFile::exists(bad));
    QVERIFY(!rig.dialogs.texts.isEmpty());
    QVERIFY(rig.dialogs.texts.last().startsWith(QStringLiteral("The report could not be written to ")));
    QCOMPARE(rig.page()->suggestedPdfName().endsWith(QStringLiteral(".pdf")), true);
}

QTEST_MAIN(ReportUiTest)
#include "report_ui_test.moc"
