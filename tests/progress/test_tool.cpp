// keytut-progress run as a learner or a teacher runs it, on files the store wrote.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "../exercises/temp_folder.h"
#include "progress/store.h"

using namespace keytut::progress;
using keytut::testing::TempFolder;

namespace {

struct Run {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Runs the tool with `args`; as user `uid` when it is not -1 (the test runs as root in CI).
Run runTool(const std::vector<std::string>& args, const std::filesystem::path& folder,
            int uid = -1) {
    const auto out = folder / "tool.out";
    const auto err = folder / "tool.err";
    const pid_t child = ::fork();
    if (child == 0) {
        if (uid >= 0 &&
            (::setgid(static_cast<gid_t>(uid)) != 0 || ::setuid(static_cast<uid_t>(uid)) != 0)) {
            ::_exit(99);
        }
        if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr))
            ::_exit(98);
        std::vector<char*> argv{const_cast<char*>(KEYTUT_PROGRESS_TOOL)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(KEYTUT_PROGRESS_TOOL, argv.data());
        ::_exit(97);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
}

Answer answer(char sent, char answered, std::int64_t timeMs, std::optional<int> responseMs) {
    return Answer{timeMs, sent, answered, sent == answered, responseMs, 20, 15};
}

// 2023-11-14T22:13:20Z
constexpr std::int64_t kT = 1'700'000'000'000;

void keepTwoSessions(const std::filesystem::path& file) {
    Store store(file);
    const SessionId lesson = store.beginSession({"keyview", "lesson", kT, "", 0});
    store.record(lesson, answer('E', 'E', kT + 1500, 700));
    store.record(lesson, answer('"', ',', kT + 2500, 1900));  // marks that CSV must quote
    store.endSession(lesson, kT + 3000);
    store.keepLevel("KMU", 3, kT + 4000);
    const SessionId koch = store.beginSession({"earkey", "koch", kT + 5000, "KMU", 3});
    for (int i = 0; i < 4; ++i)
        store.record(koch, answer("KMUK"[i], i == 2 ? 0 : 'K', kT + 6000 + i, {}));
}

}  // namespace

TEST(ProgressTool, SummaryAnswersAndSessionsOfAKeptHistory) {
    TempFolder folder;
    const auto file = folder.path / "progress.sqlite3";
    keepTwoSessions(file);

    auto run = runTool({"--progress", file.string(), "summary"}, folder.path);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Level 3 of 3. Last session 50 percent. Weakest: M 0 percent, U 0 percent, \" 0 "
              "percent\n"
              "K: 100 percent of 2 answers\n"
              "M: 0 percent of 1 answer\n"
              "U: 0 percent of 1 answer\n"
              "\": 0 percent of 1 answer, 1.9 seconds\n"
              "E: 100 percent of 1 answer, 0.7 seconds\n");

    run = runTool({"csv", "--progress=" + file.string()}, folder.path);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "time,edition,exercise,session,sent,answered,right,response_ms,char_wpm,word_wpm\n"
              "2023-11-14T22:13:21.500Z,keyview,lesson,1,E,E,1,700,20,15\n"
              "2023-11-14T22:13:22.500Z,keyview,lesson,1,\"\"\"\",\",\",0,1900,20,15\n"
              "2023-11-14T22:13:26.000Z,earkey,koch,2,K,K,1,,20,15\n"
              "2023-11-14T22:13:26.001Z,earkey,koch,2,M,K,0,,20,15\n"
              "2023-11-14T22:13:26.002Z,earkey,koch,2,U,,0,,20,15\n"
              "2023-11-14T22:13:26.003Z,earkey,koch,2,K,K,1,,20,15\n");

    run = runTool({"--progress", file.string(), "sessions"}, folder.path);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "session,edition,exercise,start,end,answers,right,percent,course,level\n"
              "1,keyview,lesson,2023-11-14T22:13:20.000Z,2023-11-14T22:13:23.000Z,2,1,50,,\n"
              "2,earkey,koch,2023-11-14T22:13:25.000Z,,4,2,50,KMU,3\n");

    // The default file is the one under $XDG_DATA_HOME.
    std::filesystem::create_directories(folder.path / "data" / "keytut");
    std::filesystem::copy_file(file, folder.path / "data" / "keytut" / "progress.sqlite3");
    ::setenv("XDG_DATA_HOME", (folder.path / "data").c_str(), 1);
    run = runTool({"sessions"}, folder.path);
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3);
}

TEST(ProgressTool, BadCommandLinesMissingAndDamagedFiles) {
    TempFolder folder;
    const auto file = folder.path / "progress.sqlite3";
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"report"},
                                                 {"summary", "csv"},
                                                 {"--progress"},
                                                 {"--verbose", "summary"}}) {
        const auto run = runTool(args, folder.path);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Usage: keytut-progress"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(runTool({"--help"}, folder.path).status, 0);

    auto run = runTool({"--progress", file.string(), "summary"}, folder.path);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "keytut-progress: no progress kept yet: " + file.string() + " does not exist\n");
    EXPECT_FALSE(std::filesystem::exists(file));  // and it is not created

    folder.write("progress.sqlite3", std::string(5000, '\x07'));
    run = runTool({"--progress", file.string(), "csv"}, folder.path);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(
        run.err.rfind("keytut-progress: " + file.string() + " is damaged; it is left as it is", 0),
        0u)
        << run.err;
    EXPECT_EQ(readFile(file), std::string(5000, '\x07'));
}

// A copy of a learner's file that the teacher may not write is read as it is.
TEST(ProgressTool, AFileThatMayNotBeWrittenIsOnlyRead) {
    TempFolder folder;
    const auto shared = folder.path / "copy";
    std::filesystem::create_directory(shared);
    const auto file = shared / "progress.sqlite3";
    keepTwoSessions(file);
    const std::string before = readFile(file);
    using std::filesystem::perms;
    std::filesystem::permissions(file, perms::owner_read | perms::group_read | perms::others_read);
    std::filesystem::permissions(shared, perms::owner_read | perms::owner_exec | perms::group_read |
                                             perms::group_exec | perms::others_read |
                                             perms::others_exec);
    std::filesystem::permissions(folder.path, perms::others_exec,
                                 std::filesystem::perm_options::add);
    const int nobody = ::geteuid() == 0 ? 65534 : -1;
    const auto out = folder.path / "out";
    std::filesystem::create_directory(out);
    std::filesystem::permissions(out, perms::all);
    const auto run = runTool({"--progress", file.string(), "csv"}, out, nobody);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 7) << run.out;
    EXPECT_EQ(readFile(file), before);
    std::filesystem::permissions(shared, perms::owner_all);
}
