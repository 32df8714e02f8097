#include "ui/pages/report_page.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QTextEdit>
#include <QTime>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "record/config_report.h"
#include "ui/fields.h"

namespace sequaflow::ui {
namespace {

QString FromStd(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string ToStd(const QString& s) { return s.toUtf8().toStdString(); }

// A caption as the control shows it: "&Zapisz" shows "Zapisz", "&&" shows "&".
QString Shown(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QLatin1Char('&')) text.remove(i, 1);
    return text;
}

// The report's view of the window: what each control shows right now.
class WidgetReportSource final : public record::ReportSource {
public:
    WidgetReportSource(const ReportPage::ControlFinder& finder, const i18n::MessageStore& messages)
        : finder_(finder), messages_(messages) {}

    std::string controlText(std::string_view form, std::string_view control) const override {
        QObject* o = finder_(form, control);
        if (o == nullptr) return {};
        if (auto* edit = qobject_cast<QLineEdit*>(o)) return ToStd(edit->text());
        if (auto* combo = qobject_cast<QComboBox*>(o)) return ToStd(combo->currentText());
        if (auto* label = qobject_cast<QLabel*>(o)) return ToStd(label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(o)) return ToStd(Shown(button->text()));
        if (auto* group = qobject_cast<QGroupBox*>(o)) return ToStd(Shown(group->title()));
        if (auto* item = qobject_cast<QAction*>(o)) return ToStd(Shown(item->text()));
        const QVariant caption = o->property("caption");
        return caption.isValid() ? ToStd(caption.toString()) : std::string{};
    }
    std::optional<int> selectedIndex(std::string_view form, std::string_view control) const override {
        auto* combo = qobject_cast<QComboBox*>(finder_(form, control));
        if (combo == nullptr || combo->currentIndex() < 0) return std::nullopt;
        return combo->currentIndex();
    }
    bool isVisible(std::string_view form, std::string_view control) const override {
        // The control's own visibility, not whether its page is the one in front.
        auto* w = qobject_cast<QWidget*>(finder_(form, control));
        return w != nullptr && !w->isHidden();
    }
    std::string messageText(int id) const override { return std::string(messages_.text(id)); }
    std::string dateText() const override {
        return ToStd(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    }
    std::string timeText() const override {
        return ToStd(QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat));
    }

private:
    const ReportPage::ControlFinder& finder_;
    const i18n::MessageStore& messages_;
};

QColor ColourOf(record::ReportColour c) {
    const record::Rgb rgb = record::RgbOf(c);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// Printers and PDFs take the report at 600 dots per inch, so the positions in device units and a 10 point
// font give the same page on every printer.
constexpr int kPrintDpi = 600;
constexpr int kPrintFontPt = 10;

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

ReportPage::ReportPage(ControlFinder finder, const i18n::MessageStore& messages, QWidget* parent)
    : QWidget(parent), finder_(std::move(finder)), messages_(messages) {
    setObjectName(QStringLiteral("TabSheet9"));
    auto* row = new QHBoxLayout(this);
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PanelKonfiguracji"));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    console_ = new QTextEdit(panel);
    console_->setObjectName(QStringLiteral("Konsola"));
    console_->setReadOnly(true);
    console_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    console_->setLineWrapMode(QTextEdit::NoWrap);
    QFont consoleFont(QStringLiteral("Arial"));
    consoleFont.setPixelSize(13);
    console_->setFont(consoleFont);
    // Tabs line the values up as the report's separators expect.
    console_->setTabStopDistance(QFontMetricsF(consoleFont).horizontalAdvance(QLatin1Char('x')) * 8);
    panelLayout->addWidget(console_);
    row->addWidget(panel, 1);

    auto* buttons = new QVBoxLayout;
    QPushButton* show = MakeButton("ButtonKonfiguracja", QStringLiteral("Pokaz Konfiguracje"), this);
    QPushButton* copy = MakeButton("ButtonKopiujDoSchowka", QStringLiteral("Kopiuj Tekst Do schowka"), this);
    QPushButton* print = MakeButton("ButtonDrukuj", QStringLiteral("DRUKUJ"), this);
    QPushButton* pdf = MakeButton("ButtonZapiszPdf", QStringLiteral("Zapisz raport jako PDF…"), this);
    SetTextId(pdf, i18n::msg::SaveReportPdf);
    for (QPushButton* b : {show, copy, print, pdf}) buttons->addWidget(b);
    buttons->addStretch(1);
    row->addLayout(buttons);

    connect(show, &QPushButton::clicked, this, &ReportPage::showReport);
    connect(copy, &QPushButton::clicked, this, &ReportPage::copyToClipboard);
    connect(print, &QPushButton::clicked, this, &ReportPage::print);
    connect(pdf, &QPushButton::clicked, this, &ReportPage::savePdf);
}

void ReportPage::appendConsoleLine(const QString& text, const QColor& colour) {
    console_->setTextColor(colour);
    console_->append(text);
    console_->setTextColor(Qt::black);
}

void ReportPage::showReport() {
    console_->clear();
    const WidgetReportSource source(finder_, messages_);
    for (const auto& line : record::BuildConsoleReport(source)) appendConsoleLine(FromStd(line.text), ColourOf(line.colour));
    console_->moveCursor(QTextCursor::Start);  // the report is read from its heading
}

void ReportPage::copyToClipboard() {
    console_->selectAll();
    console_->copy();
    console_->setFocus();
}

std::vector<std::string> ReportPage::printedLines() const {
    return record::BuildPrintedReport(WidgetReportSource(finder_, messages_));
}

int ReportPage::PaintReport(QPagedPaintDevice& device, QPainter& painter, const std::vector<std::string>& lines) {
    QFont font = painter.font();
    font.setPointSize(kPrintFontPt);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const auto layout = record::LayOutReport(lines.size(), record::kReportTop, record::kReportStep, metrics.height(),
                                             painter.device()->height());
    int page = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (layout[i].page != page) {
            if (!device.newPage()) return -1;
            page = layout[i].page;
        }
        // The position is the top of the text, as printers place it.
        painter.drawText(QPoint(record::kReportLeft, layout[i].y + metrics.ascent()),
                         FromStd(record::ExpandTabs(lines[i])));
    }
    return record::PageCountOf(layout);
}

void ReportPage::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(kPrintDpi);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const auto lines = printedLines();
    QPainter painter;
    bool ok = painter.begin(&printer);
    if (ok) ok = PaintReport(printer, painter, lines) >= 0;
    if (painter.isActive()) ok = painter.end() && ok;
    if (!ok || printer.printerState() == QPrinter::Error)
        QMessageBox::warning(this, QStringLiteral("sequaflow"),
                             QStringLiteral("The report could not be printed on %1.").arg(printer.printerName()));
}

QString ReportPage::suggestedPdfName() const {
    const QDate today = QDate::currentDate();
    const WidgetReportSource source(finder_, messages_);
    return FromStd(record::ReportFileName(source.controlText("TForm5", "NrRejEdit"), today.year(), today.month(),
                                          today.day()));
}

void ReportPage::savePdf() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save report as PDF"),
                                                      QDir::current().filePath(suggestedPdfName()),
                                                      QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty()) (void)saveReportPdf(path);
}

bool ReportPage::saveReportPdf(const QString& path) {
    const auto lines = printedLines();
    // Written beside the target and renamed into place, so a failed write never leaves half a report.
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        QPdfWriter writer(&file);
        writer.setResolution(kPrintDpi);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(QStringLiteral("Configuration report"));
        QPainter painter;
        ok = painter.begin(&writer);
        if (ok) ok = PaintReport(writer, painter, lines) >= 0;
        if (painter.isActive()) ok = painter.end() && ok;
    }
    ok = ok && file.commit();
    if (!ok) {
        file.cancelWriting();
        QMessageBox::warning(this, QStringLiteral("sequaflow"),
                             QStringLiteral("The report could not be written to %1.").arg(QDir::toNativeSeparators(path)));
    }
    return ok;
}

}  // namespace sequaflow::ui
