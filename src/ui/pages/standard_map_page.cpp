#include "ui/pages/standard_map_page.h"

#include <QGridLayout>
#include <QLineEdit>

#include "maps/standard_map_view.h"
#include "ui/fields.h"
#include "ui/configuration_model.h"
#include "ui/live_feed.h"
#include "ui/widgets/vertical_bar.h"

namespace sequaflow::ui {

namespace {
// What the fields show before a controller has been read.
constexpr const char* kHeaderDefaults[12] = {"1,5", "2", "3", "4", "6", "8", "10", "12", "15", "18", "22", "+22"};
constexpr const char* kCellDefaults[12] = {"0", "+10", "0", "-10", "-5", "-2", "0", "+5", "+8", "+12", "+16", "+20"};
}  // namespace

StandardMapPage::StandardMapPage(const ConfigurationModel& model, const LiveFeed& feed, QWidget* parent)
    : QWidget(parent), model_(model), feed_(feed) {
    setObjectName(QStringLiteral("TabSheet7"));
    auto* grid = new QGridLayout(this);
    // Twelve columns of fields: tight spacing keeps the window within a 1024-pixel screen.
    grid->setHorizontalSpacing(2);
    bar_ = new VerticalBar(this);
    bar_->setObjectName(QStringLiteral("AbBar1"));
    bar_->setOrientation(Qt::Horizontal);
    bar_->setRange(0, 24);
    bar_->setMinimumHeight(28);
    grid->addWidget(bar_, 0, 0, 1, 12);
    for (int k = 0; k < 12; ++k) {
        const auto i = static_cast<std::size_t>(k);
        headers_[i] = MakeValueField(QStringLiteral("Edit_%1").arg(k + 1), this, 3);
        headers_[i]->setAlignment(Qt::AlignCenter);
        headers_[i]->setText(QString::fromLatin1(kHeaderDefaults[k]));
        cells_[i] = MakeValueField(QStringLiteral("Edit_%1").arg(k + 13), this, 3);
        cells_[i]->setAlignment(Qt::AlignCenter);
        cells_[i]->setText(QString::fromLatin1(kCellDefaults[k]));
        grid->addWidget(headers_[i], 1, k);
        grid->addWidget(cells_[i], 2, k);
    }
    grid->setRowStretch(3, 1);
    connect(&feed_, &LiveFeed::frameAccepted, this, &StandardMapPage::showReadings);
    connect(&model_, &ConfigurationModel::readFinished, this, &StandardMapPage::showMaps);
    connect(&model_, &ConfigurationModel::mapsChanged, this, &StandardMapPage::showMaps);
    // The headers are times: they follow the clock flag of the first flags word.
    connect(&model_, &ConfigurationModel::parameterChanged, this, [this](int slot) {
        if (slot == params::pn::FirstFlags) showMaps();
    });
}

void StandardMapPage::showMaps() {
    const auto view = maps::StandardMapViewOf(model_.maps(), model_.image().fastClock(), model_.decimalSeparator());
    for (std::size_t i = 0; i < view.cells.size(); ++i) {
        cells_[i]->setText(QString::fromStdString(view.cells[i]));
        headers_[i]->setText(QString::fromStdString(view.headers[i]));
    }
    bar_->setRange(0, view.barMaximumMs);
}

void StandardMapPage::showReadings() {
    if (!isVisible()) return;
    const auto& v = feed_.view();
    bar_->setBarColour(v.onGas ? QColor(0, 128, 0) : QColor(255, 0, 0));
    bar_->setValue(v.stripMs);
    if (v.stripSegment == marked_) return;
    marked_ = v.stripSegment;
    for (int k = 0; k < 12; ++k)
        cells_[static_cast<std::size_t>(k)]->setStyleSheet(k == marked_ ? QStringLiteral("background: rgb(255,0,0);")
                                                                         : QStringLiteral("background: white;"));
}

}  // namespace sequaflow::ui
