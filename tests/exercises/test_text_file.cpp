#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "exercises/text_file.h"
#include "temp_folder.h"

using namespace keytut;
using keytut::testing::TempFolder;

namespace {
std::vector<std::string> allLines(LineSplitter& splitter) {
    std::vector<std::string> lines;
    while (auto line = splitter.next())
        lines.push_back(*line);
    return lines;
}
}  // namespace

TEST(LineSplitter, AcceptsEveryLineEndEvenSplitBetweenPieces) {
    const std::string text = "one\r\ntwo\nthree\rfour\r\n\r\nsix";
    const std::vector<std::string> expected{"one", "two", "three", "four", "", "six"};
    // Fed whole, and a byte at a time (a CR LF split between two reads is one line end).
    LineSplitter whole;
    whole.feed(text);
    whole.finish();
    EXPECT_EQ(allLines(whole), expected);
    LineSplitter bytewise;
    for (char c : text)
        bytewise.feed(std::string_view(&c, 1));
    bytewise.finish();
    EXPECT_EQ(allLines(bytewise), expected);
    // A final line end makes no extra line; a lone CR at the end is one line end.
    LineSplitter trailing;
    trailing.feed("a\r");
    trailing.finish();
    EXPECT_EQ(allLines(trailing), std::vector<std::string>{"a"});
}

TEST(LineSplitter, CutsOverlongLinesWithoutInventingEmptyOnes) {
    LineSplitter splitter(4);
    splitter.feed("abcd\r\nabcdefghij\nxy");
    splitter.finish();
    // "abcd" fills a piece exactly: its CR LF ends it, no empty line follows.
    EXPECT_EQ(allLines(splitter), (std::vector<std::string>{"abcd", "abcd", "efgh", "ij", "xy"}));
}

TEST(TextFile, OnlyRegularFilesAreOpenedAndNothingWaits) {
    TempFolder folder;
    folder.write("plain.txt", "line one\r\nline two\r\n");
    std::filesystem::create_directory(folder.path / "folder");
    ASSERT_EQ(::mkfifo((folder.path / "fifo").c_str(), 0600), 0);

    LineReader reader;
    EXPECT_EQ(reader.open(folder.path / "missing.txt"), TextFileFault::Missing);
    EXPECT_EQ(reader.open(folder.path / "folder"), TextFileFault::Folder);
    // A FIFO with no writer: opening for reading would wait for ever.
    EXPECT_EQ(reader.open(folder.path / "fifo"), TextFileFault::NotAFile);
    EXPECT_EQ(reader.open("/dev/zero"), TextFileFault::NotAFile);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(readRegularFile(folder.path / "fifo", 100).fault, TextFileFault::NotAFile);

    ASSERT_EQ(reader.open(folder.path / "plain.txt"), TextFileFault::None);
    EXPECT_EQ(reader.nextLine(), "line one");
    EXPECT_TRUE(reader.isOpen());
    EXPECT_EQ(reader.nextLine(), "line two");
    EXPECT_EQ(reader.nextLine(), std::nullopt);
    EXPECT_FALSE(reader.isOpen());  // closed at the end of the file

    if (::geteuid() != 0) {  // root reads every file
        folder.write("secret.txt", "x");
        ::chmod((folder.path / "secret.txt").c_str(), 0);
        EXPECT_EQ(reader.open(folder.path / "secret.txt"), TextFileFault::Unreadable);
    }
    EXPECT_EQ(fileFaultMessage(TextFileFault::Missing, "MORSE9.TXT"), "File MORSE9.TXT missing");
    EXPECT_EQ(fileFaultMessage(TextFileFault::Folder, "notes"), "notes is a folder, not a file");
}

TEST(TextFile, AFileOverTheLimitIsRefusedUnread) {
    TempFolder folder;
    folder.write("big.txt", std::string(1000, 'A'));
    auto all = readRegularFile(folder.path / "big.txt", 1000);
    EXPECT_EQ(all.fault, TextFileFault::None);
    EXPECT_EQ(all.bytes.size(), 1000u);
    auto over = readRegularFile(folder.path / "big.txt", 999);
    EXPECT_EQ(over.fault, TextFileFault::TooLarge);
    EXPECT_TRUE(over.bytes.empty());
    EXPECT_EQ(fileFaultMessage(TextFileFault::TooLarge, "MORSE4.TXT"),
              "File MORSE4.TXT too large (over 16 MB)");
}

// A file read line by line is read as it was when it was opened, never spliced with what it
// holds after being rewritten.
TEST(TextFile, ARewrittenFileIsNeverSpliced) {
    TempFolder folder;
    const auto path = folder.path / "sent.txt";
    auto rewrite = [&](const std::string& text) {
        // In place, as a shell's > does: the same file, truncated and written again.
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    };
    // Read whole before it changed: the lines are the old ones, and nothing of the new follows.
    folder.write("sent.txt", "E\nT\nM\n");
    LineReader reader;
    ASSERT_EQ(reader.open(path), TextFileFault::None);
    EXPECT_EQ(reader.nextLine(), "E");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a later modification time
    rewrite("TTTTTT\nI\n");
    EXPECT_EQ(reader.nextLine(), "T");
    EXPECT_EQ(reader.nextLine(), "M");
    EXPECT_EQ(reader.nextLine(), std::nullopt);
    EXPECT_EQ(reader.fault(), TextFileFault::None);

    // Changed before anything of it was read: nothing is read, and the reader says why.
    folder.write("sent.txt", "E\n");
    ASSERT_EQ(reader.open(path), TextFileFault::None);
    std::ofstream(path, std::ios::binary | std::ios::app) << "T\n";
    EXPECT_EQ(reader.nextLine(), std::nullopt);
    EXPECT_EQ(reader.fault(), TextFileFault::Changed);

    // Rewritten while a part is still unread: reading stops there and says why.
    const std::string line(100'000, 'E');  // longer than one read
    folder.write("sent.txt", "E\n" + line + "\nT\n");
    ASSERT_EQ(reader.open(path), TextFileFault::None);
    EXPECT_EQ(reader.nextLine(), "E");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    rewrite("TTTTTT\n" + std::string(100'000, 'I') + "\nI\n");
    EXPECT_EQ(reader.nextLine(), std::nullopt);
    EXPECT_EQ(reader.fault(), TextFileFault::Changed);
    EXPECT_FALSE(reader.isOpen());
    // Opened again, it is read as it is now.
    ASSERT_EQ(reader.open(path), TextFileFault::None);
    EXPECT_EQ(reader.fault(), TextFileFault::None);
    EXPECT_EQ(reader.nextLine(), "TTTTTT");
}
