#pragma once

#include <QObject>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "live/scope.h"

class QRadioButton;

namespace sequaflow::ui {

// A radio group whose item index may also be -1 (nothing chosen), so a choice in another group can clear
// it. The items carry no text and are laid out one by one, each beside the field it stands for.
class RadioGroup final : public QObject {
    Q_OBJECT
public:
    // The items are made as children of `itemParent`; the group object itself belongs to `parent`.
    RadioGroup(const QString& name, int items, QWidget* itemParent, QObject* parent);

    int itemIndex() const { return index_; }
    void setItemIndex(int index);
    int count() const { return static_cast<int>(items_.size()); }
    QRadioButton* item(int index) const { return items_[static_cast<std::size_t>(index)]; }

signals:
    // An item was clicked by the user (it stays chosen).
    void itemClicked(int index);

private:
    std::vector<QRadioButton*> items_;
    int index_ = -1;
};

// The seven channel selectors of the oscilloscope. A click in one clears the other six, so the trace
// always plots at most one channel.
class ScopeSelectors final : public QObject {
    Q_OBJECT
public:
    // Makes the seven groups with their items as children of `parent`, which places them beside their fields.
    explicit ScopeSelectors(QWidget* parent);

    RadioGroup* group(live::ScopeGroup g) const { return groups_[static_cast<std::size_t>(g)]; }
    std::optional<int> channel() const { return selection_.channel(); }
    void choose(live::ScopeGroup g, int item);

signals:
    void channelChanged();

private:
    void show();

    live::ScopeSelection selection_;
    std::array<RadioGroup*, live::kScopeGroups> groups_{};
};

}  // namespace sequaflow::ui
