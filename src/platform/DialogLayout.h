// Creates the controls of a dialog template on a dialog and places each at
// its exact rectangle, in dialog units of the dialog font's base units. The
// dialogs find their widgets by the template's control ids.
#pragma once

#include "platform/DialogTemplate.h"

#include <QHash>
#include <QList>
#include <QRect>

#include <functional>
#include <vector>

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
    // tab stop takes the focus when the dialog is first shown. A titled
    // group's name is said with the first control inside it (each button of a
    // radio group, any of which Tab may reach). Shift+F10 opens the context
    // menu of the focused control in every window, as the Menu key does.
    Layout(QDialog& dialog, const Template& dialogTemplate, const Factory& factory = {});

    QWidget* Widget(int id) const { return m_widgets.value(id); }
    template <typename T> T* Get(int id) const { return dynamic_cast<T*>(Widget(id)); }

    // Dialog units to pixels.
    QRect Map(int x, int y, int cx, int cy) const;

    // Where `room` cannot hold the dialog, its controls but the `pinned` ones
    // move into a scroll area and the pinned ones into a row under it, always
    // in view, and the dialog may be resized; where it can, nothing changes.
    void FitInto(QDialog& dialog, const QSize& room, const QList<int>& pinned);
    // The room for a window on the screen the dialog opens on, less what the
    // window manager adds around it.
    static QSize RoomOnScreen(const QDialog& dialog);

private:
    QSize m_baseUnits;
    QHash<int, QWidget*> m_widgets;
    std::vector<QWidget*> m_tabChain; // in template order
};

} // namespace dlg
