// Every option of q8xj-cli, declared once with its description: a command
// adds the ones it takes, looks them up by these objects, and its help lists
// them from here. Messages and help name an option through Flag or Synopsis.
#pragma once

#include "print/PrintStyle.h"
#include "table/TableFile.h"

#include <QCommandLineOption>

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

// The largest point size --size takes.
inline constexpr int kMaxPoints = 500;

namespace opt {

inline const QCommandLineOption kHelp({"h", "help"}, "このヘルプを表示します");
inline const QCommandLineOption kVersion("version", "バージョンを表示します");
inline const QCommandLineOption
    kTable("table", QString("変換表ファイル（既定: 作業フォルダの %1）").arg(kTableFileName), "FILE");
inline const QCommandLineOption kNoDigits("no-digits",
                                          "数字を使いません（\"数字を使用する\" をオフにしたとき）");
inline const QCommandLineOption kNoSymbols("no-symbols",
                                           "記号を使いません（\"記号を使用する\" をオフにしたとき）");
inline const QCommandLineOption kRandomCase("random-case",
                                            "大文字と小文字をランダムにします。乱数はウィンドウと同じく\n"
                                            "言葉ごとにシステムの乱数源で初期化します");
inline const QCommandLineOption kSeed("seed",
                                      QString("%1 で、どの言葉も乱数を N（0〜%2）で\n"
                                              "初期化します。同じ結果を再現できます")
                                          .arg("--" + kRandomCase.names().first(),
                                               QString::number(UINT32_MAX)),
                                      "N");
inline const QCommandLineOption kRomaji("romaji", "言葉をローマ字として、カタカナ欄と同じ規則で入力します\n"
                                                  "（\"sakura\" は サクラ、スペースは全角スペース）");
inline const QCommandLineOption kExplain("explain",
                                         "パスワードの後に手順を 1 行ずつ表示します: 文字、使った表、\n"
                                         "出力。どの表にもない文字は \"スキップ\"。最後に強度の見積もり");
inline const QCommandLineOption kStrength("strength",
                                          "パスワードの後にタブ区切りで強度の見積もりを表示します:\n"
                                          "パスワード<TAB>ビット数<TAB>強度（非常に弱い、弱い、良い、\n"
                                          "非常に良い）。ビット数は推測回数の 2 を底とする対数で、\n"
                                          "この言葉を知らない人が当てるまでの見積もりです。空の\n"
                                          "パスワードは 2 つの欄が空です");
inline const QCommandLineOption kOutput("output", "書き出すファイル（\"-\": 標準出力に PNG）", "FILE");
inline const QCommandLineOption kPrinter("printer", "印刷キュー QUEUE で印刷します", "QUEUE");
inline const QCommandLineOption kNoFrame("no-frame", "PDF と印刷キューのラベルに切り取り線を描きません");
inline const QCommandLineOption kFont("font", "フォント名（既定: 印刷イメージのフォント）", "FACE");
inline const QCommandLineOption kSize("size",
                                      QString("ポイント数、1〜%1（既定 %2）")
                                          .arg(QString::number(kMaxPoints),
                                               QString::number(PrintStyle::kStartPoints)),
                                      "PT");
inline const QCommandLineOption kColour("colour",
                                        "色の名前（black、red など）または #rrggbb（既定 black）。\n"
                                        "白は何も印刷されません",
                                        "COLOUR");

inline const QCommandLineOption kWords("words",
                                       "1 つのフレーズの単語数（既定: 50 ビット以上になる最少の数。\n"
                                       "カタカナ欄に収まる数まで）",
                                       "N");
inline const QCommandLineOption kCount("count", "表示するフレーズの数（既定 1）", "K");
// The same name as convert's, saying what it adds here.
inline const QCommandLineOption kChoiceStrength(kStrength.names(),
                                                "フレーズの後にタブ区切りで、この選び方の強さを\n"
                                                "ビット数で表示します（単語数 × 1 語のビット数）");

} // namespace opt

// The option's long name as typed: "--table".
std::string Flag(const QCommandLineOption& option);
// Every name as typed and the value's name: "-h, --help", "--table FILE".
std::string Synopsis(const QCommandLineOption& option);
// Whether `argument` is one of the option's names as typed.
bool Spells(const QCommandLineOption& option, const QString& argument);
// The options' lines of a help text: each synopsis, then its description,
// whose further lines start under its first.
std::string OptionsHelp(const std::vector<QCommandLineOption>& options);
// "（--help を参照）", the end of a usage error's line.
std::string SeeHelp();

} // namespace cli
