// The main dialog's template: controls in dialog units, in template order
// (which is the tab order), and the text of the about entry of the window menu.
#pragma once

#include "platform/DialogTemplate.h"

#include <array>
#include <string_view>

namespace app {

inline constexpr int ID_HELP = 57670;

inline constexpr int IDC_KATAKANA = 1000;
inline constexpr int IDC_CONVERT = 1001;
inline constexpr int IDC_PASSWORD = 1002;
inline constexpr int IDC_PRINT = 1003;
inline constexpr int IDC_CAPITAL_AFTER_SPACE = 1004;
inline constexpr int IDC_RANDOM_CASE = 1005;
inline constexpr int IDC_USE_DIGITS = 1007;
inline constexpr int IDC_USE_SYMBOLS = 1008;
inline constexpr int IDC_PRINT_IMAGE = 1010;
inline constexpr int IDC_CHANGE_FONT = 1011;
inline constexpr int IDC_ABOUT = 1012;
inline constexpr int IDC_CHECK = 1013;
inline constexpr int IDC_EDIT_TABLE = 1014;
inline constexpr int IDC_TYPING = 1020;
inline constexpr int IDC_TYPING_RESULT = 1021;
inline constexpr int IDC_EXIT = 2;

// String 101: the about entry appended to the window menu.
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
    {IDC_KATAKANA, detail::Kind::Edit, "", 13, 32, 157, 14, detail::kEdit},
    {detail::kStaticId, detail::Kind::GroupBox, "大文字オプション", 13, 54, 221, 43, dlg::None},
    {IDC_CAPITAL_AFTER_SPACE, detail::Kind::AutoRadio, "全角スペースの後の文字を大文字にする", 27, 65, 155,
     14, dlg::Group},
    {IDC_RANDOM_CASE, detail::Kind::AutoRadio, "大文字、小文字をランダムにする", 27, 80, 155, 14, dlg::None},
    {detail::kStaticId, detail::Kind::GroupBox, "数字オプション", 13, 106, 221, 29, dlg::None},
    {IDC_USE_DIGITS, detail::Kind::AutoCheck, "数字を使用する", 27, 119, 62, 10, dlg::TabStop},
    {IDC_USE_SYMBOLS, detail::Kind::AutoCheck, "記号を使用する", 124, 119, 62, 10, dlg::TabStop},
    {IDC_CONVERT, detail::Kind::PushButton, "パスワードに変換", 13, 147, 157, 14, dlg::TabStop},
    {detail::kStaticId, detail::Kind::Text, "変換後の文字（パスワード）", 13, 165, 113, 8, dlg::None},
    {IDC_PASSWORD, detail::Kind::Edit, "", 13, 175, 157, 14, detail::kEdit | dlg::ReadOnly},
    {detail::kStaticId, detail::Kind::GroupBox, "試し打ち", 7, 208, 233, 49, dlg::None},
    {IDC_TYPING, detail::Kind::Edit, "", 13, 220, 157, 13, detail::kEdit | dlg::Password},
    {IDC_CHECK, detail::Kind::PushButton, "パスワードチェック", 173, 220, 61, 29, dlg::TabStop},
    {IDC_TYPING_RESULT, detail::Kind::Frame, "", 13, 237, 157, 13, dlg::Etched},
    {detail::kStaticId, detail::Kind::GroupBox, "プリントイメージ", 7, 269, 233, 82, dlg::None},
    {IDC_CHANGE_FONT, detail::Kind::PushButton, "フォント変更", 72, 279, 64, 14, dlg::TabStop},
    {IDC_PRINT, detail::Kind::PushButton, "ORBEK ミルポートで印刷", 139, 279, 95, 14, dlg::TabStop},
    {IDC_PRINT_IMAGE, detail::Kind::Frame, "", 13, 299, 221, 44, dlg::Etched},
    {IDC_ABOUT, detail::Kind::PushButton, "バージョン情報", 173, 147, 61, 14, dlg::TabStop},
    {ID_HELP, detail::Kind::PushButton, "ﾍﾙﾌﾟ", 173, 161, 61, 14, dlg::TabStop},
    {IDC_EXIT, detail::Kind::PushButton, "終了", 173, 175, 61, 14, dlg::TabStop},
    {detail::kStaticId, detail::Kind::GroupBox, "パスワード作成", 7, 7, 233, 190, dlg::None},
    {IDC_EDIT_TABLE, detail::Kind::PushButton, "変換表編集", 173, 32, 61, 14, dlg::TabStop},
}};

// 247 x 357 dialog units, 9-point "ＭＳ Ｐゴシック"; no minimise or maximise box.
inline constexpr dlg::Template kPasswordDialogTemplate{
    "Q8xj", 247, 357, "ＭＳ Ｐゴシック", 9, kPasswordDialogControls};

} // namespace app
