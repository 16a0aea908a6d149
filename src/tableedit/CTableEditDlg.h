// The conversion-table editor: shows the three maps as a grid of key slots,
// one row per output character, checks the edited grid and saves it to the
// table file. Any way out but a save reloads the maps from the file.
//
// The main dialog opens it and afterwards greys out the digit and symbol
// options whose maps are empty:
//
//     CTableEditDlg editor;
//     editor.EditTable(m_letters, m_digits, m_symbols);
//     EnableDlgItem(1007, !m_digits.IsEmpty());
//     EnableDlgItem(1008, !m_symbols.IsEmpty());
#pragma once

#include "platform/CDialog.h"
#include "table/CMapStringToString.h"

#include <array>
#include <string>

class CTableEditDlg : public CDialog {
    Q_OBJECT
public:
    explicit CTableEditDlg(QWidget* parent = nullptr);
    ~CTableEditDlg() override;

    // Fills the grid from the maps, which stay the caller's, and runs the
    // editor modally. Returns IDOK after a save, IDCANCEL otherwise.
    virtual int EditTable(CMapStringToString& letters, CMapStringToString& digits,
                          CMapStringToString& symbols);

    // Keeps the maps and fills the grid from them, without running the dialog.
    void SetTable(CMapStringToString& letters, CMapStringToString& digits, CMapStringToString& symbols);

    // Enter does nothing here: no control is a default button.
    void OnOK() override {}
    // Throws the grid away and reloads the maps from the file or the defaults.
    void OnCancel() override;

    void OnSaveTable();
    void OnRestoreDefaults();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;

private:
    enum class Group { Letters, Digits, Symbols };

    // The slot at a row and slot index of a group; nullptr past the row's end.
    std::string* KeySlot(Group group, int row, int slot);
    void FillGroup(Group group, const CMapStringToString& map);
    // Rebuilds a map from its rows' checked slots; false when the user stopped.
    bool RebuildGroup(Group group, CMapStringToString& map);

    CMapStringToString* m_digits = nullptr;
    CMapStringToString* m_letters = nullptr;
    CMapStringToString* m_symbols = nullptr;

    // Key slots, indexed [slot][row] in grid row order.
    std::string m_rowNSlot6;
    std::array<std::array<std::string, 26>, 5> m_letterKeys;
    std::array<std::array<std::string, 10>, 3> m_digitKeys;
    std::array<std::array<std::string, 15>, 2> m_symbolKeys;
};
