// The learner's history on disk: every judged answer and every session, in one SQLite database
// per user that both editions share.
//
// Each answer is its own transaction, committed before record() returns, in write-ahead-log
// mode: a program killed in the middle of a session loses at most the answer being written, and
// the file stays whole. (The log is synced to disk when it is copied into the file, between
// sessions and on a thread of its own: a power cut may lose the last answers, never the file.) Two
// programs may write at once; each waits its turn (busy timeout) instead of failing. The schema
// carries its version (PRAGMA user_version); an older file is brought forward in place, never
// emptied.
//
// Anything that stops the keeping (a damaged file, a folder that cannot be written, a full disk,
// a file of a newer version) is kept as a Fault, given once as a notice for the learner, and from
// then on nothing is written: the exercise goes on, its answers are not kept, and a damaged file
// is left exactly as it was found.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history.h"
#include "statistics.h"

struct sqlite3;
struct sqlite3_stmt;

namespace keytut::progress {

// The schema this program writes. Older versions are brought forward on opening.
constexpr int kSchemaVersion = 2;

// A character as it is kept: its text, in UTF-8 (the bytes from 128 as their Latin-1 letters).
std::string characterText(char c);

// Where the progress is kept unless --progress says otherwise:
// $XDG_DATA_HOME/keytut/progress.sqlite3, normally ~/.local/share/keytut/progress.sqlite3.
std::filesystem::path defaultProgressFile();

enum class FaultKind {
    Damaged,     // not a database, or a damaged one: left in place, never written
    Foreign,     // a database, but not a progress file: left alone
    Newer,       // written by a newer version of the program: left alone
    Unwritable,  // the folder or the file cannot be written
    DiskFull,
    Busy,  // another program held the file longer than the busy timeout
    Failed,
};

struct Fault {
    FaultKind kind = FaultKind::Failed;
    std::filesystem::path file;
    std::string detail;  // SQLite's or the system's own words, for the log and the tool

    // What the learner is told, once: "Progress is not being kept: ..."
    std::string text() const;
};

struct AnswerRow {
    SessionId session = 0;
    std::string edition;
    std::string exercise;
    Answer answer;
};

struct SessionRow {
    SessionId id = 0;
    std::string edition;
    std::string exercise;
    std::int64_t startedMs = 0;
    std::optional<std::int64_t> endedMs;  // none: the program ended without closing it
    int answers = 0;
    int right = 0;
    std::string course;
    int level = 0;
};

struct CourseLevel {
    std::string course;
    int level = 0;
};

class Store final : public History {
  public:
    enum class Mode {
        Create,    // create the folder and the file as needed
        Existing,  // only a file that exists (the tool that prints the history)
        Read,      // only read, never written: a file of an older schema is refused
    };
    struct InMemory {};

    explicit Store(const std::filesystem::path& file, Mode mode = Mode::Create);
    // A database of its own in memory, for tests.
    explicit Store(InMemory);
    ~Store() override;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // True while answers are being kept (no fault so far).
    bool keeping() const { return db_ != nullptr; }
    const std::optional<Fault>& fault() const { return fault_; }
    const std::filesystem::path& file() const { return file_; }
    // The schema version the file had when it was opened (0: created now).
    int foundVersion() const { return foundVersion_; }

    SessionId beginSession(const SessionStart& start) override;
    void record(SessionId session, const Answer& answer) override;
    void endSession(SessionId session, std::int64_t timeMs) override;
    std::vector<bool> recentResults(char c, int count) override;
    std::optional<int> level(const std::string& course) override;
    void keepLevel(const std::string& course, int level, std::int64_t timeMs) override;
    std::optional<std::string> takeFaultNotice() override;

    // The statistics of every character answered so far, in character order.
    std::vector<CharacterStats> characterStats();
    // The course used last and its level; nothing before the first Koch session.
    std::optional<CourseLevel> currentCourse();
    // The latest session of `exercise` that has an answer.
    std::optional<SessionRow> lastSession(const std::string& exercise);
    // Every answer, oldest first, and every session, in the order they started.
    void forEachAnswer(const std::function<void(const AnswerRow&)>& visit);
    void forEachSession(const std::function<void(const SessionRow&)>& visit);

  private:
    void open(const std::filesystem::path& file, Mode mode);
    void openForReading();
    bool prepareSchema();
    // The schema version and whether the file holds no tables yet; false after a fault (a file
    // of another program or of a newer version is one).
    bool readVersion(int& version, bool& empty);
    bool exec(const char* sql);
    // Records a fault from SQLite's last result (once) and stops the keeping.
    void fail(int code, const std::string& what);
    void fail(FaultKind kind, const std::string& detail);
    void close();
    void requestCheckpoint();

    sqlite3* db_ = nullptr;
    // Copies the log into the file on a thread of its own, so that its disk syncs never hold up
    // the exercise; none for a store in memory or one only read.
    std::unique_ptr<class Checkpointer> checkpointer_;
    int answersSinceCheckpoint_ = 0;
    std::filesystem::path file_;
    std::optional<Fault> fault_;
    bool faultTold_ = false;
    int foundVersion_ = 0;
};

}  // namespace keytut::progress
