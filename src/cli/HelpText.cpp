#include "cli/HelpText.h"

#include "cli/Options.h"
#include "table/TableFile.h"

#include <QString>

namespace cli {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

std::string OverviewHelp() {
    return (QString(R"(使い方: q8xj-cli コマンド [オプション] [引数]

Q8xj の変換、変換表、ラベルをウィンドウなしで使います。

コマンド:
  convert   言葉ごとのパスワードを表示します
  suggest   よく知られた単語を無作為に選んだフレーズを表示します
  table     変換表をタブ区切りテキストで書き出し、取り込み、検査します
  label     パスワードのラベルを PNG 画像か PDF ファイルに書き出します
  print     パスワードのラベルをラベルプリンターかほかのプリンターで印刷します
  printers  印刷できるプリンター（印刷キューとラベルプリンター）を表示します

"q8xj-cli コマンド %1" で各コマンドの説明を表示します。変換表ファイルは
作業フォルダの %2 です（%3 で別のファイルを指定できます）。ファイルが
ない間は組み込みの変換表を使います。

)")
                .arg(Q(Flag(opt::kHelp)), Q(kTableFileName), Q(Flag(opt::kTable)))
                .toStdString() +
            "オプション:\n" + OptionsHelp({opt::kHelp, opt::kVersion}) + "\n");
}

std::string ConvertHelp() {
    return R"(使い方: q8xj-cli convert [オプション] [言葉 ... | -]

言葉ごとのパスワードを、メインウィンドウと同じ変換で 1 行ずつ表示します。言葉は
UTF-8 の全角カタカナです。カタカナ欄に貼り付けたときと同じく、ひらがなと半角
カタカナは全角カタカナに、スペースは全角スペースに、ほかの英数字と記号は全角に
なります。全角スペースの次の文字は大文字になります。変換表にない漢字や全角の
英字などが言葉にあるとき、パスワードが空になるとき（変換表が言葉のどの文字も
変換しない）は、標準エラーに警告を出します（終了コードは変わりません）。

引数の言葉は、何か表示する前にすべて確かめます。"-" を指定すると標準入力の
1 行を 1 つの言葉として、届いた順に変換して表示します。ある行で失敗すると、
それより前の行のパスワードを表示した後、その行の終了コードで終わります。

)";
}

std::string SuggestHelp() {
    return QString(R"(使い方: q8xj-cli suggest [オプション]

よく知られた単語を単語表から無作為に選び、全角スペースでつないだフレーズを
1 行ずつ表示します。単語はシステムの乱数源から偏りなく選びます。全角スペースの
次の文字は大文字になります。フレーズの強さは推測ではなく選び方で決まります:
1 語のビット数は、使う変換表とオプションで単語から得られるパスワードの断片の
エントロピーです（同じ断片になる単語は 1 つと数えます。大文字と小文字の
ランダムは数えません）。"q8xj-cli suggest | q8xj-cli convert -" でパスワードに
なります。%1 が 1 以上の整数でないとき、カタカナ欄の 70 バイトに収まらない
ときは終了コード 2 です。

)")
        .arg(Q(Flag(opt::kWords)))
        .toStdString();
}

std::string TableHelp() {
    return QString(R"(使い方: q8xj-cli table export [%1] [OUT.tsv]
        q8xj-cli table import IN.tsv [%1]
        q8xj-cli table check [IN.tsv] [%1]

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

)")
        .arg(Q(Synopsis(opt::kTable)))
        .toStdString();
}

std::string LabelHelp() {
    return QString(R"(使い方: q8xj-cli label [オプション] %1 FILE.png|FILE.pdf パスワード

印刷ボタンが送るのと同じ 384 x 64 のラベルを、印刷イメージと同じように描いて
書き出します。形式は FILE の拡張子で決まり、ほかの拡張子は受け付けません:
  .png  ラベルのドットの PNG 画像（ドットは黒、ドットなしは白）
  .pdf  1 ページの PDF。A4 の左上（上と左の余白 10 mm）に実寸 48 x 8 mm
        （8 ドット/mm）のラベルを、文字はベクターのまま描き、灰色の細い
        切り取り線で囲みます
パスワードがラベルに収まらないときは警告します。パスワードに "-" を指定
すると標準入力の 1 行目を読みます（プロセスの一覧に表示されません）。新しく
作るファイルは所有者だけが読み書きできます（0600）。

)")
        .arg(Q(Flag(opt::kOutput)))
        .toStdString();
}

std::string PrintHelp() {
    return QString(R"(使い方: q8xj-cli print [オプション] パスワード
        q8xj-cli print %1 [オプション] パスワード

%2 がないときは、印刷ボタンと同じように、パスワードのラベルを最初の
ラベルプリンターで印刷します。各段階で標準エラーに 1 行ずつ表示します。
TAVOPUS_VIRTUAL=FOLDER を指定すると仮想プリンターで印刷し、ラベルを FOLDER に
保存します。

%1 では、システムの印刷サービス（CUPS）の印刷キュー QUEUE に
1 ページを送ります。ラベルは label の PDF と同じく実寸 48 x 8 mm で、
印刷できる範囲の左上に、プリンターの解像度で描きます。ページはメモリーから
送るので、ファイルは残りません。印刷キューの名前は "q8xj-cli printers" で
表示します。

パスワードに "-" を指定すると標準入力の 1 行目を読みます（プロセスの一覧に
表示されません）。

)")
        .arg(Q(Synopsis(opt::kPrinter)), Q(Flag(opt::kPrinter)))
        .toStdString();
}

std::string PrintersHelp() {
    return QString(R"(使い方: q8xj-cli printers

印刷できるプリンターを 1 行に 1 つ表示します: 名前、タブ、種類。システムの
印刷サービス（CUPS）の印刷キューの名前は print %1 に指定できます。
既定の印刷キューには "（既定）" が付きます。つながっているラベルプリンター
（%1 なしの print が使います）は最後に表示します。

)")
        .arg(Q(Flag(opt::kPrinter)))
        .toStdString();
}

} // namespace cli
