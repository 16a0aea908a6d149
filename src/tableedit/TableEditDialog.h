// The conversion-table editor: shows the three maps of the model's table as a grid of
// key slots, one row per output character, checks the edited grid and saves
// it to the table file. Any way out but a save reloads the maps from the file.
//
// The main dialog opens it on its model and afterwards greys out the digit
// and symbol options whose maps are empty.
#pragma once

#include "platform/DialogLayout.h"
#include "model/PasswordModel.h"

#include <QDialog>

#include <array>
#include <map>
#include <string>
#include <vector>

class TableEditDialog : public QDialog {
    Q_OBJECT
public:
    // Fills the grid from the model's table; `model` must outlive the editor.
    explicit TableEditDialog(PasswordModel& model, QWidget* parent = nullptr);
    ~TableEditDialog() override;

    // A control by its template id.
    template <typename T> T* Control(int id) const { return m_layout.Get<T>(id); }

    // Throws the grid away and reloads the maps from the file or the defaults;
    // a damaged file is said and the editor stays open.
    void reject() override;

    void OnSaveTable();
    void OnRestoreDefaults();

protected:
    // Enter presses a focused button and does nothing else: no button is a default one.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillGroup(TableMap group, const HashOrderMap& map);
    // A slot's key: the bytes it was filled with while its text is as shown.
    std::string KeyOf(int id) const;
    // Rebuilds a map from its rows' checked slots; false when the user stopped.
    bool RebuildGroup(TableMap group, HashOrderMap& map);

    PasswordModel& m_model;
    dlg::Layout m_layout;

    // The exact bytes each slot was filled with, by control id: a slot whose
    // text the user left alone saves these, even when they are not valid code
    // page 932 (the field then shows a placeholder) or do not survive the
    // round trip through Unicode.
    std::map<int, std::string> m_filledKeys;
    // Entries of each map that the grid has no slot for (a full row, an
    // output without a row): saved as they are, since the user never saw them.
    std::array<std::vector<HashOrderMap::Entry>, 3> m_hidden;
};
