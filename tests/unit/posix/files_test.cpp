#include "core/picture/bitmap_check.h"
#include "core/system/files.h"
#include "earlier_file_test.h"
#include "error_of.h"
#include "system_own.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace test;

constexpr uid_t kNobody = 65534;

std::string replaceError(const fs::path& file) {
    const std::string text = "new text";
    return errorOf([&] { replaceFile(file.string(), {{text.data(), text.size()}}); });
}

// Root writes whatever a folder's permissions say, so a child becomes an ordinary user and
// replaces the file there.
std::string replaceErrorOfAnOrdinaryUser(const fs::path& file) {
    const auto asOrdinaryUser = [&] {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            return std::string("cannot leave root");
        }
        return replaceError(file);
    };
    return runCapped(asOrdinaryUser).said;
}

using Replacing = EarlierFileTest;

// A read-only folder; then a writable one, which would let the rename through, where the file's
// own permissions forbid it.
TEST_F(Replacing, AReadOnlyFolderAndAFileTheUserMayNotWriteDenyAccess) {
    fs::permissions(folder,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(replaceErrorOfAnOrdinaryUser(file), "File access denied");
    expectOldFileAloneIntact();

    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(dir.path().c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(chown(folder.c_str(), kNobody, kNobody), 0);
    }
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(replaceErrorOfAnOrdinaryUser(file), "File access denied");
    expectOldFileAloneIntact();
}

TEST_F(Replacing, TheNewFileKeepsTheOldOnesPermissions) {
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(replaceError(file), "");
    EXPECT_EQ(readFile(file), "new text");
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// The user keeps the settings elsewhere: the link stays, its target takes the new text.
TEST_F(Replacing, ALinkIsWrittenThroughToItsTarget) {
    const fs::path elsewhere = dir.path() / "kept" / "settings.txt";
    fs::create_directory(elsewhere.parent_path());
    fs::rename(file, elsewhere);
    fs::create_symlink("../kept/settings.txt", file);
    EXPECT_EQ(replaceError(file), "");
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(readFile(elsewhere), "new text");
    EXPECT_EQ(namesIn(elsewhere.parent_path()), std::vector<std::string>{"settings.txt"});
}

TEST_F(Replacing, AWriteCutShortRemovesTheTemporaryFile) {
    const Outcome outcome = runCapped([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 4; // the first write stops short, the next one fails
        setrlimit(RLIMIT_FSIZE, &limit);
        return replaceError(file);
    });
    EXPECT_EQ(outcome.said, "I/O error " + std::to_string(EFBIG));
    expectOldFileAloneIntact();
}

// A file system of 16 KiB, mounted where only the child sees it: the replace and the copy both
// run out of space, report it, and leave nothing behind.
TEST(FullDisk, IsReportedAndLeavesNoFile) {
    TempDir dir;
    TempDir full;
    const fs::path picture = dir.path() / "big.bmp";
    writeFile(picture, std::string(64 * 1024, 'x'));
    const Outcome outcome = runCapped([&] {
        if (unshare(CLONE_NEWNS) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return std::string("no mount namespace");
        }
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
        if (mount("tmpfs", full.path().c_str(), "tmpfs", 0, "size=16k") != 0) {
            return std::string("no tmpfs");
        }
        const std::string big(64 * 1024, 'x');
        std::string error = errorOf([&] {
            replaceFile((full.path() / "c.bmp").string(), {{big.data(), big.size()}});
        });
        error +=
            " " + std::to_string(copyNewFile(picture.string(), (full.path() / "d.bmp").string()));
        return error + (namesIn(full.path()).empty() ? "" : " left");
    });
    EXPECT_EQ(outcome.said, "Disk full " + std::to_string(ENOSPC));
}

// Each save has a temporary of its own: a planted link at any name is never followed, a file
// of the user's is never touched, and two writers at once leave one whole save.
TEST_F(Replacing, NoPlantedNameIsFollowedAndTwoWritersLeaveOneWholeSave) {
    const fs::path victim = dir.path() / "victim.txt";
    writeFile(victim, "mine");
    fs::create_symlink(victim, file.string() + ".tmp");
    EXPECT_EQ(replaceError(file), "");
    EXPECT_EQ(readFile(victim), "mine");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"soxran.txt", "soxran.txt.tmp"}));

    const std::string mine(20000, 'a');
    const std::string theirs(30000, 'b');
    const pid_t other = fork();
    const std::string& text = other == 0 ? theirs : mine;
    int mixed = 0;
    for (int round = 0; round < 200; ++round) {
        replaceFile(file.string(), {{text.data(), text.size()}});
        const std::string now = readFile(file);
        mixed += now != mine && now != theirs;
    }
    if (other == 0) {
        std::_Exit(mixed);
    }
    int status = 0;
    waitpid(other, &status, 0);
    EXPECT_EQ(mixed + WEXITSTATUS(status), 0) << "saves read back mixed";
    EXPECT_EQ(namesIn(folder).size(), 2u) << "a temporary stayed behind";
}

// A copy onto a file gives errno's own value and leaves the file; a copy that succeeds, and the
// codes of a missing file or folder, are checked where the picture choice makes and reports them.
TEST(ErrnoValues, AreMappedToTheTableOneByOneAndACopyGivesItsOwn) {
    TempDir dir;
    const std::string present = (dir.path() / "f").string();
    // Whole paths, with and without their folder, are settings_file_test's missing file.
    EXPECT_EQ(ioErrorText(ENOENT, "f"), "File not found");
    EXPECT_EQ(ioErrorText(ENOTDIR, present), "Invalid filename");
    for (const int error : {EMFILE, ENFILE}) {
        EXPECT_EQ(ioErrorText(error, present), "Too many open files") << error;
    }
    for (const int error : {EACCES, EPERM, EROFS}) {
        EXPECT_EQ(ioErrorText(error, present), "File access denied") << error;
    }
    for (const int error : {ENOSPC, EDQUOT}) {
        EXPECT_EQ(ioErrorText(error, present), "Disk full") << error;
    }
    // Numbers the table gives other meanings are shown as numbers.
    EXPECT_EQ(ioErrorText(EIO, present), "I/O error " + std::to_string(EIO));
    EXPECT_EQ(ioErrorText(EISDIR, present), "I/O error " + std::to_string(EISDIR));

    writeFile(dir.path() / "a.bmp", "picture");
    writeFile(dir.path() / "b.bmp", "another");
    EXPECT_EQ(copyNewFile((dir.path() / "a.bmp").string(), (dir.path() / "b.bmp").string()),
              EEXIST);
    EXPECT_EQ(readFile(dir.path() / "b.bmp"), "another");
}

// A pipe with nobody at its other end would block an ordinary open for ever.
TEST(Fifo, IsReadWithoutWaitingForAWriter) {
    TempDir dir;
    const fs::path fifo = dir.path() / "soxran.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readWholeFile(fifo.string()), "");
    EXPECT_EQ(errorOf([&] { checkBitmapFile(fifo.string()); }), "Bitmap image is not valid");
}

} // namespace
} // namespace kivo
