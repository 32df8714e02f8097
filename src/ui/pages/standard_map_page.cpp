#include "ui/pages/standard_map_page.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "maps/map_model.h"
#include "maps/standard_map_view.h"
#include "ui/configuration_model.h"
#include "ui/dialogs/map_value_dialog.h"
#include "ui/fields.h"
#include "params/parameter_numbers.h"
#include "ui/live_feed.h"
#include "ui/map_editor.h"
#include "ui/parameter_controls.h"
#include "ui/widgets/idle_slider.h"
#include "ui/widgets/map_graph_image.h"
#include "ui/widgets/vertical_bar.h"

namespace sequaflow::ui {

namespace {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }

// A strip cell: its value colour unless selected (then the selection's) or zero (then white); the segment
// the engine is in is pure red whatever else holds.
class StripDelegate final : public QStyledItemDelegate {
public:
    StripDelegate(const int& marked, QObject* parent) : QStyledItemDelegate(parent), marked_(marked) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QString text = index.data().toString();
        const auto value = maps::ReadWholeNumber(text.toStdString());
        QColor fill = Qt::white;
        QColor ink = Qt::black;
        if (index.column() == marked_) {
            fill = QColor(255, 0, 0);
        } else if (option.state & QStyle::State_Selected) {
            fill = option.palette.color(QPalette::Highlight);
            ink = option.palette.color(QPalette::HighlightedText);
        } else if (value && *value != 0) {
            const auto c = maps::ValueColour(*value);
            fill = QColor(c.red, c.green, c.blue);
        }
        p->fillRect(option.rect, fill);
        p->setPen(ink);
        p->drawText(option.rect.adjusted(1, 1, 0, 0), Qt::AlignCenter, text);
    }

private:
    const int& marked_;
};

QLabel* Caption(const char* name, const char* text, QWidget* parent) {
    return MakeLabel(QString::fromLatin1(name), QString::fromUtf8(text), parent);
}

QPushButton* Button(const char* name, const char* text, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

StandardMapPage::StandardMapPage(ConfigurationModel& model, const LiveFeed& feed, MapEditor& editor,
                                 ParameterControls& controls, QWidget* parent)
    : QWidget(parent), model_(model), feed_(feed), editor_(editor) {
    setObjectName(QStringLiteral("TabSheet7"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    // The graph; under its bar, the read-out of what a click would set and the point editor's button.
    graph_ = new MapGraphImage(this);
    graph_->onPointer = [this](int x, int y) { pointerAt(x, y); };
    graph_->onClick = [this](int, int y) { clickAt(y); };
    graph_->onResize = [this] { drawGraph(); };
    column->addWidget(graph_);
    auto* readOut = new QHBoxLayout;
    labelSegment_ = MakeLabel(QStringLiteral("LabelSegment"), QStringLiteral("S: 0"), this);
    labelValue_ = MakeLabel(QStringLiteral("LabelKor"), QStringLiteral("K: 0"), this);
    labelX_ = MakeLabel(QStringLiteral("LabelX"), QStringLiteral("X: 0"), this);
    labelY_ = MakeLabel(QStringLiteral("LabelY"), QStringLiteral("Y: 0"), this);
    // The pixel position means nothing to an installer; the segment and the value a click would set do.
    labelX_->hide();
    labelY_->hide();
    for (QLabel* l : {labelSegment_, labelValue_}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    auto* editPoints = Button("ButtonEditPP", "Edytuj Punkty Charakterystyki", this);
    auto* exitMap = Button("ButtonEXITMap1", "Wyjscie z mapy", this);
    exitMap->hide();
    connect(editPoints, &QPushButton::clicked, this, &StandardMapPage::editPointsRequested);
    connect(exitMap, &QPushButton::clicked, this, &StandardMapPage::exitRequested);

    bar_ = new VerticalBar(this);
    bar_->setObjectName(QStringLiteral("AbBar1"));
    bar_->setOrientation(Qt::Horizontal);
    bar_->setRange(0, 24);
    bar_->setMinimumWidth(MapGraphImage::kMinimumWidth);
    bar_->setMaximumWidth(MapGraphImage::kWidth);
    bar_->setMinimumHeight(22);
    column->addWidget(bar_);
    readOut->addWidget(Caption("LabelObciazenieMAP", "Obciazenie", this));
    readOut->addSpacing(16);
    for (QLabel* l : {labelSegment_, labelValue_, labelX_, labelY_}) readOut->addWidget(l);
    readOut->addStretch(1);
    readOut->addWidget(editPoints);
    readOut->addWidget(exitMap);
    column->addLayout(readOut);

    // The strip and its step buttons.
    auto* stripRow = new QHBoxLayout;
    strip_ = new QTableWidget(1, maps::kStdCells, this);
    strip_->setObjectName(QStringLiteral("StringPasek"));
    strip_->horizontalHeader()->hide();
    strip_->verticalHeader()->hide();
    strip_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    strip_->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    strip_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    strip_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    strip_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    strip_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    strip_->setMinimumWidth(12 * strip_->fontMetrics().horizontalAdvance(QStringLiteral("-25 ")));
    strip_->setMaximumWidth(MapGraphImage::kWidth);
    strip_->setFixedHeight(26);
    strip_->setItemDelegate(new StripDelegate(marked_, strip_));
    for (int k = 0; k < maps::kStdCells; ++k) strip_->setItem(0, k, new QTableWidgetItem(QStringLiteral("0")));
    strip_->installEventFilter(this);
    connect(strip_, &QTableWidget::cellDoubleClicked, this, [this](int, int cell) {
        typeIntoStrip({cell, cell});
    });
    stripRow->addWidget(strip_);
    const struct {
        const char* name;
        const char* text;
        int delta;
    } steps[] = {{"ButtonPL1stdm", "+1", 1}, {"ButtonPL5stdm", "+5", 5}, {"ButtonMi1stdm", "-1", -1},
                 {"ButtonMi5stdm", "-5", -5}};
    for (const auto& s : steps) {
        auto* b = Button(s.name, s.text, this);
        b->setFixedWidth(40);
        // The strip keeps its selection: the button acts on it without taking the focus.
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, d = s.delta] { stepStrip(d); });
        stripRow->addWidget(b);
    }
    stripRow->addStretch(1);
    column->addLayout(stripRow);

    // The twelve segments in four load groups: breakpoint texts above, corrections below.
    // Two by two: four groups in a row would make the page wider than a 1024-pixel screen leaves it.
    auto* groupsRow = new QGridLayout;
    groupsRow->setAlignment(Qt::AlignLeft);
    const struct {
        const char* group;
        const char* caption;
        const char* text;
    } groups[] = {{"GroupMoBMap", "LabelMoMap", "Male obciazenie"},
                  {"GroupSoBMap", "LabelSoBMap", "Srednie obciazenie"},
                  {"GroupDoBMap", "LabelDoBMap", "Duze obciazenie"},
                  {"GroupMXoBMap", "LabelMXoBMap", "Maksymalne obciazenie"}};
    auto* validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+-]?[0-9]{0,3}")), this);
    for (int g = 0; g < 4; ++g) {
        auto* box = new QGroupBox(this);
        box->setObjectName(QString::fromLatin1(groups[g].group));
        auto* grid = new QGridLayout(box);
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setHorizontalSpacing(3);
        int first = 0;
        if (g == 0) {
            // What the rows mean, once, in the first group.
            auto* range = new QWidget(box);
            auto* rangeRows = new QVBoxLayout(range);
            rangeRows->setContentsMargins(0, 0, 0, 0);
            rangeRows->setSpacing(0);
            rangeRows->addWidget(Caption("LabelMoB2", "Zakres do wzbogacenia ", box));
            rangeRows->addWidget(Caption("LabelMoB3", "(czas wtr. benz w ms.)", box));
            grid->addWidget(range, 1, 0);
            grid->addWidget(Caption("LabelMoB1", "Wzbogacanie mieszanki %", box), 2, 0);
            first = 1;
        }
        auto* title = Caption(groups[g].caption, groups[g].text, box);
        QFont f = title->font();
        f.setBold(true);
        title->setFont(f);
        grid->addWidget(title, 0, first, 1, 3, Qt::AlignHCenter);
        for (int j = 0; j < 3; ++j) {
            const int k = 3 * g + j;
            auto* header = MakeLabel(QStringLiteral("Edit_%1").arg(k + 1), QString(), box);
            header->setAlignment(Qt::AlignCenter);
            header->setMinimumWidth(header->fontMetrics().horizontalAdvance(QStringLiteral("+22,0")) + 4);
            auto* cell = new QLineEdit(box);
            cell->setObjectName(QStringLiteral("Edit_%1").arg(k + 13));
            cell->setAlignment(Qt::AlignCenter);
            cell->setValidator(validator);
            cell->setMaxLength(4);
            cell->setFixedWidth(cell->fontMetrics().horizontalAdvance(QStringLiteral("-25")) + 24);
            cell->setStyleSheet(QStringLiteral("background: white;"));
            cell->installEventFilter(this);
            connect(cell, &QLineEdit::returnPressed, this, [this, k] { takeField(k); });
            headers_[At(k)] = header;
            cells_[At(k)] = cell;
            grid->addWidget(header, 1, first + j);
            grid->addWidget(cell, 2, first + j, Qt::AlignHCenter);
        }
        groupsRow->addWidget(box, g / 2, g % 2);
    }
    column->addLayout(groupsRow);

    auto* info = Caption("LabelInfoMAP",
                         "Info:   Mozesz dokonywac modyfikacji przesuwajac punkty wykresu lub wpisujac wartosc w "
                         "bialym polu.",
                         this);
    info->setWordWrap(true);
    info->setStyleSheet(QStringLiteral("color: rgb(255,0,0); font-weight: bold;"));
    column->addWidget(info);

    auto* idleRow = new QHBoxLayout;
    // A child of the page itself: the caption table finds the slider's label by its name.
    idleRow->addWidget(Caption("LabelPrzesuniecieChar", "Korekta czasu wtrysku biegu jalowego", this));
    slider_ = new IdleSlider(controls, QStringLiteral("AbHSlider1"), this);
    slider_->setMinimumWidth(160);
    slider_->setMaximumWidth(300);
    idleRow->addWidget(slider_);
    idleRow->addStretch(1);
    column->addLayout(idleRow);
    column->addStretch(1);

    connect(&feed_, &LiveFeed::frameAccepted, this, &StandardMapPage::showReadings);
    connect(&model_, &ConfigurationModel::readFinished, this, &StandardMapPage::showMaps);
    connect(&model_, &ConfigurationModel::mapsChanged, this, &StandardMapPage::showMaps);
    // The headers are times (the clock flag) and the cell limit follows the turbo flag.
    connect(&model_, &ConfigurationModel::parameterChanged, this, [this](int slot) {
        if (slot == params::pn::FirstFlags || slot == params::pn::SecondFlags) showMaps();
    });
    showMaps();
}

void StandardMapPage::showMaps() {
    const auto view = maps::StandardMapViewOf(model_.maps(), model_.image().fastClock(), model_.decimalSeparator());
    for (std::size_t i = 0; i < view.cells.size(); ++i) {
        cells_[i]->setText(QString::fromStdString(view.cells[i]));
        headers_[i]->setText(QString::fromStdString(view.headers[i]));
        strip_->item(0, static_cast<int>(i))->setText(QString::fromStdString(view.cells[i]));
    }
    bar_->setRange(0, view.barMaximumMs);
    drawGraph();
}

void StandardMapPage::drawGraph() {
    const auto& maps = model_.maps();
    const auto times = maps::BreakpointsOf(maps, model_.image()).times;
    std::array<int, maps::kStdCells> values{};
    for (int k = 0; k < maps::kStdCells; ++k) values[At(k)] = maps.stdCell(k);
    geometry_ = maps::MapGraphGeometry(graph_->width(), graph_->height(), maps.cellMaximum(), times, values);
    std::array<QString, maps::kTimePoints> labels;
    for (int k = 0; k < maps::kTimePoints; ++k) labels[At(k)] = headers_[At(k)]->text();
    graph_->setImage(DrawMapGraph(geometry_, values, labels));
}

void StandardMapPage::shown() {
    for (int k = 0; k < maps::kStdCells; ++k) strip_->item(0, k)->setText(cells_[At(k)]->text());
}

void StandardMapPage::pointerAt(int x, int y) {
    pointerSegment_ = maps::SegmentUnderPointer(geometry_, x, pointerSegment_);
    const int value = maps::ValueAtPointer(geometry_, y, model_.maps().cellMaximum());
    labelX_->setText(QStringLiteral("X: %1").arg(x));
    labelY_->setText(QStringLiteral("Y: %1").arg(y));
    labelValue_->setText(QStringLiteral("K: %1").arg(value));
    labelSegment_->setText(QStringLiteral("S: %1").arg(pointerSegment_));
}

void StandardMapPage::clickAt(int y) {
    const int value = maps::ValueAtPointer(geometry_, y, model_.maps().cellMaximum());
    const int k = pointerSegment_;
    const std::string text = maps::PlainCellText(value);
    apply([k, text](link::Link& link, maps::MapModel& m, const SequenceControl& c) {
        return maps::SetStandardCell(link, m, k, text, c);
    });
}

void StandardMapPage::takeField(int k) {
    const std::string text = cells_[At(k)]->text().toStdString();
    apply([k, text](link::Link& link, maps::MapModel& m, const SequenceControl& c) {
        return maps::SetStandardCell(link, m, k, text, c);
    });
}

void StandardMapPage::stepStrip(int delta) {
    const auto run = selectedRun();
    apply([run, delta](link::Link& link, maps::MapModel& m, const SequenceControl& c) {
        return maps::StepStandard(link, m, run, delta, c);
    });
}

void StandardMapPage::typeIntoStrip(const maps::StripRun& run) {
    if (dialog_ == nullptr || dialog_->isVisible()) return;
    const auto typed = dialog_->ask(strip_->item(0, run.first)->text());
    if (typed) {
        const std::string text = typed->toStdString();
        apply([run, text](link::Link& link, maps::MapModel& m, const SequenceControl& c) {
            return maps::SetStandard(link, m, run, text, c);
        });
    }
    strip_->setFocus();
}

void StandardMapPage::copyStrip() {
    QApplication::clipboard()->setText(QString::fromStdString(maps::CopyStandard(model_.maps(), selectedRun())));
}

void StandardMapPage::pasteStrip() {
    const std::string text = QApplication::clipboard()->text().toStdString();
    const int first = selectedRun().first;
    apply([first, text](link::Link& link, maps::MapModel& m, const SequenceControl& c) {
        return maps::PasteStandard(link, m, first, text, c);
    });
}

void StandardMapPage::apply(
    const std::function<maps::MapEditResult(link::Link&, maps::MapModel&, const SequenceControl&)>& op) {
    (void)editor_.apply(op);
    // A limited value that equals the stored one changes nothing in the model, and a refused text is not the
    // model's: either way the fields show what the controller was sent.
    showMaps();
}

maps::StripRun StandardMapPage::selectedRun() const {
    const auto ranges = strip_->selectedRanges();
    if (!ranges.isEmpty()) return {ranges.front().leftColumn(), ranges.front().rightColumn()};
    const int current = std::max(strip_->currentColumn(), 0);
    return {current, current};
}

bool StandardMapPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == strip_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            typeIntoStrip(selectedRun());
            return true;
        }
        if (key->matches(QKeySequence::Copy)) {
            copyStrip();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            pasteStrip();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::FocusOut && !shutDown_) {
        for (int k = 0; k < maps::kStdCells; ++k) {
            // Leaving a field sends it only when it says something other than the controller holds.
            if (watched == cells_[At(k)] &&
                cells_[At(k)]->text().toStdString() != maps::PlainCellText(model_.maps().stdCell(k)))
                takeField(k);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StandardMapPage::showReadings() {
    if (!isVisible()) return;
    const auto& v = feed_.view();
    bar_->setBarColour(v.onGas ? QColor(0, 128, 0) : QColor(255, 0, 0));
    bar_->setValue(v.stripMs);
    if (v.stripSegment == marked_) return;
    marked_ = v.stripSegment;
    for (int k = 0; k < maps::kStdCells; ++k)
        cells_[At(k)]->setStyleSheet(k == marked_ ? QStringLiteral("background: rgb(255,0,0);")
                                                  : QStringLiteral("background: white;"));
    strip_->viewport()->update();
}

}  // namespace sequaflow::ui
