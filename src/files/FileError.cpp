#include "files/FileError.h"

#include <string>

namespace files {
namespace {

class Category : public std::error_category {
public:
    const char* name() const noexcept override { return "q8xj-files"; }

    // UTF-8, in the words the program uses elsewhere.
    std::string message(int value) const override {
        switch (static_cast<FileError>(value)) {
        case FileError::EmptyName:
            return "ファイル名が空です";
        case FileError::NotRegular:
            return "通常のファイルではありません";
        case FileError::SameAsTable:
            return "読み込んでいる変換表ファイルそのものです";
        case FileError::ReadOnly:
            return "書き込みが禁止されています";
        case FileError::NoReader:
            return "読み手のいない FIFO です";
        case FileError::NoWriter:
            return "書き手のいない FIFO です";
        case FileError::NoData:
            return "読み取れるデータがありません";
        case FileError::TooLarge:
            return "大きすぎます";
        case FileError::LineTooLong:
            return "行が長すぎます";
        case FileError::DanglingLink:
            return "リンク先のファイルがありません";
        }
        return "不明なエラーです";
    }
};

} // namespace

const std::error_category& FileErrorCategory() {
    static const Category category;
    return category;
}

} // namespace files
