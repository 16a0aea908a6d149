#include "tableedit/TableText.h"

#include "platform/FieldLimit.h"
#include "platform/UserText.h"
#include "platform/Utf8.h"
#include "table/TableFile.h"
#include "tableedit/KeyCheck.h"
#include "tableedit/TableEditTemplate.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

namespace tableedit {
namespace {

// The bucket a key falls in once the table file has shifted its bytes.
std::size_t StoredBucket(std::string_view key) {
    return HashOrderMap::HashKey(StoredKey(key)) % HashOrderMap::kBucketCount;
}

// The entries in the order the table file that loads into `map` holds them.
// Loading sets the stored entries in file order into a map of stored keys and
// then copies that map's iteration order; undoing both steps gives: by stored
// bucket, within it by descending bucket of the key, and within that in the
// map's own order. Setting the entries in this order and saving writes that file.
std::vector<const HashOrderMap::Entry*> FileOrder(const HashOrderMap& map) {
    struct Placed {
        std::size_t storedBucket;
        std::size_t bucket;
        std::size_t position;
        const HashOrderMap::Entry* entry;
    };
    std::vector<Placed> placed;
    std::size_t position = 0;
    for (const auto& entry : map) {
        placed.push_back(
            {StoredBucket(entry.key), entry.hash % HashOrderMap::kBucketCount, position++, &entry});
    }
    std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return std::tuple(a.storedBucket, b.bucket, a.position) <
               std::tuple(b.storedBucket, a.bucket, b.position);
    });
    std::vector<const HashOrderMap::Entry*> order;
    order.reserve(placed.size());
    for (const Placed& p : placed) {
        order.push_back(p.entry);
    }
    return order;
}

void AppendHex(std::string& out, unsigned char b) {
    constexpr std::string_view kHex = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
}

std::string EscapeField(std::string_view text) {
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t code = 0;
        const std::size_t width = utf8::StepOne(text.substr(pos), code);
        const std::string_view ch = text.substr(pos, width);
        pos += width;
        if (width == 1) {
            const auto b = static_cast<unsigned char>(ch[0]);
            switch (b) {
            case '\\':
                out += "\\\\";
                continue;
            case '\t':
                out += "\\t";
                continue;
            case '\r':
                out += "\\r";
                continue;
            case '\n':
                out += "\\n";
                continue;
            default:
                break;
            }
            if (b < 0x20 || b >= 0x7F) {
                AppendHex(out, b);
                continue;
            }
        }
        // A byte of the file that is no character is written as that byte.
        if (code >= utf8::kKeptByte) {
            AppendHex(out, static_cast<unsigned char>(code - utf8::kKeptByte));
        } else {
            out += ch;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The field's text as the table file holds it, or the reason it has none.
std::optional<std::string> UnescapeField(std::string_view utf8, std::string_view what, std::string& problem) {
    std::string out;
    std::string plain; // UTF-8 waiting for its check
    const auto flush = [&]() {
        if (plain.empty()) {
            return true;
        }
        if (!FieldLimit::Holds(plain)) {
            problem = std::string(what) + "に CP932 で表せない文字か、UTF-8 でないテキストがあります";
            return false;
        }
        out += plain;
        plain.clear();
        return true;
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '\\') {
            plain += utf8[i];
            continue;
        }
        if (!flush()) {
            return std::nullopt;
        }
        const char next = i + 1 < utf8.size() ? utf8[i + 1] : '\0';
        switch (next) {
        case '\\':
            out += '\\';
            ++i;
            continue;
        case 't':
            out += '\t';
            ++i;
            continue;
        case 'r':
            out += '\r';
            ++i;
            continue;
        case 'n':
            out += '\n';
            ++i;
            continue;
        case 'x': {
            const int high = i + 2 < utf8.size() ? HexDigit(utf8[i + 2]) : -1;
            const int low = i + 3 < utf8.size() ? HexDigit(utf8[i + 3]) : -1;
            if (high >= 0 && low >= 0) {
                const int byte = high * 16 + low;
                if (byte < 0x80) {
                    out += static_cast<char>(byte);
                } else {
                    utf8::Append(out, utf8::kKeptByte + static_cast<char32_t>(byte));
                }
                i += 3;
                continue;
            }
            break;
        }
        default:
            break;
        }
        problem =
            std::string(what) + "のバックスラッシュの後が \\\\、\\t、\\r、\\n、\\xHH のどれでもありません";
        return std::nullopt;
    }
    if (!flush()) {
        return std::nullopt;
    }
    // Bytes written out one by one that make a character are that character.
    return AsTheFileGivesItBack(out);
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

// The editor's question as one line of UTF-8; the key it names is the user's
// text, so it is shown escaped and a long one cut.
std::string OneLine(std::string_view message) {
    std::string text(message);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) {
        text.replace(at, 2, " ");
    }
    return ShownTableText(text, 3 * kShownUserChars);
}

std::string ListOutputs(TableMap map) {
    switch (map) {
    case TableMap::Letters:
        return "a〜z";
    case TableMap::Digits:
        return "0〜9";
    case TableMap::Symbols:
        break;
    }
    std::string list;
    for (const char c : TableMapOutputs(map)) {
        list += list.empty() ? "" : " ";
        list += c;
    }
    return list;
}

} // namespace

std::string_view TableMapOutputs(TableMap map) {
    constexpr std::array<std::string_view, 3> outputs{kLetterRows, kDigitRows, kSymbolRows};
    return outputs[static_cast<std::size_t>(map)];
}

std::string ShownTableText(std::string_view utf8, std::size_t maxChars) {
    std::string text;
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t code = 0;
        const std::size_t width = utf8::StepOne(utf8.substr(pos), code);
        if (width > 1 && code >= utf8::kKeptByte) {
            AppendHex(text, static_cast<unsigned char>(code - utf8::kKeptByte));
        } else {
            text += utf8.substr(pos, width);
        }
        pos += width;
    }
    return ShownUserText(text, maxChars);
}

std::string ExportTableText(const ConversionTable& table) {
    std::string text(kTableTextHeader);
    text += '\n';
    for (const TableMap map : kTableMaps) {
        for (const auto* entry : FileOrder(table.Map(map))) {
            text += TableMapName(map);
            text += '\t';
            text += EscapeField(entry->key);
            text += '\t';
            text += EscapeField(entry->value);
            text += '\n';
        }
    }
    return text;
}

ImportedTableText ImportTableText(std::string_view text) {
    ImportedTableText result;
    // Where each key of each map first stood, for the duplicate's message.
    std::array<std::map<std::string, std::size_t>, 3> firstLine;
    // The table file as it grows, told once when it passes what the reader accepts.
    TableFileSize fileSize;
    bool tooLarge = false;
    const auto refuse = [&result](std::size_t line, std::string message) {
        result.problems.push_back({line, std::move(message)});
    };

    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (lineNumber == 1) {
            if (line.starts_with(utf8::kByteOrderMark)) {
                line.remove_prefix(utf8::kByteOrderMark.size());
            }
            if (line != kTableTextHeader) {
                refuse(1, "1 行目は見出し行 map<TAB>key<TAB>value にしてください");
            }
            continue;
        }
        if (line.empty()) {
            continue;
        }
        ++result.entryLines;

        const auto fields = SplitTabs(line);
        if (fields.size() != 3) {
            refuse(lineNumber, "タブ区切りの 3 項目（map、key、value）が必要ですが、" +
                                   std::to_string(fields.size()) + " 項目あります");
            continue;
        }
        const auto mapIt = std::find_if(kTableMaps.begin(), kTableMaps.end(),
                                        [&](TableMap m) { return TableMapName(m) == fields[0]; });
        if (mapIt == kTableMaps.end()) {
            refuse(lineNumber,
                   "不明な表です: " + QuotedUserText(fields[0]) + "（letters、digits、symbols のいずれか）");
            continue;
        }
        const TableMap map = *mapIt;
        std::string problem;
        const auto key = UnescapeField(fields[1], "キー", problem);
        const auto value = key ? UnescapeField(fields[2], "値", problem) : std::nullopt;
        if (!key || !value) {
            refuse(lineNumber, problem);
            continue;
        }
        if (key->empty()) {
            refuse(lineNumber, "キーが空です");
            continue;
        }
        if (const auto cut = CheckStorableKey(*key)) {
            refuse(lineNumber, OneLine(*cut));
            continue;
        }
        if (const std::optional<LostByte> lost = UnstorableValueByte(*value)) {
            refuse(lineNumber,
                   "値の " + std::to_string(lost->offset + 1) +
                       " バイト目 \\x00 は変換表ファイルに保存できません（値がそこで切れてしまいます）");
            continue;
        }
        if (value->size() != 1 || TableMapOutputs(map).find((*value)[0]) == std::string_view::npos) {
            refuse(lineNumber, "値" + QuotedUserText(fields[2]) + "は " + std::string(TableMapName(map)) +
                                   " の出力ではありません（" + ListOutputs(map) + "）");
            continue;
        }
        if (const auto tooLong = CheckKeyLength(*key)) {
            refuse(lineNumber, OneLine(tooLong->message));
            continue;
        }
        HashOrderMap& target = result.table.Map(map);
        if (const auto duplicate = CheckDuplicateKey(target, *key, *value)) {
            const std::size_t first = firstLine[static_cast<std::size_t>(map)][*key];
            refuse(lineNumber, OneLine(*duplicate) + "（最初は " + std::to_string(first) + " 行目）");
            continue;
        }
        fileSize.Add(static_cast<std::size_t>(map), *key, *value);
        if (fileSize.Bytes() > kMaxTableFileBytes && !tooLarge) {
            tooLarge = true;
            refuse(lineNumber, "この行までの項目で変換表ファイルが " + std::to_string(fileSize.Bytes()) +
                                   " バイトになり、読み込める大きさの上限 " +
                                   std::to_string(kMaxTableFileBytes) + " バイトを超えます");
        }
        target.insert_or_assign(*key, *value);
        firstLine[static_cast<std::size_t>(map)].emplace(*key, lineNumber);
        result.entries.push_back({lineNumber, map, *key, *value});
    }
    if (lineNumber == 0) {
        refuse(1, "テキストが空です。1 行目は見出し行 map<TAB>key<TAB>value にしてください");
    }
    return result;
}

} // namespace tableedit
