#pragma once

#include <QObject>
#include <QString>

class QProgressBar;
class QWidget;

namespace sequaflow::ui {

class ConnectionController;
class MainMenu;
class Session;

// The parameter file (save, load into the controller, view without one) and the factory reset, from the
// menu; each ends, where it wrote to the controller, with the read of everything.
class ConfigurationController final : public QObject {
    Q_OBJECT
public:
    ConfigurationController(Session& session, MainMenu& menu, ConnectionController& connection, QWidget* window,
                            QProgressBar* progress, QString startDir);

    // The folder "parametry" in the start directory, created when missing.
    QString parameterFolder() const;

    void saveFile();
    void loadFile();
    void viewFile();
    void factoryReset();
    // The work of the three without their dialogs, for the tests and for callers that have a path.
    bool saveTo(const QString& chosenName);
    bool loadFrom(const QString& path);
    bool viewFrom(const QString& path);

private:
    void showFileError(const QString& detail);
    void reportProgress(int position, int maximum);

    Session& session_;
    MainMenu& menu_;
    ConnectionController& connection_;
    QWidget* window_;
    QProgressBar* progress_;
    QString startDir_;
};

}  // namespace sequaflow::ui
