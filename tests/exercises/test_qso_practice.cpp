#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "exercises/qso_practice.h"
#include "temp_folder.h"

using namespace keytut;
using keytut::testing::TempFolder;

namespace {
// A file of `count` QSOs, each a start line and `extra` more lines, the last ending the over.
std::string qsoFileText(int count, int extra, const char* lineEnd = "\r\n") {
    std::string text;
    for (int q = 1; q <= count; ++q) {
        text += "+ CQ " + std::to_string(q) + lineEnd;
        for (int i = 1; i <= extra; ++i)
            text += "Q" + std::to_string(q) + " L" + std::to_string(i) + (i == extra ? " KN" : "") +
                    lineEnd;
    }
    return text;
}

QsoFile named(QsoFile file, std::string name = "MORSE1.TXT") {
    file.name = std::move(name);
    return file;
}
}  // namespace

TEST(QsoFile, WholeQsosAndStartLinesWithEveryLineEnd) {
    // A stray line before the first start line belongs to no QSO; empty lines are skipped.
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string text = std::string("stray") + end + "+ CQ DE G4XQZ K" + end + end +
                           "G4XQZ DE M0KVT @" + end + "HW? =" + end + "+ CQ AGN" + end;
        QsoFile file = parseQsoFile(text);
        ASSERT_EQ(file.lines.size(), 5u);
        EXPECT_EQ(file.starts, (std::vector<std::size_t>{1, 4}));
        EXPECT_EQ(file.qsoText(0), "+ CQ DE G4XQZ K\r\nG4XQZ DE M0KVT @\r\nHW? =");
        EXPECT_EQ(file.qsoText(1), "+ CQ AGN");
    }
}

TEST(QsoFile, DisplayCopySpellsProsignsAndRunRuleIsExact) {
    EXPECT_EQ(qsoDisplayText("+ CQ 5/9 ="), " C T  CQ 5 slash 9  B T ");
    EXPECT_EQ(qsoDisplayText("R @ 73 !"), "R  A R  73  V A ");
    EXPECT_TRUE(endsOver("M0KVT DE G4XQZ KN"));
    EXPECT_FALSE(endsOver("M0KVT DE G4XQZ KN "));  // a trailing blank does not end the over
    EXPECT_FALSE(endsOver("M0KVT DE G4XQZ kn"));
    EXPECT_TRUE(endsOver("73 ! E E"));
}

TEST(QsoFile, LargeFilesLoadWholeAndQuickly) {
    TempFolder folder;
    // 12,000 QSOs of three lines (36,000 lines) and one QSO with a line of a megabyte and more.
    std::string text = qsoFileText(12000, 2) + "+ " + std::string(1'500'000, 'E') + "\r\n";
    folder.write("MORSEBIG.TXT", text);
    auto started = std::chrono::steady_clock::now();
    QsoLoad load = loadQsoFile(folder.path, "MORSEBIG.TXT");
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - started)
                  .count();
    std::cout << "[ figures  ] loaded " << text.size() << " bytes, " << load.file.lines.size()
              << " lines, " << load.file.qsoCount() << " QSOs in " << ms << " ms\n";
    EXPECT_TRUE(load.message.empty());
    EXPECT_EQ(load.file.qsoCount(), 12001u);
    EXPECT_EQ(load.file.qsoText(11999), "+ CQ 12000\r\nQ12000 L1\r\nQ12000 L2 KN");
    // The long line is cut into pieces of a megabyte: still one QSO, nothing lost.
    EXPECT_EQ(load.file.qsoText(12000).size(), 1'500'002u + 2u);

    // Every QSO can be drawn, the ones past 9,999 too.
    WholeQsos qsos;
    qsos.load(std::move(load.file));
    Random random(5);
    int highest = 0;
    for (int i = 0; i < 3000; ++i) {
        qsos.sendQso(random);
        highest = std::max(highest, qsos.lastQso());
    }
    EXPECT_GT(highest, 9999);
}

TEST(QsoFile, FaultsOfTheListedFileAreMessages) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path / "MORSEDIR.TXT");
    EXPECT_EQ(loadQsoFile(folder.path, "MORSEDIR.TXT").message,
              "MORSEDIR.TXT is a folder, not a file");
    EXPECT_EQ(loadQsoFile(folder.path, "MORSEGONE.TXT").message, "File MORSEGONE.TXT missing");
    QsoLoad none = loadQsoFile(folder.path, "");
    EXPECT_TRUE(none.message.empty());
    EXPECT_TRUE(none.file.name.empty());
}

TEST(QsoFile, TheFileListIsAlphabeticalWhateverTheCase) {
    EXPECT_EQ(sortedQsoFiles({"MORSE3.TXT", "morse2.txt", "MORSE1.TXT"}),
              (std::vector<std::string>{"MORSE1.TXT", "morse2.txt", "MORSE3.TXT"}));
}

TEST(WholeQsos, ReturnWithFewerThanTwoQsosNeverDrawsForEver) {
    Random random(1);
    WholeQsos qsos;
    // No file listed, then a file without a start line.
    QsoUpdate none = qsos.sendQso(random);
    EXPECT_FALSE(none.send);
    EXPECT_EQ(none.lineBox, "No Q S O file found");
    EXPECT_TRUE(none.speakLineBox);
    qsos.load(named(parseQsoFile("no start line here\r\n")));
    EXPECT_EQ(qsos.sendQso(random).lineBox, "No Q S Os in this file");
    // One QSO: sent again on every Return.
    qsos.load(named(parseQsoFile("+ CQ\r\nK\r\n")));
    for (int i = 0; i < 3; ++i) {
        QsoUpdate update = qsos.sendQso(random);
        EXPECT_EQ(update.send, "+ CQ\r\nK");
        EXPECT_EQ(update.lineBox, "");
        EXPECT_FALSE(update.speakLineBox);
    }
}

TEST(WholeQsos, NeverTheSameQsoTwiceRunningButAnyAfterALoad) {
    Random random(9);
    WholeQsos qsos;
    QsoFile three = named(parseQsoFile(qsoFileText(3, 1)));
    qsos.load(three);
    std::set<int> seen;
    int previous = 0;
    for (int i = 0; i < 300; ++i) {
        qsos.sendQso(random);
        EXPECT_NE(qsos.lastQso(), previous);
        previous = qsos.lastQso();
        seen.insert(previous);
    }
    EXPECT_EQ(seen.size(), 3u);
    // After a load there is no previous QSO: the same number may come first.
    std::set<int> firsts;
    for (int i = 0; i < 60; ++i) {
        qsos.load(three);
        EXPECT_EQ(qsos.lastQso(), 0);
        qsos.sendQso(random);
        firsts.insert(qsos.lastQso());
    }
    EXPECT_EQ(firsts.size(), 3u);
}

TEST(WholeQsos, ThirtyFiveLineQsoIsSentWholeAndReadBackToLineThirty) {
    Random random(2);
    WholeQsos qsos;
    qsos.load(named(parseQsoFile(qsoFileText(1, 34))));
    QsoUpdate sent = qsos.sendQso(random);
    ASSERT_TRUE(sent.send);
    EXPECT_EQ(std::count(sent.send->begin(), sent.send->end(), '\n'), 34);  // all 35 lines

    EXPECT_FALSE(qsos.lineUp().acted);  // nothing shown yet
    QsoUpdate first = qsos.lineDown();
    EXPECT_EQ(first.lineBox, " C T  CQ 1");
    EXPECT_TRUE(first.speakLineBox);
    EXPECT_FALSE(qsos.lineUp().acted);  // Ctrl+Up on line 1 does nothing
    for (int line = 2; line <= 30; ++line)
        ASSERT_TRUE(qsos.lineDown().acted) << line;
    EXPECT_EQ(qsos.shownLine(), 30);
    EXPECT_FALSE(qsos.lineDown().acted);  // line 31 is not shown
    EXPECT_EQ(qsos.lineUp().lineBox, "Q1 L28");

    // The end of the sending empties the box and focuses it; the line read stays where it was.
    QsoUpdate done = qsos.sendDone();
    EXPECT_EQ(done.lineBox, "");
    EXPECT_TRUE(done.focusLineBox);
    EXPECT_EQ(qsos.lineDown().lineBox, "Q1 L29");
    // The end of a text this screen did not start (a second notice) moves nothing.
    EXPECT_FALSE(qsos.sendDone().acted);
}

namespace {
// Plays what a run sends as the sender would: each text sent is "played", then lineSent().
struct RunDriver {
    QsoRuns runs;
    Random random{3};
    std::vector<std::string> sent;
    std::vector<std::string> list;
    std::vector<int> tops;
    int restarts = 0;

    void apply(const QsoRunUpdate& update) {
        if (update.addLine)
            list.push_back(*update.addLine);
        if (update.topIndex)
            tops.push_back(*update.topIndex);
        if (update.send)
            sent.push_back(*update.send);
        if (update.restart)
            ++restarts;
    }
    // Lets the lines play until the run ends; returns whether a restart was asked for.
    bool playRun() {
        int before = restarts;
        while (runs.running())
            apply(runs.lineSent());
        return restarts > before;
    }
};
}  // namespace

TEST(QsoRuns, TheKnRuleWithAndWithoutATrailingBlank) {
    RunDriver driver;
    // The only start line ends in "KN": a run of one line. The line after it ends in "KN "
    // and would not end a run.
    driver.runs.load(named(parseQsoFile("+ CQ DE G4XQZ KN\r\nG4XQZ DE M0KVT KN \r\nBK !\r\n")));
    driver.apply(driver.runs.start(driver.random));
    EXPECT_TRUE(driver.playRun());
    EXPECT_EQ(driver.sent, std::vector<std::string>{"+ CQ DE G4XQZ KN "});
    EXPECT_EQ(driver.list, std::vector<std::string>{"+ CQ DE G4XQZ KN"});

    driver.runs.load(named(parseQsoFile("+ CQ DE G4XQZ\r\nG4XQZ DE M0KVT KN \r\nBK !\r\n")));
    driver.sent.clear();
    driver.apply(driver.runs.start(driver.random));
    driver.playRun();
    // Each line is followed by a blank: a word space between the lines.
    EXPECT_EQ(driver.sent,
              (std::vector<std::string>{"+ CQ DE G4XQZ ", "G4XQZ DE M0KVT KN  ", "BK ! "}));
}

TEST(QsoRuns, StopLetsTheRunEndAndStartBeginsAgain) {
    RunDriver driver;
    driver.runs.load(named(parseQsoFile(qsoFileText(2, 3))));
    driver.apply(driver.runs.start(driver.random));
    driver.apply(driver.runs.lineSent());
    driver.runs.stop();
    EXPECT_FALSE(driver.playRun());  // the run played to its stop line, no restart
    EXPECT_EQ(driver.sent.size(), 4u);
    EXPECT_TRUE(driver.list.back().ends_with("KN"));
    EXPECT_FALSE(driver.runs.lineSent().acted);  // nothing more
    // A restart posted before Stop is not honoured after it.
    EXPECT_FALSE(driver.runs.restart(driver.random).acted);
    driver.apply(driver.runs.start(driver.random));
    EXPECT_TRUE(driver.runs.running());
    EXPECT_TRUE(driver.playRun());  // without Stop the run asks for the next one
    driver.apply(driver.runs.restart(driver.random));
    EXPECT_TRUE(driver.runs.running());
}

TEST(QsoRuns, ChangingFileStopsRestartsAndTheRunEndsInItsOwnFile) {
    RunDriver driver;
    driver.runs.load(named(parseQsoFile(qsoFileText(1, 2))));
    driver.apply(driver.runs.start(driver.random));
    driver.runs.load(named(parseQsoFile("+ OTHER FILE\r\nNEW LINE\r\nNEW KN\r\n"), "MORSE2.TXT"));
    EXPECT_FALSE(driver.playRun());
    EXPECT_EQ(driver.list, (std::vector<std::string>{"+ CQ 1", "Q1 L1", "Q1 L2 KN"}));
    driver.apply(driver.runs.start(driver.random));
    EXPECT_EQ(driver.sent.back(), "+ OTHER FILE ");
}

TEST(QsoRuns, NoStartLineSaysSoAndTheEndOfTheFileEndsARun) {
    RunDriver driver;
    driver.apply(driver.runs.start(driver.random));
    EXPECT_EQ(driver.list, std::vector<std::string>{"No QSO file found"});
    driver.runs.load(named(parseQsoFile("just text\r\nno start\r\n")));
    driver.apply(driver.runs.start(driver.random));
    EXPECT_EQ(driver.list.back(), "No QSO start line (+) in this file");
    EXPECT_TRUE(driver.sent.empty());
    EXPECT_FALSE(driver.runs.running());

    // A run without an end line stops at the last line instead of wrapping round.
    driver.runs.load(named(parseQsoFile("before\r\n+ CQ\r\nnever ends\r\n")));
    driver.apply(driver.runs.start(driver.random));
    EXPECT_TRUE(driver.playRun());
    EXPECT_EQ(driver.sent, (std::vector<std::string>{"+ CQ ", "never ends "}));
}

TEST(QsoRuns, ListKeepsItsLast32LinesInView) {
    RunDriver driver;
    driver.runs.load(named(parseQsoFile(qsoFileText(1, 39))));  // one run of 40 lines
    driver.apply(driver.runs.start(driver.random));
    driver.playRun();
    ASSERT_EQ(driver.list.size(), 40u);
    // Lines 1 to 32 fit; from the 33rd on the top entry moves one line per line.
    ASSERT_EQ(driver.tops.size(), 8u);
    EXPECT_EQ(driver.tops.front(), 1);
    EXPECT_EQ(driver.tops.back(), 8);
}
