#include "palette/PaletteWindow.h"

#include <QCloseEvent>

namespace vantrel {

FormEl::FormEl(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormEl"));
    setWindowTitle(tr("Element View"));
}

void FormEl::closeEvent(QCloseEvent* event)
{
    // Closing only hides the palette; it lives as long as the program.
    hide();
    event->ignore();
}

}  // namespace vantrel
