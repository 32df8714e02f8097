#include "ui/pages/oscilloscope_page.h"

#include "ui/session.h"

namespace sequaflow::ui {

OscilloscopePage::OscilloscopePage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("TabSheet2"));
}

}  // namespace sequaflow::ui
