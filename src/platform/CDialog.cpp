#include "platform/CDialog.h"

#include "platform/LimitedLineEdit.h"
#include "platform/Fonts.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimerEvent>

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
void FixRadioTabStop(QButtonGroup* group) {
    const QList<QAbstractButton*> buttons = group->buttons();
    QAbstractButton* stop = group->checkedButton() != nullptr ? group->checkedButton() : buttons.value(0);
    for (QAbstractButton* button : buttons) {
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

// The arrow keys choose the previous or next button of the group that can be
// chosen, without wrapping, as Qt's own radio groups do.
bool MoveInRadioGroup(QRadioButton* from, int key) {
    int step = 0;
    if (key == Qt::Key_Up || key == Qt::Key_Left) {
        step = -1;
    } else if (key == Qt::Key_Down || key == Qt::Key_Right) {
        step = 1;
    } else {
        return false;
    }
    const QList<QAbstractButton*> buttons = from->group()->buttons();
    for (qsizetype i = buttons.indexOf(from) + step; i >= 0 && i < buttons.size(); i += step) {
        QAbstractButton* next = buttons[i];
        if (next->isEnabled() && next->isVisible()) {
            next->setFocus(Qt::TabFocusReason);
            next->click();
            break;
        }
    }
    return true;
}

} // namespace

CDialog::CDialog(const dlg::Template& dialogTemplate, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_template(dialogTemplate) {
    setFont(PointFont(platform::FromUtf8(m_template.fontFace), m_template.pointSize * 10, this));
    m_baseUnits = BaseUnitsOf(font());
    setWindowTitle(platform::FromUtf8(m_template.caption));
}

CDialog::~CDialog() = default;

QRect CDialog::MapDialogRect(int x, int y, int cx, int cy) const {
    const int bx = m_baseUnits.width();
    const int by = m_baseUnits.height();
    const int left = MulDiv(x, bx, 4);
    const int top = MulDiv(y, by, 8);
    return {left, top, MulDiv(x + cx, bx, 4) - left, MulDiv(y + cy, by, 8) - top};
}

void CDialog::Create() {
    if (m_created) {
        return;
    }
    m_created = true;
    setFixedSize(MapDialogRect(0, 0, m_template.cx, m_template.cy).size());

    QWidget* previousTabStop = nullptr;
    QButtonGroup* radioGroup = nullptr;
    for (const auto& control : m_template.controls) {
        QWidget* widget = CreateControl(control);
        if (widget == nullptr) {
            widget = BuildControl(control);
        }
        widget->setParent(this);
        widget->setGeometry(MapDialogRect(control.x, control.y, control.cx, control.cy));
        if (control.id != dlg::kStaticId) {
            widget->setObjectName(QStringLiteral("id%1").arg(control.id));
            m_items.insert(control.id, widget);
        }
        widget->setEnabled((control.style & dlg::Disabled) == 0);
        widget->setVisible((control.style & dlg::Hidden) == 0);

        if (auto* radio = dynamic_cast<QRadioButton*>(widget)) {
            if (radioGroup == nullptr || (control.style & dlg::Group) != 0) {
                radioGroup = new QButtonGroup(this);
            }
            radio->setAutoExclusive(false);
            radioGroup->addButton(radio);
            connect(radio, &QAbstractButton::toggled, radioGroup,
                    [radioGroup] { FixRadioTabStop(radioGroup); });
            FixRadioTabStop(radioGroup);
        } else if ((control.style & dlg::Group) != 0 || control.kind != dlg::Kind::AutoRadio) {
            radioGroup = nullptr;
        }

        // A radio group is one stop in the tab chain, as in Qt's own dialogs
        // (see FixRadioTabStop); Qt's buttons move the choice with the arrow keys.
        if (control.kind == dlg::Kind::AutoRadio) {
            if (previousTabStop != nullptr) {
                setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        } else if ((control.style & dlg::TabStop) != 0) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previousTabStop != nullptr) {
                setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }

        if (auto* button = dynamic_cast<QAbstractButton*>(widget)) {
            const int id = control.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnButtonClicked(id); });
        }
        if (auto* edit = dynamic_cast<QLineEdit*>(widget)) {
            const int id = control.id;
            connect(edit, &QLineEdit::textChanged, this, [this, id] {
                if (const auto handler = m_update.value(id)) {
                    handler();
                }
            });
        }
        widget->installEventFilter(this);
        if ((control.style & dlg::DefPush) != 0) {
            SetDefaultStyle(control.id, true);
        }
    }
    // Group boxes are drawn behind the controls they frame and never take clicks.
    for (auto* group : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        group->lower();
    }
    m_focusFirst = OnInitDialog();
}

QWidget* CDialog::BuildControl(const dlg::Control& control) {
    const QString text = platform::FromUtf8(control.text);
    switch (control.kind) {
    case dlg::Kind::GroupBox: {
        auto* group = new QGroupBox(text);
        group->setAttribute(Qt::WA_TransparentForMouseEvents);
        // As the templates expect: the frame's top line runs through the middle of the caption.
        const int half = QFontMetrics(font()).height() / 2;
        group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid #a0a0a0; margin-top: %1px; }"
                                            "QGroupBox::title { subcontrol-origin: margin; left: 6px;"
                                            " padding: 0 2px; }")
                                 .arg(half));
        return group;
    }
    case dlg::Kind::Text: {
        auto* label = new QLabel(text);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(((control.style & dlg::Centre) != 0 ? Qt::AlignHCenter : Qt::AlignLeft) |
                            Qt::AlignTop);
        return label;
    }
    case dlg::Kind::Frame: {
        if ((control.style & dlg::Etched) != 0) {
            return new PaintArea;
        }
        auto* frame = new QFrame;
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        return frame;
    }
    case dlg::Kind::Icon: {
        auto* label = new QLabel;
        label->setPixmap(QApplication::windowIcon().pixmap(32, 32));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case dlg::Kind::Edit: {
        auto* edit = new LimitedLineEdit;
        edit->setReadOnly((control.style & dlg::ReadOnly) != 0);
        if ((control.style & dlg::Password) != 0) {
            edit->setEchoMode(QLineEdit::Password);
        }
        return edit;
    }
    case dlg::Kind::PushButton: {
        auto* button = new QPushButton(text);
        button->setAutoDefault(false);
        return button;
    }
    case dlg::Kind::AutoRadio:
        return new QRadioButton(text);
    case dlg::Kind::AutoCheck:
        return new QCheckBox(text);
    }
    return new QWidget;
}

int CDialog::DoModal() {
    Create();
    return exec();
}

void CDialog::EndDialog(int result) {
    for (const int qtTimer : std::as_const(m_timers)) {
        killTimer(qtTimer);
    }
    m_timers.clear();
    done(result);
}

QWidget* CDialog::GetDlgItem(int id) const {
    return m_items.value(id);
}

void CDialog::SetDefaultStyle(int id, bool on) {
    if (on) {
        m_defaultStyle.insert(id);
    } else {
        m_defaultStyle.erase(id);
    }
    if (auto* button = Item<QPushButton>(id)) {
        button->setDefault(on);
    }
}

bool CDialog::IsDlgButtonChecked(int id) const {
    const auto* button = Item<QAbstractButton>(id);
    return button != nullptr && button->isChecked();
}

void CDialog::CheckDlgButton(int id, bool checked) {
    if (auto* button = Item<QAbstractButton>(id)) {
        button->setChecked(checked);
    }
}

void CDialog::EnableDlgItem(int id, bool enabled) {
    if (auto* item = GetDlgItem(id)) {
        item->setEnabled(enabled);
    }
}

bool CDialog::IsDlgItemEnabled(int id) const {
    const auto* item = GetDlgItem(id);
    return item != nullptr && item->isEnabled();
}

void CDialog::GotoDlgCtrl(int id) {
    if (auto* item = GetDlgItem(id)) {
        item->setFocus(Qt::OtherFocusReason);
    }
}

bool CDialog::UpdateData(bool saveAndValidate) {
    DoDataExchange(saveAndValidate);
    return true;
}

void CDialog::DDX_Text(bool save, int id, std::string& value) {
    QWidget* item = GetDlgItem(id);
    auto* edit = dynamic_cast<QLineEdit*>(item);
    auto* label = dynamic_cast<QLabel*>(item);
    if (save) {
        const QString text = edit != nullptr ? edit->text() : label != nullptr ? label->text() : QString();
        value = FromQString(text).value_or(std::string());
        return;
    }
    const QString text = ToQString(value);
    if (edit != nullptr && edit->text() != text) {
        edit->setText(text);
    } else if (label != nullptr && label->text() != text) {
        label->setText(text);
    }
}

void CDialog::SetTimer(int id, int milliseconds) {
    KillTimer(id);
    m_timers.insert(id, startTimer(milliseconds));
}

void CDialog::KillTimer(int id) {
    if (const auto it = m_timers.find(id); it != m_timers.end()) {
        killTimer(it.value());
        m_timers.erase(it);
    }
}

void CDialog::timerEvent(QTimerEvent* event) {
    for (auto it = m_timers.cbegin(); it != m_timers.cend(); ++it) {
        if (it.value() == event->timerId()) {
            OnTimer(it.key());
            return;
        }
    }
    QDialog::timerEvent(event);
}

void CDialog::OnButtonClicked(int id) {
    if (const auto handler = m_clicked.value(id)) {
        handler();
    } else if (id == IDOK) {
        OnOK();
    } else if (id == IDCANCEL) {
        OnCancel();
    }
}

void CDialog::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A focused push button takes Enter itself; otherwise the default button does.
        if (auto* focused = dynamic_cast<QPushButton*>(focusWidget());
            focused != nullptr && focused->isEnabled()) {
            focused->click();
        } else if (m_defId != 0) {
            if (auto* button = Item<QPushButton>(m_defId); button != nullptr && button->isEnabled()) {
                button->click();
            }
        } else {
            OnOK();
        }
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDialog::closeEvent(QCloseEvent* event) {
    // The close box is the cancel command; the dialog closes only if OnCancel ends it.
    event->ignore();
    if (isVisible()) {
        OnCancel();
    }
}

void CDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (m_focusFirst) {
            // The first tab stop in template order gets the focus.
            for (const auto& control : m_template.controls) {
                QWidget* item = GetDlgItem(control.id);
                if ((control.style & dlg::TabStop) != 0 && item != nullptr && item->isEnabled() &&
                    item->isVisible()) {
                    item->setFocus(Qt::TabFocusReason);
                    break;
                }
            }
        }
    }
}

bool CDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (auto* radio = qobject_cast<QRadioButton*>(watched);
            radio != nullptr && radio->group() != nullptr) {
            if (MoveInRadioGroup(radio, static_cast<QKeyEvent*>(event)->key())) {
                return true;
            }
        }
    }
    if (event->type() == QEvent::FocusIn) {
        for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
            if (it.value() == watched) {
                if (const auto handler = m_setFocus.value(it.key())) {
                    handler();
                }
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
