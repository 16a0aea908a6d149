#include "table/ConversionTable.h"

void ConversionTable::RemoveAll() {
    letters.RemoveAll();
    digits.RemoveAll();
    symbols.RemoveAll();
}

std::size_t ConversionTable::GetCount() const {
    return letters.GetCount() + digits.GetCount() + symbols.GetCount();
}
