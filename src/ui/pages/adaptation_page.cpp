#include "ui/pages/adaptation_page.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "i18n/message_ids.h"

#include "ui/fields.h"
#include "ui/live_feed.h"
#include "ui/widgets/round_meter.h"

namespace sequaflow::ui {

AdaptationPage::AdaptationPage(const LiveFeed& feed, const i18n::MessageStore& messages, QWidget* parent)
    : QWidget(parent), feed_(feed), messages_(messages) {
    setObjectName(QStringLiteral("TabSheet5"));
    auto* layout = new QVBoxLayout(this);
    meter_ = new RoundMeter(this);
    meter_->setObjectName(QStringLiteral("ObrotomierzAd"));
    meter_->setRange(0, 8);
    meter_->setSignalName(QStringLiteral("Obroty"));
    meter_->setUnitText(QStringLiteral("x1000"));
    meter_->setMinimumSize(260, 260);
    text_ = MakeValueField(QStringLiteral("EditObrotomierzAd"), this);
    layout->addWidget(meter_, 1, Qt::AlignHCenter);
    layout->addWidget(text_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    connect(&feed_, &LiveFeed::frameAccepted, this, &AdaptationPage::showReadings);
}

void AdaptationPage::showReadings() {
    const auto& v = feed_.view();
    meter_->setValue(v.rpmGauge);
    SetTextIfChanged(text_, QString::fromStdString(v.rpmPlain));
}

bool AdaptationPage::canLeave() {
    const auto answer = QMessageBox::question(this, QString(), Text(messages_, i18n::msg::LeaveAdaptation),
                                              QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return false;
    emit left();
    return true;
}

void AdaptationPage::languageChanged() {
    // While the procedure runs, its button says "abort" and its memo holds the current instruction.
    if (auto* button = findChild<QAbstractButton*>(QStringLiteral("ButtonRozpocznijAuto")))
        button->setText(Text(messages_, running_ ? i18n::msg::Abort : i18n::msg::Start));
    if (running_) return;
    if (auto* memo = findChild<QPlainTextEdit*>(QStringLiteral("MemoAutoadaptacja")))
        memo->setPlainText(Text(messages_, i18n::msg::AdaptationIntro));
}

}  // namespace sequaflow::ui
