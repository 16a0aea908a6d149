#include "table/ConversionTable.h"

#include <utility>

std::string_view TableMapName(TableMap map) {
    constexpr std::array<std::string_view, 3> names{"letters", "digits", "symbols"};
    return names[static_cast<std::size_t>(map)];
}

const HashOrderMap& ConversionTable::Map(TableMap map) const {
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

HashOrderMap& ConversionTable::Map(TableMap map) {
    return const_cast<HashOrderMap&>(std::as_const(*this).Map(map));
}

void ConversionTable::clear() {
    letters.clear();
    digits.clear();
    symbols.clear();
}

std::size_t ConversionTable::size() const {
    return letters.size() + digits.size() + symbols.size();
}
