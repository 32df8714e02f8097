#include "ui/pages/readings_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/fields.h"
#include "ui/live_feed.h"
#include "ui/widgets/vertical_bar.h"

namespace sequaflow::ui {

namespace {
// Bars of injection times in ticks: 25 ms at the slow clock fills them.
constexpr double kTickRange = 5760;
}

ReadingsPage::ReadingsPage(const LiveFeed& feed, QWidget* parent) : QWidget(parent), feed_(feed) {
    setObjectName(QStringLiteral("TabSheet1"));
    auto* grid = new QGridLayout(this);
    auto makeGroup = [this, grid](const QString& name, const QString& barPrefix,
                                  const QString& editPrefix, std::array<VerticalBar*, 8>& bars,
                                  std::array<QLineEdit*, 8>& edits, const QColor& colour, int row) {
        auto* box = new QGroupBox(this);  // the bar colours tell petrol (red) from gas (green)
        box->setObjectName(name);
        auto* g = new QGridLayout(box);
        for (int c = 0; c < 8; ++c) {
            const auto i = static_cast<std::size_t>(c);
            bars[i] = new VerticalBar(box);
            bars[i]->setObjectName(barPrefix + QString::number(c + 1));
            bars[i]->setRange(0, kTickRange);
            bars[i]->setBarColour(colour);
            bars[i]->setMinimumHeight(90);
            edits[i] = MakeValueField(editPrefix + QString::number(c + 1), box, 4);
            g->addWidget(bars[i], 0, c, Qt::AlignHCenter);
            g->addWidget(edits[i], 1, c);
        }
        grid->addWidget(box, row, 0, 1, 2);
    };
    makeGroup(QStringLiteral("GroupBoxOdczytyInjBenz"), QStringLiteral("VBarB"),
              QStringLiteral("EditB"), petrolBars_, petrol_, QColor(200, 40, 40), 0);
    makeGroup(QStringLiteral("GroupBoxOdczytyLPGInj"), QStringLiteral("VBarG"),
              QStringLiteral("EditG"), gasBars_, gas_, QColor(30, 130, 60), 1);

    auto lambda = [this](int n, LambdaDisplay& display) {
        auto* box = new QWidget(this);
        auto* g = new QVBoxLayout(box);
        auto* label = MakeLabel(QStringLiteral("LabelL%1").arg(n), QStringLiteral("\u03BB%1").arg(n), box);
        display.bar = new VerticalBar(box);
        display.bar->setObjectName(QStringLiteral("AbVBarPanelSonda%1").arg(n));
        display.bar->setRange(0, 5);
        display.bar->setMinimumHeight(90);
        display.text = MakeValueField(QStringLiteral("EditAbVBarSonda%1").arg(n), box, 5);
        display.shownWhenFitted = {display.bar, label};
        g->addWidget(label);
        g->addWidget(display.bar, 1, Qt::AlignHCenter);
        g->addWidget(display.text);
        return box;
    };
    grid->addWidget(lambda(1, lambda1_), 2, 0);
    grid->addWidget(lambda(2, lambda2_), 2, 1);

    auto* temps = new QGridLayout;
    temps->addWidget(MakeLabel(QStringLiteral("LabelOdczytyTempRTemp"), QStringLiteral("Temp. reduktora"), this), 0, 0);
    reducer_ = MakeValueField(QStringLiteral("EditOdczytyTempR"), this);
    temps->addWidget(reducer_, 0, 1);
    temps->addWidget(MakeLabel(QStringLiteral("LabelOdczytyTempLPGTemp"), QStringLiteral("Temp. gazu"), this), 1, 0);
    gasTemp_ = MakeValueField(QStringLiteral("EditOdczytyTempLPG"), this);
    temps->addWidget(gasTemp_, 1, 1);
    grid->addLayout(temps, 3, 0, 1, 2);
    auto* map = new QPushButton(QStringLiteral("Mapa"), this);
    map->setObjectName(QStringLiteral("MapyButton"));
    connect(map, &QPushButton::clicked, this, &ReadingsPage::mapRequested);
    grid->addWidget(map, 4, 0, Qt::AlignLeft);
    grid->setRowStretch(5, 1);

    connect(&feed_, &LiveFeed::frameAccepted, this, &ReadingsPage::showReadings);
}

void ReadingsPage::showReadings() {
    const auto& v = feed_.view();
    for (std::size_t c = 0; c < 8; ++c) {
        petrolBars_[c]->setValue(v.petrolTicks[c]);
        gasBars_[c]->setValue(v.gasTicks[c]);
        SetTextIfChanged(petrol_[c], QString::fromStdString(v.petrolText[c]));
        SetTextIfChanged(gas_[c], QString::fromStdString(v.gasText[c]));
    }
    lambda1_.show(v.lambda1, v.lambda1V, v.lambda1Text);
    lambda2_.show(v.lambda2, v.lambda2V, v.lambda2Text);
    SetTextIfChanged(reducer_, QString::fromStdString(v.reducerText));
    SetTextIfChanged(gasTemp_, QString::fromStdString(v.gasTempText));
}

void ReadingsPage::setInjectionRange(int ticks) {
    // A controller that holds no maximum yet keeps the bars usable instead of a range of nothing.
    const double top = ticks > 0 ? ticks : kTickRange;
    for (auto* bars : {&petrolBars_, &gasBars_})
        for (VerticalBar* bar : *bars) bar->setRange(0, top);
}

void ReadingsPage::setLambdaTypes(int type1, int type2, const QString& absentText) {
    lambda1_.setType(type1, absentText);
    lambda2_.setType(type2, absentText);
}

}  // namespace sequaflow::ui
