#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/code_table.h"
#include "core/data_files.h"
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

TEST(CodeTable, AfterTenFaultyLinesOneMessageCountsTheRest) {
    // Line 1 has both faults (two boxes), lines 2 to 10 one each, then 2,500 faulty lines
    // around a good one, as in a damaged or binary file.
    std::string contents = "300,........\r\n";
    for (int line = 2; line <= 10; ++line)
        contents += "999,.\r\n";
    for (int line = 0; line < 2500; ++line)
        contents += "70,..-.-.-.\r\n";
    contents += "65,.-\r\n";
    auto loaded = load(contents);
    ASSERT_EQ(loaded.messages.size(), 12u);
    EXPECT_EQ(loaded.messages[0], "Faulty ASCII code on line 1");
    EXPECT_EQ(loaded.messages[1], "Too many code elements on line 1");
    EXPECT_EQ(loaded.messages[10], "Faulty ASCII code on line 10");
    EXPECT_EQ(loaded.messages[11], "2500 more faulty lines in KEYTUT.CDE");
    // The faults not shown are still handled as shown ones: F keeps its first seven elements.
    EXPECT_EQ(row(loaded.table, 70), (std::vector<int>{1, 1, 3, 1, 3, 1, 3}));
    EXPECT_EQ(loaded.table.decodeTree[4], "A");

    CollectingMessageSink sink;
    CodeTable table;
    std::string eleven;
    for (int line = 1; line <= 11; ++line)
        eleven += "-1,.\r\n";
    loadCodeTableFrom(table, eleven, sink, "OTHER.CDE");
    ASSERT_EQ(sink.messages.size(), 11u);
    EXPECT_EQ(sink.messages.back(), "1 more faulty line in OTHER.CDE");
}

TEST(CodeTable, ShippedTableSoundsLowerCaseLikeCapitalsAndDecodesToCapitals) {
    CodeTable table;
    CollectingMessageSink sink;
    ASSERT_TRUE(loadCodeTable(table, KEYTUT_DATA_DIR, sink));
    EXPECT_TRUE(sink.messages.empty());
    for (char upper = 'A'; upper <= 'Z'; ++upper) {
        const char lower = static_cast<char>(upper - 'A' + 'a');
        EXPECT_NE(row(table, upper)[0], 0) << upper;
        EXPECT_EQ(row(table, lower), row(table, upper)) << lower;
        int n = 0;
        for (int element : row(table, upper)) {
            if (element == 0)
                break;
            n = 2 * n + (element == kDash ? 2 : 1);
        }
        EXPECT_EQ(table.decodeTree[n], std::string(1, upper));
    }
}

TEST(LoadCodeTable, HugeTableOrFifoEndsLoadingWithAMessage) {
    auto dir =
        std::filesystem::temp_directory_path() / ("keytut-cde-huge-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "KEYTUT.CDE").close();
    std::filesystem::resize_file(dir / "KEYTUT.CDE", 3'000'000'000ull);  // sparse
    CodeTable table;
    CollectingMessageSink sink;
    EXPECT_FALSE(loadCodeTable(table, dir, sink));
    std::filesystem::remove(dir / "KEYTUT.CDE");
    ASSERT_EQ(::mkfifo((dir / "KEYTUT.CDE").c_str(), 0600), 0);
    ::alarm(20);  // a loader that blocks on the FIFO ends the test instead of hanging it
    EXPECT_FALSE(loadCodeTable(table, dir, sink));
    ::alarm(0);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"File KEYTUT.CDE too large (over 16 MB)",
                                                       "File KEYTUT.CDE missing"}));
    std::filesystem::remove_all(dir);
}
