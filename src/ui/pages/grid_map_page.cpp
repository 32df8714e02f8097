#include "ui/pages/grid_map_page.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "live/live_frame.h"
#include "params/parameter_image.h"
#include "params/parameter_numbers.h"
#include "ui/configuration_model.h"
#include "ui/dialogs/map_value_dialog.h"
#include "ui/live_feed.h"
#include "ui/map_editor.h"

namespace sequaflow::ui {
namespace {

constexpr int kGridColumns = maps::kColumns + 1;
constexpr int kGridRows = maps::kRows + 1;

// What the grid shows before a controller or a file has been read.
constexpr const char* kStartupSpeeds[maps::kSpeedPoints] = {"1000", "2000", "3000", "4000", "5000", "6000"};
constexpr int kStartupTenthsMs[maps::kTimePoints] = {15, 30, 40, 50, 60, 80, 100, 120, 150, 180, 200};
constexpr int kStartupCell = 5;

QColor ToColour(const maps::Rgb& rgb) { return {rgb.red, rgb.green, rgb.blue}; }

// Data cells in the colour of their value, the selection over them, the operating point in red over both.
class CellPainter final : public QStyledItemDelegate {
public:
    CellPainter(std::function<maps::GridPosition()> marked, QObject* parent)
        : QStyledItemDelegate(parent), marked_(std::move(marked)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (index.row() == 0 || index.column() == 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QString text = index.data().toString();
        const QRect rect = option.rect;
        const QRect textRect = rect.adjusted(1, 1, 0, 0);
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        if (selected) {
            painter->fillRect(rect, option.palette.brush(QPalette::Active, QPalette::Highlight));
        } else {
            const auto value = maps::ReadWholeNumber(text.toStdString());
            painter->fillRect(rect, value && *value != 0 ? ToColour(maps::ValueColour(*value)) : QColor(Qt::white));
        }
        painter->save();
        const QColor ink =
            selected ? option.palette.color(QPalette::Active, QPalette::HighlightedText) : QColor(Qt::black);
        painter->setPen(ink);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);
        if (marked_() == maps::GridPosition{index.column(), index.row()}) {
            painter->fillRect(rect, QColor(255, 0, 0));
            painter->setPen(Qt::black);
            painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);
        }
        painter->restore();
    }

private:
    std::function<maps::GridPosition()> marked_;
};

QPushButton* MakeButton(const char* name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumHeight(32);
    return b;
}

}  // namespace

MapGrid::MapGrid(QWidget* parent) : QTableWidget(kGridRows, kGridColumns, parent) {
    setObjectName(QStringLiteral("StringGridMapa"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    const QColor fixed = palette().color(QPalette::Button);
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            auto* item = new QTableWidgetItem;
            if (row == 0 || column == 0) {
                // The headers are the breakpoints: shown, never selected.
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixed);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            setItem(row, column, item);
        }
    }
    setCurrentCell(1, 1);
}

std::optional<maps::GridBlock> MapGrid::selectedBlock() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    std::optional<maps::GridBlock> block;
    for (const QModelIndex& i : selected) {
        if (i.row() < 1 || i.column() < 1) continue;
        if (!block) {
            block = maps::GridBlock{i.column(), i.row(), i.column(), i.row()};
            continue;
        }
        block->left = std::min(block->left, i.column());
        block->right = std::max(block->right, i.column());
        block->top = std::min(block->top, i.row());
        block->bottom = std::max(block->bottom, i.row());
    }
    return block;
}

void MapGrid::selectBlock(const maps::GridBlock& block) {
    if (!maps::IsValid(block)) return;
    setCurrentCell(block.top, block.left, QItemSelectionModel::NoUpdate);
    const QItemSelection range(model()->index(block.top, block.left), model()->index(block.bottom, block.right));
    selectionModel()->select(range, QItemSelectionModel::ClearAndSelect);
}

void MapGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        emit copyPressed();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        emit pastePressed();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

QModelIndex MapGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex to = QTableWidget::moveCursor(action, modifiers);
    if (!to.isValid()) return to;
    // The keyboard stays on the data cells.
    return model()->index(std::max(1, to.row()), std::max(1, to.column()));
}

void MapGrid::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const QRect r = rect.normalized();
    QModelIndex a = indexAt(r.topLeft());
    QModelIndex b = indexAt(r.bottomRight());
    if (!a.isValid() && !b.isValid()) return;
    if (!a.isValid()) a = b;
    if (!b.isValid()) b = a;
    // A drag over the headers selects the data cells it covers: the selection is always one block of them.
    const int top = std::max(1, std::min(a.row(), b.row()));
    const int bottom = std::max(1, std::max(a.row(), b.row()));
    const int left = std::max(1, std::min(a.column(), b.column()));
    const int right = std::max(1, std::max(a.column(), b.column()));
    selectionModel()->select(QItemSelection(model()->index(top, left), model()->index(bottom, right)), command);
}

GridMapPage::GridMapPage(ConfigurationModel& model, const LiveFeed& feed, MapEditor& editor, QWidget* parent)
    : QWidget(parent), model_(model), feed_(feed), editor_(editor) {
    setObjectName(QStringLiteral("TabSheet6"));
    auto* layout = new QVBoxLayout(this);

    grid_ = new MapGrid(this);
    grid_->setItemDelegate(new CellPainter([this] { return marked_; }, grid_));
    grid_->setMinimumSize(420, 330);
    layout->addWidget(grid_, 1);

    auto* buttons = new QHBoxLayout;
    auto* plus5 = MakeButton("ButtonPlus5", QStringLiteral("+ 5%"), this);
    auto* plus1 = MakeButton("Button1", QStringLiteral("+ 1%"), this);
    auto* minus1 = MakeButton("Button2", QStringLiteral("- 1%"), this);
    auto* minus5 = MakeButton("Button3", QStringLiteral("- 5%"), this);
    auto* gradient = MakeButton("GradientMap2", QStringLiteral("Gradient"), this);
    auto* editPoints = MakeButton("ButtonEditPoints", QStringLiteral("Edytuj Punkty Charakterystyki"), this);
    auto* exitMap = MakeButton("ButtonExitMap2", QStringLiteral("Wyjscie z mapy"), this);
    // The point editor has no other entry; the way out has (the side panel's map choice, the menus).
    exitMap->hide();
    for (QPushButton* b : {plus5, plus1, minus1, minus5, gradient}) buttons->addWidget(b);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    // The idle-correction slider's row: its label here, the slider added by placeIdleSlider().
    sliderRow_ = new QHBoxLayout;
    sliderLabel_ = new QLabel(QStringLiteral("Korekta czasu wtrysku biegu jalowego"), this);
    sliderLabel_->setObjectName(QStringLiteral("LabelPrzesuniecieChar2"));
    sliderRow_->addWidget(sliderLabel_);
    sliderRow_->addStretch(1);
    // Here rather than beside the step buttons: one row of all seven is wider than a small screen leaves.
    sliderRow_->addWidget(editPoints);
    sliderRow_->addWidget(exitMap);
    layout->addLayout(sliderRow_);

    connect(plus5, &QPushButton::clicked, this, [this] { step(+5); });
    connect(plus1, &QPushButton::clicked, this, [this] { step(+1); });
    connect(minus1, &QPushButton::clicked, this, [this] { step(-1); });
    connect(minus5, &QPushButton::clicked, this, [this] { step(-5); });
    connect(gradient, &QPushButton::clicked, this, &GridMapPage::gradient);
    connect(editPoints, &QPushButton::clicked, this, &GridMapPage::editPointsRequested);
    connect(exitMap, &QPushButton::clicked, this, &GridMapPage::exitRequested);
    connect(grid_, &MapGrid::enterPressed, this, &GridMapPage::setTypedValue);
    connect(grid_, &MapGrid::copyPressed, this, &GridMapPage::copyBlock);
    connect(grid_, &MapGrid::pastePressed, this, &GridMapPage::pasteBlock);

    connect(&feed_, &LiveFeed::frameAccepted, this, [this] {
        live_ = true;
        showOperatingPoint();
    });
    connect(&model_, &ConfigurationModel::readFinished, this, &GridMapPage::showMaps);
    connect(&model_, &ConfigurationModel::mapsChanged, this, &GridMapPage::showMaps);
    // The headers are converted with the ignition type and the clock flag.
    connect(&model_, &ConfigurationModel::parameterChanged, this, [this](int slot) {
        if (slot == params::pn::IgnitionType || slot == params::pn::FirstFlags || slot == params::kFlags1Shadow)
            showMaps();
    });
    showStartupTexts();
}

void GridMapPage::placeIdleSlider(QWidget* slider) { sliderRow_->insertWidget(1, slider, 1); }

void GridMapPage::setCellText(int column, int row, const QString& text) {
    QTableWidgetItem* item = grid_->item(row, column);
    if (item->text() != text) item->setText(text);
}

void GridMapPage::setPointTexts(const std::array<std::string, maps::kPoints>& texts) {
    pointTexts_ = texts;
    setCellText(0, 0, QStringLiteral("0"));
    for (int i = 0; i < maps::kSpeedPoints; ++i)
        setCellText(i + 1, 0, QString::fromStdString(texts[static_cast<std::size_t>(i)]));
    for (int i = 0; i < maps::kTimePoints; ++i)
        setCellText(0, i + 1, QString::fromStdString(texts[static_cast<std::size_t>(maps::kSpeedPoints + i)]));
    setCellText(maps::kColumns, 0, QStringLiteral("+") + grid_->item(0, maps::kSpeedPoints)->text());
    setCellText(0, maps::kRows, QStringLiteral("+") + grid_->item(maps::kTimePoints, 0)->text());
    breakpoints_ = maps::BreakpointsFromTexts(pointTexts_);
}

void GridMapPage::showStartupTexts() {
    std::array<std::string, maps::kPoints> texts;
    const char sep = model_.decimalSeparator();
    for (int i = 0; i < maps::kSpeedPoints; ++i) texts[static_cast<std::size_t>(i)] = kStartupSpeeds[i];
    for (int i = 0; i < maps::kTimePoints; ++i) {
        const int tenths = kStartupTenthsMs[i];
        texts[static_cast<std::size_t>(maps::kSpeedPoints + i)] =
            std::to_string(tenths / 10) + sep + std::to_string(tenths % 10);
    }
    setPointTexts(texts);
    const QString cell = QString::fromStdString(maps::GridCellText(kStartupCell));
    for (int row = 1; row <= maps::kRows; ++row)
        for (int column = 1; column <= maps::kColumns; ++column) setCellText(column, row, cell);
}

void GridMapPage::showMaps() {
    // Until a controller or a file has been read the model holds no map: the grid keeps its start-up texts.
    if (model_.state().readStatus == params::ReadStatus::None) return;
    const auto& maps = model_.maps();
    std::array<std::string, maps::kPoints> texts;
    for (int i = 0; i < maps::kPoints; ++i)
        texts[static_cast<std::size_t>(i)] = maps::PointText(maps, i, model_.image(), model_.decimalSeparator());
    setPointTexts(texts);
    for (int row = 0; row < maps::kRows; ++row)
        for (int column = 0; column < maps::kColumns; ++column)
            setCellText(column + 1, row + 1, QString::fromStdString(maps::GridCellText(maps.cell(row, column))));
    showOperatingPoint();
}

void GridMapPage::showOperatingPoint() {
    if (!live_ || !breakpoints_) return;
    const auto& words = model_.words();
    const auto at = maps::LocateOperatingPoint(words[live::word::Period], words[live::word::PetrolTime1],
                                               model_.image().ignitionType(), model_.image().fastClock(),
                                               *breakpoints_);
    if (at == marked_) return;
    const auto previous = std::exchange(marked_, at);
    // Only the two cells that changed are painted again.
    for (const auto& p : {previous, at})
        if (p.column >= 1 && p.row >= 1)
            grid_->viewport()->update(grid_->visualRect(grid_->model()->index(p.row, p.column)));
}

void GridMapPage::step(int delta) {
    const auto block = grid_->selectedBlock();
    if (!block) return;
    (void)editor_.apply([&](link::Link& link, maps::MapModel& maps, const SequenceControl& control) {
        return maps::StepAdvanced(link, maps, *block, delta, control);
    });
}

void GridMapPage::applyWithGridDisabled(const std::function<void()>& apply) {
    grid_->setEnabled(false);
    apply();
    grid_->setEnabled(true);
    grid_->setFocus();
    grid_->viewport()->update();
}

void GridMapPage::setTypedValue() {
    if (dialog_ == nullptr || dialog_->isVisible()) return;
    const auto block = grid_->selectedBlock();
    if (!block) return;
    const auto typed = dialog_->ask(grid_->item(block->top, block->left)->text());
    applyWithGridDisabled([&] {
        if (!typed) return;
        const std::string text = typed->toStdString();
        (void)editor_.apply([&](link::Link& link, maps::MapModel& maps, const SequenceControl& control) {
            return maps::SetAdvanced(link, maps, *block, text, control);
        });
    });
}

void GridMapPage::gradient() {
    if (dialog_ == nullptr || dialog_->isVisible()) return;
    const auto block = grid_->selectedBlock();
    if (!block) return;
    // The field keeps the step of the last use.
    const auto typed = dialog_->ask();
    applyWithGridDisabled([&] {
        if (!typed) return;
        const std::string text = typed->toStdString();
        (void)editor_.apply([&](link::Link& link, maps::MapModel& maps, const SequenceControl& control) {
            return maps::GradientAdvanced(link, maps, *block, text, control);
        });
    });
}

void GridMapPage::copyBlock() {
    const auto block = grid_->selectedBlock();
    // Before a read the model holds no map, only the start-up texts are on screen: nothing worth copying.
    if (!block || model_.state().readStatus == params::ReadStatus::None) return;
    QApplication::clipboard()->setText(QString::fromStdString(maps::CopyAdvanced(model_.maps(), *block)));
}

void GridMapPage::pasteBlock() {
    const auto block = grid_->selectedBlock();
    if (!block) return;
    const std::string text = QApplication::clipboard()->text().toStdString();
    (void)editor_.apply([&](link::Link& link, maps::MapModel& maps, const SequenceControl& control) {
        return maps::PasteAdvanced(link, maps, maps::GridCell{block->left, block->top}, text, control);
    });
}

}  // namespace sequaflow::ui
