#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <QWidget>

#include "i18n/message_store.h"
#include "ui/page.h"

class QColor;
class QPagedPaintDevice;
class QPainter;
class QPushButton;
class QTextEdit;

namespace sequaflow::ui {

// Page TabSheet9 ("Odczyt konfiguracji (F10)"): the configuration report as coloured text, copied, printed or
// saved as a PDF. It reads what the controls of the window and its dialogs show, never the controller, so it
// works without one.
class ReportPage final : public QWidget, public Page {
    Q_OBJECT
public:
    // The control `control` of the form `form` ("TForm1" the main window): a widget or a menu item, or
    // nullptr when the window has none.
    using ControlFinder = std::function<QObject*(std::string_view form, std::string_view control)>;

    ReportPage(ControlFinder finder, const i18n::MessageStore& messages, QWidget* parent = nullptr);

    // ButtonKonfiguracja: the console report, rebuilt.
    void showReport();
    // ButtonKopiujDoSchowka: the whole console to the clipboard, formatted and plain.
    void copyToClipboard();
    // ButtonDrukuj: the print dialog, then the printed report.
    void print();
    // "Save report as PDF…": a file dialog with the suggested name, then saveReportPdf.
    void savePdf();

    // The printed report into a PDF file; false (and a message box) when it cannot be written.
    bool saveReportPdf(const QString& path);
    // "<registration>_<date>.pdf", from the vehicle data dialog and today's date.
    QString suggestedPdfName() const;
    // The printed lines as they stand now.
    std::vector<std::string> printedLines() const;

    // Paints `lines` on `device` (begun by `painter`), starting new pages where the page ends; the number
    // of pages, or -1 when the device refused a new page.
    static int PaintReport(QPagedPaintDevice& device, QPainter& painter, const std::vector<std::string>& lines);

private:
    void appendConsoleLine(const QString& text, const QColor& colour);

    ControlFinder finder_;
    const i18n::MessageStore& messages_;
    QTextEdit* console_ = nullptr;
};

}  // namespace sequaflow::ui
