#include "ui/pages/standard_map_page.h"

#include <QGridLayout>
#include <QLineEdit>

#include "live/conversions.h"
#include "maps/map_model.h"
#include "ui/fields.h"
#include "ui/session.h"
#include "ui/widgets/vertical_bar.h"

namespace sequaflow::ui {

namespace {
// What the fields show before a controller has been read.
constexpr const char* kHeaderDefaults[12] = {"1,5", "2", "3", "4", "6", "8", "10", "12", "15", "18", "22", "+22"};
constexpr const char* kCellDefaults[12] = {"0", "+10", "0", "-10", "-5", "-2", "0", "+5", "+8", "+12", "+16", "+20"};
constexpr int kFirstTimePoint = 6;
}  // namespace

StandardMapPage::StandardMapPage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheet7"));
    auto* grid = new QGridLayout(this);
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
    connect(&session_, &Session::readingsUpdated, this, &StandardMapPage::showReadings);
    connect(&session_, &Session::readFinished, this, &StandardMapPage::showMaps);
}

void StandardMapPage::showMaps() {
    const auto& state = session_.state();
    const bool fast = state.image.fastClock();
    for (int k = 0; k < 12; ++k) {
        const auto i = static_cast<std::size_t>(k);
        cells_[i]->setText(QString::fromStdString(maps::PlainCellText(state.maps.stdCell(k))));
        if (k < 11) {
            const float ms = live::TicksToMs(state.maps.point(kFirstTimePoint + k), fast);
            headers_[i]->setText(QString::fromStdString(live::FormatFixed(ms, 3, 1, state.decimalSeparator)));
        }
    }
    headers_[11]->setText(QStringLiteral("+") + headers_[10]->text());
    // The bar reaches 2 ms past the last breakpoint.
    bar_->setRange(0, live::TicksToMs(state.maps.point(kFirstTimePoint + 10), fast) + 2.0);
}

void StandardMapPage::showReadings() {
    if (!isVisible()) return;
    const auto& v = session_.view();
    bar_->setBarColour(v.onGas ? QColor(0, 128, 0) : QColor(255, 0, 0));
    bar_->setValue(v.stripMs);
    if (v.stripSegment == marked_) return;
    marked_ = v.stripSegment;
    for (int k = 0; k < 12; ++k)
        cells_[static_cast<std::size_t>(k)]->setStyleSheet(k == marked_ ? QStringLiteral("background: rgb(255,0,0);")
                                                                         : QStringLiteral("background: white;"));
}

}  // namespace sequaflow::ui
