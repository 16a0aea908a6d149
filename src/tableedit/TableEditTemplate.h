// The table editor's template: one grid row of key slots per output
// character (letters on the left, digits and symbols on the right), with the
// save, cancel and restore buttons in the middle. The 247 controls are
// generated from the row tables below, in template (and tab) order.
#pragma once

#include "platform/DialogTemplate.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace tableedit {

// Output characters of the rows, in grid order.
inline constexpr std::string_view kLetterRows = "abcdefghijklmnopqrstuvwxyz";
inline constexpr std::string_view kDigitRows = "1234567890";
inline constexpr std::string_view kSymbolRows = "*+-!@#$^[]:.|~/";

// Key slots per row; row n has one more letter slot.
inline constexpr int kLetterSlots = 5;
inline constexpr int kDigitSlots = 3;
inline constexpr int kSymbolSlots = 2;
inline constexpr int kRowN = 13;

inline constexpr int kSaveId = 1104;
inline constexpr int kCancelId = 2;
inline constexpr int kRestoreId = 1105;
inline constexpr int kRowNSlot6Id = 1156;

// Control ids by row index and slot index (slot 0 is the leftmost). The first
// slots of rows b and c swap their ids.
constexpr int LetterSlotId(int row, int slot) {
    if (slot == kLetterSlots) {
        return kRowNSlot6Id;
    }
    constexpr std::array<int, kLetterSlots> base{1000, 1026, 1052, 1078, 1130};
    if (slot == 0 && row == 1) {
        return 1002;
    }
    if (slot == 0 && row == 2) {
        return 1001;
    }
    return base[static_cast<std::size_t>(slot)] + row;
}

constexpr int DigitSlotId(int row, int slot) {
    constexpr std::array<int, kDigitSlots> base{1227, 1253, 1355};
    return base[static_cast<std::size_t>(slot)] + row;
}

constexpr int SymbolSlotId(int row, int slot) {
    constexpr std::array<int, kSymbolSlots> base{1237, 1263};
    return base[static_cast<std::size_t>(slot)] + row;
}

// A row's top, its label and the label's width and drop below the row.
struct RowLayout {
    std::string_view label;
    int y;
    int labelWidth;
    int labelDrop;
};

inline constexpr std::array<RowLayout, 26> kLetterLayout{{
    {"→ a", 7, 15, 1},   {"→ b", 20, 15, 1},  {"→ c", 33, 15, 1},  {"→ d", 46, 15, 0},  {"→ e", 59, 15, 1},
    {"→ f", 72, 14, 1},  {"→ g", 85, 15, 1},  {"→ h", 98, 15, 1},  {"→ i", 111, 13, 1}, {"→ j", 124, 13, 1},
    {"→ k", 137, 15, 1}, {"→ l", 150, 13, 1}, {"→ m", 163, 17, 1}, {"→ n", 176, 15, 1}, {"→ o", 189, 15, 1},
    {"→ p", 202, 15, 1}, {"→ q", 215, 15, 0}, {"→ r", 227, 14, 1}, {"→ s", 240, 15, 1}, {"→ t", 253, 14, 1},
    {"→ u", 266, 15, 1}, {"→ v", 279, 15, 1}, {"→ w", 292, 16, 1}, {"→ x", 305, 15, 1}, {"→ y", 319, 15, 1},
    {"→ z", 332, 15, 1},
}};

inline constexpr std::array<RowLayout, 10> kDigitLayout{{
    {"→ 1", 7, 15, 1},
    {"→ 2", 21, 15, 1},
    {"→ 3", 34, 15, 1},
    {"→ 4", 47, 15, 1},
    {"→ 5", 60, 15, 1},
    {"→ 6", 73, 15, 1},
    {"→ 7", 86, 15, 1},
    {"→ 8", 99, 15, 1},
    {"→ 9", 112, 15, 1},
    {"→ 0", 125, 15, 1},
}};

inline constexpr std::array<RowLayout, 15> kSymbolLayout{{
    {"→ *", 151, 15, 1},
    {"→ +", 164, 15, 1},
    {"→ -", 177, 15, 1},
    {"→ !", 190, 13, 1},
    {"→ @", 203, 16, 1},
    {"→ #", 215, 15, 1},
    {"→ $", 228, 15, 1},
    {"→ ^", 241, 14, 1},
    {"→ [", 254, 14, 1},
    {"→ ]", 267, 14, 1},
    {"→ :", 280, 13, 1},
    {"→ .", 293, 13, 1},
    {"→ |", 306, 13, 1},
    {"→ ~", 319, 14, 1},
    {"→ /", 332, 15, 1},
}};

// Left edges of the slots, from slot 0.
inline constexpr std::array<int, 6> kLetterSlotX{8, 31, 54, 77, 100, 123};
inline constexpr std::array<int, kDigitSlots> kDigitSlotX{174, 197, 220};
inline constexpr std::array<int, kSymbolSlots> kSymbolSlotX{197, 220};
inline constexpr int kLetterLabelX = 124; // one slot further right in row n
inline constexpr int kRightLabelX = 245;

inline constexpr int kSlotCx = 22;
inline constexpr int kSlotCy = 12;
inline constexpr int kLabelCy = 8;
inline constexpr unsigned kSlotStyle = dlg::Border | dlg::TabStop | dlg::AutoHScroll;
inline constexpr unsigned kLabelStyle = dlg::Centre | dlg::Group;

inline constexpr std::size_t kControlCount = 247;

constexpr std::array<dlg::Control, kControlCount> MakeTableEditControls() {
    std::array<dlg::Control, kControlCount> controls{};
    std::size_t next = 0;
    auto add = [&](const dlg::Control& control) {
        controls[next++] = control;
    };
    auto addRow = [&](const RowLayout& row, auto slotId, const auto& slotX, int slotCount, int labelX) {
        for (int slot = 0; slot < slotCount; ++slot) {
            add({slotId(slot), dlg::Kind::Edit, "", slotX[static_cast<std::size_t>(slot)], row.y, kSlotCx,
                 kSlotCy, kSlotStyle});
        }
        add({dlg::kStaticId, dlg::Kind::Text, row.label, labelX, row.y + row.labelDrop, row.labelWidth,
             kLabelCy, kLabelStyle});
    };

    for (int row = 0; row < 26; ++row) {
        const int slotCount = row == kRowN ? kLetterSlots + 1 : kLetterSlots;
        addRow(
            kLetterLayout[static_cast<std::size_t>(row)], [row](int slot) { return LetterSlotId(row, slot); },
            kLetterSlotX, slotCount, kLetterLabelX + (slotCount - kLetterSlots) * 23);
    }
    for (int row = 0; row < 10; ++row) {
        addRow(
            kDigitLayout[static_cast<std::size_t>(row)], [row](int slot) { return DigitSlotId(row, slot); },
            kDigitSlotX, kDigitSlots, kRightLabelX);
    }
    for (int row = 0; row < 15; ++row) {
        addRow(
            kSymbolLayout[static_cast<std::size_t>(row)], [row](int slot) { return SymbolSlotId(row, slot); },
            kSymbolSlotX, kSymbolSlots, kRightLabelX);
    }

    add({kSaveId, dlg::Kind::PushButton, "保存する", 145, 299, 48, 14, dlg::TabStop});
    add({kCancelId, dlg::Kind::PushButton, "ｷｬﾝｾﾙ", 145, 315, 48, 14, dlg::TabStop});
    add({kRestoreId, dlg::Kind::PushButton, "初期値に戻す", 145, 331, 48, 14, dlg::TabStop});
    add({dlg::kStaticId, dlg::Kind::GroupBox, "", 145, 249, 48, 47, dlg::None});
    add({dlg::kStaticId, dlg::Kind::Text, "キーはふつうカタカナで、全角３文字以内です。", 148, 258, 42, 33,
         dlg::None});

    // A wrong count in the row tables stops the build here.
    if (next != kControlCount) {
        throw "the table editor's template does not have 247 controls";
    }
    return controls;
}

inline constexpr std::array<dlg::Control, kControlCount> kTableEditControls = MakeTableEditControls();

inline constexpr dlg::Template kTableEditTemplate{"Q8xj 変換表",     269, 352,
                                                  "ＭＳ Ｐゴシック", 11,  kTableEditControls};

} // namespace tableedit
