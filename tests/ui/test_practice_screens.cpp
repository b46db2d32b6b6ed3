// The QSO practice and file sending screens of both editions driven as a learner does, on the
// sender's virtual clock: keys and buttons, the sender's ends, what is heard and what is shown.
#include <sys/stat.h>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "earkey/practice_layouts.h"
#include "keyview/practice_layouts.h"
#include "tests/editions.h"
#include "tests/exercises/temp_folder.h"
#include "tests/ui/test_support.h"

namespace {

using namespace keytut;
using namespace keytut::ui;
using keytut::testing::TempFolder;
using keytut::ui::testing::ExerciseProgram;
using keytut::ui::testing::settle;
using keytut::ui::testing::showActive;

// A 35-line QSO: a start line, 33 lines, and a last line ending the over.
std::string longQso() {
    std::string text = "+ CQ DE G4XQZ 5/9 =\r\n";
    for (int i = 2; i <= 34; ++i)
        text += "LINE " + std::to_string(i) + "\r\n";
    text += "LINE 35 KN\r\n";
    return text;
}

// The names of the files in `folder` that this process holds open.
std::vector<std::string> openFilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        auto target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && target.parent_path() == std::filesystem::canonical(folder))
            names.push_back(target.filename().string());
    }
    return names;
}

// A program whose working directory (the folder the screens read from) is a folder of the test's
// own, holding the files it writes.
class PracticeProgram {
  public:
    explicit PracticeProgram(Edition edition)
        : saved_(std::filesystem::current_path()), program(edition, KEYTUT_DATA_DIR, 5) {
        std::filesystem::current_path(folder.path);
        program.app.setMainWindow(&owner);
    }
    ~PracticeProgram() { std::filesystem::current_path(saved_); }

    // Lists the QSO files as start-up would have found them.
    void listQsoFiles(std::vector<std::string> names) {
        program.tutor.data.qsoFiles = std::move(names);
    }

    // Plays what is queued and handles what that posts, `rounds` times at most (a Keyview run
    // restarts by itself); returns the rounds played.
    int play(int rounds = 10000) {
        int played = 0;
        for (; played < rounds; ++played) {
            settle();
            if (program.wave->queued() == 0)
                break;
            program.wave->runUntilIdle();
            settle();
        }
        return played;
    }
    // Plays the text being sent to its end, and handles its end.
    void playText() {
        program.wave->runUntilIdle();
        settle();
    }

    // What was heard, without the empty buffers of line feeds (a CR LF is one word space).
    std::string heard(std::size_t from = 0) const {
        std::string text = program.heard(from);
        std::erase(text, '_');
        return text;
    }
    std::size_t writes() const { return program.writes(); }

    TempFolder folder;

  private:
    std::filesystem::path saved_;

  public:
    QWidget owner;
    ExerciseProgram program;
};

QWidget* focused() {
    return QApplication::focusWidget();
}

void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(focused(), k, modifiers);
    settle();
}

// Whether line `row` of a list box is wholly inside the window (the list may reach below it).
bool shownInWindow(const Screen& screen, int id, int row) {
    auto* list = screen.controlAs<QListWidget>(id);
    QRect rect = list->visualItemRect(list->item(row));
    rect.moveTopLeft(list->viewport()->mapTo(&screen, rect.topLeft()));
    return rect.isValid() && screen.rect().contains(rect) &&
           list->viewport()->rect().contains(list->visualItemRect(list->item(row)));
}

std::string joined(const std::vector<std::string>& lines, const char* between = "") {
    std::string text;
    for (const auto& line : lines)
        text += (text.empty() ? "" : between) + line;
    return text;
}

// File sending: one description per edition ----------------------------------------------------

struct FileEdition {
    const char* name;
    Edition edition;
    std::function<std::unique_ptr<Screen>(App&)> open;
    std::function<int(Screen&)> beeps;
    int startButton;  // 0: Return in the name box starts
    bool focusListAtEnd;
};

void PrintTo(const FileEdition& edition, std::ostream* out) {
    *out << edition.name;
}

const FileEdition kFileEditions[] = {
    {"Earkey", Edition::Earkey,
     [](App& app) { return std::make_unique<earkey::Practice::File>(app); },
     [](Screen& s) { return static_cast<earkey::Practice::File&>(s).beeps(); }, 0, true},
    {"Keyview", Edition::Keyview,
     [](App& app) { return std::make_unique<keyview::Practice::File>(app); },
     [](Screen& s) { return static_cast<keyview::Practice::File&>(s).beeps(); },
     keyview::file::kStart, false},
};

// Both editions' file screens give their controls the same ids.
static_assert(earkey::file::kNameBox == keyview::file::kNameBox);
static_assert(earkey::file::kNameLabel == keyview::file::kNameLabel);
static_assert(earkey::file::kList == keyview::file::kList);
constexpr int kNameBox = earkey::file::kNameBox;
constexpr int kNameLabel = earkey::file::kNameLabel;
constexpr int kFileList = earkey::file::kList;

class FileScreens : public ::testing::TestWithParam<FileEdition> {
  protected:
    void SetUp() override {
        screen = GetParam().open(program.program.app);
        ASSERT_TRUE(showActive(*screen));
        settle();
    }
    void start(const std::string& name) {
        screen->setText(kNameBox, name);
        if (GetParam().startButton == 0) {
            screen->focus(kNameBox);
            key(Qt::Key_Return);
        } else {
            screen->controlAs<QPushButton>(GetParam().startButton)->click();
            settle();
        }
    }

    PracticeProgram program{GetParam().edition};
    std::unique_ptr<Screen> screen;
};

TEST_P(FileScreens, OpensWithTheNameBoxFocusedAndAListOfWhatWasSent) {
    EXPECT_EQ(screen->windowTitle().toStdString(), "Send a File");
    EXPECT_EQ(screen->focusedId(), kNameBox);
    EXPECT_EQ(screen->text(kNameLabel), "File:");
    EXPECT_EQ(screen->specOf(kFileList)->kind, ControlKind::ListBox);
}

TEST_P(FileScreens, AnEmptyLineIsAWordSpaceAndTheListShowsWhatWasHeard) {
    program.folder.write("text.txt", "CQ CQ\r\n\r\nDE G4XQZ/P\r\n");
    start("text.txt");
    program.play();
    const auto lines = screen->items(kFileList);
    EXPECT_EQ(lines, (std::vector<std::string>{"CQ CQ ", " ", "DE G4XQZ/P "}));
    // Every line heard is listed, each with its blank: a word space after each.
    EXPECT_EQ(program.heard(), joined(lines));
    if (GetParam().focusListAtEnd) {
        EXPECT_EQ(screen->focusedId(), kFileList);
        EXPECT_EQ(screen->controlAs<QListWidget>(kFileList)->currentRow(), 0);
    } else {
        EXPECT_EQ(screen->focusedId(), kNameBox);
    }
}

TEST_P(FileScreens, NamesThatFindNoReadableFileNeverHangAndTheScreenGoesOn) {
    std::filesystem::create_directory(program.folder.path / "docs");
    ASSERT_EQ(::mkfifo((program.folder.path / "pipe").c_str(), 0600), 0);
    program.folder.write("good.txt", "EE\n");
    for (int i = 0; i < 2; ++i)
        start("nothing.txt");
    EXPECT_EQ(GetParam().beeps(*screen), 2);
    start("docs");
    start("pipe");
    start("/dev/zero");
    EXPECT_EQ(program.program.messages.messages,
              (std::vector<std::string>{"File nothing.txt missing", "File nothing.txt missing",
                                        "docs is a folder, not a file", "pipe is not a text file",
                                        "/dev/zero is not a text file"}));
    EXPECT_EQ(program.writes(), 0u);
    start("good.txt");
    program.play();
    EXPECT_EQ(screen->items(kFileList), std::vector<std::string>{"EE "});
}

TEST_P(FileScreens, AFileRewrittenWhileItIsSentIsNeverSpliced) {
    const auto path = program.folder.path / "rewritten.txt";
    auto rewrite = [&](const std::string& text) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a later modification time
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    };
    // Rewritten while its first line sounds: the file as it was is sent to its end.
    program.folder.write("rewritten.txt", "E\nT\nM\n");
    start("rewritten.txt");
    rewrite("TTTTTT\nI\n");
    program.play();
    EXPECT_EQ(screen->items(kFileList), (std::vector<std::string>{"E ", "T ", "M "}));
    EXPECT_EQ(program.heard(), "E T M ");
    EXPECT_TRUE(program.program.messages.messages.empty());

    // Rewritten while a part of it is still unread: sending stops there, with a message.
    program.folder.write("rewritten.txt", "E\n" + std::string(100'000, 'T') + "\nM\n");
    start("rewritten.txt");
    rewrite("TTTTTT\n" + std::string(100'000, 'I') + "\nI\n");
    program.play();
    EXPECT_EQ(screen->items(kFileList), (std::vector<std::string>{"E ", "T ", "M ", "E "}));
    EXPECT_EQ(program.program.messages.messages,
              std::vector<std::string>{
                  "File rewritten.txt was changed while it was sent; sending stopped"});
}

TEST_P(FileScreens, StartWhileAFileIsSentClosesItFirst) {
    program.folder.write("first.txt", "EEE\nTTT\nIII\n");
    program.folder.write("second.txt", "MM\n");
    const auto& folder = program.folder.path;
    start("first.txt");
    program.playText();
    EXPECT_EQ(openFilesIn(folder), std::vector<std::string>{"first.txt"});
    start("second.txt");
    EXPECT_EQ(openFilesIn(folder), std::vector<std::string>{"second.txt"});
    program.play();
    EXPECT_EQ(screen->items(kFileList), (std::vector<std::string>{"EEE ", "MM "}));
    EXPECT_TRUE(openFilesIn(folder).empty());
    // Closing the window in the middle of a file closes the file.
    start("first.txt");
    screen->cancel();
    EXPECT_TRUE(openFilesIn(folder).empty());
}

TEST_P(FileScreens, ReturnStartsAFileOnlyInEarkeyWhereverTheFocusIs) {
    program.folder.write("text.txt", "EE\n");
    screen->setText(kNameBox, "text.txt");
    screen->focus(kNameBox);
    key(Qt::Key_Return);
    if (GetParam().startButton != 0) {
        // Keyview: only Start sends.
        EXPECT_EQ(program.writes(), 0u);
        return;
    }
    program.play();
    EXPECT_EQ(screen->items(kFileList), std::vector<std::string>{"EE "});
    // From the list the file was read back in, Return sends the named file again.
    ASSERT_EQ(screen->focusedId(), kFileList);
    key(Qt::Key_Return);
    program.play();
    EXPECT_EQ(screen->items(kFileList), (std::vector<std::string>{"EE ", "EE "}));
}

// Earkey reads each file back from its own first line, whatever was asked for meanwhile.
class EarkeyFileScreen : public FileScreens {};

TEST_P(EarkeyFileScreen, TheEndOfAFileMovesTheFocusToItsOwnFirstLine) {
    program.folder.write("first.txt", "EE\nTT\n");
    program.folder.write("second.txt", "MM\nII\nSS\n");
    start("first.txt");
    program.play();
    ASSERT_EQ(screen->controlAs<QListWidget>(kFileList)->currentRow(), 0);
    start("second.txt");
    program.playText();
    // A name that finds no file, while the second file is sent: it goes on.
    start("nothing.txt");
    program.play();
    EXPECT_EQ(screen->items(kFileList),
              (std::vector<std::string>{"EE ", "TT ", "MM ", "II ", "SS "}));
    EXPECT_EQ(screen->focusedId(), kFileList);
    EXPECT_EQ(screen->controlAs<QListWidget>(kFileList)->currentRow(), 2);
}

// Earkey's list is read with the cursor keys; Keyview's follows the lines as they come.
class KeyviewFileScreen : public FileScreens {};

TEST_P(KeyviewFileScreen, TheListKeepsItsLast29LinesInViewFromThe30thLine) {
    std::string text;
    for (int i = 1; i <= 40; ++i)
        text += "E" + std::to_string(i) + "\n";
    program.folder.write("forty.txt", text);
    start("forty.txt");
    for (int line = 1; line <= 29; ++line)
        program.playText();
    EXPECT_EQ(screen->topIndex(kFileList), 0);
    program.playText();  // the 30th line
    EXPECT_EQ(screen->topIndex(kFileList), 1);
    program.playText();
    program.playText();
    program.playText();  // the 33rd line
    EXPECT_EQ(screen->topIndex(kFileList), 4);
    program.play();
    // A second file's lines follow and stay in view too.
    program.folder.write("two.txt", "A\nB\n");
    start("two.txt");
    program.play();
    EXPECT_EQ(screen->itemCount(kFileList), 42);
    EXPECT_EQ(screen->topIndex(kFileList), 42 - 29);
    // The list reaches below the window, which cuts it after its 29th line: the last line
    // must be inside the window, not merely inside the list.
    EXPECT_TRUE(shownInWindow(*screen, kFileList, 41));
    EXPECT_TRUE(shownInWindow(*screen, kFileList, 42 - 29));
    EXPECT_FALSE(shownInWindow(*screen, kFileList, 42 - 30));
}

TEST_P(FileScreens, ALineOfAMegabyteIsSentAndListedWithoutHoldingTheWindowUp) {
    program.folder.write("long.txt", std::string(1 << 20, 'E') + "\nT\n");
    QElapsedTimer clock;
    clock.start();
    start("long.txt");
    const qint64 startMs = clock.elapsed();
    // The line is being sent whole, its blank after it. (Playing it would take days.)
    EXPECT_EQ(program.program.tutor.sender.text().size(), (std::size_t{1} << 20) + 1);
    clock.restart();
    screen->addItem(kFileList, program.program.tutor.sender.text());
    screen->setTopIndex(kFileList, 0);
    screen->repaint();
    std::cout << "[ figures  ] a line of " << (1 << 20) << " characters: read and started in "
              << startMs << " ms, listed and drawn in " << clock.elapsed() << " ms\n";
    EXPECT_EQ(screen->items(kFileList), std::vector<std::string>{std::string(1000, 'E')});
}

INSTANTIATE_TEST_SUITE_P(BothEditions, FileScreens, ::testing::ValuesIn(kFileEditions),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Earkey, EarkeyFileScreen, ::testing::Values(kFileEditions[0]),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Keyview, KeyviewFileScreen, ::testing::Values(kFileEditions[1]),
                         [](const auto& info) { return std::string(info.param.name); });

// Earkey's QSO practice -------------------------------------------------------------------------

class EarkeyQso : public ::testing::Test {
  protected:
    void open() {
        screen = std::make_unique<earkey::Practice::Qso>(program.program.app);
        ASSERT_TRUE(showActive(*screen));
        settle();
    }
    std::string lineBox() const { return screen->text(earkey::qso::kLineBox); }

    PracticeProgram program{Edition::Earkey};
    std::unique_ptr<earkey::Practice::Qso> screen;
};

TEST_F(EarkeyQso, AThirtyFiveLineQsoIsSentWholeAndReadBackToLineThirty) {
    program.folder.write("MORSE1.TXT", longQso());
    program.listQsoFiles({"MORSE1.TXT"});
    open();
    EXPECT_EQ(screen->focusedId(), earkey::qso::kFileList);
    // The screen reader names the list it opens on, not just "List with 1 items".
    QAccessibleInterface* list =
        QAccessible::queryAccessibleInterface(screen->control(earkey::qso::kFileList));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), "Q S O File");
    key(Qt::Key_Return);
    // Lines can be read while the QSO is sent.
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(lineBox(), " C T  CQ DE G4XQZ 5 slash 9  B T ");
    EXPECT_EQ(screen->focusedId(), earkey::qso::kLineBox);
    key(Qt::Key_Up, Qt::ControlModifier);  // nothing above line 1
    EXPECT_EQ(lineBox(), " C T  CQ DE G4XQZ 5 slash 9  B T ");
    program.play();
    // The whole QSO was heard, its lines joined by CR LF (a word space) and the prosigns sent.
    std::string heard = program.heard();
    EXPECT_TRUE(heard.starts_with("+ CQ DE G4XQZ 5/9 = LINE 2 LINE 3 ")) << heard;
    EXPECT_TRUE(heard.ends_with("LINE 35 KN")) << heard;
    // The end empties the line box and focuses it; the learner reads on from the line shown.
    EXPECT_EQ(lineBox(), "");
    EXPECT_EQ(screen->focusedId(), earkey::qso::kLineBox);
    for (int i = 2; i <= 30; ++i)
        key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(lineBox(), "LINE 30");
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(lineBox(), "LINE 30");
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(lineBox(), "LINE 29");
}

TEST_F(EarkeyQso, ReturnWithFewerThanTwoQsosSaysSoOrSendsTheOneAgain) {
    program.folder.write("MORSE1.TXT", "+ EE\r\nTT\r\n");
    program.folder.write("MORSE2.TXT", "NO START LINE\r\n");
    program.listQsoFiles({"MORSE2.TXT", "MORSE1.TXT"});
    open();
    // Sorted: MORSE1.TXT first, with one QSO.
    EXPECT_EQ(screen->text(earkey::qso::kFileList), "MORSE1.TXT");
    key(Qt::Key_Return);
    program.play();
    key(Qt::Key_Return);
    program.play();
    EXPECT_EQ(program.heard(), "+ EE TT+ EE TT");
    // Plain Down in the file list chooses the next file and loads it at once.
    screen->focus(earkey::qso::kFileList);
    key(Qt::Key_Down);
    EXPECT_EQ(screen->qsos().file().name, "MORSE2.TXT");
    key(Qt::Key_Return);
    EXPECT_EQ(lineBox(), "No Q S Os in this file");
    EXPECT_EQ(screen->focusedId(), earkey::qso::kLineBox);
    EXPECT_EQ(program.writes(), 16u);  // nothing more was sent
}

TEST_F(EarkeyQso, NoFileListedAndFilesThatCannotBeReadAreSpoken) {
    program.listQsoFiles({});
    open();
    key(Qt::Key_Return);
    EXPECT_EQ(lineBox(), "No Q S O file found");
    screen.reset();

    // Over 16 MB (a sparse file: nothing of it needs reading), as an over-large word list.
    program.folder.write("MORSE00.TXT", "+ CQ CQ\r\n");
    std::filesystem::resize_file(program.folder.path / "MORSE00.TXT", (16 << 20) + 1);
    program.listQsoFiles({"MORSE00.TXT"});
    open();
    EXPECT_EQ(lineBox(), "File MORSE00.TXT too large (over 16 MB)");
    EXPECT_EQ(screen->focusedId(), earkey::qso::kLineBox);
    key(Qt::Key_Return);
    EXPECT_EQ(lineBox(), "No Q S Os in this file");
    EXPECT_EQ(program.writes(), 0u);
    screen.reset();

    std::filesystem::create_directory(program.folder.path / "MORSE0.TXT");
    program.folder.write("MORSE1.TXT", "+ EE\r\n");
    program.listQsoFiles({"MORSE0.TXT", "MORSE1.TXT"});
    open();
    EXPECT_EQ(lineBox(), "MORSE0.TXT is a folder, not a file");
    EXPECT_EQ(screen->focusedId(), earkey::qso::kLineBox);
    key(Qt::Key_Return);
    EXPECT_EQ(lineBox(), "No Q S Os in this file");
    screen->focus(earkey::qso::kFileList);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    program.play();
    EXPECT_EQ(program.heard(), "+ EE");
}

// Keyview's QSO practice ------------------------------------------------------------------------

class KeyviewQso : public ::testing::Test {
  protected:
    void open() {
        screen = std::make_unique<keyview::Practice::Qso>(program.program.app);
        ASSERT_TRUE(showActive(*screen));
        settle();
    }
    std::vector<std::string> list() const { return screen->items(keyview::qso::kList); }
    void click(int id) {
        ASSERT_TRUE(ui::testing::press(*screen, id)) << id;
        settle();
    }

    PracticeProgram program{Edition::Keyview};
    std::unique_ptr<keyview::Practice::Qso> screen;
};

TEST_F(KeyviewQso, RunsEndAtKnButNotAtKnAndABlankAndStopEndsThemThere) {
    // One start line; its over ends at "KN" exactly, not at "KN " (a blank after it).
    program.folder.write("MORSE1.TXT", "+ CQ\r\nDE G4XQZ KN \r\nR R KN\r\nNEVER\r\n");
    program.listQsoFiles({"MORSE1.TXT"});
    open();
    click(keyview::qso::kStart);
    program.playText();
    program.playText();
    click(keyview::qso::kStop);  // during the run: it still ends at its stop line
    program.play();
    EXPECT_EQ(list(), (std::vector<std::string>{"+ CQ", "DE G4XQZ KN ", "R R KN"}));
    // What was heard is what is listed, a word space after each line.
    EXPECT_EQ(program.heard(), "+ CQ DE G4XQZ KN  R R KN ");
    EXPECT_FALSE(screen->runs().running());
    EXPECT_EQ(program.program.wave->queued(), 0u);

    // Without Stop the next run follows by itself.
    click(keyview::qso::kStart);
    EXPECT_EQ(program.play(4), 4);
    EXPECT_EQ(list().size(), 7u);
    EXPECT_EQ(list()[3], "+ CQ");
    EXPECT_TRUE(screen->runs().running());
}

TEST_F(KeyviewQso, ChoosingAnotherFileStopsTheRestarts) {
    program.folder.write("MORSE1.TXT", "+ EE KN\r\n");
    program.folder.write("MORSE2.TXT", "+ TT KN\r\n");
    program.listQsoFiles({"MORSE1.TXT", "MORSE2.TXT"});
    open();
    click(keyview::qso::kStart);
    screen->setSelection(keyview::qso::kFileList, 1);
    emit screen->controlAs<QComboBox>(keyview::qso::kFileList)->highlighted(1);
    program.play();
    // The run that was playing ended in its own file; none followed.
    EXPECT_EQ(list(), std::vector<std::string>{"+ EE KN"});
    click(keyview::qso::kStart);
    program.playText();
    EXPECT_EQ(list().back(), "+ TT KN");
}

TEST_F(KeyviewQso, NoStartLineIsShownAndNothingIsSent) {
    program.folder.write("MORSE1.TXT", "CQ CQ\r\nNO PLUS HERE\r\n");
    program.listQsoFiles({"MORSE1.TXT"});
    open();
    click(keyview::qso::kStart);
    EXPECT_EQ(list(), std::vector<std::string>{"No QSO start line (+) in this file"});
    EXPECT_EQ(program.writes(), 0u);
    // A folder listed as a QSO file, and one over 16 MB: a message each, and the screen goes on.
    std::filesystem::create_directory(program.folder.path / "MORSE0.TXT");
    program.listQsoFiles({"MORSE0.TXT", "MORSE1.TXT"});
    open();
    program.folder.write("MORSE00.TXT", "+ CQ CQ KN\r\n");
    std::filesystem::resize_file(program.folder.path / "MORSE00.TXT", (16 << 20) + 1);
    program.listQsoFiles({"MORSE00.TXT"});
    open();
    EXPECT_EQ(program.program.messages.messages,
              (std::vector<std::string>{"MORSE0.TXT is a folder, not a file",
                                        "File MORSE00.TXT too large (over 16 MB)"}));
    click(keyview::qso::kStart);
    EXPECT_EQ(list(), std::vector<std::string>{"No QSO start line (+) in this file"});
    EXPECT_EQ(program.writes(), 0u);
}

TEST_F(KeyviewQso, TheListKeepsItsLast32LinesInView) {
    std::string text = "+ E1\r\n";
    for (int i = 2; i <= 40; ++i)
        text += "E" + std::to_string(i) + (i == 40 ? " KN" : "") + "\r\n";
    program.folder.write("MORSE1.TXT", text);
    program.listQsoFiles({"MORSE1.TXT"});
    open();
    click(keyview::qso::kStart);
    click(keyview::qso::kStop);
    for (int line = 1; line <= 32; ++line)
        program.playText();
    EXPECT_EQ(screen->topIndex(keyview::qso::kList), 0);
    program.playText();  // the 33rd line
    EXPECT_EQ(screen->topIndex(keyview::qso::kList), 1);
    program.play();
    EXPECT_EQ(screen->topIndex(keyview::qso::kList), 8);
    EXPECT_TRUE(shownInWindow(*screen, keyview::qso::kList, 39));
    EXPECT_TRUE(shownInWindow(*screen, keyview::qso::kList, 40 - 32));
    EXPECT_FALSE(shownInWindow(*screen, keyview::qso::kList, 40 - 33));
}

}  // namespace
