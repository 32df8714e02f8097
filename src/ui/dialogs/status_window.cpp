#include "ui/dialogs/status_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "i18n/message_ids.h"
#include "ui/fields.h"

namespace sequaflow::ui {

StatusWindow::StatusWindow(std::function<bool()> connected, const i18n::MessageStore& messages, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), connected_(std::move(connected)), messages_(messages) {
    setObjectName(QStringLiteral("TForm13"));
    label_ = new QLabel(QStringLiteral("Łączenie"), this);
    label_->setObjectName(QStringLiteral("LabLaczenie"));
    QFont big = label_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    label_->setFont(big);
    status_ = new QLineEdit(this);
    status_->setObjectName(QStringLiteral("EditStatus2"));
    status_->setReadOnly(true);
    cancel_ = new QPushButton(this);
    cancel_->setObjectName(QStringLiteral("ZamknijBtn"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(status_);
    layout->addWidget(cancel_);
    setMinimumWidth(260);
    languageChanged();

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (isVisible() && connected_ && connected_()) close();
    });
    timer_->start();
    connect(cancel_, &QPushButton::clicked, this, &QDialog::close);
}

void StatusWindow::setStatus(const QString& text) { status_->setText(text); }

QString StatusWindow::status() const { return status_->text(); }

void StatusWindow::languageChanged() {
    setWindowTitle(Text(messages_, i18n::msg::AutoDetection));
    cancel_->setText(Text(messages_, i18n::msg::Cancel));
}

void StatusWindow::showEvent(QShowEvent* event) {
    languageChanged();
    if (parentWidget()) {
        const QRect p = parentWidget()->frameGeometry();
        move(p.center() - rect().center());
    }
    QDialog::showEvent(event);
}

void StatusWindow::closeEvent(QCloseEvent* event) {
    emit detectionStopRequested();
    timer_->start();
    QDialog::closeEvent(event);
}

}  // namespace sequaflow::ui
