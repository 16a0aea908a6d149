// Creates the controls of a dialog template on a dialog and places each at
// its exact rectangle, in dialog units of the dialog font's base units. The
// dialogs find their widgets by the template's control ids.
#pragma once

#include "platform/DialogTemplate.h"

#include <QHash>
#include <QRect>

#include <functional>

class QDialog;
class QWidget;

namespace dlg {

// Builds a control itself, or returns nullptr for the standard widget of its kind.
using Factory = std::function<QWidget*(const Control&)>;

class Layout {
public:
    // Gives the dialog the template's font, caption and size and builds the
    // controls in template order, which is the tab order. A radio group is one
    // exclusive tab stop whose choice the arrow keys move; the first enabled
    // tab stop takes the focus when the dialog is first shown.
    Layout(QDialog& dialog, const Template& dialogTemplate, const Factory& factory = {});

    QWidget* Widget(int id) const { return m_widgets.value(id); }
    template <typename T> T* Get(int id) const { return dynamic_cast<T*>(Widget(id)); }

    // Dialog units to pixels.
    QRect Map(int x, int y, int cx, int cy) const;

private:
    QSize m_baseUnits;
    QHash<int, QWidget*> m_widgets;
};

} // namespace dlg
