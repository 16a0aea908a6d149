// The tool's help texts: the overview with the exit codes, and each command's
// text before its options, which come from their declarations. The manual page
// res/q8xj-cli.1 says the same at more length.
#pragma once

#include "convert/Conversion.h"

#include <string>
#include <string_view>

namespace cli {

// Exit code 4 names the katakana field's limit.
static_assert(kPhraseLimit.Bytes() == 70);
inline constexpr std::string_view kExitCodesHelp = R"(終了コード:
  0  正常終了
  1  q8xj-cli 自身の予期しないエラー
  2  不明なコマンドやオプション、引数の不足や誤り（数値、色）
  3  変換表ファイルや取り込むテキストが読めない、または壊れている
  4  言葉やパスワードに CP932 で表せない文字がある、またはカタカナ欄の
     70 バイトより長い
  5  変換表のテキストが検査で拒否された（table import、table check）
  6  出力ファイル、標準出力、変換表ファイルに書き込めない
  7  ラベルプリンターがない（print）
  8  プリンターがラベルの受信を確認しなかった（print）
  9  印刷サービスに接続できない、応答しない、印刷キューがない、または
     印刷を受け付けなかった（print --printer、printers）
失敗したときは標準エラーに 1 行のメッセージを出し、何も書き込みません
（convert - は、失敗した行より前の行のパスワードを表示済みです）。
)";

// The overview, with the options of the program itself, without the exit codes.
std::string OverviewHelp();

// Each command's usage and description, up to its options.
std::string ConvertHelp();
std::string SuggestHelp();
std::string TableHelp();
std::string LabelHelp();
std::string PrintHelp();
std::string PrintersHelp();

} // namespace cli
