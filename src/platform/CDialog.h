// Base of the program's dialogs: builds the controls of a dialog template,
// laid out from the dialog font's metrics, and behaves as the dialogs expect
// of their platform: Enter presses the current default button (or runs
// OnOK), Escape and the close box run OnCancel, controls are addressed by id,
// notifications reach handlers through a small message map, and members are
// exchanged with controls by UpdateData.
#pragma once

#include "platform/DialogTemplate.h"
#include "platform/MessageBox.h"

#include <QDialog>
#include <QHash>

#include <functional>
#include <set>
#include <string>

class QButtonGroup;

class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(const dlg::Template& dialogTemplate, QWidget* parent = nullptr);
    ~CDialog() override;

    // Builds the controls and runs OnInitDialog, once, without showing.
    void Create();
    // Create, then run modally; returns the value given to EndDialog.
    int DoModal();
    void EndDialog(int result);

    QWidget* GetDlgItem(int id) const;
    template <typename T> T* Item(int id) const { return dynamic_cast<T*>(GetDlgItem(id)); }

    // Dialog units to pixels with the dialog font's base units.
    QRect MapDialogRect(int x, int y, int cx, int cy) const;

    // The default button id (0: none, Enter then runs OnOK) and the default-push
    // style of single buttons, which the platform keeps apart.
    void SetDefID(int id) { m_defId = id; }
    int GetDefID() const { return m_defId; }
    bool HasDefaultStyle(int id) const { return m_defaultStyle.count(id) != 0; }
    void SetDefaultStyle(int id, bool on);

    bool IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, bool checked);
    void EnableDlgItem(int id, bool enabled);
    bool IsDlgItemEnabled(int id) const;
    void GotoDlgCtrl(int id);

    bool UpdateData(bool saveAndValidate = true);

    // Window timers by id; OnTimer receives the id.
    void SetTimer(int id, int milliseconds);
    void KillTimer(int id);
    bool IsTimerRunning(int id) const { return m_timers.contains(id); }

    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() {
        if (UpdateData(true)) {
            EndDialog(IDOK);
        }
    }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnTimer(int /*id*/) {}

protected:
    virtual void DoDataExchange(bool /*saveAndValidate*/) {}
    // Lets a dialog put its own widget in place of a template control.
    virtual QWidget* CreateControl(const dlg::Control& /*control*/) { return nullptr; }

    // Text of an edit or static control <-> a UTF-8 member. A control is
    // written only when its text differs, so unchanged text sends no update.
    void DDX_Text(bool save, int id, std::string& value);

    // Message map: button clicked, edit gained focus, edit text changed.
    template <typename D> void MapClicked(int id, void (D::*handler)()) { m_clicked[id] = Bind(handler); }
    template <typename D> void MapSetFocus(int id, void (D::*handler)()) { m_setFocus[id] = Bind(handler); }
    template <typename D> void MapUpdate(int id, void (D::*handler)()) { m_update[id] = Bind(handler); }

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override { OnCancel(); }
    void accept() override { OnOK(); }

private:
    template <typename D> std::function<void()> Bind(void (D::*handler)()) {
        return [this, handler] {
            (static_cast<D*>(this)->*handler)();
        };
    }
    QWidget* BuildControl(const dlg::Control& control);
    void OnButtonClicked(int id);

    const dlg::Template& m_template;
    QSize m_baseUnits;
    QHash<int, QWidget*> m_items;
    bool m_created = false;
    bool m_focusFirst = true;
    bool m_shownOnce = false;
    int m_defId = 0;
    std::set<int> m_defaultStyle;
    QHash<int, int> m_timers; // our id -> Qt timer id
    QHash<int, std::function<void()>> m_clicked;
    QHash<int, std::function<void()>> m_setFocus;
    QHash<int, std::function<void()>> m_update;
};
