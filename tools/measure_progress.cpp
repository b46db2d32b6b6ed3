// Measures the progress store (see measure-progress.sh):
//   keytut-measure-progress commit FILE COUNT   COUNT answers, each its own commit, as the trainer
//                                               keeps them (sessions of 100), on FILE as it is
//   keytut-measure-progress fill FILE COUNT     adds COUNT answers of a year of practice at once
//   keytut-measure-progress summary FILE RUNS   opens FILE and makes the progress summary RUNS
//                                               times
// Times are printed in milliseconds.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "exercises/koch_trainer.h"
#include "progress/report.h"
#include "progress/store.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace keytut;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double quantile(std::vector<double> values, double q) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

void printTimes(const char* what, const std::vector<double>& ms) {
    const auto slow = std::count_if(ms.begin(), ms.end(), [](double t) { return t > 10.0; });
    std::printf("%s: %zu, p50 %.3f ms, p99 %.3f ms, max %.3f ms, %zd over 10 ms\n", what, ms.size(),
                quantile(ms, 0.5), quantile(ms, 0.99), quantile(ms, 1.0),
                static_cast<std::ptrdiff_t>(slow));
}

int commit(const char* file, int count) {
    progress::Store store(file);
    if (!store.keeping()) {
        std::fprintf(stderr, "%s\n", store.fault()->text().c_str());
        return 1;
    }
    std::mt19937 random(3);
    std::vector<double> answers;
    std::vector<double> sessionEnds;
    progress::SessionId session = 0;
    const std::string course(kLcwoCourseOrder);
    for (int i = 0; i < count; ++i) {
        if (i % 100 == 0)
            session = store.beginSession({"earkey", "koch", i, course, 10});
        progress::Answer answer{i,
                                course[random() % 10],
                                'K',
                                random() % 10 < 8,
                                static_cast<int>(300 + random() % 2000),
                                20,
                                15};
        const auto start = Clock::now();
        store.record(session, answer);
        answers.push_back(msSince(start));
        if (i % 100 == 99) {
            const auto end = Clock::now();
            store.endSession(session, i);
            sessionEnds.push_back(msSince(end));
        }
    }
    if (!store.keeping()) {
        std::fprintf(stderr, "%s\n", store.fault()->text().c_str());
        return 1;
    }
    printTimes("commit of one answer", answers);
    printTimes("end of a session (its checkpoint handed to the thread)", sessionEnds);
    return 0;
}

// A year of practice, written as the store writes it (its trigger counting each answer), but in
// one transaction: Koch sessions of 100 answers, one every few minutes, the level rising
// through the course, about 85 % right, response times of 0.3 to 3 s; every tenth session a
// lesson's recognition stage.
int fill(const char* file, long long count) {
    {
        progress::Store schema(file);  // creates the file and its schema, or checks them
        if (!schema.keeping()) {
            std::fprintf(stderr, "%s\n", schema.fault()->text().c_str());
            return 1;
        }
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(file, &db) != SQLITE_OK)
        return 1;
    sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* session = nullptr;
    sqlite3_stmt* answer = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO sessions(edition, exercise, started, ended, course, level) "
                       "VALUES(?1, ?2, ?3, ?4, ?5, ?6)",
                       -1, &session, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO answers(session, time, sent, answered, correct, response_ms, "
                       "char_wpm, word_wpm) VALUES(?1, ?2, ?3, ?4, ?5, ?6, 20, 15)",
                       -1, &answer, nullptr);
    std::mt19937 random(5);
    const std::string course(kLcwoCourseOrder);
    const long long sessions = (count + 99) / 100;
    std::int64_t time = 1'700'000'000'000;
    long long written = 0;
    for (long long s = 0; s < sessions; ++s) {
        const bool koch = s % 10 != 9;
        const int level = static_cast<int>(2 + (course.size() - 2) * s / sessions);
        time += 180'000 + random() % 3'600'000;
        sqlite3_bind_text(session, 1, s % 2 ? "keyview" : "earkey", -1, SQLITE_STATIC);
        sqlite3_bind_text(session, 2, koch ? "koch" : "lesson", -1, SQLITE_STATIC);
        sqlite3_bind_int64(session, 3, time);
        sqlite3_bind_int64(session, 4, time + 300'000);
        if (koch) {
            sqlite3_bind_text(session, 5, course.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_int(session, 6, level);
        } else {
            sqlite3_bind_null(session, 5);
            sqlite3_bind_null(session, 6);
        }
        sqlite3_step(session);
        sqlite3_reset(session);
        const std::int64_t id = sqlite3_last_insert_rowid(db);
        for (int a = 0; a < 100 && written < count; ++a, ++written) {
            const char sent = course[random() % static_cast<unsigned>(level)];
            const bool right = random() % 100 < 85;
            const char answered = right ? sent : (random() % 4 ? course[random() % 41] : 0);
            const char sentText[2] = {sent, 0};
            const char answeredText[2] = {answered, 0};
            sqlite3_bind_int64(answer, 1, id);
            sqlite3_bind_int64(answer, 2, time + a * 3000);
            sqlite3_bind_text(answer, 3, sentText, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(answer, 4, answeredText, -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(answer, 5, right ? 1 : 0);
            if (koch && random() % 5 == 0)
                sqlite3_bind_null(answer, 6);
            else
                sqlite3_bind_int(answer, 6, static_cast<int>(300 + random() % 2700));
            sqlite3_step(answer);
            sqlite3_reset(answer);
        }
    }
    sqlite3_finalize(session);
    sqlite3_finalize(answer);
    const std::string level = "INSERT OR REPLACE INTO levels VALUES('" + course + "', " +
                              std::to_string(course.size() - 1) + ", " + std::to_string(time) + ")";
    sqlite3_exec(db, level.c_str(), nullptr, nullptr, nullptr);
    const bool ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok ? 0 : 1;
}

int summary(const char* file, int runs) {
    std::vector<double> times;
    std::vector<std::string> lines;
    for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        progress::Store store(file, progress::Store::Mode::Existing);
        const auto report = progress::progressReport(store, std::string(kLcwoCourseOrder),
                                                     kKochFirstLevel, std::string(kKochExercise));
        lines = report.lines();
        times.push_back(msSince(start));
        if (store.fault()) {
            std::fprintf(stderr, "%s\n", store.fault()->text().c_str());
            return 1;
        }
    }
    printTimes("open and summary", times);
    std::printf("  %s\n  %s\n", lines.front().c_str(), lines.size() > 1 ? lines[1].c_str() : "");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s commit|fill|summary FILE COUNT\n", argv[0]);
        return 2;
    }
    const std::string what = argv[1];
    const long long count = std::atoll(argv[3]);
    if (what == "commit")
        return commit(argv[2], static_cast<int>(count));
    if (what == "fill")
        return fill(argv[2], count);
    if (what == "summary")
        return summary(argv[2], static_cast<int>(count));
    std::fprintf(stderr, "unknown measurement '%s'\n", what.c_str());
    return 2;
}
