#include "ui/pages/adaptation_page.h"

#include <QVBoxLayout>

#include "ui/fields.h"
#include "ui/session.h"
#include "ui/widgets/round_meter.h"

namespace sequaflow::ui {

AdaptationPage::AdaptationPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
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
    connect(&session_, &Session::readingsUpdated, this, &AdaptationPage::showReadings);
}

void AdaptationPage::showReadings() {
    const auto& v = session_.view();
    meter_->setValue(v.rpmGauge);
    SetTextIfChanged(text_, QString::fromStdString(v.rpmPlain));
}

}  // namespace sequaflow::ui
