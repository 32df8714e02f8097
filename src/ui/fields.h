#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <string>
#include <vector>

#include "i18n/message_store.h"

namespace sequaflow::ui {

// A read-only value field as the readings show them: right-aligned, never focused by Tab.
QLineEdit* MakeValueField(const QString& name, QWidget* parent, int minimumChars = 7);
QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent);
// Sets a text only when it differs, so a 25 ms tick repaints nothing that did not change.
void SetTextIfChanged(QLineEdit* field, const QString& text);
void SetTextIfChanged(QLabel* label, const QString& text);
// The current text of a message id, in the language chosen.
QString Text(const i18n::MessageStore& messages, int id);
// A control whose text no caption-table row names carries the message id of its text in this property;
// the language controller puts that text on it at the start and after every language change.
inline constexpr char kTextIdProperty[] = "textId";
inline void SetTextId(QWidget* control, int id) { control->setProperty(kTextIdProperty, id); }
// Greys a view out while its values are stale (the line is lost), and back.
void ShowStale(QWidget* view, bool stale);

class VerticalBar;

// One lambda probe on screen: its bar and text, and the controls shown only while the probe is fitted.
// While it is not fitted the texts keep their last values.
struct LambdaDisplay {
    VerticalBar* bar = nullptr;
    QLineEdit* text = nullptr;
    std::vector<QWidget*> shownWhenFitted;

    void show(bool fitted, float volts, const std::string& voltsText) const;
    // The probe type chosen (parameter 55 or 56): the bar's scale and end colours, or the probe's controls
    // hidden and its value field saying `absentText`.
    void setType(int item, const QString& absentText) const;
};

}  // namespace sequaflow::ui
