#include "platform/AccessibleRole.h"

#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace {

constexpr char kRoleProperty[] = "accessibleRole";

QAccessibleInterface* WithRole(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    const QVariant role = widget != nullptr ? widget->property(kRoleProperty) : QVariant();
    if (!role.isValid()) {
        return nullptr;
    }
    return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void SetAccessibleRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = (QAccessible::installFactory(&WithRole), true);
    static_cast<void>(installed);
    widget->setProperty(kRoleProperty, static_cast<int>(role));
}
