// Ordering the selection list by printer name or port name, rising or falling.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "printer/printer_entry.h"

namespace kestrel {

enum class SortColumn : int { PrinterName = 0, PortName = 1 };
enum class SortDirection : int { Rising = 0, Falling = 1 };

// Names compared the way the Windows shell's lstrcmpA orders them under a Latin locale, since
// users of the original program saw their queues in that order. For ASCII that is a "word sort":
// letters compare without case first (so "kr-900" and "KR-900" sit together instead of all
// capitals coming first), digits come before letters and other symbols before digits; hyphen
// and apostrophe are passed over at first so "KR-900" stays next to "KR900". Only when names
// are otherwise equal does case decide, lower case first at the first letter that differs in
// case, then the hyphens and apostrophes, then the raw bytes. Distinct names never compare
// equal. Symbols among themselves keep ASCII order and bytes above 127 follow the letters in
// byte order: the locale tables differ there and queue names rarely use them.
// Negative, zero or positive like strcmp.
int CompareAnsiNames(std::string_view a, std::string_view b);

// Sorts entries first..last (inclusive) of the table in place by the column's key. A quicksort
// whose pivot is the first entry of each range and whose partition moves the entries that
// belong before the pivot (not greater for rising, greater for falling) up behind it in scan
// order, so entries with equal keys land in a fixed, reproducible order.
void SortPrinterTable(std::span<PrinterEntry> table, std::ptrdiff_t first, std::ptrdiff_t last,
                      SortColumn column, SortDirection direction);

// A click on a column header turns the direction over first, then sorts by that column.
SortDirection DirectionAfterHeaderClick(SortDirection current);
void SortOnHeaderClick(std::span<PrinterEntry> table, SortColumn column, SortDirection& direction);

// After every fill of the list: by printer name in the current direction.
void SortAfterFill(std::span<PrinterEntry> table, SortDirection direction);

}  // namespace kestrel
