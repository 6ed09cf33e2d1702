#include "core/error.h"
#include "temp_files.h"
#include "xdg_autostart.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace kivo::qt {
namespace {

using test::readFile;
using test::TempDir;

TEST(XdgAutostart, FolderFollowsXdgConfigHomeOrFallsBackToHome) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string config = savedConfig ? savedConfig : "";
    const std::string home = savedHome ? savedHome : "";

    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(autostartFolder(), std::filesystem::path("/tmp/cfg/autostart"));
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(autostartFolder(), std::filesystem::path("/home/ann/.config/autostart"));
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    EXPECT_EQ(autostartFolder(), std::filesystem::path("/home/ann/.config/autostart"));

    savedConfig ? setenv("XDG_CONFIG_HOME", config.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
}

// Exec quotes the path as desktop entries require: blanks are kept inside the quotes; '$' and
// '"' get a backslash, which the value's own escaping doubles; '%' is doubled so it is not read
// as a field code.
TEST(XdgAutostart, AddCreatesTheFolderAndOneQuotedEntryRemoveDeletesItAndForgivesAMissingOne) {
    EXPECT_EQ(autostartEntryText("/home/a b/$x\"y%/kivo"),
              "[Desktop Entry]\nType=Application\nName=Kivo\n"
              "Exec=\"/home/a b/\\\\$x\\\\\"y%%/kivo\"\n");

    TempDir dir;
    const auto folder = dir.path() / "config" / "autostart";
    EXPECT_TRUE(writeAutostartEntry(folder, "kivo.narod.ru", "/opt/kivo/kivo"));
    EXPECT_TRUE(writeAutostartEntry(folder, "kivo.narod.ru", "/opt/kivo/kivo"));
    EXPECT_EQ(readFile(folder / "kivo.narod.ru.desktop"),
              "[Desktop Entry]\nType=Application\nName=Kivo\nExec=\"/opt/kivo/kivo\"\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);

    removeAutostartEntry(folder, "kivo.narod.ru");
    EXPECT_FALSE(std::filesystem::exists(folder / "kivo.narod.ru.desktop"));
    removeAutostartEntry(folder, "kivo.narod.ru"); // missing: nothing to do

    // A file where the folder should be: nothing can be created below it, even by root.
    test::writeFile(dir.path() / "file", "not a folder");
    EXPECT_FALSE(writeAutostartEntry(dir.path() / "file", "kivo.narod.ru", "/opt/kivo/kivo"));
}

} // namespace
} // namespace kivo::qt
