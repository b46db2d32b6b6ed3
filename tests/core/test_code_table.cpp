#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/code_table.h"
#include "core/fields.h"

using namespace keytut;

namespace {

struct Loaded {
    CodeTable table;
    std::vector<std::string> messages;
};

Loaded load(const std::string& contents) {
    Loaded result;
    CollectingMessageSink sink;
    loadCodeTableFrom(result.table, contents, sink);
    result.messages = sink.messages;
    return result;
}

std::vector<int> row(const CodeTable& table, int code) {
    return {table.codeElements[code].begin(), table.codeElements[code].end()};
}

}  // namespace

TEST(CodeTable, RecordGivesElementsAndTreeEntry) {
    auto loaded = load("65,.-\r\n69,.\r\n84,-\r\n48,-----\r\n");
    EXPECT_EQ(row(loaded.table, 65), (std::vector<int>{1, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(loaded.table.decodeTree[4], "A");
    EXPECT_EQ(loaded.table.decodeTree[1], "E");
    EXPECT_EQ(loaded.table.decodeTree[2], "T");
    EXPECT_EQ(loaded.table.decodeTree[62], "0");
    EXPECT_EQ(loaded.table.decodeTree[3], "_");
    EXPECT_EQ(loaded.table.decodeTree[0], "");
    EXPECT_TRUE(loaded.messages.empty());
}

TEST(CodeTable, EmptyFileLeavesEverythingUnknown) {
    auto loaded = load("");
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(loaded.table.codeElements[c][0], 0);
    for (int n = 1; n < 256; ++n)
        EXPECT_EQ(loaded.table.decodeTree[n], "_");
}

TEST(CodeTable, FaultsAreReportedWithTheRecordNumberAndLoadingGoesOn) {
    auto loaded = load("300,.-\r\n69,........\r\n84,-\r\n");
    ASSERT_EQ(loaded.messages.size(), 2u);
    EXPECT_EQ(loaded.messages[0], "Faulty ASCII code on line 1");
    EXPECT_EQ(loaded.messages[1], "Too many code elements on line 2");
    // The faulty code is stored under code 0, its byte at the tree entry of its pattern.
    EXPECT_EQ(row(loaded.table, 0), (std::vector<int>{1, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(loaded.table.decodeTree[4], std::string(1, '\0'));
    // Eight dots are cut to seven.
    EXPECT_EQ(row(loaded.table, 69), (std::vector<int>{1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(loaded.table.decodeTree[127], "E");
    EXPECT_EQ(loaded.table.decodeTree[2], "T");
}

TEST(CodeTable, BothFaultsOfOneRecordCodeFirst) {
    auto loaded = load("65,.-\r\n999,--------\r\n");
    EXPECT_EQ(loaded.messages, (std::vector<std::string>{"Faulty ASCII code on line 2",
                                                         "Too many code elements on line 2"}));
    EXPECT_EQ(loaded.table.decodeTree[254], std::string(1, '\0'));
}

TEST(CodeTable, NegativeCodeIsReportedAndNeverIndexes) {
    auto loaded = load("-5,.-\r\n-1000000,-\r\n");
    EXPECT_EQ(loaded.messages, (std::vector<std::string>{"Faulty ASCII code on line 1",
                                                         "Faulty ASCII code on line 2"}));
    EXPECT_EQ(row(loaded.table, 0), (std::vector<int>{3, 3, 0, 0, 0, 0, 0}));
}

TEST(CodeTable, EmptyPatternIsOneDotAndLaterRecordsWin) {
    auto loaded = load("32,\r\n");
    EXPECT_EQ(row(loaded.table, 32), (std::vector<int>{1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(loaded.table.decodeTree[1], " ");
    loaded = load("32,\r\n69,.\r\n");
    EXPECT_EQ(loaded.table.decodeTree[1], "E");
    // A later record for the same code only overwrites the columns of its own pattern.
    loaded = load("65,---\r\n65,.\r\n");
    EXPECT_EQ(row(loaded.table, 65), (std::vector<int>{1, 3, 3, 0, 0, 0, 0}));
}

TEST(CodeTable, AnyCharacterOtherThanDashIsADot) {
    auto loaded = load("69,x\r\n");
    EXPECT_EQ(row(loaded.table, 69), (std::vector<int>{1, 0, 0, 0, 0, 0, 0}));
    loaded = load("79,-------\r\n");
    EXPECT_EQ(loaded.table.decodeTree[254], "O");
}

TEST(CodeTable, InputFieldRules) {
    // Blanks around fields, tabs inside them, quotes, LF-only and CR-only line ends.
    auto loaded = load("  65 , .-\n66,\t-...\r67,\"-.-.\"\r\n68,-..");
    EXPECT_EQ(loaded.table.decodeTree[4], "A");
    EXPECT_EQ(loaded.table.decodeTree[23], "B");
    EXPECT_EQ(loaded.table.decodeTree[25], "C");
    EXPECT_EQ(loaded.table.decodeTree[11], "D");
    EXPECT_TRUE(loaded.messages.empty());
    // A third field puts the records out of step: it is read as the next record's code.
    loaded = load("65,.-,66\r\n-...\r\n");
    EXPECT_EQ(loaded.table.decodeTree[4], "A");
    EXPECT_EQ(loaded.table.decodeTree[23], "B");
}

TEST(FieldReader, NumbersRoundAndNonNumbersReadAsZero) {
    FieldReader reader("65.5,x\r\n66.5,y\r\nabc,z\r\n");
    EXPECT_EQ(reader.readNumberField(), 66);
    EXPECT_EQ(reader.readTextField(), "x");
    EXPECT_EQ(reader.readNumberField(), 66);
    EXPECT_EQ(reader.readTextField(), "y");
    EXPECT_EQ(reader.readNumberField(), 0);
    EXPECT_EQ(reader.readTextField(), "z");
    EXPECT_TRUE(reader.atEnd());
}

TEST(LoadCodeTable, MissingOrUnreadableFileIsReportedAsMissing) {
    auto dir = std::filesystem::temp_directory_path() / "keytut-cde-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    CodeTable table;
    CollectingMessageSink sink;
    EXPECT_FALSE(loadCodeTable(table, dir, sink));
    // A folder of that name cannot be read either.
    std::filesystem::create_directories(dir / "KEYTUT.CDE");
    EXPECT_FALSE(loadCodeTable(table, dir, sink));
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{"File KEYTUT.CDE missing", "File KEYTUT.CDE missing"}));
    std::filesystem::remove_all(dir / "KEYTUT.CDE");
    std::ofstream(dir / "KEYTUT.CDE") << "84,-\r\n";
    EXPECT_TRUE(loadCodeTable(table, dir, sink));
    EXPECT_EQ(table.decodeTree[2], "T");
    std::filesystem::remove_all(dir);
}
