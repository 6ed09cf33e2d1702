// The settings as the program reads them at its start and writes them at its closing, with the
// pictures that they name, and saves that fail.
#include "files.h"
#include "jpeg_maker.h"
#include "kivo_test.h"
#include "temp_files.h"
#include "wait.h"

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

bool isOrange(Rgb c) {
    return c.r > 180 && c.r > c.g + 20 && c.g > c.b + 40;
}

bool isPinkOrBlue(Rgb c) {
    return c.b > c.g + 20;
}

// A picture in two colours, left half and right half, so that it cannot pass for 1.bmp.
Image twoColourPicture(int width, int height) {
    Image picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.set(x, y, x < width / 2 ? Rgb{0xC0, 0x40, 0x20} : Rgb{0x30, 0xA0, 0x30});
        }
    }
    return picture;
}

using StartUp = KivoTest;

// Four starts: without settings the window opens as designed at the top-left corner,
// unframed and unshaped; reading stops at a bad number, reported before the window opens,
// which keeps the values read before it; a missing picture is reported and the design-time one
// shown; the settings name the picture by the path as the face's system writes it, here in a
// folder with a Cyrillic name, in the face's code page, and place and size the window.
TEST_F(StartUp, OpensAsDesignedOrAsTheSettingsSayAndReportsABadNumberOrAMissingPicture) {
    openWindow();
    EXPECT_EQ(window.geometry, kDesignWindow);
    EXPECT_EQ(x().frameGeometry(window.id), window.geometry) << "the window has a frame";
    EXPECT_EQ(x().shapeRectangles(window.id), std::vector<Rect>{kDesignWindow});
    const Image first = expectPictureShown(readBmp(folder().defaultPicture()));
    EXPECT_TRUE(isLightGrey(first.at(1, 1))) << first.at(1, 1);

    folder().writeSettings({"Formkivo.left=30", "Formkivo.top=1x2", "Formkivo.width=400"});
    startKivo();
    ASSERT_TRUE(waitForErrorBox()) << "no error box";
    EXPECT_FALSE(mainWindowShows()) << "the main window opened before the error was acknowledged";
    dismissErrorBox();
    EXPECT_EQ(window.geometry, (Rect{30, 0, 280, 279})) << "the width after the bad line applied";
    EXPECT_TRUE(kivo().running());

    folder().writeSettings(
        {"Image=" + face().nativePath(folder().program() / "image" / "gone.bmp")});
    startKivo();
    dismissErrorBox();
    EXPECT_EQ(window.geometry, kDesignWindow);
    const auto neutralBounds = [&](const Image& shot) {
        return boundsOf(kDesignWindow, [&](int x, int y) { return isNeutral(shot.at(x, y)); });
    };
    // The start-up stopped before centring the panel.
    const Image design = waitForCapture(window.geometry, [&](const Image& image) {
        return startButtonShows(image) && neutralBounds(image) == kDesignPanel;
    });
    EXPECT_EQ(neutralBounds(design), kDesignPanel);
    // Pixels of a colour, leaving out the controls.
    const auto count = [&](bool (*colour)(Rgb)) {
        int found = 0;
        for (int y = 0; y < kDesignWindow.height; ++y) {
            for (int x = 0; x < kDesignWindow.width; ++x) {
                const bool control = kStartButtonArea.contains(x, y) || kDesignPanel.contains(x, y);
                found += !control && colour(design.at(x, y)) ? 1 : 0;
            }
        }
        return found;
    };
    EXPECT_GT(count(isGreen), 20000);
    EXPECT_GT(count(isOrange), 5000);
    EXPECT_LT(count(isPinkOrBlue), 100);

    const fs::path pictures = folder().root() / "картинки";
    fs::create_directory(pictures);
    const Image picture = twoColourPicture(300, 200);
    writeFile(pictures / "море.bmp", bmpBytes(picture));
    folder().writeSettings(settingsLines(pictures / "море.bmp", {50, 60, 400, 300}));
    openWindow();
    EXPECT_EQ(window.geometry, (Rect{50, 60, 400, 300}));

    const Rect panel{160, 106, 80, 88}; // centred on the window
    const Image shot = expectPictureShown(picture, panel);
    EXPECT_FALSE(errorBoxShows()) << "an error box opened";

    // Beyond the picture the window shows its own background, of the panel's face colour.
    const Rgb background = shot.at(399, 299);
    EXPECT_TRUE(isLightGrey(background)) << background;
    const auto notBackground = [&](int x, int y) { return shot.at(x, y) != background; };
    EXPECT_EQ(boundsOf({300, 0, 100, 300}, notBackground), std::nullopt);
    EXPECT_EQ(boundsOf({0, 200, 400, 100}, notBackground), std::nullopt);
    EXPECT_EQ(shot.at(panel.x + 76, panel.y + 44), background);
}

// The window where the program itself puts it.
class Placement : public KivoTest {
  protected:
    bool withWindowManager() const override { return false; }
};

// A window saved on a screen that is gone comes back on the screen without counting as a change;
// one that the screen still shows enough of opens where it was saved.
TEST_F(Placement, AWindowSavedOffTheScreenOpensOnItAndOnePartlyOnItWhereSaved) {
    folder().writeSettings({"Formkivo.left=5000", "Formkivo.top=5000"});
    const std::string saved = readFile(folder().settingsFile());
    openWindow();
    EXPECT_EQ(window.geometry, (Rect{1000, 745, 280, 279}));
    doubleClickPicture();
    ASSERT_EQ(kivo().waitExit(timeout()), 0) << "closing asked to save";
    EXPECT_EQ(readFile(folder().settingsFile()), saved);

    folder().writeSettings({"Formkivo.left=-100", "Formkivo.top=50"});
    startKivo();
    const auto partly = waitForMainWindow();
    ASSERT_TRUE(partly) << "no main window";
    EXPECT_EQ(partly->geometry, (Rect{-100, 50, 280, 279}));
}

// Where a drag by 150, 100 leaves the window, at the picture's size.
constexpr Rect kSaved{150, 100, 280, 280};

class Closing : public KivoTest {
  protected:
    // Drags the window to 150, 100, where the release shows the panel again, and saves it with
    // OK, which ends the program; the next start opens there, at the picture's size.
    void moveSaveAndStartAgain() {
        openWindow();
        dragBy(150, 100);
        expectPictureShown(readBmp(folder().defaultPicture()));
        closeAnswering(Answer::Ok);
        ASSERT_EQ(kivo().waitExit(timeout()), 0);
        saved = readFile(folder().settingsFile());
        openWindow();
        EXPECT_EQ(window.geometry, kSaved);
    }

    std::string saved;
};

// After a drag, Enter at once answers the question with "&No", the leftmost button, which has
// the focus; OK writes the eight lines. (With nothing changed a double-click ends the program
// at once: Placement, and after a trial, Breathing.)
TEST_F(Closing, OnlyOkSavesTheDraggedWindowAndTheNextStartComesBackThere) {
    openWindow();
    dragBy(40, 30);
    closeAnswering(Answer::No);
    EXPECT_EQ(kivo().waitExit(timeout()), 0);
    EXPECT_FALSE(fs::exists(folder().settingsFile()));

    moveSaveAndStartAgain();
    // The face's code page, CR LF, and the picture's path as the program knows it.
    EXPECT_EQ(saved, folder().settingsBytes(settingsLines(folder().defaultPicture(), kSaved)));
}

// A folder whose name the settings file's code page cannot write: bytes that are not UTF-8 on
// Linux, a letter that code page 1251 lacks on Windows.
class ClosingInAnOddFolder : public Closing {
    std::string folderLabel() const override { return face().name() == "linux" ? "-\xE9" : "-Wé"; }
};

TEST_F(ClosingInAnOddFolder, OkSavesAPathThatTheNextStartOpens) {
    moveSaveAndStartAgain();
    EXPECT_EQ(saved.find('?'), std::string::npos) << "a letter was replaced:\n" << saved;
    EXPECT_FALSE(errorBoxShows()) << "an error box at the next start";
}

// The JPEG that the user chooses.
constexpr int kJpegWidth = 320;
constexpr int kJpegHeight = 240;
// Re-centred on the new picture.
constexpr Rect kNewPanel{kJpegWidth / 2 - 40, kJpegHeight / 2 - 44, 80, 88};

using Pictures = KivoTest;

// With no picture recorded, turning down a picture larger than the screen falls back on the
// picture folder's start.bmp, which the program folder ships. A chosen JPEG then is converted
// beside itself, imported into the picture folder, saved, and shown again at the next start.
TEST_F(Pictures, AbortingATooLargePictureBringsTheStartPictureAndAChosenJpegIsImported) {
    const fs::path wide = folder().root() / "wide.bmp";
    writeFile(wide, bmpBytes(Image(1300, 120)));
    folder().writeSettings({"Image="});
    startKivo();
    dismissErrorBox(); // the empty path is no picture

    // The start-up stopped before centring the panel.
    ASSERT_TRUE(choosePicture(face().nativePath(wide), kDesignPanel)) << "no file dialog";
    const auto question = waitForDialog("Information");
    ASSERT_TRUE(question) << "no too-large question";
    x().pressKey("a"); // the mnemonic of "&Abort"
    const auto again = waitForDialog("Выберите файл картинки");
    ASSERT_TRUE(again) << "the file dialog did not open again";
    EXPECT_FALSE(errorBoxShows()) << "an error box opened: no start.bmp";
    ASSERT_TRUE(answer(*again, "Escape"));
    expectPictureShown(readBmp(folder().program() / "image" / "start.bmp"), kDesignPanel);
    EXPECT_TRUE(kivo().running());

    const fs::path photos = folder().root() / "photos";
    fs::create_directory(photos);
    const fs::path jpeg = photos / "meadow.jpg";
    writeFile(jpeg, test::makeJpeg(kJpegWidth, kJpegHeight));
    const auto dialog = choosePicture(face().nativePath(jpeg), kDesignPanel);
    ASSERT_TRUE(dialog) << "no file dialog";
    EXPECT_TRUE(x().waitUntilGone(dialog->id, timeout())) << "the file dialog stayed open";

    const Rect resized{0, 0, kJpegWidth, kJpegHeight};
    ASSERT_TRUE(waitUntil(timeout(), [&] { return x().geometry(window.id) == resized; }))
        << "the window is " << x().geometry(window.id);
    const fs::path converted = photos / "meadow.bmp";
    const fs::path imported = folder().program() / "image" / "meadow.bmp";
    ASSERT_TRUE(fs::exists(converted)) << "no conversion beside the JPEG";
    ASSERT_TRUE(fs::exists(imported)) << "the conversion was not copied into the picture folder";
    EXPECT_EQ(readFile(imported), readFile(converted));
    const Image picture = readBmp(imported);
    ASSERT_EQ(picture.width(), kJpegWidth);
    ASSERT_EQ(picture.height(), kJpegHeight);
    expectPictureShown(picture, kNewPanel);

    closeAnswering(Answer::Ok);
    ASSERT_EQ(kivo().waitExit(timeout()), 0);
    // The imported picture's path, and the window at its size.
    EXPECT_EQ(readFile(folder().settingsFile()),
              folder().settingsBytes(settingsLines(imported, resized)));

    openWindow();
    EXPECT_EQ(window.geometry, resized);
    expectPictureShown(picture, kNewPanel);
}

// A save that fails on the real program: the settings folder gone, read-only or full when the
// user answers OK. The error box shows, the program stays open, the settings of the last good
// save stay intact, and a save once the folder is back in order still works.

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
    std::string savedBytes(const Rect& form, bool onTop = false) {
        return folder().settingsBytes(settingsLines(folder().defaultPicture(), form, onTop));
    }

    void openWithEarlierSettings() {
        writeFile(folder().settingsFile(), savedBytes(kEarlier));
        openWindow();
        ASSERT_EQ(window.geometry, kEarlier) << "the earlier settings were not read";
    }

    // Saves into the spoiled folder, expects the box above the window, the program open and
    // the earlier file in `kept` with nothing new beside it, then mends the folder and expects
    // the next save to work and end the program.
    // A save needs a change: a drag, unless the window's level has changed already.
    void failThenMend(const fs::path& kept, std::size_t namesKept,
                      const std::function<void()>& mend, bool onTop = false) {
        if (!onTop) {
            dragBy(40, 30);
        }
        closeAnswering(Answer::Ok);
        const auto box = waitForErrorBox();
        ASSERT_TRUE(box) << "no error box after the failed save";
        EXPECT_TRUE(x().stackedAbove(box->id, window.id)) << "the box opened below the window";
        EXPECT_TRUE(kivo().running()) << "the program ended after a failed save";
        ASSERT_TRUE(answer(*box, "Return")) << "Enter left the error box open";
        EXPECT_FALSE(kivo().waitExit(std::chrono::milliseconds(500)))
            << "the program ended after the error box";
        EXPECT_TRUE(x().viewable(window.id)) << "the main window is gone";
        EXPECT_EQ(readFile(kept / "soxran.txt"), savedBytes(kEarlier));
        EXPECT_EQ(test::namesIn(kept).size(), namesKept) << "the failed save left a file behind";

        mend();
        if (!onTop) {
            dragBy(20, 10);
        }
        closeAnswering(Answer::Ok);
        ASSERT_EQ(kivo().waitExit(timeout()), 0) << "the second save did not end the program";
        EXPECT_EQ(readFile(folder().settingsFile()), savedBytes(window.geometry, onTop));
    }

    std::unique_ptr<PrivateMounts> mounts = std::make_unique<PrivateMounts>();
};

// Over an ornament that stays on top and breathes, the box still opens above it.
TEST_F(FailedSave, AMissingSettingsFolderIsReportedAboveAnOrnamentOnTopAndNotCreated) {
    openWithEarlierSettings();
    acceptStayOnTop();
    startBreathing();
    // The double-click stops the breathing there, where the whole picture can be hit.
    ASSERT_TRUE(waitForRest()) << "the breathing never reached its rest";
    ASSERT_TRUE(staysAbove()) << "the breathing did not put the window on top";
    // Moved away rather than deleted, so that the earlier file can be checked afterwards.
    const fs::path moved = folder().program() / "date.moved";
    fs::rename(date(), moved);
    const auto mend = [&] {
        EXPECT_FALSE(fs::exists(date())) << "the program made the settings folder itself";
        fs::rename(moved, date());
    };
    failThenMend(moved, 1, mend, /*onTop=*/true);
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
