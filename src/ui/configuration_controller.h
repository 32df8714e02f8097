#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>
#include <vector>

#include "i18n/message_store.h"
#include "params/config_compare.h"
#include "ui/dialogs/compare_dialog.h"  // QPointer needs the whole class

class QLabel;
class QWidget;

namespace sequaflow::ui {

class CompareDialog;
class ConfigurationModel;
class ConnectionController;
class MainMenu;
class SequenceRunner;

// The parameter file (save, load into the controller, view without one) and the factory reset, from the
// menu; each ends, where it wrote to the controller, with the read of everything.
class ConfigurationController final : public QObject {
    Q_OBJECT
public:
    ConfigurationController(SequenceRunner& runner, ConfigurationModel& model, const i18n::MessageStore& messages,
                            MainMenu& menu, ConnectionController& connection, QWidget* window, QString startDir);

    // The folder "parametry" in the start directory, created when missing.
    QString parameterFolder() const;

    void saveFile();
    void loadFile();
    void viewFile();
    void factoryReset();
    // The work of the three without their dialogs, for callers that have a path.
    bool saveTo(const QString& chosenName);
    bool loadFrom(const QString& path);
    bool viewFrom(const QString& path);
    // The factory reset after its question was answered yes.
    void factoryResetConfirmed();

    // File > "Compare with file…": the differences between the screens and a parameter file, in a dialog
    // left open beside the window; false when the file cannot be used.
    void compareWithFile();
    bool compareWith(const QString& path);
    CompareDialog* compareDialog() const { return compareDialog_; }

    // "parametry/backup" in the start directory.
    QString backupFolder() const;
    // File > "Restore backup…": the list of backups; the one chosen is loaded as any parameter file.
    void restoreBackup();
    // Keeps the backup of the configuration on screen when it is a complete read of the controller and says
    // in the status bar where it went; true when it is on disk.
    bool keepBackup();
    // The status-bar field that says where the last backup went.
    QLabel* backupStatus() const { return backupStatus_; }

private:
    void showFileError(const QString& detail);
    // After a load's read-back: the values the controller holds other than the file.
    void showHeldDifferently(const std::vector<params::Difference>& held);
    // A save keeps only a configuration read whole (or viewed from a file); otherwise it says why.
    bool saveAllowed();
    // Before a load or a reset: the backup of what they overwrite, after a read of everything when the
    // screens do not hold one. False (and a box saying why) when it is not on disk: nothing may be sent then.
    bool backupBeforeWriting();

    SequenceRunner& runner_;
    ConfigurationModel& model_;
    const i18n::MessageStore& messages_;
    MainMenu& menu_;
    ConnectionController& connection_;
    QWidget* window_;
    QString startDir_;
    QLabel* backupStatus_ = nullptr;
    QPointer<CompareDialog> compareDialog_;
    std::optional<bool> lastBackupKept_;
    QString lastBackupProblem_;
};

}  // namespace sequaflow::ui
