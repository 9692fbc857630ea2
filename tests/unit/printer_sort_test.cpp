#include "printer/printer_sort.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kestrel {
namespace {

TEST(CompareAnsiNames, OrdersLikeTheShellComparison) {
    // Letters without case first, then lower case first at the first letter differing in case
    // (not capitals before small letters); hyphen and apostrophe passed over, then counted;
    // symbols before digits before letters.
    const std::pair<std::string_view, std::string_view> lessFirst[] = {
        {"a", "B"},          {"apple", "Banana"}, {"abc", "ABC"},       {"kR", "Kr"},
        {"Kr", "KR"},        {"abc", "abd"},      {"ab", "abc"},        {"Ab", "abc"},
        {"KR900", "KR-900"}, {"KR-900", "KR901"}, {"KR-900", "KR900x"}, {"o'neil", "oneil2"},
        {"_a", "0a"},        {"9", "a"},          {"Z1", "z2"},         {"", "a"},
    };
    for (const auto& [a, b] : lessFirst) {
        EXPECT_LT(CompareAnsiNames(a, b), 0) << a << " vs " << b;
        EXPECT_GT(CompareAnsiNames(b, a), 0) << b << " vs " << a;
    }
    EXPECT_EQ(CompareAnsiNames("same", "same"), 0);
    EXPECT_EQ(CompareAnsiNames("", ""), 0);
}

// A table written as "name:port name:port ...".
std::vector<PrinterEntry> Table(const std::string& rows) {
    std::vector<PrinterEntry> table;
    std::istringstream in(rows);
    for (std::string row; in >> row;) {
        const auto colon = row.find(':');
        table.emplace_back().printerName = row.substr(0, colon);
        table.back().portName = row.substr(colon + 1);
    }
    return table;
}

std::string Text(const std::vector<PrinterEntry>& table) {
    std::string text;
    for (const auto& e : table) {
        text += (text.empty() ? "" : " ") + e.printerName + ":" + e.portName;
    }
    return text;
}

const std::string kDuplicates = "B:p1 A:p2 B:p3 A:p4 B:p5";

// The quicksort places equal keys where its partition puts them, not stably.
TEST(SortPrinterTable, TiesGoWhereThePartitionPutsThem) {
    const auto name = SortColumn::PrinterName;
    const auto rising = SortDirection::Rising;
    const auto falling = SortDirection::Falling;
    const struct {
        std::string input;
        SortColumn column;
        SortDirection direction;
        std::string expected;
    } cases[] = {
        // Rising: the pivot B/p1 ends last among the Bs, later equal keys are pulled in front.
        {kDuplicates, name, rising, "A:p2 A:p4 B:p3 B:p5 B:p1"},
        // Falling is not the mirror image: the Bs keep p1 first and the As keep p2 first.
        {kDuplicates, name, falling, "B:p1 B:p5 B:p3 A:p2 A:p4"},
        {"X:1 X:2 X:3 X:4", name, rising, "X:2 X:3 X:4 X:1"},
        {"X:1 X:2 X:3", name, falling, "X:1 X:2 X:3"},
        {"n1:USB n2:COM1 n3:USB n4:COM1", SortColumn::PortName, rising,
         "n2:COM1 n4:COM1 n3:USB n1:USB"},
        {"KR:1 kr:2 Alpha:3 beta:4", name, rising, "Alpha:3 beta:4 kr:2 KR:1"},
        {"only:x", name, falling, "only:x"},
    };
    for (const auto& c : cases) {
        auto table = Table(c.input);
        SortPrinterTable(table, 0, static_cast<std::ptrdiff_t>(table.size()) - 1, c.column,
                         c.direction);
        EXPECT_EQ(Text(table), c.expected) << c.input;
    }
    auto table = Table("d:1 c:2 b:3 a:4");
    SortPrinterTable(table, 1, 2, name, rising);  // only the given range
    EXPECT_EQ(Text(table), "d:1 b:3 c:2 a:4");
}

TEST(HeaderClick, EachClickTurnsTheDirectionAndSortsByIt) {
    auto table = Table("b:COM1 a:USB c:LPT1");
    SortDirection direction = SortDirection::Rising;
    SortAfterFill(table, direction);
    EXPECT_EQ(Text(table), "a:USB b:COM1 c:LPT1");
    SortOnHeaderClick(table, SortColumn::PortName, direction);
    EXPECT_EQ(direction, SortDirection::Falling);
    EXPECT_EQ(Text(table), "a:USB c:LPT1 b:COM1");
    SortOnHeaderClick(table, SortColumn::PrinterName, direction);  // another header: rising
    EXPECT_EQ(direction, SortDirection::Rising);
    EXPECT_EQ(Text(table), "a:USB b:COM1 c:LPT1");
    std::vector<PrinterEntry> empty;  // an empty table still turns the direction
    SortOnHeaderClick(empty, SortColumn::PrinterName, direction);
    EXPECT_EQ(direction, SortDirection::Falling);

    // Duplicates: the falling click sorts from the order the rising one left.
    table = Table(kDuplicates);
    SortOnHeaderClick(table, SortColumn::PrinterName, direction);
    SortOnHeaderClick(table, SortColumn::PrinterName, direction);
    EXPECT_EQ(direction, SortDirection::Falling);
    EXPECT_EQ(Text(table), "B:p1 B:p3 B:p5 A:p2 A:p4");
}

}  // namespace
}  // namespace kestrel
