#include "announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace keytut::ui {

namespace {

class AccessibleAnnouncer : public QAccessibleWidget {
  public:
    explicit AccessibleAnnouncer(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* announcerFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("keytut::ui::Announcer") && object->isWidgetType())
        return new AccessibleAnnouncer(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

Announcer::Announcer() : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    static const bool installed = [] {
        QAccessible::installFactory(announcerFactory);
        return true;
    }();
    (void)installed;
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Out of sight: a window shown for the screen reader only.
    setGeometry(-16, -16, 1, 1);
    hide();
}

void Announcer::announce(const QString& text) {
    hide();
    setText(text);
    show();
    // Qt tells of a window shown only once the window system has mapped it, if at all; the
    // screen reader needs to know now.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

}  // namespace keytut::ui
