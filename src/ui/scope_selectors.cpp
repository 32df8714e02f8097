#include "ui/scope_selectors.h"

#include <QRadioButton>

namespace sequaflow::ui {

RadioGroup::RadioGroup(const QString& name, int items, QWidget* itemParent, QObject* parent) : QObject(parent) {
    setObjectName(name);
    for (int i = 0; i < items; ++i) {
        auto* b = new QRadioButton(itemParent);
        b->setObjectName(name + QStringLiteral("_%1").arg(i));
        // Exclusivity is the group's (and the other groups'): Qt's own would never let all be cleared.
        b->setAutoExclusive(false);
        connect(b, &QRadioButton::clicked, this, [this, i] {
            setItemIndex(i);  // a click on the chosen item leaves it chosen
            emit itemClicked(i);
        });
        items_.push_back(b);
    }
}

void RadioGroup::setItemIndex(int index) {
    index_ = index >= 0 && index < count() ? index : -1;
    for (int i = 0; i < count(); ++i) {
        QRadioButton* b = items_[static_cast<std::size_t>(i)];
        if (b->isChecked() != (i == index_)) b->setChecked(i == index_);
    }
}

ScopeSelectors::ScopeSelectors(QWidget* parent) : QObject(parent) {
    static constexpr const char* kNames[live::kScopeGroups] = {
        "RadioGroupRPMDIAG", "RadioGroupBarManDIAG", "CheckAbVBarSonda1", "CheckAbVBarSonda2",
        "RadioGroupTempDIAG", "RadioGroupBDIAG",     "RadioGroupGDIAG"};
    for (int g = 0; g < live::kScopeGroups; ++g) {
        const auto group = static_cast<live::ScopeGroup>(g);
        auto* w = new RadioGroup(QString::fromLatin1(kNames[g]), live::ScopeGroupItems(group), parent, this);
        connect(w, &RadioGroup::itemClicked, this, [this, group](int item) { choose(group, item); });
        groups_[static_cast<std::size_t>(g)] = w;
    }
    show();
}

void ScopeSelectors::choose(live::ScopeGroup g, int item) {
    const auto before = selection_.channel();
    selection_.choose(g, item);
    show();
    if (selection_.channel() != before) emit channelChanged();
}

void ScopeSelectors::show() {
    for (int g = 0; g < live::kScopeGroups; ++g)
        groups_[static_cast<std::size_t>(g)]->setItemIndex(selection_.items[static_cast<std::size_t>(g)]);
}

}  // namespace sequaflow::ui
