// The tool's help texts: the overview with the exit codes, and one text per
// command. The manual page res/q8xj-cli.1 says the same at more length.
#pragma once

#include "convert/Conversion.h"

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
  9  印刷キューがない、または印刷を受け付けなかった（print --printer）
失敗したときは標準エラーに 1 行のメッセージを出し、何も書き込みません。
)";

inline constexpr std::string_view kOverviewHelp = R"(使い方: q8xj-cli コマンド [オプション] [引数]

Q8xj の変換、変換表、ラベルをウィンドウなしで使います。

コマンド:
  convert   言葉ごとのパスワードを表示します
  table     変換表をタブ区切りテキストで書き出し、取り込み、検査します
  label     パスワードのラベルを PNG 画像か PDF ファイルに書き出します
  print     パスワードのラベルをラベルプリンターかほかのプリンターで印刷します
  printers  印刷できるプリンター（印刷キューとラベルプリンター）を表示します

"q8xj-cli コマンド --help" で各コマンドの説明を、"q8xj-cli --version" で
バージョンを表示します。変換表ファイルは作業フォルダの Q8.xj です（--table
で別のファイルを指定できます）。ファイルがない間は組み込みの変換表を使います。

)";

inline constexpr std::string_view kConvertHelp = R"(使い方: q8xj-cli convert [オプション] [言葉 ... | -]

言葉ごとのパスワードを、メインウィンドウと同じ変換で 1 行ずつ表示します。言葉は
UTF-8 の全角カタカナです。カタカナ欄に貼り付けたときと同じく、ひらがなと半角
カタカナは全角カタカナに、スペースは全角スペースに、ほかの英数字と記号は全角に
なります。"-" を指定すると標準入力の 1 行を 1 つの言葉として読みます。全角
スペースの次の文字は大文字になります。変換表にない漢字や全角の英字などが
言葉にあるときは、標準エラーに警告を出します（終了コードは変わりません）。

オプション:
  --table FILE   変換表ファイル（既定: 作業フォルダの Q8.xj）
  --no-digits    数字を使いません（"数字を使用する" をオフにしたとき）
  --no-symbols   記号を使いません（"記号を使用する" をオフにしたとき）
  --random-case  大文字と小文字をランダムにします。乱数はウィンドウと同じく
                 言葉ごとにシステムの乱数源で初期化します
  --seed N       --random-case で、どの言葉も乱数を N（0〜4294967295）で
                 初期化します。同じ結果を再現できます
  --romaji       言葉をローマ字として、カタカナ欄と同じ規則で入力します
                 （"sakura" は サクラ、スペースは全角スペース）
  --explain      パスワードの後に手順を 1 行ずつ表示します: 文字、使った表、
                 出力。どの表にもない文字は "スキップ"。最後に強度の見積もり
  --strength     パスワードの後にタブ区切りで強度の見積もりを表示します:
                 パスワード<TAB>ビット数<TAB>強度（非常に弱い、弱い、良い、
                 非常に良い）。ビット数は推測回数の 2 を底とする対数で、
                 この言葉を知らない人が当てるまでの見積もりです。空の
                 パスワードは 2 つの欄が空です
  -h, --help     このヘルプを表示します

)";

inline constexpr std::string_view kTableHelp = R"(使い方: q8xj-cli table export [--table FILE] [OUT.tsv]
        q8xj-cli table import IN.tsv [--table FILE]
        q8xj-cli table check [IN.tsv] [--table FILE]

変換表を UTF-8 のテキストで扱います。1 行目は見出し行 "map<TAB>key<TAB>value"、
その後は 1 行に 1 項目です。map は letters、digits、symbols のいずれか、key は
カタカナ、value は変換後の文字です。バックスラッシュで始まるのは \\、\t、\r、
\n、\xHH です。

  export  変換表ファイルの項目を、ファイルに並ぶ順に書き出します（OUT.tsv が
          ないときと "-" のときは標準出力）
  import  テキストを読み（"-": 標準入力）、変換表編集と同じ検査（キーは
          6 バイトまで、1 つの表に同じキーは 1 回）に加えて、不明な表、空の
          キー、その表の出力でない値、変換表ファイルにそのまま保存できない
          キーや値（キーのバイト 0x00、0xFE、値の NUL）と、変換表ファイルが
          読み込める 1 MiB を超える行を拒否します。問題が 1 つでもあれば全体を
          拒否して行ごとに表示し、何も書き込みません。書き出したテキストを
          そのまま取り込むと同じバイト列になります。
  check   IN.tsv または変換表ファイルに取り込みと同じ検査だけを行い、警告も
          表示します: 入力した言葉に現れないキー（半角文字、ひらがな、半角
          カナは全角カタカナにそろえられます）、ラベル上で見分けにくい出力
          （l 1 I、O 0）

オプション:
  --table FILE   変換表ファイル（既定: 作業フォルダの Q8.xj）
  -h, --help     このヘルプを表示します

)";

inline constexpr std::string_view kLabelHelp =
    R"(使い方: q8xj-cli label [オプション] --output FILE.png|FILE.pdf パスワード

印刷ボタンが送るのと同じ 384 x 64 のラベルを、印刷イメージと同じように描いて
書き出します。形式は FILE の拡張子で決まり、ほかの拡張子は受け付けません:
  .png  ラベルのドットの PNG 画像（ドットは黒、ドットなしは白）
  .pdf  1 ページの PDF。A4 の左上（上と左の余白 10 mm）に実寸 48 x 8 mm
        （8 ドット/mm）のラベルを、文字はベクターのまま描き、灰色の細い
        切り取り線で囲みます
パスワードがラベルより広いときは警告します。パスワードに "-" を指定すると
標準入力の 1 行目を読みます（プロセスの一覧に表示されません）。新しく作る
ファイルは所有者だけが読み書きできます（0600）。

オプション:
  --output FILE    書き出すファイル（"-": 標準出力に PNG）
  --font FACE      フォント名（既定: 印刷イメージのフォント）
  --size PT        ポイント数、1〜500（既定 36）
  --colour COLOUR  色の名前（black、red など）または #rrggbb（既定 black）。
                   白は何も印刷されません
  --no-frame       PDF に切り取り線を描きません
  -h, --help       このヘルプを表示します

)";

inline constexpr std::string_view kPrintHelp = R"(使い方: q8xj-cli print [オプション] パスワード
        q8xj-cli print --printer QUEUE [オプション] パスワード

--printer がないときは、印刷ボタンと同じように、パスワードのラベルを最初の
ラベルプリンターで印刷します。各段階で標準エラーに 1 行ずつ表示します。
TAVOPUS_VIRTUAL=FOLDER を指定すると仮想プリンターで印刷し、ラベルを FOLDER に
保存します。

--printer QUEUE では、システムの印刷サービス（CUPS）の印刷キュー QUEUE に
1 ページを送ります。ラベルは label の PDF と同じく実寸 48 x 8 mm で、
印刷できる範囲の左上に、プリンターの解像度で描きます。ページはメモリーから
送るので、ファイルは残りません。印刷キューの名前は "q8xj-cli printers" で
表示します。

パスワードに "-" を指定すると標準入力の 1 行目を読みます（プロセスの一覧に
表示されません）。

オプション:
  --printer QUEUE  印刷キュー QUEUE で印刷します
  --no-frame       切り取り線を印刷しません（--printer のとき）
  --font FACE      フォント名（既定: 印刷イメージのフォント）
  --size PT        ポイント数、1〜500（既定 36）
  --colour COLOUR  色の名前（black、red など）または #rrggbb（既定 black）
  -h, --help       このヘルプを表示します

)";

inline constexpr std::string_view kPrintersHelp = R"(使い方: q8xj-cli printers

印刷できるプリンターを 1 行に 1 つ表示します: 名前、タブ、種類。システムの
印刷サービス（CUPS）の印刷キューの名前は print --printer に指定できます。
既定の印刷キューには "（既定）" が付きます。つながっているラベルプリンター
（--printer なしの print が使います）は最後に表示します。

オプション:
  -h, --help       このヘルプを表示します

)";

} // namespace cli
