#include "ui/pages/errors_page.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "link/commands.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/sequence_runner.h"
#include "ui/widgets/colour_button.h"

namespace sequaflow::ui {

ErrorsPage::ErrorsPage(const ConfigurationModel& model, SequenceRunner& runner, const i18n::MessageStore& messages,
                       QWidget* parent)
    : QWidget(parent), model_(model), runner_(runner), messages_(messages) {
    setObjectName(QStringLiteral("TabSheet11"));
    auto* layout = new QVBoxLayout(this);

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("MemoBledy"));
    memo_->setReadOnly(true);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(27);
    memo_->setFont(font);
    QPalette face = memo_->palette();
    face.setColor(QPalette::Base, palette().color(QPalette::Button));
    memo_->setPalette(face);
    layout->addWidget(memo_, 1);

    auto* buttons = new QHBoxLayout;
    show_ = new ColourButton(QStringLiteral("pokaż kody błędów"), this);
    show_->setObjectName(QStringLiteral("ButtonsERRORSshow"));
    clear_ = new ColourButton(QStringLiteral("Kasuj kody błędów"), this);
    clear_->setObjectName(QStringLiteral("ButtonsERRORS"));
    for (ColourButton* b : {show_, clear_}) {
        b->setMinimumHeight(40);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(show_, &ColourButton::clicked, this, &ErrorsPage::showErrors);
    connect(clear_, &ColourButton::clicked, this, &ErrorsPage::clearAndShow);
    // Before any frame the words are zero: the no-faults list.
    showMemo(diag::BuildErrorMemo(diag::BuildErrorList(model_.words())));
}

void ErrorsPage::showErrors() { showMemo(diag::BuildErrorMemo(diag::BuildErrorList(model_.words()))); }

bool ErrorsPage::sendClear() {
    bool sent = false;
    (void)runner_.exchange([&](link::ControllerLink& line) {
        auto& link = line.link();
        const auto before = link.framesSent();
        link::ClearErrors(link);
        sent = link.framesSent() != before;
    });
    return sent;
}

void ErrorsPage::clearAndShow() {
    // "No faults" after a request that never left would tell the installer the faults are gone.
    if (sendClear()) showMemo(diag::ClearedErrorMemo());
}

void ErrorsPage::languageChanged() { showMemo(shown_); }

void ErrorsPage::showMemo(const diag::ErrorMemo& memo) {
    shown_ = memo;
    const auto lines = diag::MemoLines(memo, [this](int id) { return Text(messages_, id).toStdString(); });
    QStringList text;
    for (const auto& line : lines) text << QString::fromStdString(line);
    QPalette p = memo_->palette();
    p.setColor(QPalette::Text, memo.red ? QColor(Qt::red) : QColor(Qt::black));
    memo_->setPalette(p);
    memo_->setPlainText(text.join(QLatin1Char('\n')));
}

}  // namespace sequaflow::ui
