#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "exercises/file_sending.h"
#include "temp_folder.h"

using namespace keytut;
using keytut::testing::TempFolder;

namespace {
int openDescriptors() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

// Plays each line as the sender would and collects what the screen is asked to do.
struct FileDriver {
    explicit FileDriver(int inView = kFileListLinesInView) : sending(inView) {}
    FileSending sending;
    std::vector<std::string> sent, list;
    std::vector<int> tops;
    int beeps = 0;
    bool finished = false;
    std::optional<std::string> message;

    void apply(const FileUpdate& update) {
        beeps += update.beep;
        if (update.message)
            message = update.message;
        if (update.addLine)
            list.push_back(*update.addLine);
        if (update.topIndex)
            tops.push_back(*update.topIndex);
        if (update.send)
            sent.push_back(*update.send);
        finished = finished || update.finished;
    }
    void playToEnd() {
        while (sending.sending())
            apply(sending.lineSent());
    }
};
}  // namespace

TEST(FileSending, LinesAreSentWithABlankAndAnEmptyLineIsAWordSpace) {
    TempFolder folder;
    folder.write("text.txt", "CQ CQ\r\n\r\nDE G4XQZ\n");
    FileDriver driver;
    driver.apply(driver.sending.start(folder.path, "text.txt"));
    EXPECT_TRUE(driver.sending.fileOpen());
    driver.playToEnd();
    EXPECT_EQ(driver.sent, (std::vector<std::string>{"CQ CQ ", " ", "DE G4XQZ "}));
    EXPECT_EQ(driver.list, driver.sent);  // the list shows each line with its blank
    EXPECT_TRUE(driver.finished);
    EXPECT_FALSE(driver.sending.fileOpen());  // closed at the end of the file
    EXPECT_FALSE(driver.sending.lineSent().acted);
}

TEST(FileSending, NamesAreFoundInTheFolderOrByTheirPath) {
    TempFolder folder;
    folder.write("Notes.TXT", "x\n");
    std::filesystem::create_directory(folder.path / "sub");
    folder.write("sub/inner.txt", "y\n");
    EXPECT_EQ(findSendFile(folder.path, "Notes.TXT"), folder.path / "Notes.TXT");
    EXPECT_EQ(findSendFile(folder.path, "notes.txt"), folder.path / "Notes.TXT");
    EXPECT_EQ(findSendFile(folder.path, "sub/inner.txt"), folder.path / "sub/inner.txt");
    EXPECT_EQ(findSendFile("/nowhere", (folder.path / "sub/inner.txt").string()),
              folder.path / "sub/inner.txt");
    EXPECT_EQ(findSendFile(folder.path, "inner.txt"), std::nullopt);
    EXPECT_EQ(findSendFile(folder.path, ""), std::nullopt);
    EXPECT_EQ(findSendFile(folder.path, "*.TXT"), std::nullopt);  // no wildcards
}

TEST(FileSending, NoFileBeepsAndSaysItIsMissingEachTimeAndTheFileBeingSentGoesOn) {
    TempFolder folder;
    folder.write("a.txt", "ONE\nTWO\n");
    FileDriver driver;
    driver.apply(driver.sending.start(folder.path, "a.txt"));
    for (int i = 0; i < 2; ++i)
        driver.apply(driver.sending.start(folder.path, "nothing.txt"));
    EXPECT_EQ(driver.beeps, 2);
    EXPECT_EQ(driver.message, "File nothing.txt missing");
    driver.message.reset();
    driver.apply(driver.sending.start(folder.path, ""));  // nothing typed: only the beep
    EXPECT_EQ(driver.beeps, 3);
    EXPECT_FALSE(driver.message);
    driver.playToEnd();
    EXPECT_EQ(driver.list, (std::vector<std::string>{"ONE ", "TWO "}));
}

TEST(FileSending, FilesThatCannotBeReadGiveAMessageAndNeverWait) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path / "docs");
    ASSERT_EQ(::mkfifo((folder.path / "pipe").c_str(), 0600), 0);
    FileDriver driver;
    driver.apply(driver.sending.start(folder.path, "docs"));
    EXPECT_EQ(driver.message, "docs is a folder, not a file");
    driver.apply(driver.sending.start(folder.path, "pipe"));
    EXPECT_EQ(driver.message, "pipe is not a text file");
    driver.apply(driver.sending.start(folder.path, "/dev/zero"));
    EXPECT_EQ(driver.message, "/dev/zero is not a text file");
    EXPECT_TRUE(driver.sent.empty());
    EXPECT_EQ(driver.beeps, 0);
    EXPECT_FALSE(driver.sending.fileOpen());
}

TEST(FileSending, StartWhileSendingClosesTheFirstFile) {
    TempFolder folder;
    folder.write("first.txt", "F1\nF2\nF3\n");
    folder.write("second.txt", "S1\nS2\n");
    int before = openDescriptors();
    FileDriver driver;
    driver.apply(driver.sending.start(folder.path, "first.txt"));
    driver.apply(driver.sending.lineSent());
    EXPECT_EQ(openDescriptors(), before + 1);
    driver.apply(driver.sending.start(folder.path, "second.txt"));
    EXPECT_EQ(openDescriptors(), before + 1);  // one file open: the second
    driver.playToEnd();
    // F2 was sounding when the second file started: it was cut off and is not listed.
    EXPECT_EQ(driver.list, (std::vector<std::string>{"F1 ", "S1 ", "S2 "}));
    EXPECT_EQ(openDescriptors(), before);
    driver.apply(driver.sending.start(folder.path, "first.txt"));
    driver.sending.close();  // the window closes in the middle of a file
    EXPECT_EQ(openDescriptors(), before);
}

TEST(FileSending, ListKeepsItsLast29LinesInViewAcrossStarts) {
    TempFolder folder;
    std::string forty;
    for (int i = 1; i <= 40; ++i)
        forty += "LINE " + std::to_string(i) + "\n";
    folder.write("forty.txt", forty);
    folder.write("three.txt", "A\nB\nC\n");
    FileDriver driver;
    driver.apply(driver.sending.start(folder.path, "forty.txt"));
    driver.playToEnd();
    // The 30th line is the first to move the top entry, one entry per line.
    ASSERT_EQ(driver.tops.size(), 11u);
    EXPECT_EQ(driver.tops.front(), 1);
    EXPECT_EQ(driver.tops.back(), 11);
    // A second file's lines follow in the same list and stay in view.
    driver.apply(driver.sending.start(folder.path, "three.txt"));
    driver.playToEnd();
    EXPECT_EQ(driver.list.size(), 43u);
    EXPECT_EQ(driver.tops.back(), 43 - 29);
}

TEST(FileSending, LongFilesAndLinesStreamThrough) {
    TempFolder folder;
    std::string text(2'000'000, 'E');
    text += "\n";
    for (int i = 0; i < 12000; ++i)
        text += "L\r\n";
    folder.write("long.txt", text);
    FileDriver driver(0);
    driver.apply(driver.sending.start(folder.path, "long.txt"));
    driver.playToEnd();
    ASSERT_EQ(driver.list.size(), 2u + 12000u);  // the 2 MB line in two pieces of a megabyte
    EXPECT_EQ(driver.list[0].size(), kMaxLineBytes + 1);
    EXPECT_EQ(driver.list[2], "L ");
    EXPECT_TRUE(driver.tops.empty());  // Earkey's list is left alone
}
