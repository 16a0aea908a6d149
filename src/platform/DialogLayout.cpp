#include "platform/DialogLayout.h"

#include "platform/LimitedLineEdit.h"
#include "platform/Fonts.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

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

    std::vector<QWidget*> tabStops;
    QWidget* previous = nullptr; // in the tab chain
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
            if ((control.style & TabStop) != 0) {
                tabStops.push_back(widget);
            }
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
    }
    // Group boxes are drawn behind the controls they frame and never take clicks.
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

} // namespace dlg
