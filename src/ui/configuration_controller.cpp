#include "ui/configuration_controller.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

#include "i18n/message_ids.h"
#include "params/backup_store.h"
#include "params/config_compare.h"
#include "params/factory_reset.h"
#include "params/file_plausibility.h"
#include "params/injector_catalogue.h"
#include "params/parameter_file.h"
#include "ui/configuration_model.h"
#include "ui/connection_controller.h"
#include "ui/dialogs/backup_dialog.h"
#include "ui/dialogs/compare_dialog.h"
#include "ui/fields.h"
#include "ui/main_menu.h"
#include "ui/sequence_runner.h"

namespace sequaflow::ui {

namespace msg = i18n::msg;

namespace {
const QString kFilter = QStringLiteral("*.kst (*kst*)");
}  // namespace

ConfigurationController::ConfigurationController(SequenceRunner& runner, ConfigurationModel& model,
                                                 const i18n::MessageStore& messages, MainMenu& menu,
                                                 ConnectionController& connection, QWidget* window, QString startDir)
    : QObject(window),
      runner_(runner),
      model_(model),
      messages_(messages),
      menu_(menu),
      connection_(connection),
      window_(window),
      startDir_(std::move(startDir)) {
    connect(menu_.action(QStringLiteral("ZapiszParametryCTRLS1")), &QAction::triggered, this,
            &ConfigurationController::saveFile);
    connect(menu_.action(QStringLiteral("OdczytajParametryCTRLO1")), &QAction::triggered, this,
            &ConfigurationController::loadFile);
    connect(menu_.action(QStringLiteral("Odczytajparametrybezwlstero1")), &QAction::triggered, this,
            &ConfigurationController::viewFile);
    connect(menu_.action(QStringLiteral("ResetSystemu2")), &QAction::triggered, this,
            &ConfigurationController::factoryReset);
    connect(menu_.action(QStringLiteral("PrzywrocKopie1")), &QAction::triggered, this,
            &ConfigurationController::restoreBackup);
    connect(menu_.action(QStringLiteral("PorownajZPlikiem1")), &QAction::triggered, this,
            &ConfigurationController::compareWithFile);
    // Every complete read is kept: after a connection, the read button, the read-back of a load or reset.
    connect(&connection_, &ConnectionController::everythingRead, this, [this] { (void)keepBackup(); });
    backupStatus_ = new QLabel(window_);
    backupStatus_->setObjectName(QStringLiteral("BackupStatus"));
    // A long path must not widen the window; the whole line is in the tooltip.
    backupStatus_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    if (auto* main = qobject_cast<QMainWindow*>(window_)) main->statusBar()->addPermanentWidget(backupStatus_, 1);
    else backupStatus_->hide();
}

QString ConfigurationController::backupFolder() const {
    return QString::fromStdString(params::BackupFolder(startDir_.toStdString()));
}

bool ConfigurationController::keepBackup() {
    const auto& state = model_.state();
    if (state.readStatus != params::ReadStatus::Complete) return false;
    const auto kept = params::KeepBackup(backupFolder().toStdString(), state.serial,
                                         params::EncodeParameterFile(state.image, state.maps), params::LocalTimeNow());
    QString line;
    if (kept.ok()) {
        const QString where = QDir(startDir_).relativeFilePath(QString::fromStdString(kept->path));
        line = Text(messages_, kept->written ? msg::BackupWritten : msg::BackupUnchanged).arg(where);
        lastBackupProblem_.clear();
    } else {
        lastBackupProblem_ = QString::fromStdString(kept.error().detail);
        line = Text(messages_, msg::BackupFailed).arg(lastBackupProblem_);
    }
    backupStatus_->setText(line);
    backupStatus_->setToolTip(line);
    lastBackupKept_ = kept.ok();
    return kept.ok();
}

bool ConfigurationController::backupBeforeWriting() {
    // Without a line the sequence itself refuses and sends nothing.
    if (!runner_.connected()) return true;
    bool readNow = false;
    if (model_.state().readStatus != params::ReadStatus::Complete) {
        lastBackupKept_.reset();
        connection_.readEverything();  // keeps the backup when it is whole
        readNow = true;
    }
    if (model_.state().readStatus != params::ReadStatus::Complete) {
        lastBackupProblem_ = QStringLiteral("incomplete read");
    } else if ((readNow && lastBackupKept_.has_value()) ? *lastBackupKept_ : keepBackup()) {
        return true;
    }
    const QString line = Text(messages_, msg::BackupFailedNothingSent).arg(lastBackupProblem_);
    backupStatus_->setText(line);
    backupStatus_->setToolTip(line);
    QMessageBox::warning(window_, QString(), line);
    return false;
}

void ConfigurationController::restoreBackup() {
    if (runner_.busy()) return;
    BackupDialog dialog(messages_, backupFolder(), window_);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString path = dialog.chosenPath();
    if (!path.isEmpty()) (void)loadFrom(path);
}

QString ConfigurationController::parameterFolder() const {
    QDir(startDir_).mkpath(QStringLiteral("parametry"));
    return QDir(startDir_).filePath(QStringLiteral("parametry"));
}

void ConfigurationController::showFileError(const QString& detail) {
    QMessageBox box(QMessageBox::Warning, QString(), Text(messages_, msg::FileError), QMessageBox::Ok, window_);
    box.setInformativeText(detail);
    box.exec();
}

bool ConfigurationController::saveAllowed() {
    if (params::CanSaveConfiguration(model_.state().readStatus)) return true;
    QMessageBox::warning(window_, QString(), Text(messages_, msg::SaveNeedsCompleteRead));
    return false;
}

void ConfigurationController::saveFile() {
    if (!saveAllowed()) return;
    QFileDialog dialog(window_, QString(), parameterFolder(), kFilter);
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kst"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    (void)saveTo(dialog.selectedFiles().front());
}

bool ConfigurationController::saveTo(const QString& chosenName) {
    // A file of start-up zeros or of a half-answered read would later go into a car as a configuration.
    if (!saveAllowed()) return false;
    // The date goes right after the chosen name, as saved files have always been named.
    const QString date = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    const std::string path = params::DatedFileName(chosenName.toStdString(), date.toStdString());
    const auto bytes = params::EncodeParameterFile(model_.image(), model_.maps());
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
    if (runner_.busy()) return false;
    // Checked whole before anything is sent: a short or unreadable file changes nothing.
    const auto content = params::ReadParameterFile(path.toStdString());
    if (!content.ok()) {
        showFileError(QString::fromStdString(content.error().detail));
        return false;
    }
    // A file of anything at all decodes: one no editor could have written goes out only when the user says so.
    if (const auto problems = params::CheckPlausibility(*content); !problems.empty()) {
        const QString question = Text(messages_, msg::ImplausibleFile)
                                     .arg(QDir::toNativeSeparators(path),
                                          QString::fromStdString(params::FirstImplausibleText(problems)));
        if (QMessageBox::question(window_, QString(), question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return false;
    }
    if (!backupBeforeWriting()) return false;
    const auto result = runner_.run(i18n::SequenceKind::FileLoad, [&](link::Link& link, const SequenceControl& control) {
        return model_.replace([&](params::ProgramState& state) {
            return params::LoadParameterFile(link, state.image, state.maps, *content, control);
        });
    });
    if (!result || result->stopped == StopReason::NotConnected) return false;
    // What the controller now holds, whether the load finished or not.
    const QString loadLine = runner_.lastStatus();
    // A stopped load leaves nothing to read back; its own line stands alone.
    if (runner_.connected()) {
        connection_.readEverything();
        runner_.combineStatus(loadLine);
        // The read-back against the file, not against what went out after limiting (a lowered cell).
        if (result->completed() && model_.state().readStatus == params::ReadStatus::Complete) {
            const auto held = params::CompareHeld(params::AsReadAfterLoad(*content),
                                                  params::ConfigurationOfScreen(model_.image(), model_.maps()),
                                                  model_.state().decimalSeparator);
            if (!held.empty()) showHeldDifferently(held);
        }
    }
    return result->completed();
}

void ConfigurationController::showHeldDifferently(const std::vector<params::Difference>& held) {
    constexpr std::size_t kShown = 8;
    QStringList lines;
    for (std::size_t i = 0; i < held.size() && i < kShown; ++i) {
        const auto& d = held[i];
        lines << QString::fromStdString(params::ItemName(d.item) + ": " + params::SideText(d, true) + " -> " +
                                        params::SideText(d, false));
    }
    if (held.size() > kShown) lines << QStringLiteral("… (%1)").arg(static_cast<qulonglong>(held.size()));
    QMessageBox::warning(window_, QString(), Text(messages_, msg::ControllerHoldsDifferently).arg(lines.join('\n')));
}

void ConfigurationController::compareWithFile() {
    const QString path = QFileDialog::getOpenFileName(window_, QString(), parameterFolder(), kFilter);
    if (!path.isEmpty()) (void)compareWith(path);
}

bool ConfigurationController::compareWith(const QString& path) {
    const auto content = params::ReadParameterFile(path.toStdString());
    if (!content.ok()) {
        showFileError(QString::fromStdString(content.error().detail));
        return false;
    }
    const auto differences = params::Compare(params::ConfigurationOfScreen(model_.image(), model_.maps()),
                                             params::ConfigurationOfFile(*content), model_.state().decimalSeparator);
    if (compareDialog_) compareDialog_->close();
    compareDialog_ = new CompareDialog(messages_, QFileInfo(path).fileName(), differences, window_);
    compareDialog_->setAttribute(Qt::WA_DeleteOnClose);
    compareDialog_->open();
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
    model_.replace([&](params::ProgramState& state) {
        params::ViewParameterFile(state.image, state.maps, *content);
        state.readStatus = params::ReadStatus::File;
    });
    return true;
}

void ConfigurationController::factoryReset() {
    if (runner_.busy()) return;
    const auto answer = QMessageBox::question(window_, Text(messages_, msg::SettingsResetTitle),
                                              Text(messages_, msg::SettingsResetQuestion),
                                              QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) factoryResetConfirmed();
}

void ConfigurationController::factoryResetConfirmed() {
    if (!backupBeforeWriting()) return;
    const auto result =
        runner_.run(i18n::SequenceKind::FactoryReset, [&](link::Link& link, const SequenceControl& control) {
            return model_.replace([&](params::ProgramState& state) {
                return params::RestoreFactorySettings(link, state.image, state.maps,
                                                      static_cast<int>(params::kInjectorItems.size()), control);
            });
        });
    if (!result || result->stopped == StopReason::NotConnected) return;
    const QString resetLine = runner_.lastStatus();
    if (runner_.connected()) {
        connection_.readEverything();
        runner_.combineStatus(resetLine);
    }
}

}  // namespace sequaflow::ui
