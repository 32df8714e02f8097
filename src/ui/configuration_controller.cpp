#include "ui/configuration_controller.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "params/factory_reset.h"
#include "params/injector_catalogue.h"
#include "params/parameter_file.h"
#include "ui/connection_controller.h"
#include "ui/main_menu.h"
#include "ui/session.h"

namespace sequaflow::ui {

namespace msg {
constexpr int FileError = 12000;
constexpr int ResetQuestion = 12001;
constexpr int ResetTitle = 12002;
}  // namespace msg

namespace {
constexpr int kSpeedDropParam = 53;
const QString kFilter = QStringLiteral("*.kst (*kst*)");
}  // namespace

ConfigurationController::ConfigurationController(Session& session, MainMenu& menu, ConnectionController& connection,
                                                 QWidget* window, QProgressBar* progress, QString startDir)
    : QObject(window),
      session_(session),
      menu_(menu),
      connection_(connection),
      window_(window),
      progress_(progress),
      startDir_(std::move(startDir)) {
    connect(menu_.action(QStringLiteral("ZapiszParametryCTRLS1")), &QAction::triggered, this,
            &ConfigurationController::saveFile);
    connect(menu_.action(QStringLiteral("OdczytajParametryCTRLO1")), &QAction::triggered, this,
            &ConfigurationController::loadFile);
    connect(menu_.action(QStringLiteral("Odczytajparametrybezwlstero1")), &QAction::triggered, this,
            &ConfigurationController::viewFile);
    connect(menu_.action(QStringLiteral("ResetSystemu2")), &QAction::triggered, this,
            &ConfigurationController::factoryReset);
}

QString ConfigurationController::parameterFolder() const {
    QDir(startDir_).mkpath(QStringLiteral("parametry"));
    return QDir(startDir_).filePath(QStringLiteral("parametry"));
}

void ConfigurationController::showFileError(const QString& detail) {
    QMessageBox box(QMessageBox::Warning, QString(), session_.message(msg::FileError), QMessageBox::Ok, window_);
    box.setInformativeText(detail);
    box.exec();
}

void ConfigurationController::reportProgress(int position, int maximum) {
    progress_->setRange(0, std::max(1, maximum));
    progress_->setValue(std::clamp(position, 0, std::max(1, maximum)));
}

void ConfigurationController::saveFile() {
    QFileDialog dialog(window_, QString(), parameterFolder(), kFilter);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kst"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    (void)saveTo(dialog.selectedFiles().front());
}

bool ConfigurationController::saveTo(const QString& chosenName) {
    // The date goes right after the chosen name, as saved files have always been named.
    const QString date = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    const std::string path = params::DatedFileName(chosenName.toStdString(), date.toStdString());
    const auto bytes = params::EncodeParameterFile(session_.state().image, session_.state().maps);
    const auto written = params::WriteParameterFile(path, bytes);
    if (!written.ok()) {
        showFileError(QString::fromStdString(written.error().detail));
        return false;
    }
    return true;
}

void ConfigurationController::loadFile() {
    const QString path = QFileDialog::getOpenFileName(window_, QString(), parameterFolder(), kFilter);
    if (!path.isEmpty()) (void)loadFrom(path);
}

bool ConfigurationController::loadFrom(const QString& path) {
    if (session_.busy()) return false;
    // Checked whole before anything is sent: a short or unreadable file changes nothing.
    const auto content = params::ReadParameterFile(path.toStdString());
    if (!content.ok()) {
        showFileError(QString::fromStdString(content.error().detail));
        return false;
    }
    {
        Session::Busy busy(session_);
        auto& state = session_.state();
        params::LoadParameterFile(session_.link(), state.image, state.maps, *content,
                                  [this](const params::ProgressStep& s) { reportProgress(s.position, s.maximum); });
        reportProgress(0, 1);
    }
    connection_.readButton()->click();
    return true;
}

void ConfigurationController::viewFile() {
    const QString path = QFileDialog::getOpenFileName(window_, QString(), parameterFolder(), kFilter);
    if (!path.isEmpty()) (void)viewFrom(path);
}

bool ConfigurationController::viewFrom(const QString& path) {
    const auto content = params::ReadParameterFile(path.toStdString());
    if (!content.ok()) {
        showFileError(QString::fromStdString(content.error().detail));
        return false;
    }
    auto& state = session_.state();
    params::ViewParameterFile(state.image, state.maps, *content);
    session_.publishReadFinished();
    return true;
}

void ConfigurationController::factoryReset() {
    if (session_.busy()) return;
    const auto answer = QMessageBox::question(window_, session_.message(msg::ResetTitle),
                                              session_.message(msg::ResetQuestion), QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    {
        Session::Busy busy(session_);
        auto& state = session_.state();
        params::FactoryReset(session_.link(), state.image, state.maps,
                             static_cast<int>(params::kInjectorItems.size()),
                             [this](const params::ProgressStep& s) { reportProgress(s.position, s.maximum); });
        state.image.setSlot(kSpeedDropParam, 0);
        reportProgress(0, 1);
    }
    connection_.readButton()->click();
}

}  // namespace sequaflow::ui
