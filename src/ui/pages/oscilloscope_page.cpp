#include "ui/pages/oscilloscope_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <cstring>

#include "params/program_state.h"
#include "ui/configuration_model.h"
#include "ui/live_feed.h"

namespace sequaflow::ui {

namespace {

QPoint At(const live::ScopePoint& p) { return {p.x, p.y}; }

void Line(QPainter& p, const live::ScopeLine& l) { p.drawLine(At(l.from), At(l.to)); }

QColor Colour(const live::Rgb& c) { return {c.r, c.g, c.b}; }

// Text placed by its top-left corner, on the canvas's white, as the labels always were.
void DrawText(QPainter& p, const live::ScopeText& t) {
    if (p.font().pointSize() != t.pointSize) {
        QFont f = p.font();
        f.setPointSize(t.pointSize);
        p.setFont(f);
    }
    p.setPen(Qt::black);
    p.drawText(QPoint(t.topLeft.x, t.topLeft.y + p.fontMetrics().ascent()), QString::fromStdString(t.text));
}

// One of the small groups whose list only names what it would show.
QGroupBox* NamingGroup(const QString& name, const QString& listName, const QStringList& items, QWidget* parent) {
    auto* box = new QGroupBox(items.first(), parent);
    box->setObjectName(name);
    auto* list = new QComboBox(box);
    list->setObjectName(listName);
    list->addItems(items);
    auto* l = new QVBoxLayout(box);
    l->addWidget(list);
    QObject::connect(list, &QComboBox::activated, box, [box, list](int) { box->setTitle(list->currentText()); });
    return box;
}

}  // namespace

ScopePaintBox::ScopePaintBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("OneOscyloskopPaint"));
    // The designed size where there is room, smaller on a small screen: the trace follows the box's size.
    setMinimumSize(live::kScopeDesignWidth * 3 / 5, live::kScopeDesignHeight * 3 / 5);
    setMaximumSize(live::kScopeDesignWidth, live::kScopeDesignHeight);
    // Every pixel comes from the picture: nothing is erased first, so nothing flickers.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ScopePaintBox::sizeHint() const { return {live::kScopeDesignWidth, live::kScopeDesignHeight}; }

void ScopePaintBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResize) onResize();
}

void ScopePaintBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (image_ != nullptr && !image_->isNull()) p.drawImage(0, 0, *image_);
    else p.fillRect(rect(), Qt::white);
}

OscilloscopePage::OscilloscopePage(const LiveFeed& feed, const ConfigurationModel& model, QWidget* parent)
    : QWidget(parent), feed_(feed), model_(model) {
    setObjectName(QStringLiteral("TabSheet2"));
    auto* layout = new QVBoxLayout(this);
    box_ = new QWidget(this);
    box_->setObjectName(QStringLiteral("OneOscyloskopBOX"));
    auto* boxLayout = new QVBoxLayout(box_);
    boxLayout->setContentsMargins(0, 0, 0, 0);
    paint_ = new ScopePaintBox(box_);
    boxLayout->addWidget(paint_);
    layout->addWidget(box_, 0, Qt::AlignLeft | Qt::AlignTop);

    QStringList petrol, gas;
    for (int n = 1; n <= 8; ++n) {
        petrol << QStringLiteral("Wtrysk Benz%1").arg(n);
        gas << QStringLiteral("Wtrysk Gaz%1").arg(n);
    }
    auto* groups = new QHBoxLayout;
    auto* petrolBox = NamingGroup(QStringLiteral("GroupBoxOscyloskopInjBenz"),
                                  QStringLiteral("ComboBoxOscyloskopWtryskBenzynowy"), petrol, this);
    petrolBox->setTitle(QStringLiteral("Wtrysk benzyny"));
    petrolBox->hide();
    auto* gasBox = NamingGroup(QStringLiteral("GroupBoxOscyloskopInjLPG"),
                               QStringLiteral("ComboBoxOscyloskopWtryskGazowy"), gas, this);
    gasBox->setTitle(QStringLiteral("Wtrysk gazu"));
    gasBox->hide();
    auto* other = NamingGroup(QStringLiteral("GroupBox3"), QStringLiteral("ComboBoxOscyloskopParametry"),
                              {QStringLiteral("Cisnienie"), QStringLiteral("Lambda1"), QStringLiteral("Lambda2"),
                               QStringLiteral("Temperatura Gazu"), QStringLiteral("Temperatura Reduktora"),
                               QStringLiteral("Obroty/min."), QStringLiteral("Korekta")},
                              this);
    for (auto* g : {petrolBox, gasBox, other}) groups->addWidget(g);
    groups->addStretch(1);
    layout->addLayout(groups);
    layout->addStretch(1);

    image_ = QImage(paint_->size(), QImage::Format_RGB32);
    image_.fill(Qt::white);
    paint_->setImage(&image_);
    paint_->onResize = [this] {
        stale_ = true;
        if (isVisible()) draw();
    };
    connect(&feed_, &LiveFeed::frameAccepted, this, &OscilloscopePage::addSample);
}

void OscilloscopePage::setChannel(std::optional<int> channel) {
    if (channel == channel_) return;
    channel_ = channel;
    // The chosen channel's history as it stands, at once, rather than the previous channel's picture.
    stale_ = true;
    if (isVisible()) draw();
}

void OscilloscopePage::addSample() {
    if (!channel_) return;
    const params::ProgramState& state = model_.state();
    if (!bank_.addFrame(*channel_, state.words, params::ScopeInputsOf(state), paint_->width())) return;
    stale_ = true;
    if (isVisible()) draw();
}

void OscilloscopePage::shown() {
    if (stale_) draw();
}

void OscilloscopePage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) draw();
}

void OscilloscopePage::draw() {
    stale_ = false;
    const int w = paint_->width(), h = paint_->height();
    if (background_.size() != QSize(w, h)) {
        // The grid never changes with the values: drawn once, copied under every picture.
        background_ = QImage(w, h, QImage::Format_RGB32);
        background_.fill(Qt::white);
        QPainter p(&background_);
        p.setPen(QPen(QColor(128, 128, 128), 1, Qt::DotLine));
        const live::ScopeGeometry grid = live::TraceGeometry(live::ScopeHistory{}, w, h, ',');
        for (const auto& l : grid.gridVertical) Line(p, l);
        for (const auto& l : grid.gridHorizontal) Line(p, l);
    }
    // Into the same buffer every time: a fresh image per frame costs more than all the drawing.
    if (image_.size() != background_.size()) image_ = QImage(background_.size(), QImage::Format_RGB32);
    std::memcpy(image_.bits(), background_.constBits(), static_cast<std::size_t>(background_.sizeInBytes()));
    const live::ScopeHistory* history = channel_ ? &bank_.history(*channel_) : nullptr;
    QPainter p(&image_);
    if (history != nullptr && history->drawn()) {
        const live::ScopeGeometry g = live::TraceGeometry(*history, w, h, model_.state().decimalSeparator);
        QPen marker(QColor(0, 128, 0), 4, Qt::SolidLine, Qt::RoundCap);
        p.setPen(marker);
        for (const auto& l : g.minMarker) Line(p, l);
        marker.setColor(QColor(255, 0, 0));
        p.setPen(marker);
        for (const auto& l : g.maxMarker) Line(p, l);
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(Qt::white);
        DrawText(p, g.maxLabel);
        DrawText(p, g.minLabel);
        p.setPen(QPen(QColor(0, 0, 255), 1));
        Line(p, g.cursor);
        DrawText(p, g.cursorLabel);
        p.setBackgroundMode(Qt::TransparentMode);
        p.setPen(QPen(Colour(live::ScopeColour(*channel_)), 1));
        std::vector<QPoint> points;
        points.reserve(g.trace.size());
        for (const auto& pt : g.trace) points.push_back(At(pt));
        p.drawPolyline(points.data(), static_cast<int>(points.size()));
        p.setBackgroundMode(Qt::OpaqueMode);
        DrawText(p, g.current);
        p.setBackgroundMode(Qt::TransparentMode);
        p.setPen(QPen(Qt::black, 1));
        for (std::size_t i = 0; i + 1 < g.border.size(); ++i) p.drawLine(At(g.border[i]), At(g.border[i + 1]));
    } else {
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(0, 0, w - 1, h - 1);
    }
    p.end();
    paint_->update();
}

}  // namespace sequaflow::ui
