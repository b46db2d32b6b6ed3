#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "../exercises/temp_folder.h"
#include "progress/store.h"

using namespace keytut::progress;
using keytut::testing::TempFolder;

namespace {

Answer answerOf(char sent, char answered, std::int64_t timeMs, std::optional<int> responseMs = {}) {
    Answer a;
    a.timeMs = timeMs;
    a.sent = sent;
    a.answered = answered;
    a.right = sent == answered;
    a.responseMs = responseMs;
    a.charWpm = 20;
    a.wordWpm = 12;
    return a;
}

SessionStart kochStart(std::int64_t timeMs, const std::string& edition = "earkey") {
    return SessionStart{edition, "koch", timeMs, "KMURES", 2};
}

// One value read with a connection of its own, as another program would.
std::string query(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string value = "(cannot open)";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        value = "(no row)";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            value = std::string("(") + sqlite3_errmsg(db) + ")";
        } else if (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* text = sqlite3_column_text(stmt, 0);
            value = text ? reinterpret_cast<const char*>(text) : "NULL";
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return value;
}

void execute(const std::filesystem::path& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Runs `body` in a child process and returns its exit status (-1 if it did not exit).
int inChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<AnswerRow> allAnswers(Store& store) {
    std::vector<AnswerRow> rows;
    store.forEachAnswer([&](const AnswerRow& row) { rows.push_back(row); });
    return rows;
}

}  // namespace

TEST(ProgressStore, EachAnswerIsOnDiskWhenRecordReturnsAndComesBackOnReopening) {
    TempFolder folder;
    const auto file = folder.path / "sub" / "progress.sqlite3";  // the folder is created
    {
        Store store(file);
        ASSERT_TRUE(store.keeping()) << (store.fault() ? store.fault()->text() : "");
        EXPECT_EQ(store.foundVersion(), 0);
        EXPECT_FALSE(store.takeFaultNotice());
        const SessionId session = store.beginSession(kochStart(1000));
        ASSERT_NE(session, 0);
        store.record(session, answerOf('K', 'K', 1100, 800));
        // Already there for another program, with the store still open.
        EXPECT_EQ(query(file, "SELECT count(*) FROM answers"), "1");
        EXPECT_EQ(query(file, "PRAGMA journal_mode"), "wal");
        store.record(session, answerOf('M', 'K', 1200));
        store.record(session, answerOf('M', 0, 1300));
        EXPECT_EQ(query(file, "SELECT answers || ' ' || correct FROM sessions"), "3 1");
        EXPECT_EQ(query(file, "SELECT ended FROM sessions"), "NULL");
        store.endSession(session, 1400);
    }
    Store store(file);
    ASSERT_TRUE(store.keeping());
    EXPECT_EQ(store.foundVersion(), kSchemaVersion);
    const auto rows = allAnswers(store);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].edition, "earkey");
    EXPECT_EQ(rows[0].exercise, "koch");
    EXPECT_EQ(rows[0].answer.sent, 'K');
    EXPECT_TRUE(rows[0].answer.right);
    EXPECT_EQ(rows[0].answer.responseMs, 800);
    EXPECT_EQ(rows[0].answer.charWpm, 20);
    EXPECT_EQ(rows[0].answer.wordWpm, 12);
    EXPECT_EQ(rows[1].answer.answered, 'K');
    EXPECT_FALSE(rows[1].answer.right);
    EXPECT_EQ(rows[1].answer.responseMs, std::nullopt);
    EXPECT_EQ(rows[2].answer.answered, 0);  // missed
    EXPECT_EQ(rows[2].answer.timeMs, 1300);

    auto session = store.lastSession("koch");
    ASSERT_TRUE(session);
    EXPECT_EQ(session->answers, 3);
    EXPECT_EQ(session->right, 1);
    EXPECT_EQ(session->endedMs, 1400);
    EXPECT_EQ(session->course, "KMURES");
    EXPECT_EQ(session->level, 2);
    EXPECT_FALSE(store.lastSession("lesson"));
    EXPECT_EQ(store.recentResults('M', 50), (std::vector<bool>{false, false}));
}

// The file alone, as if the log beside it were lost: what has been copied into it.
int answersInFileItself(const std::filesystem::path& file) {
    sqlite3* db = nullptr;
    int count = -1;
    const std::string uri = "file:" + file.string() + "?immutable=1";
    if (sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM answers", -1, &stmt, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            count = sqlite3_column_int(stmt, 0);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return count;
}

// Between sessions the log is copied into the file by a thread of the store's own, so that the
// exercise never waits for the disk; the commit alone has already made each answer safe.
TEST(ProgressStore, TheLogIsCopiedIntoTheFileBetweenSessions) {
    TempFolder folder;
    const auto file = folder.path / "progress.sqlite3";
    Store store(file);
    const SessionId session = store.beginSession(kochStart(0));
    for (int i = 0; i < 30; ++i)
        store.record(session, answerOf('K', 'K', i));
    EXPECT_EQ(answersInFileItself(file), -1);  // all in the log so far, the tables too
    store.endSession(session, 30);
    int copied = 0;
    for (int wait = 0; wait < 500 && copied != 30; ++wait) {
        ::usleep(10'000);
        copied = answersInFileItself(file);
    }
    EXPECT_EQ(copied, 30);
    EXPECT_TRUE(store.keeping());
    store.record(store.beginSession(kochStart(40)), answerOf('M', 'M', 41));
    EXPECT_EQ(query(file, "SELECT count(*) FROM answers"), "31");
}

TEST(ProgressStore, RecentResultsStatisticsAndLevels) {
    Store store{Store::InMemory{}};
    ASSERT_TRUE(store.keeping());
    const SessionId session = store.beginSession(kochStart(0));
    // 60 answers for Q: the first 10 right, then alternately wrong and right.
    for (int i = 0; i < 60; ++i) {
        const bool right = i < 10 || i % 2 == 1;
        store.record(session, answerOf('Q', right ? 'Q' : 'X', i, i < 10 ? 5000 : 1000));
    }
    store.record(session, answerOf('\xC4', '\xC4', 61));  // a character of the upper half
    const auto recent = store.recentResults('Q', 50);
    ASSERT_EQ(recent.size(), 50u);
    EXPECT_FALSE(recent.front());  // answer 10, the first wrong one
    EXPECT_TRUE(recent.back());
    EXPECT_EQ(store.recentResults('Q', 3), (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(store.recentResults('Z', 50).empty());

    const auto stats = store.characterStats();
    ASSERT_EQ(stats.size(), 2u);
    EXPECT_EQ(stats[0].character, 'Q');
    EXPECT_EQ(stats[0].answers, 60);
    EXPECT_EQ(stats[0].recentAnswers, 50);
    EXPECT_EQ(stats[0].recentRight, 25);
    ASSERT_TRUE(stats[0].responseMs);
    EXPECT_DOUBLE_EQ(*stats[0].responseMs, 1000.0);  // the slow early ones are past
    EXPECT_EQ(stats[1].character, '\xC4');

    EXPECT_EQ(store.level("KMURES"), std::nullopt);
    EXPECT_EQ(store.currentCourse(), std::nullopt);
    store.keepLevel("KMURES", 3, 10);
    store.keepLevel("ETIM", 2, 20);
    EXPECT_EQ(store.level("KMURES"), 3);
    EXPECT_EQ(store.currentCourse()->course, "ETIM");
    store.keepLevel("KMURES", 4, 30);
    EXPECT_EQ(store.level("KMURES"), 4);
    EXPECT_EQ(store.currentCourse()->course, "KMURES");
    EXPECT_EQ(store.currentCourse()->level, 4);
}

TEST(ProgressStore, DefaultFileFollowsXdgDataHome) {
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const std::string xdg = savedXdg ? savedXdg : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(defaultProgressFile(), "/data/home/keytut/progress.sqlite3");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    EXPECT_EQ(defaultProgressFile(),
              std::filesystem::path(home) / ".local/share/keytut/progress.sqlite3");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(defaultProgressFile(),
              std::filesystem::path(home) / ".local/share/keytut/progress.sqlite3");
    if (savedXdg)
        ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
}

// A file as the first release wrote it (schema version 1: no course orders, no levels).
TEST(ProgressStore, AnOlderSchemaIsBroughtForwardWithItsAnswers) {
    TempFolder folder;
    const auto file = folder.path / "progress.sqlite3";
    execute(file,
            "PRAGMA journal_mode=WAL;"
            "CREATE TABLE sessions(id INTEGER PRIMARY KEY, edition TEXT NOT NULL, exercise TEXT "
            "NOT NULL, started INTEGER NOT NULL, ended INTEGER, answers INTEGER NOT NULL DEFAULT "
            "0, correct INTEGER NOT NULL DEFAULT 0);"
            "CREATE TABLE answers(id INTEGER PRIMARY KEY, session INTEGER NOT NULL REFERENCES "
            "sessions(id), time INTEGER NOT NULL, sent TEXT NOT NULL, answered TEXT NOT NULL, "
            "correct INTEGER NOT NULL, response_ms INTEGER, char_wpm INTEGER NOT NULL, word_wpm "
            "INTEGER NOT NULL);"
            "CREATE INDEX answers_by_character ON answers(sent);"
            "INSERT INTO sessions VALUES(1, 'keyview', 'lesson', 100, 900, 2, 1);"
            "INSERT INTO answers VALUES(1, 1, 200, 'E', 'E', 1, 640, 12, 12);"
            "INSERT INTO answers VALUES(2, 1, 300, 'T', 'M', 0, 1250, 12, 12);"
            "PRAGMA user_version=1;");
    {
        Store store(file);
        ASSERT_TRUE(store.keeping()) << (store.fault() ? store.fault()->text() : "");
        EXPECT_EQ(store.foundVersion(), 1);
        const auto rows = allAnswers(store);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[1].answer.sent, 'T');
        EXPECT_EQ(rows[1].answer.answered, 'M');
        EXPECT_EQ(rows[1].answer.responseMs, 1250);
        auto old = store.lastSession("lesson");
        ASSERT_TRUE(old);
        EXPECT_EQ(old->edition, "keyview");
        EXPECT_EQ(old->course, "");
        EXPECT_EQ(old->level, 0);
        // The counts of each character are there from the start.
        const auto stats = store.characterStats();
        ASSERT_EQ(stats.size(), 2u);
        EXPECT_EQ(stats[0].character, 'E');
        EXPECT_EQ(stats[0].answers, 1);
        EXPECT_EQ(stats[1].recentRight, 0);
        // What version 2 added works at once.
        store.keepLevel("KM", 2, 1000);
        const SessionId session = store.beginSession(kochStart(2000));
        store.record(session, answerOf('E', 'E', 2100));
        EXPECT_EQ(store.recentResults('E', 50), (std::vector<bool>{true, true}));
        EXPECT_EQ(store.characterStats()[0].answers, 2);
        EXPECT_EQ(store.lastSession("koch")->answers, 1);
    }
    EXPECT_EQ(query(file, "PRAGMA user_version"), std::to_string(kSchemaVersion));
    EXPECT_EQ(query(file, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(query(file, "SELECT count(*) FROM answers"), "3");
}

TEST(ProgressStore, FilesItCannotUseAreLeftExactlyAsTheyWere) {
    TempFolder folder;
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
        FaultKind kind;
    };
    const Case cases[] = {
        {"not a database",
         [&](const std::filesystem::path& f) {
             std::ofstream(f, std::ios::binary) << std::string(8192, 'x');
         },
         FaultKind::Damaged},
        {"a torn header",
         [&](const std::filesystem::path& f) {
             { Store(f).beginSession(kochStart(1)); }
             std::string bytes = bytesOf(f);
             bytes.replace(0, 15, "SQLite format 2");
             std::ofstream(f, std::ios::binary | std::ios::trunc) << bytes;
         },
         FaultKind::Damaged},
        {"another program's database",
         [&](const std::filesystem::path& f) { execute(f, "CREATE TABLE notes(text TEXT);"); },
         FaultKind::Foreign},
        {"a newer schema",
         [&](const std::filesystem::path& f) {
             execute(f, "CREATE TABLE answers(x); PRAGMA user_version=" +
                            std::to_string(kSchemaVersion + 1) + ";");
         },
         FaultKind::Newer},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = folder.path / (std::string(c.name) + ".sqlite3");
        c.make(file);
        const std::string before = bytesOf(file);
        {
            Store store(file);
            EXPECT_FALSE(store.keeping());
            ASSERT_TRUE(store.fault());
            EXPECT_EQ(store.fault()->kind, c.kind) << store.fault()->text();
            // Told once, in words that name the file.
            auto notice = store.takeFaultNotice();
            ASSERT_TRUE(notice);
            EXPECT_EQ(notice->rfind("Progress is not being kept: ", 0), 0u) << *notice;
            EXPECT_NE(notice->find(file.string()), std::string::npos) << *notice;
            EXPECT_FALSE(store.takeFaultNotice());
            // The exercise goes on: nothing is kept, nothing fails.
            EXPECT_EQ(store.beginSession(kochStart(5)), 0);
            store.record(1, answerOf('K', 'K', 6));
            store.keepLevel("KM", 3, 7);
            store.endSession(1, 8);
            EXPECT_TRUE(store.recentResults('K', 50).empty());
            EXPECT_TRUE(store.characterStats().empty());
        }
        EXPECT_EQ(bytesOf(file), before);
        EXPECT_FALSE(std::filesystem::exists(file.string() + "-wal"));
    }
    const Fault damaged{FaultKind::Damaged, "/home/a/p.sqlite3", ""};
    EXPECT_EQ(damaged.text(),
              "Progress is not being kept: the progress file /home/a/p.sqlite3 is damaged. It is "
              "left as it is.");
}

// Damage inside the answers, found only when a page is read: the keeping stops there and the
// file is not written to again.
TEST(ProgressStore, DamageFoundLaterStopsTheKeeping) {
    TempFolder folder;
    const auto file = folder.path / "progress.sqlite3";
    {
        Store store(file);
        const SessionId session = store.beginSession(kochStart(0));
        for (int i = 0; i < 3000; ++i)
            store.record(session, answerOf("KMURES"[i % 6], 'K', i));
        store.endSession(session, 3000);
    }
    std::string bytes = bytesOf(file);
    ASSERT_GT(bytes.size(), 20u * 4096);
    // Pages 10 to 14 overwritten: leaves of the answers table.
    bytes.replace(9 * 4096, 5 * 4096, std::string(5 * 4096, '\x5A'));
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    Store store(file);
    EXPECT_TRUE(store.keeping());  // the damage is not in the pages read on opening
    EXPECT_LT(allAnswers(store).size(), 3000u);
    ASSERT_TRUE(store.fault());
    EXPECT_EQ(store.fault()->kind, FaultKind::Damaged) << store.fault()->detail;
    EXPECT_FALSE(store.keeping());
    store.record(1, answerOf('K', 'K', 5000));
    EXPECT_EQ(bytesOf(file), bytes);
}

TEST(ProgressStore, AFolderThatCannotBeWritten) {
    TempFolder folder;
    // A file where the folder should be: no folder can be made.
    folder.write("keytut", "a file");
    {
        Store store(folder.path / "keytut" / "progress.sqlite3");
        ASSERT_TRUE(store.fault());
        EXPECT_EQ(store.fault()->kind, FaultKind::Unwritable) << store.fault()->detail;
        EXPECT_EQ(store.takeFaultNotice(),
                  "Progress is not being kept: the progress file " +
                      (folder.path / "keytut" / "progress.sqlite3").string() +
                      " cannot be written.");
    }
    // A folder and a file that the learner may not write (the test runs that part as another
    // user, so that it holds for root too).
    const auto shared = folder.path / "shared";
    std::filesystem::create_directory(shared);
    {
        Store store(shared / "progress.sqlite3");
        store.record(store.beginSession(kochStart(0)), answerOf('K', 'K', 1));
    }
    const std::string before = bytesOf(shared / "progress.sqlite3");
    using std::filesystem::perms;
    const auto readOnly = perms::owner_read | perms::group_read | perms::others_read;
    const auto exec = perms::owner_exec | perms::group_exec | perms::others_exec;
    std::filesystem::permissions(shared / "progress.sqlite3", readOnly);
    std::filesystem::permissions(shared, readOnly | exec);
    std::filesystem::permissions(folder.path, std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    const int status = inChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 10;
        for (const char* name : {"progress.sqlite3", "new.sqlite3"}) {
            Store store(shared / name);
            if (!store.fault() || store.fault()->kind != FaultKind::Unwritable)
                return 1;
            store.record(store.beginSession(kochStart(0)), answerOf('K', 'K', 2));
        }
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(bytesOf(shared / "progress.sqlite3"), before);
    EXPECT_FALSE(std::filesystem::exists(shared / "new.sqlite3"));
    std::filesystem::permissions(shared, perms::owner_all);
}

// The disk fills up under SQLite's own file layer: from a given moment every write of the files
// reports ENOSPC, as a full disk does.
class FullDisk {
  public:
    FullDisk() : vfs_(sqlite3_vfs_find("unix")) {
        realWrite = reinterpret_cast<decltype(realWrite)>(vfs_->xGetSystemCall(vfs_, "write"));
        realPwrite = reinterpret_cast<decltype(realPwrite)>(vfs_->xGetSystemCall(vfs_, "pwrite"));
        realPwrite64 =
            reinterpret_cast<decltype(realPwrite64)>(vfs_->xGetSystemCall(vfs_, "pwrite64"));
        vfs_->xSetSystemCall(vfs_, "write", reinterpret_cast<sqlite3_syscall_ptr>(&write));
        vfs_->xSetSystemCall(vfs_, "pwrite", reinterpret_cast<sqlite3_syscall_ptr>(&pwrite));
        vfs_->xSetSystemCall(vfs_, "pwrite64", reinterpret_cast<sqlite3_syscall_ptr>(&pwrite64));
    }
    ~FullDisk() {
        vfs_->xSetSystemCall(vfs_, nullptr, nullptr);  // all back to the system's own
        full = false;
    }
    static inline bool full = false;

  private:
    static ssize_t write(int fd, const void* bytes, size_t count) {
        return full ? noSpace() : realWrite(fd, bytes, count);
    }
    static ssize_t pwrite(int fd, const void* bytes, size_t count, off_t at) {
        return full ? noSpace() : realPwrite(fd, bytes, count, at);
    }
    static ssize_t pwrite64(int fd, const void* bytes, size_t count, off64_t at) {
        return full ? noSpace() : realPwrite64(fd, bytes, count, at);
    }
    static ssize_t noSpace() {
        errno = ENOSPC;
        return -1;
    }
    static inline ssize_t (*realWrite)(int, const void*, size_t) = nullptr;
    static inline ssize_t (*realPwrite)(int, const void*, size_t, off_t) = nullptr;
    static inline ssize_t (*realPwrite64)(int, const void*, size_t, off64_t) = nullptr;
    sqlite3_vfs* vfs_;
};

TEST(ProgressStore, AFullDiskIsToldOnceAndTheExerciseGoesOn) {
    TempFolder folder;
    const auto file = folder.path / "progress.sqlite3";
    FullDisk disk;
    Store store(file);
    const SessionId session = store.beginSession(kochStart(0));
    store.record(session, answerOf('K', 'K', 1));
    store.record(session, answerOf('M', 'M', 2));
    ASSERT_TRUE(store.keeping());
    FullDisk::full = true;
    store.record(session, answerOf('U', 'U', 3));
    ASSERT_TRUE(store.fault());
    EXPECT_EQ(store.fault()->kind, FaultKind::DiskFull) << store.fault()->detail;
    EXPECT_EQ(store.takeFaultNotice(), "Progress is not being kept: the disk is full.");
    EXPECT_FALSE(store.takeFaultNotice());
    // The exercise goes on; later answers are not kept, and nothing more is tried.
    store.record(session, answerOf('R', 'R', 4));
    store.endSession(session, 5);
    FullDisk::full = false;
    EXPECT_EQ(query(file, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(query(file, "SELECT group_concat(sent, '') FROM answers"), "KM");
}

// The same on a real file system that fills up: a small tmpfs in a mount namespace of the test's
// own, so that nothing outlives it. Needs the right to mount (root); skipped otherwise.
TEST(ProgressStore, ARealFileSystemFillingUp) {
    TempFolder folder;
    const auto mountPoint = folder.path / "small";
    std::filesystem::create_directory(mountPoint);
    const auto file = mountPoint / "progress.sqlite3";
    constexpr int kNoMount = 77;
    const int status = inChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=256k") != 0) {
            return kNoMount;
        }
        int kept = 0;
        {
            Store store(file);
            if (!store.keeping())
                return 1;
            const SessionId session = store.beginSession(kochStart(0));
            for (int i = 1; i <= 100000 && store.keeping(); ++i) {
                store.record(session, answerOf('K', 'K', i));
                kept = store.keeping() ? i : kept;
            }
            if (!store.fault() || store.fault()->kind != FaultKind::DiskFull)
                return 2;
            if (store.takeFaultNotice() != "Progress is not being kept: the disk is full.")
                return 3;
        }
        if (kept < 10)
            return 4;
        if (query(file, "PRAGMA integrity_check") != "ok")
            return 5;
        if (std::stoi(query(file, "SELECT count(*) FROM answers")) != kept)
            return 6;
        return 0;
    });
    if (status == kNoMount)
        GTEST_SKIP() << "no right to mount a file system here";
    EXPECT_EQ(status, 0);
}

// A writer killed with SIGKILL at any moment leaves a whole file holding every answer it had
// committed: the child tells each answer's number once record() has returned.
TEST(ProgressStore, AKilledWriterLosesNothingItCommitted) {
    TempFolder folder;
    const auto file = folder.path / "progress.sqlite3";
    int kept = 0;
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeEnds[0]);
            Store store(file);
            const SessionId session = store.beginSession(kochStart(round));
            for (int i = 1;; ++i) {
                store.record(session, answerOf('K', 'K', i));
                if (!store.keeping() || ::write(pipeEnds[1], &i, sizeof i) != sizeof i)
                    ::_exit(1);
            }
        }
        ::close(pipeEnds[1]);
        int told = 0;
        int last = 0;
        // Killed after a different number of answers each round, so that the kill falls at
        // different points of a commit.
        while (told < 150 + 97 * round && ::read(pipeEnds[0], &last, sizeof last) == sizeof last)
            told = last;
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        // What the child told before it died and was not read yet.
        while (::read(pipeEnds[0], &last, sizeof last) == sizeof last)
            told = last;
        ::close(pipeEnds[0]);
        ASSERT_TRUE(WIFSIGNALED(status));
        kept += told;

        EXPECT_EQ(query(file, "PRAGMA integrity_check"), "ok");
        const int inSession = std::stoi(query(
            file, "SELECT count(*) FROM answers WHERE session = " + std::to_string(round + 1)));
        // Every answer told is there, and at most the one being written besides.
        EXPECT_GE(inSession, told);
        EXPECT_LE(inSession, told + 1);
        EXPECT_EQ(query(file, "SELECT max(time) = count(*) FROM answers WHERE session = " +
                                  std::to_string(round + 1)),
                  "1");
        EXPECT_EQ(
            query(file, "SELECT answers FROM sessions WHERE id = " + std::to_string(round + 1)),
            std::to_string(inSession));
    }
    Store store(file);
    EXPECT_TRUE(store.keeping());
    EXPECT_GE(static_cast<int>(allAnswers(store).size()), kept);
}

// Both editions open at once, both writing from the first moment, the file new.
TEST(ProgressStore, TwoProgramsWriteAtOnceWithoutLockFailures) {
    TempFolder folder;
    const auto file = folder.path / "keytut" / "progress.sqlite3";
    constexpr int kEach = 400;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (const char* edition : {"earkey", "keyview"}) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(gate[1]);
            char go;
            if (::read(gate[0], &go, 1) != 0)  // both start when the gate closes
                ::_exit(3);
            Store store(file);
            const SessionId session = store.beginSession(kochStart(0, edition));
            for (int i = 0; i < kEach; ++i) {
                store.record(session, answerOf("KM"[i % 2], 'K', i));
                store.recentResults('K', 50);  // reading between the other's writes
            }
            store.endSession(session, kEach);
            if (store.fault())
                std::fprintf(stderr, "%s: %s\n", edition, store.fault()->detail.c_str());
            ::_exit(store.keeping() ? 0 : 1);
        }
        children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    EXPECT_EQ(query(file, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(query(file, "SELECT count(*) FROM answers"), std::to_string(2 * kEach));
    EXPECT_EQ(query(file,
                    "SELECT group_concat(edition || answers, ' ') FROM (SELECT * FROM "
                    "sessions ORDER BY edition)"),
              "earkey400 keyview400");
}
