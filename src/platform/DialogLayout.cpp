#include "platform/DialogLayout.h"

#include "platform/LimitedLineEdit.h"
#include "platform/Fonts.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace dlg {

namespace {

// The platform's base units: the average width of the letters and the height of the font.
QSize BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

// Tab reaches a radio group on its checked button, or its first while none
// is checked; the others take focus only from a click or an arrow key.
void FixRadioTabStop(const QButtonGroup* group) {
    const QList<QAbstractButton*> buttons = group->buttons();
    QAbstractButton* stop = group->checkedButton() != nullptr ? group->checkedButton() : buttons.value(0);
    for (QAbstractButton* button : buttons) {
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

// The arrow keys choose the previous or next button of the group that can be
// chosen, without wrapping; the first showing of the dialog (on Wayland its
// first activation) focuses the first enabled tab stop.
class Keys : public QObject {
public:
    Keys(QDialog& dialog, std::vector<QWidget*> tabStops)
        : QObject(&dialog)
        , m_tabStops(std::move(tabStops)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // On Wayland not before the window is active: the dialog would then
        // hand the focus to the edit itself, and its caret reaches the input
        // method of a desktop that has no seat yet (which crashes Qt 6.4).
        static const bool untilActive = QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
        if ((event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) &&
            watched == parent() && (!untilActive || static_cast<QWidget*>(watched)->isActiveWindow())) {
            watched->removeEventFilter(this);
            for (QWidget* stop : m_tabStops) {
                if (stop->isEnabled() && !stop->isHidden()) {
                    stop->setFocus(Qt::TabFocusReason);
                    break;
                }
            }
        }
        auto* radio = qobject_cast<QRadioButton*>(watched);
        if (event->type() == QEvent::KeyPress && radio != nullptr && radio->group() != nullptr) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const int step = key == Qt::Key_Up || key == Qt::Key_Left      ? -1
                             : key == Qt::Key_Down || key == Qt::Key_Right ? 1
                                                                           : 0;
            if (step == 0) {
                return false;
            }
            const QList<QAbstractButton*> buttons = radio->group()->buttons();
            for (qsizetype i = buttons.indexOf(radio) + step; i >= 0 && i < buttons.size(); i += step) {
                if (buttons[i]->isEnabled() && !buttons[i]->isHidden()) {
                    buttons[i]->setFocus(Qt::TabFocusReason);
                    buttons[i]->click();
                    break;
                }
            }
            return true;
        }
        return false;
    }

private:
    std::vector<QWidget*> m_tabStops;
};

// Shift+F10, the context-menu key of most desktops, does what Qt does for the
// Menu key: the focused widget gets a keyboard context menu event at its
// caret, which goes on to its parents while none takes it.
class ContextMenuKey : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        QWidget* focus = QApplication::focusWidget();
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier || watched != focus) {
            return false;
        }
        const QPoint at = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at), key->modifiers());
        QApplication::sendEvent(focus, &menu);
        return true;
    }
};

// The name a control has of its own: the name set or its text.
QString OwnName(const QWidget* widget) {
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    return widget->accessibleName().isEmpty() && button != nullptr ? button->text()
                                                                   : widget->accessibleName();
}

bool Inside(const Control& inner, const Control& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.cx <= outer.x + outer.cx &&
           inner.y + inner.cy <= outer.y + outer.cy;
}

QWidget* BuildStandard(const Control& control, const QFont& font) {
    const QString text = platform::FromUtf8(control.text);
    switch (control.kind) {
    case Kind::GroupBox: {
        auto* group = new QGroupBox(text);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        // As the templates expect: the frame's top line runs through the middle of the caption.
        const int half = QFontMetrics(font).height() / 2;
        group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid #a0a0a0; margin-top: %1px; }"
                                            "QGroupBox::title { subcontrol-origin: margin; left: 6px;"
                                            " padding: 0 2px; }")
                                 .arg(half));
        // A style sheet set before the box has a parent fixes its font at the application's; the
        // caption would then fall back to another face.
        group->setFont(font);
        return group;
    }
    case Kind::Text: {
        auto* label = new QLabel(text);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(((control.style & Centre) != 0 ? Qt::AlignHCenter : Qt::AlignLeft) |
                            Qt::AlignTop);
        return label;
    }
    case Kind::Frame: {
        if ((control.style & Etched) != 0) {
            return new PaintArea;
        }
        auto* frame = new QFrame;
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        return frame;
    }
    case Kind::Icon: {
        auto* label = new QLabel;
        label->setPixmap(QApplication::windowIcon().pixmap(32, 32));
        label->setAccessibleName(QApplication::applicationDisplayName());
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::Edit: {
        auto* edit = new LimitedLineEdit;
        edit->setReadOnly((control.style & ReadOnly) != 0);
        if ((control.style & Password) != 0) {
            edit->setEchoMode(QLineEdit::Password);
        }
        return edit;
    }
    case Kind::PushButton: {
        auto* button = new QPushButton(text);
        button->setAutoDefault(false);
        button->setDefault((control.style & DefPush) != 0);
        return button;
    }
    case Kind::AutoRadio:
        return new QRadioButton(text);
    case Kind::AutoCheck:
        return new QCheckBox(text);
    }
    return new QWidget;
}

} // namespace

Layout::Layout(QDialog& dialog, const Template& dialogTemplate, const Factory& factory) {
    dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint);
    dialog.setFont(
        PointFont(platform::FromUtf8(dialogTemplate.fontFace), dialogTemplate.pointSize * 10, &dialog));
    dialog.setWindowTitle(platform::FromUtf8(dialogTemplate.caption));
    m_baseUnits = BaseUnitsOf(dialog.font());
    dialog.setFixedSize(Map(0, 0, dialogTemplate.cx, dialogTemplate.cy).size());

    static const bool menuKey = (qApp->installEventFilter(new ContextMenuKey(qApp)), true);
    static_cast<void>(menuKey);

    std::vector<QWidget*> tabStops;
    QSet<const QWidget*> captioned; // edits named by a caption
    QWidget* previous = nullptr;    // in the tab chain
    QButtonGroup* radioGroup = nullptr;
    QWidget* before = nullptr; // the control before in template order, and its place
    const Control* beforeControl = nullptr;
    for (const Control& control : dialogTemplate.controls) {
        QWidget* widget = factory ? factory(control) : nullptr;
        if (widget == nullptr) {
            widget = BuildStandard(control, dialog.font());
        }
        widget->setParent(&dialog);
        widget->setGeometry(Map(control.x, control.y, control.cx, control.cy));
        if (control.id != kStaticId) {
            m_widgets.insert(control.id, widget);
            // Tools and benchmarks find a control by its id's name.
            widget->setObjectName(QStringLiteral("id%1").arg(control.id));
        }
        widget->setEnabled((control.style & Disabled) == 0);
        widget->setVisible((control.style & Hidden) == 0);
        // An edit's caption is the text just before it and over it, or else
        // the group it starts.
        if (control.kind == Kind::Edit && widget->accessibleName().isEmpty()) {
            if (auto* caption = qobject_cast<QLabel*>(before);
                caption != nullptr && beforeControl->y < control.y && beforeControl->x >= control.x &&
                beforeControl->x < control.x + control.cx) {
                caption->setBuddy(widget);
                captioned.insert(widget);
            } else if (auto* group = qobject_cast<QGroupBox*>(before)) {
                widget->setAccessibleName(group->title());
            }
        }
        // An untitled group is named by the text it frames.
        if (auto* group = qobject_cast<QGroupBox*>(before);
            group != nullptr && group->title().isEmpty() && control.kind == Kind::Text) {
            group->setAccessibleName(platform::FromUtf8(control.text));
        }
        before = widget;
        beforeControl = &control;

        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            // An exclusive group, so the buttons keep the radio button's role.
            if (radioGroup == nullptr || (control.style & Group) != 0) {
                radioGroup = new QButtonGroup(&dialog);
            }
            radioGroup->addButton(radio);
            QObject::connect(radio, &QAbstractButton::toggled, radioGroup,
                             [radioGroup] { FixRadioTabStop(radioGroup); });
            FixRadioTabStop(radioGroup);
        } else {
            radioGroup = nullptr;
        }
        if (control.kind == Kind::AutoRadio || (control.style & TabStop) != 0) {
            if (control.kind != Kind::AutoRadio) {
                widget->setFocusPolicy(Qt::StrongFocus);
            }
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, widget);
            }
            previous = widget;
            m_tabChain.push_back(widget);
            if ((control.style & TabStop) != 0) {
                tabStops.push_back(widget);
            }
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
    }
    // Group boxes are drawn behind the controls they frame and never take
    // clicks; a screen reader hears of one only through its first control,
    // since the controls are the dialog's and not the box's.
    for (const Control& group : dialogTemplate.controls) {
        const QString title = platform::FromUtf8(group.text);
        if (group.kind != Kind::GroupBox || title.isEmpty()) {
            continue;
        }
        const auto first = std::find_if(dialogTemplate.controls.begin(), dialogTemplate.controls.end(),
                                        [&](const Control& c) {
                                            return ((c.style & TabStop) != 0 || c.kind == Kind::AutoRadio) &&
                                                   c.id != kStaticId && Inside(c, group);
                                        });
        if (first == dialogTemplate.controls.end()) {
            continue;
        }
        QList<QWidget*> named{Widget(first->id)};
        if (auto* radio = qobject_cast<QRadioButton*>(named.front()); radio != nullptr && radio->group()) {
            named.clear();
            for (QAbstractButton* button : radio->group()->buttons()) {
                named << button;
            }
        }
        for (QWidget* control : named) {
            // A reader names a captioned field by its caption alone.
            const QString own = OwnName(control);
            if (!captioned.contains(control) && !own.startsWith(title)) {
                control->setAccessibleName(own.isEmpty() ? title : title + QStringLiteral(": ") + own);
            }
        }
    }
    for (auto* group : dialog.findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        group->lower();
    }
    auto* keys = new Keys(dialog, tabStops);
    dialog.installEventFilter(keys);
    for (auto* radio : dialog.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
        radio->installEventFilter(keys);
    }
}

QRect Layout::Map(int x, int y, int cx, int cy) const {
    const int bx = m_baseUnits.width();
    const int by = m_baseUnits.height();
    const int left = ScaleRounded(x, bx, 4);
    const int top = ScaleRounded(y, by, 8);
    return {left, top, ScaleRounded(x + cx, bx, 4) - left, ScaleRounded(y + cy, by, 8) - top};
}

void Layout::FitInto(QDialog& dialog, const QSize& room, const QList<int>& pinned) {
    const QSize full = dialog.size();
    if (full.width() <= room.width() && full.height() <= room.height()) {
        return;
    }
    auto* area = new QScrollArea(&dialog);
    area->setObjectName(QStringLiteral("scrolledControls"));
    area->setFrameShape(QFrame::NoFrame);
    area->setAccessibleName(dialog.windowTitle());
    auto* content = new QWidget;
    content->setFixedSize(full);
    area->setWidget(content);
    QList<QWidget*> kept;
    for (const int id : pinned) {
        kept << Widget(id);
    }
    // Moved within the window, the controls keep their places and their tab order.
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != area && !kept.contains(child)) {
            const bool hidden = child->isHidden();
            const QRect place = child->geometry();
            child->setParent(content);
            child->setGeometry(place);
            child->setHidden(hidden);
        }
    }
    // The pinned row keeps the template's margin under it; with no row the area fills the window.
    const int margin = kept.isEmpty() ? 0 : m_baseUnits.height() / 2;
    auto* column = new QVBoxLayout(&dialog);
    column->setContentsMargins(0, 0, 0, margin);
    column->addWidget(area, 1);
    if (!kept.isEmpty()) {
        auto* row = new QHBoxLayout;
        row->addStretch();
        for (QWidget* button : kept) {
            button->setFixedSize(button->size());
            row->addWidget(button);
        }
        row->addStretch();
        column->addLayout(row);
    }
    for (std::size_t i = 1; i < m_tabChain.size(); ++i) {
        QWidget::setTabOrder(m_tabChain[i - 1], m_tabChain[i]);
    }
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int rowHeight = kept.isEmpty() ? 0 : column->spacing() + kept.front()->height();
    const QSize wanted(full.width() + bar, full.height() + rowHeight + margin);
    dialog.setMinimumSize(0, 0);
    dialog.setMaximumSize(wanted);
    dialog.resize(wanted.boundedTo(room));
}

QSize Layout::RoomOnScreen(const QDialog& dialog) {
    // A dialog without a parent opens on the active window's screen.
    const QWidget* active = QApplication::activeWindow();
    const QScreen* screen = (active != nullptr ? active : &dialog)->screen();
    const QStyle* style = dialog.style();
    const int frame = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    return screen->availableGeometry().size() -
           QSize(2 * frame, style->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * frame);
}

} // namespace dlg
