#include "pages/colour/nod_colours.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "image/gray.h"

NodColourState NodColours;

void StartNodColours() { NodColours = {}; }

NodColour& NodEntry(NodTable& table, int column, int index) {
  return table.columns[static_cast<std::size_t>(std::clamp(column, 1, 3) - 1)]
                      [static_cast<std::size_t>(std::clamp(index, 1, NodColourCount) - 1)];
}

const NodColour& NodEntry(const NodTable& table, int column, int index) {
  return NodEntry(const_cast<NodTable&>(table), column, index);
}

void FillNodColourTable() {
  if (NodColours.source == BuiltInTableSource) NodColours.table = BuiltInNodColours;
  if (NodColours.source == UserTableSource) NodColours.table = NodColours.user;
}
