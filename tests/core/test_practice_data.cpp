#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "core/data_files.h"
#include "core/practice_data.h"
#include "tests/editions.h"

using namespace keytut;

namespace {

class TempFolder {
  public:
    TempFolder() {
        path_ =
            std::filesystem::temp_directory_path() /
            ("keytut-data-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    void write(const std::string& name, const std::string& contents) const {
        std::ofstream(path_ / name, std::ios::binary) << contents;
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace

TEST(WordList, CommasAndLinesSeparateWordsAndKeyviewAppendsABlank) {
    EXPECT_EQ(parseWordList("cat,dog,pig\r\nTHE\r\n", profileOf(Edition::Earkey).wordEnding),
              (std::vector<std::string>{"cat", "dog", "pig", "THE"}));
    EXPECT_EQ(parseWordList("cat,dog,pig\r\n", profileOf(Edition::Keyview).wordEnding),
              (std::vector<std::string>{"cat ", "dog ", "pig "}));
    // Leading blanks skipped, quoted fields kept whole, empty fields and lines are no words.
    EXPECT_EQ(
        parseWordList("  AND\r\n\"A,B\"\r\n\r\n,,OR\n", profileOf(Edition::Earkey).wordEnding),
        (std::vector<std::string>{"AND", "A,B", "OR"}));
}

TEST(WordList, AtMostTwoThousandWordsAreKept) {
    std::string contents;
    for (int i = 0; i < 2500; ++i)
        contents += "W" + std::to_string(i) + "\r\n";
    auto words = parseWordList(contents, profileOf(Edition::Earkey).wordEnding);
    ASSERT_EQ(words.size(), 2000u);
    EXPECT_EQ(words.front(), "W0");
    EXPECT_EQ(words.back(), "W1999");
}

TEST(LessonGroups, OneGroupPerLineAtMostEleven) {
    EXPECT_EQ(parseLessonGroups("ETIM\r\nANSO\r\n"), (std::vector<std::string>{"ETIM", "ANSO"}));
    std::string twelve;
    for (int i = 1; i <= 12; ++i)
        twelve += "G" + std::to_string(i) + "\r\n";
    auto groups = parseLessonGroups(twelve);
    ASSERT_EQ(groups.size(), 11u);
    EXPECT_EQ(groups[9], "G10");
    EXPECT_EQ(groups[10], "G11");
    // A blank line does not become a lesson without characters.
    EXPECT_EQ(parseLessonGroups("ET\n\n  \nAN"), (std::vector<std::string>{"ET", "AN"}));
}

TEST(PracticeData, MissingFilesAreReportedAndTheRestLoads) {
    TempFolder folder;
    folder.write("KEYTUT.GRP", "ETIM\r\n1234567890\r\n+@!=/.,?\r\n");
    folder.write("MORSE1.TXT", "+ CQ\r\n");
    folder.write("morse2.txt", "+ CQ\r\n");
    folder.write("MORSEX", "no dot, no match\r\n");
    std::filesystem::create_directories(folder.path() / "MORSE3.DIR");
    PracticeData data;
    CollectingMessageSink sink;
    loadPracticeData(data, folder.path(), profileOf(Edition::Earkey).wordEnding, sink);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"File KEYTUT.WRD missing"}));
    EXPECT_TRUE(data.wordList.empty());
    EXPECT_EQ(data.lessonGroups.size(), 3u);
    EXPECT_EQ(std::set<std::string>(data.qsoFiles.begin(), data.qsoFiles.end()),
              (std::set<std::string>{"MORSE1.TXT", "morse2.txt"}));

    // A group file that exists but cannot be read is reported like a missing one.
    std::filesystem::remove(folder.path() / "KEYTUT.GRP");
    std::filesystem::create_directories(folder.path() / "KEYTUT.GRP");
    folder.write("KEYTUT.WRD", "THE\r\n");
    sink.messages.clear();
    loadPracticeData(data, folder.path(), profileOf(Edition::Keyview).wordEnding, sink);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"File KEYTUT.GRP missing"}));
    EXPECT_TRUE(data.lessonGroups.empty());
    EXPECT_EQ(data.wordList, (std::vector<std::string>{"THE "}));
}

TEST(PracticeData, HugeFilesAndFifosAreRefusedByNameAndTheRestLoads) {
    TempFolder folder;
    // 3 GB of nothing (a sparse file): read whole, it would exhaust the memory.
    folder.write("KEYTUT.WRD", "");
    std::filesystem::resize_file(folder.path() / "KEYTUT.WRD", 3'000'000'000ull);
    // A FIFO with no writer blocks an ordinary open for ever.
    ASSERT_EQ(::mkfifo((folder.path() / "KEYTUT.GRP").c_str(), 0600), 0);
    folder.write("MORSE1.TXT", "+ CQ\r\n");
    ::alarm(20);  // a loader that blocks on the FIFO ends the test instead of hanging it
    PracticeData data;
    CollectingMessageSink sink;
    loadPracticeData(data, folder.path(), profileOf(Edition::Earkey).wordEnding, sink);
    ::alarm(0);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"File KEYTUT.WRD too large (over 16 MB)",
                                                       "File KEYTUT.GRP missing"}));
    EXPECT_TRUE(data.wordList.empty());
    EXPECT_TRUE(data.lessonGroups.empty());
    EXPECT_EQ(data.qsoFiles, (std::vector<std::string>{"MORSE1.TXT"}));

    // The limit itself is still read; one byte more is not.
    std::filesystem::resize_file(folder.path() / "KEYTUT.WRD", kMaxDataFileBytes);
    DataFile atLimit = loadDataFile(folder.path() / "KEYTUT.WRD");
    ASSERT_TRUE(atLimit.contents);
    EXPECT_EQ(atLimit.contents->size(), kMaxDataFileBytes);
    std::filesystem::resize_file(folder.path() / "KEYTUT.WRD", kMaxDataFileBytes + 1);
    DataFile over = loadDataFile(folder.path() / "KEYTUT.WRD");
    EXPECT_FALSE(over.contents);
    EXPECT_EQ(over.fault, FileFault::TooLarge);
}

TEST(PracticeData, QsoFileNamesAreCappedAt101) {
    TempFolder folder;
    for (int i = 0; i < 105; ++i)
        folder.write("MORSE" + std::to_string(i) + ".TXT", "+\r\n");
    EXPECT_EQ(findQsoFiles(folder.path()).size(), 101u);
    EXPECT_TRUE(findQsoFiles(folder.path() / "no-such-folder").empty());
}
