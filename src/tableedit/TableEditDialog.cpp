#include "tableedit/TableEditDialog.h"

#include "kana/KanaLineEdit.h"
#include "platform/FileErrorText.h"
#include "platform/MessageBox.h"
#include "platform/QtText.h"
#include "table/TableFile.h"
#include "tableedit/KeyCheck.h"
#include "tableedit/TableEditTemplate.h"
#include "tableedit/TableText.h"

#include <QKeyEvent>
#include <QPushButton>

#include <cctype>
#include <string_view>
#include <system_error>

namespace {

// Slots a row has before the save's unchecked extra slot.
int CheckedSlotsOf(TableMap group) {
    constexpr std::array<int, 3> slotCount{tableedit::kLetterSlots, tableedit::kDigitSlots,
                                           tableedit::kSymbolSlots};
    return slotCount[static_cast<std::size_t>(group)];
}

// All slots of a row: row n has the extra one.
int SlotsOf(TableMap group, int row) {
    return CheckedSlotsOf(group) + (group == TableMap::Letters && row == tableedit::kRowN ? 1 : 0);
}

int SlotIdOf(TableMap group, int row, int slot) {
    switch (group) {
    case TableMap::Letters:
        return tableedit::LetterSlotId(row, slot);
    case TableMap::Digits:
        return tableedit::DigitSlotId(row, slot);
    case TableMap::Symbols:
        break;
    }
    return tableedit::SymbolSlotId(row, slot);
}

// Key slots are typed as the katakana field is: romaji to katakana, but
// without the space that marks a capital in a phrase. Typing
// stops at the save's limit, since a longer key never matches; text filled
// from the table or pasted is kept whole for the save to check.
QWidget* CreateSlot(const dlg::Control& control) {
    if (control.kind != dlg::Kind::Edit) {
        return nullptr;
    }
    auto* slot = new KanaLineEdit;
    slot->SetTypingLimit(static_cast<int>(kKeyLimit.Bytes()));
    slot->SetRefusesSpace(true);
    slot->SetHoverHint(KanaLineEdit::TypingHint()); // said once, on the katakana field
    return slot;
}

} // namespace

TableEditDialog::TableEditDialog(PasswordModel& model, QWidget* parent)
    : QDialog(parent)
    , m_model(model)
    , m_layout(*this, tableedit::kTableEditTemplate, &CreateSlot) {
    connect(Control<QPushButton>(tableedit::kSaveId), &QPushButton::clicked, this,
            &TableEditDialog::OnSaveTable);
    connect(Control<QPushButton>(tableedit::kCancelId), &QPushButton::clicked, this,
            &TableEditDialog::reject);
    connect(Control<QPushButton>(tableedit::kRestoreId), &QPushButton::clicked, this,
            &TableEditDialog::OnRestoreDefaults);
    std::size_t hidden = 0;
    for (const TableMap group : kTableMaps) {
        FillGroup(group, model.Table().Map(group));
        hidden += m_hidden[static_cast<std::size_t>(group)].size();
        // One caption a row: each slot is named by the output and its place.
        const std::string_view rows = tableedit::TableMapOutputs(group);
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            for (int slot = 0; slot < SlotsOf(group, row); ++slot) {
                Control<QLineEdit>(SlotIdOf(group, row, slot))
                    ->setAccessibleName(QString::fromUtf8("%1 になるキー %2")
                                            .arg(QChar::fromLatin1(rows[static_cast<std::size_t>(row)]))
                                            .arg(slot + 1));
            }
        }
    }
    if (hidden > 0) {
        setWindowTitle(
            windowTitle() +
            QStringLiteral("（表に表示されない項目が %1 件あります。保存しても残ります）").arg(hidden));
    }
    // On a small screen the grid scrolls and the three buttons stay in view.
    m_layout.FitInto(*this, dlg::Layout::RoomOnScreen(*this),
                     {tableedit::kSaveId, tableedit::kCancelId, tableedit::kRestoreId});
}

TableEditDialog::~TableEditDialog() = default;

void TableEditDialog::FillGroup(TableMap group, const HashOrderMap& map) {
    const std::string_view rows = tableedit::TableMapOutputs(group);
    for (const auto& entry : map) {
        char output = entry.value.size() == 1 ? entry.value[0] : '\0';
        if (group == TableMap::Letters) {
            output = static_cast<char>(std::tolower(static_cast<unsigned char>(output)));
        }
        const auto row = output != '\0' ? static_cast<int>(rows.find(output)) : -1;
        // The lowest empty slot; a full row keeps the entry out of sight.
        bool shown = false;
        for (int slot = 0; row >= 0 && slot < SlotsOf(group, row) && !shown; ++slot) {
            const int id = SlotIdOf(group, row, slot);
            if (m_filledKeys[id].empty()) {
                m_filledKeys[id] = entry.key;
                Control<QLineEdit>(id)->setText(ToQString(entry.key));
                shown = true;
            }
        }
        if (!shown) {
            m_hidden[static_cast<std::size_t>(group)].push_back(entry);
        }
    }
}

std::string TableEditDialog::KeyOf(int id) const {
    const QString text = Control<QLineEdit>(id)->text();
    const auto filled = m_filledKeys.find(id);
    if (filled != m_filledKeys.end() && text == ToQString(filled->second)) {
        return filled->second;
    }
    return FromQString(text).value_or(std::string());
}

void TableEditDialog::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button != nullptr && button->isEnabled()) {
            button->click();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void TableEditDialog::reject() {
    const LoadResult loaded = m_model.ReloadTable();
    if (loaded.source == LoadResult::Source::Failed) {
        // The maps stay empty and the editor open, so the user can save the grid over the damaged file.
        platform::ShowMessage(ToQString(DescribeLoadFailure(loaded)), platform::Buttons::Ok,
                              platform::Icon::Stop);
        return;
    }
    QDialog::reject();
}

bool TableEditDialog::RebuildGroup(TableMap group, HashOrderMap& map) {
    const std::string_view rows = tableedit::TableMapOutputs(group);
    map.clear();
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const std::string output(1, rows[static_cast<std::size_t>(row)]);
        for (int slot = 0; slot < CheckedSlotsOf(group); ++slot) {
            std::string key = KeyOf(SlotIdOf(group, row, slot));
            if (key.empty()) {
                continue;
            }
            if (auto tooLong = tableedit::CheckKeyLength(key)) {
                if (platform::ShowMessage(ToQString(tooLong->message), platform::Buttons::OkCancel) !=
                    QMessageBox::Ok) {
                    return false;
                }
                key = std::move(tooLong->cut);
            }
            if (const auto duplicate = tableedit::CheckDuplicateKey(map, key, output)) {
                if (platform::ShowMessage(ToQString(*duplicate), platform::Buttons::OkCancel) !=
                    QMessageBox::Ok) {
                    return false;
                }
            }
            map.insert_or_assign(key, output);
        }
    }
    // What the grid could not show goes back as it was, unless the grid now has the key.
    for (const HashOrderMap::Entry& entry : m_hidden[static_cast<std::size_t>(group)]) {
        if (map.find(entry.key) == nullptr) {
            map.insert_or_assign(entry.key, entry.value);
        }
    }
    return true;
}

void TableEditDialog::OnSaveTable() {
    ConversionTable& table = m_model.Table();
    if (!RebuildGroup(TableMap::Letters, table.letters)) {
        return;
    }
    // Row n's sixth slot is taken whole and unchecked.
    if (const std::string key = KeyOf(tableedit::kRowNSlot6Id); !key.empty()) {
        table.letters.insert_or_assign(key, "n");
    }
    if (!RebuildGroup(TableMap::Digits, table.digits) || !RebuildGroup(TableMap::Symbols, table.symbols)) {
        return;
    }
    // A key the file would cut (a NUL that came in with pasted text) is not written cut.
    for (const HashOrderMap* map : {&table.letters, &table.digits, &table.symbols}) {
        for (const auto& entry : *map) {
            if (const auto cut = tableedit::CheckStorableKey(entry.key)) {
                platform::ShowMessage(QStringLiteral("行 ") + ToQString(entry.value) + QStringLiteral(" の") +
                                          ToQString(*cut),
                                      platform::Buttons::Ok, platform::Icon::Stop);
                return;
            }
        }
    }
    if (const std::error_code error = m_model.SaveTable()) {
        // The old file is intact; the editor stays open so the user can remove the cause and
        // save again, or cancel, which reloads the maps from the file.
        platform::ShowMessage(QStringLiteral("変換表を保存できませんでした。\n") +
                                  ToQString(FileErrorText(error, kTableFileName)),
                              platform::Buttons::Ok, platform::Icon::Stop);
        return;
    }
    accept();
}

void TableEditDialog::OnRestoreDefaults() {
    if (const std::error_code error = m_model.RestoreDefaults()) {
        platform::ShowMessage(ToQString(FileErrorText(error, kTableFileName)), platform::Buttons::Ok,
                              platform::Icon::Stop);
        return;
    }
    QDialog::reject();
}
