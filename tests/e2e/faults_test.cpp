// A save that fails on the real program: the settings folder gone, read-only or full when the
// user answers OK. The error box shows, the program stays open, the settings of the last good
// save stay intact, and a save once the folder is back in order still works.
#include "files.h"
#include "kivo_test.h"
#include "temp_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace kivo::e2e {
namespace {

namespace fs = std::filesystem;

// The window that the earlier settings, of the last good save, place.
constexpr Rect kEarlier{0, 0, 280, 280};

// Mounts that only this test process and its children see: the process moves into a mount
// namespace of its own, whose mounts die with it even when a test crashes half-way.
class PrivateMounts {
  public:
    // Whether mounting works here (root, or a container that allows it); asked once.
    static bool available() {
        static const bool entered = [] {
            if (unshare(CLONE_NEWNS) != 0) {
                return false;
            }
            // Without this, mounts below a shared "/" would propagate back to the host.
            return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        }();
        return entered;
    }

    ~PrivateMounts() {
        for (auto target = targets_.rbegin(); target != targets_.rend(); ++target) {
            umount2(target->c_str(), MNT_DETACH);
        }
    }

    bool tmpfs(const fs::path& target, const std::string& options) {
        return done(target, mount("tmpfs", target.c_str(), "tmpfs", 0, options.c_str()));
    }
    bool readOnlyBind(const fs::path& target) {
        return done(target, mount(target.c_str(), target.c_str(), nullptr, MS_BIND, nullptr)) &&
               remount(target, MS_RDONLY);
    }
    bool remount(const fs::path& target, unsigned long flags) {
        if (mount(nullptr, target.c_str(), nullptr, MS_REMOUNT | MS_BIND | flags, nullptr) != 0) {
            std::cerr << "remount " << target << ": " << std::strerror(errno) << "\n";
            return false;
        }
        return true;
    }

  private:
    bool done(const fs::path& target, int result) {
        if (result != 0) {
            std::cerr << "mount on " << target << ": " << std::strerror(errno) << "\n";
            return false;
        }
        targets_.push_back(target);
        return true;
    }

    std::vector<fs::path> targets_;
};

// Fills the file system that holds the folder until a write fails; false when it never does.
bool fillUp(const fs::path& folder) {
    std::FILE* filler = std::fopen((folder / "filler").c_str(), "wb");
    if (filler == nullptr) {
        return false;
    }
    const std::string block(4096, '\0');
    bool full = false;
    for (int i = 0; i < 1 << 16 && !full; ++i) {
        full = std::fwrite(block.data(), 1, block.size(), filler) != block.size() ||
               std::fflush(filler) != 0;
    }
    std::fclose(filler);
    return full;
}

class FailedSave : public KivoTest {
  protected:
    void TearDown() override {
        KivoTest::TearDown();
        mounts.reset();
    }

    fs::path date() { return folder().program() / "date"; }

    // The settings file that a save of the window there writes.
    std::string savedBytes(const Rect& form) {
        return folder().settingsBytes(settingsLines(folder().defaultPicture(), form));
    }

    void openWithEarlierSettings() {
        writeFile(folder().settingsFile(), savedBytes(kEarlier));
        openWindow();
        ASSERT_EQ(window.geometry, kEarlier) << "the earlier settings were not read";
    }

    // Saves into the spoiled folder, expects the box, the program open and the earlier file in
    // `kept` with nothing new beside it, then mends the folder and expects the next save to
    // work and end the program.
    void failThenMend(const fs::path& kept, std::size_t namesKept,
                      const std::function<void()>& mend) {
        dragBy(40, 30);
        closeAnswering(Answer::Ok);
        const auto box = waitForErrorBox();
        ASSERT_TRUE(box) << "no error box after the failed save";
        EXPECT_TRUE(kivo().running()) << "the program ended after a failed save";
        ASSERT_TRUE(answer(*box, "Return")) << "Enter left the error box open";
        EXPECT_FALSE(kivo().waitExit(std::chrono::milliseconds(500)))
            << "the program ended after the error box";
        EXPECT_TRUE(x().viewable(window.id)) << "the main window is gone";
        EXPECT_EQ(readFile(kept / "soxran.txt"), savedBytes(kEarlier));
        EXPECT_EQ(test::namesIn(kept).size(), namesKept) << "the failed save left a file behind";

        mend();
        dragBy(20, 10);
        closeAnswering(Answer::Ok);
        ASSERT_EQ(kivo().waitExit(timeout()), 0) << "the second save did not end the program";
        EXPECT_EQ(readFile(folder().settingsFile()), savedBytes(window.geometry));
    }

    std::unique_ptr<PrivateMounts> mounts = std::make_unique<PrivateMounts>();
};

TEST_F(FailedSave, AMissingSettingsFolderIsReportedAndNotCreated) {
    openWithEarlierSettings();
    // Moved away rather than deleted, so that the earlier file can be checked afterwards.
    const fs::path moved = folder().program() / "date.moved";
    fs::rename(date(), moved);
    failThenMend(moved, 1, [&] {
        EXPECT_FALSE(fs::exists(date())) << "the program made the settings folder itself";
        fs::rename(moved, date());
    });
}

// Over an ornament that stays on top and breathes, the box still opens above it.
TEST_F(FailedSave, AMissingSettingsFolderIsReportedAboveAnOrnamentOnTop) {
    openWithEarlierSettings();
    acceptStayOnTop();
    startBreathing();
    ASSERT_TRUE(waitForRest()) << "the breathing never reached its rest";
    ASSERT_TRUE(staysAbove()) << "the breathing did not put the window on top";
    fs::rename(date(), folder().program() / "date.moved");
    closeAnswering(Answer::Ok); // the changed level asks to save
    const auto box = waitForErrorBox();
    ASSERT_TRUE(box) << "no error box after the failed save";
    EXPECT_TRUE(x().stackedAbove(box->id, window.id)) << "the box opened below the ornament";
    EXPECT_TRUE(answer(*box, "Return"));
}

TEST_F(FailedSave, AReadOnlySettingsFolderIsReportedAndItsFileKept) {
    const bool mountable = PrivateMounts::available();
    if (!mountable && geteuid() == 0) {
        GTEST_SKIP() << "root ignores permissions and this system allows no read-only mount";
    }
    openWithEarlierSettings();
    // Root writes through any permission bits: a read-only mount stops it as it stops a user.
    if (mountable) {
        ASSERT_TRUE(mounts->readOnlyBind(date()));
    } else {
        fs::permissions(date(), fs::perms::owner_read | fs::perms::owner_exec);
    }
    failThenMend(date(), 1, [&] {
        if (mountable) {
            ASSERT_TRUE(mounts->remount(date(), 0));
        } else {
            fs::permissions(date(), fs::perms::owner_all, fs::perm_options::add);
        }
    });
}

TEST_F(FailedSave, AFullDiskIsReportedAndTheEarlierFileKept) {
    if (!PrivateMounts::available()) {
        GTEST_SKIP() << "No mounts here, and a save follows no link planted to /dev/full";
    }
    // The folder is a small file system of its own, holding the earlier settings.
    ASSERT_TRUE(mounts->tmpfs(date(), "size=64k,mode=755"));
    openWithEarlierSettings();
    ASSERT_TRUE(fillUp(date())) << "the small file system never filled up";
    failThenMend(date(), 2, [&] { fs::remove(date() / "filler"); });
}

} // namespace
} // namespace kivo::e2e
