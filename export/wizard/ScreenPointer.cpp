#include "export/wizard/ScreenPointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace lumo::wizard {

void showHourglass() {
    if (QGuiApplication::overrideCursor()) QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    else QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void showDefaultPointer() {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

bool hourglassShown() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

}  // namespace lumo::wizard
