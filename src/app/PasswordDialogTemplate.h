// The main dialog's template: controls in dialog units, in template order
// (which is the tab order), and the text of the about entry of the window menu.
#pragma once

#include "platform/DialogTemplate.h"

#include <array>
#include <string_view>

namespace app {

// The controls the dialog reaches by id, in template order.
enum ControlId : int {
    kKatakanaId = 1,
    kCapitalAfterSpaceId,
    kRandomCaseId,
    kUseDigitsId,
    kUseSymbolsId,
    kConvertId,
    kPasswordId,
    kTypingId,
    kCheckId,
    kTypingResultId,
    kChangeFontId,
    kPrintId,
    kPrintImageId,
    kAboutId,
    kHelpId,
    kExitId,
    kEditTableId,
};

// The about entry appended to the window menu.
inline constexpr std::string_view kAboutMenuText = "Q8xj のﾊﾞｰｼﾞｮﾝ情報(&A)...";

// The password's strength, added to the template's free space between the
// password field and the 試し打ち group without moving any control: a thin
// bar under the field and one line of text.
struct DialogRect {
    int x, y, cx, cy; // dialog units
};
inline constexpr DialogRect kStrengthMeterRect{13, 191, 157, 3};
inline constexpr DialogRect kStrengthLineRect{13, 198, 157, 9};

namespace detail {
using dlg::Kind;
using dlg::kStaticId;
inline constexpr unsigned kEdit = dlg::TabStop | dlg::Border | dlg::AutoHScroll;
} // namespace detail

inline constexpr std::array<dlg::Control, 24> kPasswordDialogControls{{
    {detail::kStaticId, detail::Kind::Text, "変換する文字（カタカナ）", 17, 22, 76, 10, dlg::None},
    {kKatakanaId, detail::Kind::Edit, "", 13, 32, 157, 14, detail::kEdit},
    {detail::kStaticId, detail::Kind::GroupBox, "大文字オプション", 13, 54, 221, 43, dlg::None},
    {kCapitalAfterSpaceId, detail::Kind::AutoRadio, "全角スペースの後の文字を大文字にする", 27, 65, 155,
     14, dlg::Group},
    {kRandomCaseId, detail::Kind::AutoRadio, "大文字、小文字をランダムにする", 27, 80, 155, 14, dlg::None},
    {detail::kStaticId, detail::Kind::GroupBox, "数字オプション", 13, 106, 221, 29, dlg::None},
    {kUseDigitsId, detail::Kind::AutoCheck, "数字を使用する", 27, 119, 62, 10, dlg::TabStop},
    {kUseSymbolsId, detail::Kind::AutoCheck, "記号を使用する", 124, 119, 62, 10, dlg::TabStop},
    {kConvertId, detail::Kind::PushButton, "パスワードに変換", 13, 147, 157, 14, dlg::TabStop},
    {detail::kStaticId, detail::Kind::Text, "変換後の文字（パスワード）", 13, 165, 113, 8, dlg::None},
    {kPasswordId, detail::Kind::Edit, "", 13, 175, 157, 14, detail::kEdit | dlg::ReadOnly},
    {detail::kStaticId, detail::Kind::GroupBox, "試し打ち", 7, 208, 233, 49, dlg::None},
    {kTypingId, detail::Kind::Edit, "", 13, 220, 157, 13, detail::kEdit | dlg::Password},
    {kCheckId, detail::Kind::PushButton, "パスワードチェック", 173, 220, 61, 29, dlg::TabStop},
    {kTypingResultId, detail::Kind::Frame, "", 13, 237, 157, 13, dlg::Etched},
    {detail::kStaticId, detail::Kind::GroupBox, "プリントイメージ", 7, 269, 233, 82, dlg::None},
    {kChangeFontId, detail::Kind::PushButton, "フォント変更", 72, 279, 64, 14, dlg::TabStop},
    {kPrintId, detail::Kind::PushButton, "ORBEK ミルポートで印刷", 139, 279, 95, 14, dlg::TabStop},
    {kPrintImageId, detail::Kind::Frame, "", 13, 299, 221, 44, dlg::Etched},
    {kAboutId, detail::Kind::PushButton, "バージョン情報", 173, 147, 61, 14, dlg::TabStop},
    {kHelpId, detail::Kind::PushButton, "ﾍﾙﾌﾟ", 173, 161, 61, 14, dlg::TabStop},
    {kExitId, detail::Kind::PushButton, "終了", 173, 175, 61, 14, dlg::TabStop},
    {detail::kStaticId, detail::Kind::GroupBox, "パスワード作成", 7, 7, 233, 190, dlg::None},
    {kEditTableId, detail::Kind::PushButton, "変換表編集", 173, 32, 61, 14, dlg::TabStop},
}};

// 247 x 357 dialog units, 9-point "ＭＳ Ｐゴシック"; no minimise or maximise box.
inline constexpr dlg::Template kPasswordDialogTemplate{
    "Q8xj", 247, 357, "ＭＳ Ｐゴシック", 9, kPasswordDialogControls};

} // namespace app
