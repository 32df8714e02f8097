#include "ui/dialogs/point_editor_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "maps/map_edit.h"
#include "maps/map_graph.h"
#include "maps/map_transfer.h"
#include "ui/configuration_model.h"
#include "ui/fields.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

namespace {
constexpr int kTimeFields = 12;   // Edit1..Edit12
constexpr int kFirstSpeedField = 13;
constexpr int kLastSpeedField = 19;

QString FromView(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

PointEditorDialog::PointEditorDialog(ConfigurationModel& model, SequenceRunner& runner,
                                     const i18n::MessageStore& messages, QWidget* parent)
    : QDialog(parent), model_(model), runner_(runner), messages_(messages) {
    setObjectName(QStringLiteral("TForm8"));
    setModal(true);
    auto* column = new QVBoxLayout(this);
    auto* title = MakeLabel(QStringLiteral("Label1"),
                            QStringLiteral("Zmiana punktów charakterystyki mapy w zależności od silnika"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    column->addWidget(title);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(3);
    grid->addWidget(MakeLabel(QStringLiteral("LabelT"), QStringLiteral("T [ms]"), this), 0, 0);
    grid->addWidget(MakeLabel(QStringLiteral("LabelRPM"), QStringLiteral("obr./min."), this), 1, 0);
    for (int n = 1; n <= kLastSpeedField; ++n) {
        auto* f = new QLineEdit(this);
        f->setObjectName(QStringLiteral("Edit%1").arg(n));
        f->setAlignment(Qt::AlignCenter);
        f->setMaxLength(8);
        f->setFixedWidth(f->fontMetrics().horizontalAdvance(QStringLiteral("+10000")) + 12);
        fields_[static_cast<std::size_t>(n - 1)] = f;
        if (n <= kTimeFields) grid->addWidget(f, 0, n);
        else grid->addWidget(f, 1, n - kTimeFields);
    }
    // The last segment of each axis has no upper end: it shows "+" and the breakpoint below it.
    for (auto [source, shown] : {std::pair{11, 12}, std::pair{18, 19}}) {
        QLineEdit* open = field(shown);
        open->setReadOnly(true);
        open->setFocusPolicy(Qt::NoFocus);
        connect(field(source), &QLineEdit::textChanged, open,
                [open](const QString& text) { open->setText(QLatin1Char('+') + text); });
    }
    column->addLayout(grid);

    auto* presets = new QGridLayout;
    for (int i = 0; i < static_cast<int>(maps::kPresetCount); ++i) {
        auto* b = new QPushButton(FromView(maps::kPointPresets[static_cast<std::size_t>(i)].caption), this);
        b->setObjectName(QStringLiteral("Button%1").arg(i + 1));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { applyPreset(i); });
        presets->addWidget(b, i / 2, i % 2);
    }
    column->addLayout(presets);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* save = new QPushButton(QStringLiteral("Zapisz"), this);
    save->setObjectName(QStringLiteral("BitBtnMapModZapis"));
    save->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    cancel->setObjectName(QStringLiteral("BitBtnMapMod"));
    cancel->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, [this] { (void)this->save(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
}

QLineEdit* PointEditorDialog::field(int n) const {
    return n >= 1 && n <= kLastSpeedField ? fields_[static_cast<std::size_t>(n - 1)] : nullptr;
}

std::array<std::string, maps::kPoints> PointEditorDialog::pointTexts() const {
    std::array<std::string, maps::kPoints> texts;
    for (int i = 0; i < maps::kSpeedPoints; ++i)
        texts[static_cast<std::size_t>(i)] = field(kFirstSpeedField + i)->text().trimmed().toStdString();
    for (int i = 0; i < maps::kTimePoints; ++i)
        texts[static_cast<std::size_t>(maps::kSpeedPoints + i)] = field(1 + i)->text().trimmed().toStdString();
    return texts;
}

void PointEditorDialog::fill() {
    const char sep = model_.decimalSeparator();
    for (int i = 0; i < maps::kSpeedPoints; ++i)
        field(kFirstSpeedField + i)->setText(QString::fromStdString(maps::PointText(model_.maps(), i, model_.image(), sep)));
    for (int i = 0; i < maps::kTimePoints; ++i)
        field(1 + i)->setText(
            QString::fromStdString(maps::PointText(model_.maps(), maps::kSpeedPoints + i, model_.image(), sep)));
}

void PointEditorDialog::edit() {
    fill();
    open();
    field(1)->setFocus();
}

void PointEditorDialog::applyPreset(int preset) {
    if (preset < 0 || preset >= static_cast<int>(maps::kPresetCount)) return;
    const auto& p = maps::kPointPresets[static_cast<std::size_t>(preset)];
    for (int i = 0; i < maps::kSpeedPoints; ++i)
        field(kFirstSpeedField + i)->setText(QString::number(p.rpm[static_cast<std::size_t>(i)]));
    for (int i = 0; i < maps::kTimePoints; ++i)
        field(1 + i)->setText(QString::fromStdString(
            maps::PresetTimeText(p.tenthsMs[static_cast<std::size_t>(i)], model_.decimalSeparator())));
}

bool PointEditorDialog::save() {
    const auto texts = pointTexts();
    if (const auto problem = maps::CheckPointTexts(texts)) {
        const int n = problem->point < maps::kSpeedPoints ? kFirstSpeedField + problem->point
                                                          : 1 + problem->point - maps::kSpeedPoints;
        const int id = problem->kind == maps::PointTextProblem::Kind::NotANumber ? i18n::msg::PointNotANumber
                                                                                 : i18n::msg::PointsNotRising;
        QMessageBox::warning(this, QString(), Text(messages_, id).arg(field(n)->text()));
        field(n)->setFocus();
        field(n)->selectAll();
        return false;
    }
    bool sent = false;
    const auto result = runner_.run(i18n::SequenceKind::MapUpload, [&](link::Link& link, const SequenceControl& control) {
        const auto written = model_.change([&](params::ProgramState& state) {
            return maps::WritePoints(link, state.maps, texts, state.image, control);
        });
        // The texts were checked above; a refusal here would still have sent nothing.
        if (!written) return SequenceResult{};
        sent = true;
        return *written;
    });
    // Refused (no controller, the line busy): nothing changed, the installer may try again or cancel.
    if (!result || !sent) return false;
    done(QMessageBox::Yes);
    return result->completed();
}

}  // namespace sequaflow::ui
