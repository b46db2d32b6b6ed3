#include "store.h"

#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <mutex>
#include <thread>

namespace keytut::progress {

namespace {

// How long a write waits for another program's write to finish before giving up. Each of ours
// holds the file for well under a millisecond; this covers a checkpoint on a slow disk too.
constexpr int kBusyTimeoutMs = 2000;
constexpr int kRetryMs = 5;
// The log is copied into the file by the checkpoint thread when a session ends and after this
// many answers; the commit itself never waits for it.
constexpr int kAnswersBetweenCheckpoints = 200;
// Should that thread fall behind, a commit copies the log itself once it has grown this long
// (pages of 4 KiB; a commit adds about four).
constexpr int kWalAutoCheckpointPages = 10000;
// What is left of the log file after a checkpoint, so that it does not keep its largest size.
constexpr int kWalSizeLimitBytes = 4 << 20;

// Schema step n brings version n to n + 1. A step is never changed once released: a new column
// or table is a new step, so that every older file comes forward through the same statements as
// a new one is created with.
const char* const kSchemaSteps[] = {
    // 1: the answers and the sessions they belong to.
    "CREATE TABLE sessions("
    "  id INTEGER PRIMARY KEY,"
    "  edition TEXT NOT NULL,"
    "  exercise TEXT NOT NULL,"
    "  started INTEGER NOT NULL,"  // milliseconds since 1970, UTC
    "  ended INTEGER,"             // NULL until the session is closed
    "  answers INTEGER NOT NULL DEFAULT 0,"
    "  correct INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE answers("
    "  id INTEGER PRIMARY KEY,"
    "  session INTEGER NOT NULL REFERENCES sessions(id),"
    "  time INTEGER NOT NULL,"
    "  sent TEXT NOT NULL,"
    "  answered TEXT NOT NULL,"  // '' when nothing was answered
    "  correct INTEGER NOT NULL,"
    "  response_ms INTEGER,"
    "  char_wpm INTEGER NOT NULL,"
    "  word_wpm INTEGER NOT NULL);"
    "CREATE INDEX answers_by_character ON answers(sent);",
    // 2: the Koch trainer's course orders and the level reached in each; each character's
    // counts, kept as answers come in so that the summary need not count a million answers;
    // and the sessions' counts kept the same way (version 1 wrote them with each answer).
    "ALTER TABLE sessions ADD COLUMN course TEXT;"
    "ALTER TABLE sessions ADD COLUMN level INTEGER;"
    "CREATE TABLE levels("
    "  course TEXT PRIMARY KEY,"
    "  level INTEGER NOT NULL,"
    "  used INTEGER NOT NULL);"
    "CREATE TABLE characters("
    "  sent TEXT PRIMARY KEY,"
    "  answers INTEGER NOT NULL,"
    "  correct INTEGER NOT NULL) WITHOUT ROWID;"
    "INSERT INTO characters SELECT sent, count(*), sum(correct) FROM answers GROUP BY sent;"
    "CREATE TRIGGER answer_counted AFTER INSERT ON answers BEGIN"
    "  UPDATE sessions SET answers = answers + 1, correct = correct + NEW.correct"
    "    WHERE id = NEW.session;"
    "  INSERT INTO characters VALUES(NEW.sent, 1, NEW.correct)"
    "    ON CONFLICT(sent) DO UPDATE SET answers = answers + 1,"
    "      correct = correct + excluded.correct;"
    "END;",
};
static_assert(std::size(kSchemaSteps) == kSchemaVersion);

char characterFrom(const unsigned char* text, int bytes) {
    if (!text || bytes <= 0)
        return 0;
    if (text[0] < 0x80)
        return static_cast<char>(text[0]);
    if (bytes >= 2 && (text[0] & 0xFC) == 0xC0)
        return static_cast<char>(((text[0] & 0x03) << 6) | (text[1] & 0x3F));
    return '?';
}

class Statement {
  public:
    Statement(sqlite3* db, const char* sql) {
        result_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool prepared() const { return result_ == SQLITE_OK; }
    int result() const { return result_; }

    Statement& bind(int i, std::int64_t value) {
        keep(sqlite3_bind_int64(stmt_, i, value));
        return *this;
    }
    Statement& bind(int i, const std::string& text) {
        keep(sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()),
                               SQLITE_TRANSIENT));
        return *this;
    }
    Statement& bind(int i, std::optional<std::int64_t> value) {
        if (value)
            return bind(i, *value);
        keep(sqlite3_bind_null(stmt_, i));
        return *this;
    }
    // Ready to be bound and stepped again.
    void reset() {
        if (!stmt_)
            return;
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        result_ = SQLITE_OK;
    }
    // SQLITE_ROW, SQLITE_DONE or the fault.
    int step() {
        if (result_ != SQLITE_OK)
            return result_;
        return sqlite3_step(stmt_);
    }

    std::int64_t integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
    std::optional<std::int64_t> optionalInteger(int column) const {
        if (isNull(column))
            return std::nullopt;
        return integer(column);
    }
    std::string text(int column) const {
        const auto* bytes = sqlite3_column_text(stmt_, column);
        return bytes ? std::string(reinterpret_cast<const char*>(bytes),
                                   static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                     : std::string();
    }
    char character(int column) const {
        const auto* bytes = sqlite3_column_text(stmt_, column);
        return characterFrom(bytes, sqlite3_column_bytes(stmt_, column));
    }

  private:
    void keep(int result) {
        if (result_ == SQLITE_OK)
            result_ = result;
    }
    sqlite3_stmt* stmt_ = nullptr;
    int result_ = SQLITE_OK;
};

}  // namespace

class Checkpointer {
  public:
    explicit Checkpointer(const std::filesystem::path& file)
        : thread_([this, file] { run(file); }) {}
    ~Checkpointer() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    void request() {
        {
            std::lock_guard lock(mutex_);
            wanted_ = true;
        }
        wake_.notify_one();
    }

  private:
    void run(const std::filesystem::path& file) {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(db, kBusyTimeoutMs);
            std::unique_lock lock(mutex_);
            for (;;) {
                wake_.wait(lock, [this] { return wanted_ || stopping_; });
                if (stopping_)
                    break;
                wanted_ = false;
                lock.unlock();
                // Passive: it copies what no reader still needs and never waits for a writer. A
                // read first: a connection knows the file is in write-ahead mode only once it
                // has looked at it.
                sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
                sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
                lock.lock();
            }
        }
        sqlite3_close_v2(db);
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool wanted_ = false;
    bool stopping_ = false;
    std::thread thread_;  // last: it starts when everything above is ready
};

// Characters are single bytes; they are kept as text so that any SQLite tool shows them.
std::string characterText(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80)
        return std::string(1, c);
    return {static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F))};
}

std::filesystem::path defaultProgressFile() {
    std::filesystem::path base;
    // A relative XDG_DATA_HOME is to be ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg && std::filesystem::path(xdg).is_absolute()) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* user = ::getpwuid(::getuid());
            home = user && user->pw_dir ? user->pw_dir : ".";
        }
        base = std::filesystem::path(home) / ".local" / "share";
    }
    return base / "keytut" / "progress.sqlite3";
}

std::string Fault::text() const {
    const std::string name = file.string();
    const std::string lead = "Progress is not being kept: ";
    switch (kind) {
        case FaultKind::Damaged:
            return lead + "the progress file " + name + " is damaged. It is left as it is.";
        case FaultKind::Foreign:
            return lead + name + " is not a progress file. It is left as it is.";
        case FaultKind::Newer:
            return lead + "the progress file " + name + " is from a newer version of this program.";
        case FaultKind::Unwritable:
            return lead + "the progress file " + name + " cannot be written.";
        case FaultKind::DiskFull:
            return lead + "the disk is full.";
        case FaultKind::Busy:
            return lead + "another program held the progress file too long.";
        case FaultKind::Failed:
            break;
    }
    return lead + "the progress file " + name + " cannot be written (" + detail + ").";
}

Store::Store(const std::filesystem::path& file, Mode mode) {
    open(file, mode);
}

Store::Store(InMemory) {
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        fail(sqlite3_errcode(db_), "opening");
        return;
    }
    prepareSchema();
}

Store::~Store() {
    close();
}

void Store::close() {
    // The thread first: it must not write to a file found damaged, nor outlive the store.
    checkpointer_.reset();
    if (!db_)
        return;
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void Store::fail(FaultKind kind, const std::string& detail) {
    close();
    if (!fault_)
        fault_ = Fault{kind, file_, detail};
}

void Store::fail(int code, const std::string& what) {
    const int systemError = db_ ? sqlite3_system_errno(db_) : 0;
    std::string detail = what + ": " + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
    FaultKind kind = FaultKind::Failed;
    switch (code & 0xFF) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            kind = FaultKind::Damaged;
            break;
        case SQLITE_FULL:
            kind = FaultKind::DiskFull;
            break;
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            kind = FaultKind::Unwritable;
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            kind = FaultKind::Busy;
            break;
        default:
            break;
    }
    if (systemError == ENOSPC || systemError == EDQUOT)
        kind = FaultKind::DiskFull;
    if (db_ && sqlite3_get_autocommit(db_) == 0)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    fail(kind, detail);
}

bool Store::exec(const char* sql) {
    const int result = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (result != SQLITE_OK) {
        fail(result, sql);
        return false;
    }
    return true;
}

void Store::open(const std::filesystem::path& file, Mode mode) {
    file_ = file;
    std::error_code error;
    if (mode == Mode::Create) {
        if (file.has_parent_path()) {
            std::filesystem::create_directories(file.parent_path(), error);
            if (error) {
                fail(FaultKind::Unwritable, file.parent_path().string() + ": " + error.message());
                return;
            }
        }
    } else if (!std::filesystem::exists(file, error)) {
        fail(FaultKind::Failed, "no such file");
        return;
    }
    if (mode == Mode::Read) {
        openForReading();
        return;
    }
    const int flags = SQLITE_OPEN_READWRITE | (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
    const int result = sqlite3_open_v2(file.c_str(), &db_, flags, nullptr);
    if (result != SQLITE_OK) {
        fail(result, "opening");
        return;
    }
    // SQLite opens a write-protected file for reading without saying so.
    if (sqlite3_db_readonly(db_, "main") == 1) {
        fail(FaultKind::Unwritable, "the file is write-protected");
        return;
    }
    if (prepareSchema())
        checkpointer_ = std::make_unique<Checkpointer>(file);
}

bool Store::readVersion(int& version, bool& empty) {
    Statement tables(db_, "SELECT count(*) FROM sqlite_master");
    int result = tables.step();
    if (result != SQLITE_ROW) {
        fail(result, "reading");
        return false;
    }
    empty = tables.integer(0) == 0;
    Statement read(db_, "PRAGMA user_version");
    result = read.step();
    if (result != SQLITE_ROW) {
        fail(result, "reading the schema version");
        return false;
    }
    version = static_cast<int>(read.integer(0));
    if (version > kSchemaVersion) {
        fail(FaultKind::Newer, "schema version " + std::to_string(version));
        return false;
    }
    if (version == 0 && !empty) {
        fail(FaultKind::Foreign, "tables of another program");
        return false;
    }
    return true;
}

void Store::openForReading() {
    auto openAndRead = [this](const std::string& name, int flags) {
        close();
        int result = sqlite3_open_v2(name.c_str(), &db_, SQLITE_OPEN_READONLY | flags, nullptr);
        if (result == SQLITE_OK) {
            sqlite3_extended_result_codes(db_, 1);
            sqlite3_busy_timeout(db_, kBusyTimeoutMs);
            Statement probe(db_, "PRAGMA user_version");
            result = probe.step();
        }
        return result == SQLITE_ROW ? SQLITE_OK : result;
    };
    int result = openAndRead(file_.string(), 0);
    std::error_code error;
    if (result != SQLITE_OK && !std::filesystem::exists(file_.string() + "-wal", error)) {
        // A write-ahead database in a folder that may not be written cannot share its index
        // file. With no log beside it everything is in the file itself, which is then read as
        // it stands.
        std::string uri = "file:";
        for (unsigned char c : file_.string()) {
            if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
                uri += static_cast<char>(c);
            } else {
                char escaped[4];
                std::snprintf(escaped, sizeof escaped, "%%%02X", c);
                uri += escaped;
            }
        }
        result = openAndRead(uri + "?immutable=1", SQLITE_OPEN_URI);
    }
    if (result != SQLITE_OK) {
        fail(result, "opening");
        return;
    }
    int version = 0;
    bool empty = true;
    if (!readVersion(version, empty))
        return;
    foundVersion_ = version;
    if (version != kSchemaVersion) {
        fail(FaultKind::Failed, "schema version " + std::to_string(version) +
                                    ", which only a program that may write the file brings "
                                    "forward");
    }
}

bool Store::prepareSchema() {
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // Read first: a file that is not a database, whose schema is damaged, that belongs to
    // another program or to a newer version is found here, before anything is written to it.
    int version = 0;
    bool empty = true;
    if (!readVersion(version, empty))
        return false;
    // Switching a new file to the log needs it to itself for a moment; another program doing
    // the same is not waited for by the busy timeout, so the switch is tried again meanwhile.
    for (int waited = 0;; waited += kRetryMs) {
        Statement journal(db_, "PRAGMA journal_mode=WAL");
        const int result = journal.step();
        if (result == SQLITE_ROW)
            break;
        if ((result & 0xFF) != SQLITE_BUSY || waited >= kBusyTimeoutMs) {
            fail(result, "switching to the write-ahead log");
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
    }
    const std::string settings =
        "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=" +
        std::to_string(kWalAutoCheckpointPages) +
        "; PRAGMA journal_size_limit=" + std::to_string(kWalSizeLimitBytes) + ";";
    if (!exec(settings.c_str()))
        return false;
    foundVersion_ = version;
    if (version == kSchemaVersion)
        return true;

    // Inside one write transaction, so that two programs opening a new file do not both create
    // the tables, and an upgrade is all there or not at all. The version is read again: the
    // other program may have brought the file forward meanwhile.
    if (!exec("BEGIN IMMEDIATE") || !readVersion(version, empty))
        return false;
    for (int step = version; step < kSchemaVersion; ++step) {
        if (!exec(kSchemaSteps[step]))
            return false;
    }
    if (version < kSchemaVersion) {
        const std::string setVersion = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
        if (!exec(setVersion.c_str()))
            return false;
    }
    return exec("COMMIT");
}

SessionId Store::beginSession(const SessionStart& start) {
    if (!db_)
        return 0;
    Statement insert(db_,
                     "INSERT INTO sessions(edition, exercise, started, course, level) "
                     "VALUES(?1, ?2, ?3, ?4, ?5)");
    insert.bind(1, start.edition).bind(2, start.exercise).bind(3, start.timeMs);
    if (start.course.empty())
        insert.bind(4, std::optional<std::int64_t>()).bind(5, std::optional<std::int64_t>());
    else
        insert.bind(4, start.course).bind(5, std::int64_t{start.level});
    const int result = insert.step();
    if (result != SQLITE_DONE) {
        fail(result, "starting a session");
        return 0;
    }
    return sqlite3_last_insert_rowid(db_);
}

void Store::record(SessionId session, const Answer& answer) {
    if (!db_ || session == 0)
        return;
    // One statement, one transaction: the answer with its session's and its character's counts
    // (the trigger), committed before this returns.
    Statement insert(db_,
                     "INSERT INTO answers(session, time, sent, answered, correct, response_ms, "
                     "char_wpm, word_wpm) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    insert.bind(1, session)
        .bind(2, answer.timeMs)
        .bind(3, characterText(answer.sent))
        .bind(4, answer.answered ? characterText(answer.answered) : std::string())
        .bind(5, std::int64_t{answer.right})
        .bind(6, answer.responseMs ? std::optional<std::int64_t>(*answer.responseMs)
                                   : std::optional<std::int64_t>())
        .bind(7, std::int64_t{answer.charWpm})
        .bind(8, std::int64_t{answer.wordWpm});
    const int result = insert.step();
    if (result != SQLITE_DONE) {
        fail(result, "keeping an answer");
        return;
    }
    if (++answersSinceCheckpoint_ >= kAnswersBetweenCheckpoints)
        requestCheckpoint();
}

void Store::requestCheckpoint() {
    answersSinceCheckpoint_ = 0;
    if (checkpointer_)
        checkpointer_->request();
}

void Store::endSession(SessionId session, std::int64_t timeMs) {
    if (!db_ || session == 0)
        return;
    Statement end(db_, "UPDATE sessions SET ended = ?2 WHERE id = ?1");
    end.bind(1, session).bind(2, timeMs);
    const int result = end.step();
    if (result != SQLITE_DONE) {
        fail(result, "ending a session");
        return;
    }
    requestCheckpoint();
}

std::vector<bool> Store::recentResults(char c, int count) {
    std::vector<bool> results;
    if (!db_ || count <= 0)
        return results;
    Statement select(db_, "SELECT correct FROM answers WHERE sent = ?1 ORDER BY id DESC LIMIT ?2");
    select.bind(1, characterText(c)).bind(2, std::int64_t{count});
    int result;
    while ((result = select.step()) == SQLITE_ROW)
        results.push_back(select.integer(0) != 0);
    if (result != SQLITE_DONE) {
        fail(result, "reading answers");
        return {};
    }
    std::reverse(results.begin(), results.end());
    return results;
}

std::optional<int> Store::level(const std::string& course) {
    if (!db_)
        return std::nullopt;
    Statement select(db_, "SELECT level FROM levels WHERE course = ?1");
    select.bind(1, course);
    const int result = select.step();
    if (result == SQLITE_ROW)
        return static_cast<int>(select.integer(0));
    if (result != SQLITE_DONE)
        fail(result, "reading the level");
    return std::nullopt;
}

void Store::keepLevel(const std::string& course, int level, std::int64_t timeMs) {
    if (!db_)
        return;
    Statement upsert(db_,
                     "INSERT INTO levels(course, level, used) VALUES(?1, ?2, ?3) "
                     "ON CONFLICT(course) DO UPDATE SET level = ?2, used = ?3");
    upsert.bind(1, course).bind(2, std::int64_t{level}).bind(3, timeMs);
    const int result = upsert.step();
    if (result != SQLITE_DONE)
        fail(result, "keeping the level");
}

std::optional<std::string> Store::takeFaultNotice() {
    if (!fault_ || faultTold_)
        return std::nullopt;
    faultTold_ = true;
    return fault_->text();
}

std::vector<CharacterStats> Store::characterStats() {
    std::vector<CharacterStats> all;
    if (!db_)
        return all;
    std::vector<std::pair<char, int>> totals;
    {
        Statement count(db_, "SELECT sent, answers FROM characters ORDER BY sent");
        int result;
        while ((result = count.step()) == SQLITE_ROW)
            totals.emplace_back(count.character(0), static_cast<int>(count.integer(1)));
        if (result != SQLITE_DONE) {
            fail(result, "counting answers");
            return {};
        }
    }
    Statement recent(db_,
                     "SELECT correct, response_ms FROM answers WHERE sent = ?1 "
                     "ORDER BY id DESC LIMIT ?2");
    for (const auto& [c, answers] : totals) {
        recent.reset();
        recent.bind(1, characterText(c)).bind(2, std::int64_t{kRecentAnswers});
        std::vector<bool> results;
        std::vector<int> responses;
        int result;
        while ((result = recent.step()) == SQLITE_ROW) {
            results.push_back(recent.integer(0) != 0);
            if (!recent.isNull(1))
                responses.push_back(static_cast<int>(recent.integer(1)));
        }
        if (result != SQLITE_DONE) {
            fail(result, "reading answers");
            return {};
        }
        std::reverse(results.begin(), results.end());
        all.push_back(statsOf(c, answers, results, responses));
    }
    return all;
}

std::optional<CourseLevel> Store::currentCourse() {
    if (!db_)
        return std::nullopt;
    Statement select(db_,
                     "SELECT course, level FROM levels ORDER BY used DESC, rowid DESC LIMIT 1");
    const int result = select.step();
    if (result == SQLITE_ROW)
        return CourseLevel{select.text(0), static_cast<int>(select.integer(1))};
    if (result != SQLITE_DONE)
        fail(result, "reading the course");
    return std::nullopt;
}

namespace {

constexpr const char* kSessionColumns =
    "SELECT id, edition, exercise, started, ended, answers, correct, course, level FROM sessions ";

SessionRow sessionRow(const Statement& row) {
    SessionRow session;
    session.id = row.integer(0);
    session.edition = row.text(1);
    session.exercise = row.text(2);
    session.startedMs = row.integer(3);
    session.endedMs = row.optionalInteger(4);
    session.answers = static_cast<int>(row.integer(5));
    session.right = static_cast<int>(row.integer(6));
    session.course = row.text(7);
    session.level = static_cast<int>(row.integer(8));
    return session;
}

}  // namespace

std::optional<SessionRow> Store::lastSession(const std::string& exercise) {
    if (!db_)
        return std::nullopt;
    const std::string sql = std::string(kSessionColumns) +
                            "WHERE exercise = ?1 AND answers > 0 ORDER BY id DESC LIMIT 1";
    Statement select(db_, sql.c_str());
    select.bind(1, exercise);
    const int result = select.step();
    if (result == SQLITE_ROW)
        return sessionRow(select);
    if (result != SQLITE_DONE)
        fail(result, "reading the sessions");
    return std::nullopt;
}

void Store::forEachSession(const std::function<void(const SessionRow&)>& visit) {
    if (!db_)
        return;
    const std::string sql = std::string(kSessionColumns) + "ORDER BY id";
    Statement select(db_, sql.c_str());
    int result;
    while ((result = select.step()) == SQLITE_ROW)
        visit(sessionRow(select));
    if (result != SQLITE_DONE)
        fail(result, "reading the sessions");
}

void Store::forEachAnswer(const std::function<void(const AnswerRow&)>& visit) {
    if (!db_)
        return;
    Statement select(db_,
                     "SELECT a.session, s.edition, s.exercise, a.time, a.sent, a.answered, "
                     "a.correct, a.response_ms, a.char_wpm, a.word_wpm "
                     "FROM answers a JOIN sessions s ON s.id = a.session ORDER BY a.id");
    int result;
    while ((result = select.step()) == SQLITE_ROW) {
        AnswerRow row;
        row.session = select.integer(0);
        row.edition = select.text(1);
        row.exercise = select.text(2);
        row.answer.timeMs = select.integer(3);
        row.answer.sent = select.character(4);
        row.answer.answered = select.character(5);
        row.answer.right = select.integer(6) != 0;
        if (auto ms = select.optionalInteger(7))
            row.answer.responseMs = static_cast<int>(*ms);
        row.answer.charWpm = static_cast<int>(select.integer(8));
        row.answer.wordWpm = static_cast<int>(select.integer(9));
        visit(row);
    }
    if (result != SQLITE_DONE)
        fail(result, "reading the answers");
}

}  // namespace keytut::progress
