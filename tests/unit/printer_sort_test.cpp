#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "printer/printer_sort.h"

namespace kestrel {
namespace {

struct CompareCase {
    std::string_view a;
    std::string_view b;
    int sign;
};

class CompareNamesTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareNamesTest, OrdersLikeTheShellComparison) {
    const auto& c = GetParam();
    const int r = CompareAnsiNames(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    const int back = CompareAnsiNames(c.b, c.a);
    EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
}

INSTANTIATE_TEST_SUITE_P(
    Names, CompareNamesTest,
    ::testing::Values(CompareCase{"a", "B", -1},           // letters without case first
                      CompareCase{"apple", "Banana", -1},  // not capitals before small letters
                      CompareCase{"abc", "ABC", -1},       // then lower case first
                      CompareCase{"kR", "Kr", -1},         // at the first letter differing in case
                      CompareCase{"Kr", "KR", -1}, CompareCase{"abc", "abd", -1},
                      CompareCase{"ab", "abc", -1}, CompareCase{"Ab", "abc", -1},
                      CompareCase{"KR900", "KR-900", -1},   // hyphen passed over, then counts
                      CompareCase{"KR-900", "KR901", -1},   // ... so it does not split them
                      CompareCase{"KR-900", "KR900x", -1},  //
                      CompareCase{"o'neil", "oneil2", -1},  // apostrophe likewise
                      CompareCase{"_a", "0a", -1},          // symbols before digits
                      CompareCase{"9", "a", -1},            // digits before letters
                      CompareCase{"Z1", "z2", -1},          // the letter's case is no tie-breaker
                      CompareCase{"same", "same", 0}, CompareCase{"", "", 0},
                      CompareCase{"", "a", -1}));

using Row = std::pair<std::string, std::string>;  // printer name, port name

std::vector<PrinterEntry> Table(const std::vector<Row>& rows) {
    std::vector<PrinterEntry> table;
    for (const auto& [name, port] : rows) {
        PrinterEntry e;
        e.printerName = name;
        e.portName = port;
        table.push_back(e);
    }
    return table;
}

std::vector<Row> Rows(const std::vector<PrinterEntry>& table) {
    std::vector<Row> rows;
    for (const auto& e : table) {
        rows.emplace_back(e.printerName, e.portName);
    }
    return rows;
}

struct SortCase {
    const char* label;
    std::vector<Row> input;
    SortColumn column;
    SortDirection direction;
    std::vector<Row> expected;
};

class SortTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortTest, QuicksortPlacesTiesWhereItsPartitionPutsThem) {
    const auto& c = GetParam();
    auto table = Table(c.input);
    SortPrinterTable(table, 0, static_cast<std::ptrdiff_t>(table.size()) - 1, c.column,
                     c.direction);
    EXPECT_EQ(Rows(table), c.expected) << c.label;
}

const std::vector<Row> kDuplicates{{"B", "p1"}, {"A", "p2"}, {"B", "p3"}, {"A", "p4"}, {"B", "p5"}};

INSTANTIATE_TEST_SUITE_P(
    Tables, SortTest,
    ::testing::Values(
        // Rising: the pivot B/p1 ends last among the Bs, later equal keys are pulled in front.
        SortCase{"duplicate names rising",
                 kDuplicates,
                 SortColumn::PrinterName,
                 SortDirection::Rising,
                 {{"A", "p2"}, {"A", "p4"}, {"B", "p3"}, {"B", "p5"}, {"B", "p1"}}},
        // Falling is not the mirror image: the Bs keep p1 first and the As keep p2 first.
        SortCase{"duplicate names falling",
                 kDuplicates,
                 SortColumn::PrinterName,
                 SortDirection::Falling,
                 {{"B", "p1"}, {"B", "p5"}, {"B", "p3"}, {"A", "p2"}, {"A", "p4"}}},
        SortCase{"all equal rising",
                 {{"X", "1"}, {"X", "2"}, {"X", "3"}, {"X", "4"}},
                 SortColumn::PrinterName,
                 SortDirection::Rising,
                 {{"X", "2"}, {"X", "3"}, {"X", "4"}, {"X", "1"}}},
        SortCase{"all equal falling keeps order",
                 {{"X", "1"}, {"X", "2"}, {"X", "3"}},
                 SortColumn::PrinterName,
                 SortDirection::Falling,
                 {{"X", "1"}, {"X", "2"}, {"X", "3"}}},
        SortCase{"by port rising with same ports",
                 {{"n1", "USB"}, {"n2", "COM1"}, {"n3", "USB"}, {"n4", "COM1"}},
                 SortColumn::PortName,
                 SortDirection::Rising,
                 {{"n2", "COM1"}, {"n4", "COM1"}, {"n3", "USB"}, {"n1", "USB"}}},
        SortCase{"case decides only between otherwise equal names",
                 {{"KR", "1"}, {"kr", "2"}, {"Alpha", "3"}, {"beta", "4"}},
                 SortColumn::PrinterName,
                 SortDirection::Rising,
                 {{"Alpha", "3"}, {"beta", "4"}, {"kr", "2"}, {"KR", "1"}}},
        SortCase{"single entry",
                 {{"only", "x"}},
                 SortColumn::PrinterName,
                 SortDirection::Falling,
                 {{"only", "x"}}}));

TEST(SortPrinterTable, SortsOnlyTheGivenRange) {
    auto table = Table({{"d", "1"}, {"c", "2"}, {"b", "3"}, {"a", "4"}});
    SortPrinterTable(table, 1, 2, SortColumn::PrinterName, SortDirection::Rising);
    EXPECT_EQ(Rows(table), (std::vector<Row>{{"d", "1"}, {"b", "3"}, {"c", "2"}, {"a", "4"}}));
}

TEST(HeaderClick, RisingClickSortsFallingAndNextClickRising) {
    auto table = Table({{"b", "COM1"}, {"a", "USB"}, {"c", "LPT1"}});
    SortDirection direction = SortDirection::Rising;
    SortAfterFill(table, direction);
    EXPECT_EQ(Rows(table), (std::vector<Row>{{"a", "USB"}, {"b", "COM1"}, {"c", "LPT1"}}));

    SortOnHeaderClick(table, SortColumn::PortName, direction);
    EXPECT_EQ(direction, SortDirection::Falling);
    EXPECT_EQ(Rows(table), (std::vector<Row>{{"a", "USB"}, {"c", "LPT1"}, {"b", "COM1"}}));

    // The next click, on the other header, sorts rising.
    SortOnHeaderClick(table, SortColumn::PrinterName, direction);
    EXPECT_EQ(direction, SortDirection::Rising);
    EXPECT_EQ(Rows(table), (std::vector<Row>{{"a", "USB"}, {"b", "COM1"}, {"c", "LPT1"}}));

    // An empty table still turns the direction.
    std::vector<PrinterEntry> empty;
    SortOnHeaderClick(empty, SortColumn::PrinterName, direction);
    EXPECT_EQ(direction, SortDirection::Falling);
}

TEST(HeaderClick, DuplicateNamesFollowTheDirectionOfEachClick) {
    auto table = Table(kDuplicates);
    SortDirection direction = SortDirection::Falling;
    SortOnHeaderClick(table, SortColumn::PrinterName, direction);  // turns rising
    EXPECT_EQ(direction, SortDirection::Rising);
    EXPECT_EQ(Rows(table),
              (std::vector<Row>{{"A", "p2"}, {"A", "p4"}, {"B", "p3"}, {"B", "p5"}, {"B", "p1"}}));
    SortOnHeaderClick(table, SortColumn::PrinterName, direction);  // falling, from that order
    EXPECT_EQ(direction, SortDirection::Falling);
    EXPECT_EQ(Rows(table),
              (std::vector<Row>{{"B", "p1"}, {"B", "p3"}, {"B", "p5"}, {"A", "p2"}, {"A", "p4"}}));
}

}  // namespace
}  // namespace kestrel
