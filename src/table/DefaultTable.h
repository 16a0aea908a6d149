// The built-in conversion table, used while no table file exists.
#pragma once

#include "table/ConversionTable.h"

// Sets the default letter and digit entries in their fixed order (the order
// decides the iteration order). The symbols map has no defaults and is left alone.
void FillDefaultTable(ConversionTable& table);
