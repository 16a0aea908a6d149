// The conversion-table editor: shows the three maps as a grid of key slots,
// one row per output character, checks the edited grid and saves it to the
// table file. Any way out but a save reloads the maps from the file.
//
// The main dialog opens it and afterwards greys out the digit and symbol
// options whose maps are empty:
//
//     CTableEditDlg editor;
//     editor.EditTable(m_table);
//     EnableDlgItem(1007, !m_table.digits.IsEmpty());
//     EnableDlgItem(1008, !m_table.symbols.IsEmpty());
#pragma once

#include "platform/CDialog.h"
#include "table/ConversionTable.h"

#include <array>
#include <map>
#include <string>

class CTableEditDlg : public CDialog {
    Q_OBJECT
public:
    explicit CTableEditDlg(QWidget* parent = nullptr);
    ~CTableEditDlg() override;

    // Fills the grid from the table, which stays the caller's, and runs the
    // editor modally. Returns IDOK after a save, IDCANCEL otherwise.
    int EditTable(ConversionTable& table);

    // Keeps the table and fills the grid from it, without running the dialog.
    void SetTable(ConversionTable& table);

    // Enter does nothing here: no control is a default button.
    void OnOK() override {}
    // Throws the grid away and reloads the maps from the file or the defaults.
    void OnCancel() override;

    void OnSaveTable();
    void OnRestoreDefaults();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    // Key slots are typed as the katakana field is: romaji to katakana.
    QWidget* CreateControl(const dlg::Control& control) override;

private:
    // The slot at a row and slot index of a group; nullptr past the row's end.
    std::string* KeySlot(TableMap group, int row, int slot);
    void FillGroup(TableMap group, const CMapStringToString& map);
    // Puts back the filled bytes of a slot whose text is as it was shown.
    void KeepUnchangedKey(int id, std::string& key) const;
    // Rebuilds a map from its rows' checked slots; false when the user stopped.
    bool RebuildGroup(TableMap group, CMapStringToString& map);

    ConversionTable* m_table = nullptr;

    // The exact bytes each slot was filled with, by control id: a slot whose
    // text the user left alone saves these, even when they are not valid code
    // page 932 (the field then shows a placeholder) or do not survive the
    // round trip through Unicode.
    std::map<int, std::string> m_filledKeys;

    // Key slots, indexed [slot][row] in grid row order.
    std::string m_rowNSlot6;
    std::array<std::array<std::string, 26>, 5> m_letterKeys;
    std::array<std::array<std::string, 10>, 3> m_digitKeys;
    std::array<std::array<std::string, 15>, 2> m_symbolKeys;
};
