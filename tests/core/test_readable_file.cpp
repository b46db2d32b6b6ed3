// Only regular files are opened for reading, without ever waiting: everything else named like a
// data file or a sound is treated as missing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/readable_file.h"

using namespace keytut;

TEST(ReadableFile, OnlyRegularFilesOpenAndNothingWaits) {
    auto dir =
        std::filesystem::temp_directory_path() / ("keytut-readable-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "plain.txt", std::ios::binary) << "12345";
    std::filesystem::create_symlink(dir / "plain.txt", dir / "link.txt");
    std::filesystem::create_symlink("/dev/null", dir / "device.wav");
    std::filesystem::create_directory(dir / "folder.wav");
    ASSERT_EQ(::mkfifo((dir / "fifo.wav").c_str(), 0600), 0);

    ReadableFile plain(dir / "plain.txt", 5);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain.size(), 5u);
    EXPECT_EQ(plain.readAll(), "12345");
    EXPECT_EQ(ReadableFile(dir / "link.txt", kAnySize).readAll(), "12345");
    EXPECT_EQ(ReadableFile(dir / "plain.txt", 4).fault(), FileFault::TooLarge);

    ::alarm(20);  // an open that waits on the FIFO ends the test instead of hanging it
    EXPECT_EQ(ReadableFile(dir / "fifo.wav", kAnySize).fault(), FileFault::Missing);
    ::alarm(0);
    EXPECT_EQ(ReadableFile(dir / "device.wav", kAnySize).fault(), FileFault::Missing);
    EXPECT_EQ(ReadableFile(dir / "folder.wav", kAnySize).fault(), FileFault::Missing);
    EXPECT_EQ(ReadableFile(dir / "none.wav", kAnySize).fault(), FileFault::Missing);
    if (::geteuid() != 0) {  // root reads whatever the permissions say
        std::filesystem::permissions(dir / "plain.txt", std::filesystem::perms::none);
        EXPECT_EQ(ReadableFile(dir / "plain.txt", kAnySize).fault(), FileFault::Unreadable);
    }
    std::filesystem::remove_all(dir);
}
