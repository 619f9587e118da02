#include "gamedata/AppFolders.h"
#include "core/FileError.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace quillon::test {
namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and gives the old values back afterwards.
class ScopedEnvironment {
public:
    ~ScopedEnvironment() {
        for (const auto& [name, old] : Saved) {
            if (old)
                setenv(name.c_str(), old->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }
    void Set(const std::string& name, const std::optional<std::string>& value) {
        if (!Saved.contains(name)) {
            const char* old = std::getenv(name.c_str());
            Saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> Saved;
};

class AppFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::permissions(Dir.Path, fs::perms::owner_all | fs::perms::group_exec |
                                      fs::perms::others_exec | fs::perms::others_read |
                                      fs::perms::group_read);
        Env.Set("QUILLON_HOME", std::nullopt);
        Env.Set("HOME", Dir.File("home"));
        Env.Set("XDG_CONFIG_HOME", Dir.File("config"));
        Env.Set("XDG_CACHE_HOME", Dir.File("cache"));
        fs::create_directories(Dir.File("home"));
    }
    // An executable file with a textures folder beside it, as the build leaves them.
    std::string Program(const std::string& folder) {
        fs::create_directories(Dir.File(folder + "/textures/BG"));
        std::ofstream(Dir.File(folder + "/quillon")) << "#!/bin/sh\n";
        return Dir.File(folder + "/quillon");
    }

    TempDir Dir;
    ScopedEnvironment Env;
};

void ExpectAllIn(const TAppFolders& folders, const std::string& folder) {
    EXPECT_EQ(folders.AppFolder, folder);
    EXPECT_EQ(folders.SettingsFolder, folder);
    EXPECT_EQ(folders.ScreenshotFolder, folder);
    EXPECT_EQ(folders.TmpFolder, folder + "tmp/");
    EXPECT_EQ(folders.MapTmpFolder, folder + "tmp/tmpmap/");
}

void ExpectUserFolders(const TAppFolders& folders, const TempDir& dir) {
    EXPECT_EQ(folders.SettingsFolder, dir.File("config/quillon/"));
    EXPECT_EQ(folders.TmpFolder, dir.File("cache/quillon/tmp/"));
    EXPECT_EQ(folders.MapTmpFolder, dir.File("cache/quillon/tmp/tmpmap/"));
}

// Root may write into any folder, so the folders are asked for as a user who may not: in a child
// process that drops to "nobody", the answer coming back through a pipe.
TAppFolders ForExecutableAsOtherUser(const std::string& executable) {
    if (geteuid() != 0)
        return TAppFolders::ForExecutable(executable);
    int channel[2];
    EXPECT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(2);
        const TAppFolders f = TAppFolders::ForExecutable(executable);
        const std::string text = f.AppFolder + "\n" + f.SettingsFolder + "\n" + f.ScreenshotFolder +
                                 "\n" + f.TmpFolder + "\n" + f.MapTmpFolder + "\n";
        _exit(write(channel[1], text.data(), text.size()) == ssize_t(text.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child failed";
    TAppFolders folders;
    std::istringstream lines(text);
    for (std::string* field :
         {&folders.AppFolder, &folders.SettingsFolder, &folders.ScreenshotFolder,
          &folders.TmpFolder, &folders.MapTmpFolder})
        std::getline(lines, *field);
    return folders;
}

TEST_F(AppFoldersTest, BuildFolderAndHomeKeepEverythingTogether) {
    const std::string exe = Program("build/app");
    ExpectAllIn(TAppFolders::ForExecutable(exe), Dir.File("build/app/"));

    Env.Set("QUILLON_HOME", Dir.File("myhome"));
    ExpectAllIn(TAppFolders::ForExecutable(exe), Dir.File("myhome/"));
}

TEST_F(AppFoldersTest, ReadOnlyProgramFolderWritesIntoTheUserFolders) {
    const std::string exe = Program("readonly");
    fs::permissions(Dir.File("readonly"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const TAppFolders folders = ForExecutableAsOtherUser(exe);
    fs::permissions(Dir.File("readonly"), fs::perms::owner_write, fs::perm_options::add);

    EXPECT_EQ(folders.AppFolder, Dir.File("readonly/"));
    ExpectUserFolders(folders, Dir);
    EXPECT_EQ(folders.ScreenshotFolder, fs::current_path().string() + "/");

    Env.Set("QUILLON_HOME", Dir.File("myhome"));
    ExpectAllIn(ForExecutableAsOtherUser(exe), Dir.File("myhome/"));
}

TEST_F(AppFoldersTest, InstalledPrefixReadsItsDataFolderEvenWhenWritable) {
    const std::string exe = Program("usr/bin");
    const fs::path data = fs::path(Dir.File("usr/bin")) / QUILLON_DATA_FROM_BIN;
    fs::create_directories(data / "textures");
    const TAppFolders folders = TAppFolders::ForExecutable(exe);
    EXPECT_EQ(folders.AppFolder, data.lexically_normal().string() + "/");
    ExpectUserFolders(folders, Dir);
}

TEST_F(AppFoldersTest, UserFoldersFollowTheFreedesktopConventions) {
    Env.Set("XDG_CONFIG_HOME", std::nullopt);
    Env.Set("XDG_CACHE_HOME", "relative/cache"); // not absolute: ignored
    TAppFolders folders = TAppFolders::Installed(Dir.File("data"));
    EXPECT_EQ(folders.AppFolder, Dir.File("data/"));
    EXPECT_EQ(folders.SettingsFolder, Dir.File("home/.config/quillon/"));
    EXPECT_EQ(folders.TmpFolder, Dir.File("home/.cache/quillon/tmp/"));

    fs::create_directories(Dir.File("home/Pictures"));
    EXPECT_EQ(TAppFolders::Installed("/d").ScreenshotFolder, Dir.File("home/Pictures/"));

    fs::create_directories(Dir.File("home/.config"));
    fs::create_directories(Dir.File("home/Bilder"));
    std::ofstream(Dir.File("home/.config/user-dirs.dirs"))
        << "# written by xdg-user-dirs-update\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(TAppFolders::Installed("/d").ScreenshotFolder, Dir.File("home/Bilder/"));

    // An entry naming the home folder itself switches the pictures folder off.
    std::ofstream(Dir.File("home/.config/user-dirs.dirs")) << "XDG_PICTURES_DIR=\"$HOME/\"\n";
    EXPECT_EQ(TAppFolders::Installed("/d").ScreenshotFolder, fs::current_path().string() + "/");
}

TEST_F(AppFoldersTest, MissingFoldersAreCreatedOrRefusedWithTheirPath) {
    TAppFolders folders = TAppFolders::Installed(Dir.File("data"));
    folders.CreateSettingsFolder();
    folders.CreateTempFolders();
    EXPECT_TRUE(fs::is_directory(Dir.File("config/quillon")));
    EXPECT_TRUE(fs::is_directory(Dir.File("cache/quillon/tmp/tmpmap")));

    std::ofstream(Dir.File("plainfile")) << "x";
    folders.SettingsFolder = Dir.File("plainfile/quillon/");
    try {
        folders.CreateSettingsFolder();
        FAIL() << "a folder below a file was created";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("plainfile/quillon"), std::string::npos);
    }
}

} // namespace
} // namespace quillon::test
