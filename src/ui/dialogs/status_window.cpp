#include "ui/dialogs/status_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace sequaflow::ui {

StatusWindow::StatusWindow(std::function<bool()> connected, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), connected_(std::move(connected)) {
    setObjectName(QStringLiteral("TForm13"));
    setWindowTitle(QStringLiteral("Autodetekcja"));
    label_ = new QLabel(QStringLiteral("Łączenie"), this);
    label_->setObjectName(QStringLiteral("LabLaczenie"));
    QFont big = label_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    label_->setFont(big);
    status_ = new QLineEdit(this);
    status_->setObjectName(QStringLiteral("EditStatus2"));
    status_->setReadOnly(true);
    cancel_ = new QPushButton(QStringLiteral("Anuluj"), this);
    cancel_->setObjectName(QStringLiteral("ZamknijBtn"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(status_);
    layout->addWidget(cancel_);
    setMinimumWidth(260);

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

void StatusWindow::showEvent(QShowEvent* event) {
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
