#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace sequaflow::i18n {
class MessageStore;
}

namespace sequaflow::ui {

// The paths the program works with, as they are when the box opens.
struct AboutPaths {
    QString dataFolder;
    QString languageFolder;
    QString helpFile;  // empty: none found
    QString settingsFile;
};

// Help > About: the version, the build and the paths in use, in the current language, selectable so an
// installer can paste them into a support mail.
class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    AboutDialog(const i18n::MessageStore& messages, std::function<AboutPaths()> paths, QWidget* parent);

    // Fills the texts anew and shows the box.
    void showAbout();
    QString text() const;

private:
    const i18n::MessageStore& messages_;
    std::function<AboutPaths()> paths_;
    QLabel* body_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace sequaflow::ui
