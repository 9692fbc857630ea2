#include "printer/printer_sort.h"

#include <utility>

namespace kestrel {
namespace {

bool IsLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool IsUpper(unsigned char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsWordSortSpecial(unsigned char c) {
    return c == '-' || c == '\'';
}

// First-level weight: symbols, then digits, then letters without case, then other bytes.
int PrimaryWeight(unsigned char c) {
    if (IsDigit(c)) {
        return 0x100 + (c - '0');
    }
    if (IsLetter(c)) {
        return 0x200 + ((c | 0x20) - 'a');
    }
    if (c >= 0x80) {
        return 0x300 + c;
    }
    return c;
}

// Walks a name's characters with hyphens and apostrophes passed over.
class LetterCursor {
public:
    explicit LetterCursor(std::string_view s) : m_s(s) { skip(); }
    bool done() const { return m_i >= m_s.size(); }
    unsigned char get() const { return static_cast<unsigned char>(m_s[m_i]); }
    void next() {
        ++m_i;
        skip();
    }

private:
    void skip() {
        while (m_i < m_s.size() && IsWordSortSpecial(static_cast<unsigned char>(m_s[m_i]))) {
            ++m_i;
        }
    }
    std::string_view m_s;
    std::size_t m_i = 0;
};

std::size_t CountSpecials(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s) {
        n += IsWordSortSpecial(static_cast<unsigned char>(c)) ? 1 : 0;
    }
    return n;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

std::string_view Key(const PrinterEntry& e, SortColumn column) {
    return column == SortColumn::PrinterName ? std::string_view(e.printerName)
                                             : std::string_view(e.portName);
}

}  // namespace

int CompareAnsiNames(std::string_view a, std::string_view b) {
    // Letters without case, digits and symbols.
    LetterCursor x(a);
    LetterCursor y(b);
    for (; !x.done() && !y.done(); x.next(), y.next()) {
        if (const int d = PrimaryWeight(x.get()) - PrimaryWeight(y.get()); d != 0) {
            return Sign(d);
        }
    }
    if (x.done() != y.done()) {
        return x.done() ? -1 : 1;
    }
    // Case, at the first letter that differs in it.
    for (LetterCursor p(a), q(b); !p.done(); p.next(), q.next()) {
        if (IsUpper(p.get()) != IsUpper(q.get())) {
            return IsUpper(p.get()) ? 1 : -1;
        }
    }
    // Same letters and case: the name without a hyphen or apostrophe comes first.
    const std::size_t specialsA = CountSpecials(a);
    const std::size_t specialsB = CountSpecials(b);
    if (specialsA != specialsB) {
        return specialsA < specialsB ? -1 : 1;
    }
    return Sign(a.compare(b));
}

void SortPrinterTable(std::span<PrinterEntry> table, std::ptrdiff_t first, std::ptrdiff_t last,
                      SortColumn column, SortDirection direction) {
    if (first < 0 || last >= static_cast<std::ptrdiff_t>(table.size())) {
        return;
    }
    while (first < last) {
        const std::string_view pivot = Key(table[first], column);
        std::ptrdiff_t mark = first;
        for (std::ptrdiff_t j = first + 1; j <= last; ++j) {
            bool before = CompareAnsiNames(Key(table[j], column), pivot) > 0;
            if (direction == SortDirection::Rising) {
                before = !before;
            }
            if (before) {
                ++mark;
                std::swap(table[mark], table[j]);
            }
        }
        std::swap(table[first], table[mark]);
        // The two ranges are sorted independently, so taking the shorter one by recursion and
        // the longer one in the loop gives the same result with a stack depth of log n, even for
        // a thousand queues of the same name.
        if (mark - first < last - mark) {
            SortPrinterTable(table, first, mark - 1, column, direction);
            first = mark + 1;
        } else {
            SortPrinterTable(table, mark + 1, last, column, direction);
            last = mark - 1;
        }
    }
}

SortDirection DirectionAfterHeaderClick(SortDirection current) {
    return current == SortDirection::Rising ? SortDirection::Falling : SortDirection::Rising;
}

void SortOnHeaderClick(std::span<PrinterEntry> table, SortColumn column, SortDirection& direction) {
    direction = DirectionAfterHeaderClick(direction);
    if (!table.empty()) {
        SortPrinterTable(table, 0, static_cast<std::ptrdiff_t>(table.size()) - 1, column,
                         direction);
    }
}

void SortAfterFill(std::span<PrinterEntry> table, SortDirection direction) {
    if (!table.empty()) {
        SortPrinterTable(table, 0, static_cast<std::ptrdiff_t>(table.size()) - 1,
                         SortColumn::PrinterName, direction);
    }
}

}  // namespace kestrel
