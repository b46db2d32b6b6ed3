#include "accessible_widgets.h"

#include <QAccessible>
#include <QListWidget>
#include <QPointer>

namespace keytut::ui {

void describeValue(QWidget* widget, const QString& value) {
    if (widget->accessibleDescription() != value)
        widget->setAccessibleDescription(value);
}

void reportCurrentLine(QListWidget* list) {
    QPointer<QListWidget> target(list);
    QMetaObject::invokeMethod(
        list,
        [target] {
            if (!target || !target->hasFocus() || target->currentRow() < 0 ||
                !QAccessible::isActive())
                return;
            QAccessibleEvent focus(target.data(), QAccessible::Focus);
            focus.setChild(target->currentRow());
            QAccessible::updateAccessibility(&focus);
        },
        Qt::QueuedConnection);
}

}  // namespace keytut::ui
