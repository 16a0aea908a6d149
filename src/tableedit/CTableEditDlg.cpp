#include "tableedit/CTableEditDlg.h"

#include "kana/KanaLineEdit.h"
#include "platform/Cp932.h"
#include "files/FileWriter.h"
#include "platform/FileErrorText.h"
#include "platform/QtText.h"
#include "table/TableFile.h"
#include "tableedit/KeyCheck.h"
#include "tableedit/TableEditTemplate.h"
#include "tableedit/TableText.h"

#include <QLineEdit>

#include <cctype>
#include <cerrno>
#include <string_view>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Slots a row has before the save's unchecked extra slot.
int CheckedSlotsOf(int group) {
    constexpr std::array<int, 3> slotCount{tableedit::kLetterSlots, tableedit::kDigitSlots,
                                           tableedit::kSymbolSlots};
    return slotCount[static_cast<std::size_t>(group)];
}

int SlotIdOf(int group, int row, int slot) {
    switch (group) {
    case 0:
        return tableedit::LetterSlotId(row, slot);
    case 1:
        return tableedit::DigitSlotId(row, slot);
    default:
        return tableedit::SymbolSlotId(row, slot);
    }
}

} // namespace

CTableEditDlg::CTableEditDlg(QWidget* parent)
    : CDialog(tableedit::kTableEditTemplate, parent) {
    MapClicked(tableedit::kSaveId, &CTableEditDlg::OnSaveTable);
    MapClicked(tableedit::kRestoreId, &CTableEditDlg::OnRestoreDefaults);
}

CTableEditDlg::~CTableEditDlg() = default;

std::string* CTableEditDlg::KeySlot(TableMap group, int row, int slot) {
    const auto r = static_cast<std::size_t>(row);
    const auto s = static_cast<std::size_t>(slot);
    switch (group) {
    case TableMap::Letters:
        if (slot < tableedit::kLetterSlots) {
            return &m_letterKeys[s][r];
        }
        return row == tableedit::kRowN && slot == tableedit::kLetterSlots ? &m_rowNSlot6 : nullptr;
    case TableMap::Digits:
        return slot < tableedit::kDigitSlots ? &m_digitKeys[s][r] : nullptr;
    case TableMap::Symbols:
        return slot < tableedit::kSymbolSlots ? &m_symbolKeys[s][r] : nullptr;
    }
    return nullptr;
}

void CTableEditDlg::SetTable(ConversionTable& table) {
    m_table = &table;
    for (const TableMap group : kTableMaps) {
        FillGroup(group, table.Map(group));
    }
}

int CTableEditDlg::EditTable(ConversionTable& table) {
    SetTable(table);
    return DoModal();
}

void CTableEditDlg::FillGroup(TableMap group, const CMapStringToString& map) {
    const std::string_view rows = tableedit::TableMapOutputs(group);
    for (const auto& entry : map) {
        if (entry.value.size() != 1) {
            continue;
        }
        char output = entry.value[0];
        if (group == TableMap::Letters) {
            output = static_cast<char>(std::tolower(static_cast<unsigned char>(output)));
        }
        const auto row = rows.find(output);
        if (row == std::string_view::npos) {
            continue;
        }
        // The lowest empty slot; a full row leaves the entry out.
        for (int slot = 0; std::string* key = KeySlot(group, static_cast<int>(row), slot); ++slot) {
            if (key->empty()) {
                *key = entry.key;
                m_filledKeys[SlotIdOf(static_cast<int>(group), static_cast<int>(row), slot)] = entry.key;
                break;
            }
        }
    }
}

QWidget* CTableEditDlg::CreateControl(const dlg::Control& control) {
    if (control.kind != dlg::Kind::Edit) {
        return nullptr;
    }
    // Every edit of the grid is a key slot. Typing stops at the save's limit,
    // since a longer key never matches; text filled from the table or pasted
    // is kept whole for the save to check.
    auto* slot = new KanaLineEdit;
    slot->SetTypingLimit(static_cast<int>(tableedit::kMaxKeyBytes));
    slot->setToolTip(KanaLineEdit::TypingHint());
    return slot;
}

bool CTableEditDlg::OnInitDialog() {
    UpdateData(false);
    return CDialog::OnInitDialog();
}

void CTableEditDlg::DoDataExchange(bool saveAndValidate) {
    for (const TableMap group : kTableMaps) {
        const int g = static_cast<int>(group);
        for (int row = 0; row < static_cast<int>(tableedit::TableMapOutputs(group).size()); ++row) {
            for (int slot = 0; std::string* key = KeySlot(group, row, slot); ++slot) {
                const int id = SlotIdOf(g, row, slot);
                DDX_Text(saveAndValidate, id, *key);
                if (saveAndValidate) {
                    KeepUnchangedKey(id, *key);
                }
            }
        }
    }
}

void CTableEditDlg::KeepUnchangedKey(int id, std::string& key) const {
    const auto filled = m_filledKeys.find(id);
    const auto* edit = qobject_cast<const QLineEdit*>(GetDlgItem(id));
    if (filled != m_filledKeys.end() && edit != nullptr && edit->text() == ToQString(filled->second)) {
        key = filled->second;
    }
}

void CTableEditDlg::OnCancel() {
    if (m_table == nullptr) {
        CDialog::OnCancel();
        return;
    }
    m_table->RemoveAll();
    const LoadResult loaded = LoadConversionTable(*m_table);
    if (loaded.source == LoadResult::Source::Failed) {
        // The maps stay empty and the editor open, so the user can save the grid over the damaged file.
        platform::AppMessageBox(DescribeTableReadError(loaded.error), platform::Buttons::Ok,
                                platform::Icon::Stop);
        return;
    }
    CDialog::OnCancel();
}

bool CTableEditDlg::RebuildGroup(TableMap group, CMapStringToString& map) {
    const int g = static_cast<int>(group);
    const std::string_view rows = tableedit::TableMapOutputs(group);
    map.RemoveAll();
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const std::string output(1, rows[static_cast<std::size_t>(row)]);
        for (int slot = 0; slot < CheckedSlotsOf(g); ++slot) {
            std::string& key = *KeySlot(group, row, slot);
            if (key.empty()) {
                continue;
            }
            if (auto tooLong = tableedit::CheckKeyLength(key)) {
                if (platform::AppMessageBox(tooLong->message, platform::Buttons::OkCancel) != IDOK) {
                    return false;
                }
                key = std::move(tooLong->cut);
            }
            if (const auto duplicate = tableedit::CheckDuplicateKey(map, key, output)) {
                if (platform::AppMessageBox(*duplicate, platform::Buttons::OkCancel) != IDOK) {
                    return false;
                }
            }
            map.SetAt(key, output);
        }
    }
    return true;
}

void CTableEditDlg::OnSaveTable() {
    if (m_table == nullptr) {
        return;
    }
    UpdateData(true);
    if (!RebuildGroup(TableMap::Letters, m_table->letters)) {
        return;
    }
    // Row n's sixth slot is taken whole and unchecked.
    if (!m_rowNSlot6.empty()) {
        m_table->letters.SetAt(m_rowNSlot6, "n");
    }
    if (!RebuildGroup(TableMap::Digits, m_table->digits) ||
        !RebuildGroup(TableMap::Symbols, m_table->symbols)) {
        return;
    }
    // A key the file would cut (a NUL that came in with pasted text) is not written cut.
    for (const CMapStringToString* map : {&m_table->letters, &m_table->digits, &m_table->symbols}) {
        for (const auto& entry : *map) {
            if (const auto cut = tableedit::CheckStorableKey(entry.key)) {
                platform::AppMessageBox(std::string("行 ") + entry.value + std::string(" の") + *cut,
                                        platform::Buttons::Ok, platform::Icon::Stop);
                return;
            }
        }
    }
    if (const std::error_code error = SaveConversionTable(*m_table)) {
        // The old file is intact; the editor stays open so the user can remove the cause and
        // save again, or cancel, which reloads the maps from the file.
        platform::AppMessageBox(std::string("変換表を保存できませんでした。\r\n") +
                                    FileErrorText(error, kTableFileName),
                                platform::Buttons::Ok, platform::Icon::Stop);
        return;
    }
    CDialog::OnOK();
}

void CTableEditDlg::OnRestoreDefaults() {
    if (const std::error_code error = files::RemoveTableFile(kTableFileName)) {
        platform::AppMessageBox(FileErrorText(error, kTableFileName), platform::Buttons::Ok,
                                platform::Icon::Stop);
        return;
    }
    OnCancel();
}
