#include "table/ConversionTable.h"

#include <utility>

std::string_view TableMapName(TableMap map) {
    constexpr std::array<std::string_view, 3> names{"letters", "digits", "symbols"};
    return names[static_cast<std::size_t>(map)];
}

const CMapStringToString& ConversionTable::Map(TableMap map) const {
    switch (map) {
    case TableMap::Letters:
        return letters;
    case TableMap::Digits:
        return digits;
    case TableMap::Symbols:
        break;
    }
    return symbols;
}

CMapStringToString& ConversionTable::Map(TableMap map) {
    return const_cast<CMapStringToString&>(std::as_const(*this).Map(map));
}

void ConversionTable::RemoveAll() {
    letters.RemoveAll();
    digits.RemoveAll();
    symbols.RemoveAll();
}

std::size_t ConversionTable::GetCount() const {
    return letters.GetCount() + digits.GetCount() + symbols.GetCount();
}
