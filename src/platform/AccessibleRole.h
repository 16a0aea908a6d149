// The role a screen reader announces for a plain widget that draws its own
// content (Qt gives such a widget a bare client role).
#pragma once

#include <QAccessible>

class QWidget;

// Set before the widget is first asked about: the interface is kept once made.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);
