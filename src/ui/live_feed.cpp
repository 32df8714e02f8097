#include "ui/live_feed.h"

namespace sequaflow::ui {

void LiveFeed::accept(const live::ReadingsView& view) {
    view_ = view;
    setStale(false);
    emit frameAccepted(view_);
}

void LiveFeed::setStale(bool stale) {
    if (stale == stale_) return;
    stale_ = stale;
    emit staleChanged(stale_);
}

}  // namespace sequaflow::ui
