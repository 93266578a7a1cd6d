#include "app/atomic_file.h"
#include "support/as_ordinary_user.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pravenor::app {
namespace {

using test::TempFolder;

TEST(WriteFileReplacing, CreatesAndReplacesLeavingNothingElseBehind)
{
    const TempFolder folder;
    const std::string first("a\r\n\0\xFF", 5);
    ASSERT_TRUE(WriteFileReplacing(folder / "default.set", first).ok);
    EXPECT_EQ(TempFolder::read(folder / "default.set"), first);

    ASSERT_TRUE(WriteFileReplacing(folder / "default.set", "b").ok);
    EXPECT_EQ(TempFolder::read(folder / "default.set"), "b");

    ASSERT_TRUE(WriteFileReplacing(folder / "default.set", "").ok);
    EXPECT_EQ(TempFolder::read(folder / "default.set"), "");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"default.set"});
}

TEST(WriteFileReplacing, MissingFolderFailsWithAMessageAndCreatesNothing)
{
    const TempFolder folder;
    const SaveResult saved = WriteFileReplacing(folder / "Instellingen" / "unit.cfg", "x");
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.error.find("unit.cfg"), std::string::npos) << saved.error;
    EXPECT_TRUE(folder.names().empty());
}

TEST(WriteFileReplacing, TargetThatIsAFolderFailsAndStaysAFolder)
{
    const TempFolder folder;
    std::filesystem::create_directory(folder / "unit.cfg");
    TempFolder::write(folder / "unit.cfg" / "inside", "keep");
    const SaveResult saved = WriteFileReplacing(folder / "unit.cfg", "x");
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.error.empty());
    EXPECT_EQ(TempFolder::read(folder / "unit.cfg" / "inside"), "keep");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"unit.cfg"});
}

TEST(WriteFileReplacing, ALinkIsFollowedToItsFileAndStaysALink)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need administrator rights on Windows";
#else
    const TempFolder folder;
    std::filesystem::create_directory(folder / "real");
    TempFolder::write(folder / "real" / "unit.cfg", "old");
    std::filesystem::create_symlink("real/unit.cfg", folder / "link.cfg");
    std::filesystem::create_symlink("link.cfg", folder / "chain.cfg");
    std::filesystem::create_symlink("real/new.cfg", folder / "dangling.cfg");

    ASSERT_TRUE(WriteFileReplacing(folder / "chain.cfg", "new").ok);
    ASSERT_TRUE(WriteFileReplacing(folder / "dangling.cfg", "created").ok);

    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.cfg"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "chain.cfg"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "dangling.cfg"));
    EXPECT_EQ(TempFolder::read(folder / "real" / "unit.cfg"), "new");
    EXPECT_EQ(TempFolder::read(folder / "real" / "new.cfg"), "created");
    EXPECT_EQ(folder.names(),
              (std::vector<std::string>{"chain.cfg", "dangling.cfg", "link.cfg", "real"}));

    std::filesystem::create_symlink("loop.cfg", folder / "loop.cfg");
    const SaveResult loop = WriteFileReplacing(folder / "loop.cfg", "x");
    EXPECT_FALSE(loop.ok);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "loop.cfg"));
#endif
}

TEST(WriteFileReplacing, TheNewFileKeepsTheOldOnesModeAndOwner)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows files have no POSIX mode or owner";
#else
    const TempFolder folder;
    TempFolder::write(folder / "private.cfg", "old");
    ASSERT_EQ(::chmod((folder / "private.cfg").c_str(), 0600), 0);
    // Only root may hand a file to another user; as anyone else the owner is ours already.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown((folder / "private.cfg").c_str(), test::NobodyUid(), test::NobodyGid()),
                  0);
    }

    ASSERT_TRUE(WriteFileReplacing(folder / "private.cfg", "new").ok);

    struct stat info
    {
    };
    ASSERT_EQ(::stat((folder / "private.cfg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(info.st_uid, root ? test::NobodyUid() : ::geteuid());
    EXPECT_EQ(TempFolder::read(folder / "private.cfg"), "new");
#endif
}

TEST(WriteFileReplacing, AWritableFileInAFolderWithoutRoomForATemporaryIsWrittenInPlaceWithAWarning)
{
#ifdef _WIN32
    GTEST_SKIP() << "a read-only attribute on a Windows folder does not keep files out";
#else
    const TempFolder folder;
    TempFolder::write(folder / "unit.cfg", "old content");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown((folder / "unit.cfg").c_str(), test::NobodyUid(), test::NobodyGid()), 0);
    }
    std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    test::AsOrdinaryUser([&] {
        const SaveResult saved = WriteFileReplacing(folder / "unit.cfg", "new");
        EXPECT_TRUE(saved.ok) << saved.error;
        EXPECT_NE(saved.warning.find("unit.cfg"), std::string::npos) << saved.warning;
        EXPECT_NE(saved.warning.find("not crash-safe"), std::string::npos) << saved.warning;
    });
    EXPECT_EQ(TempFolder::read(folder / "unit.cfg"), "new");
#endif
}

TEST(WriteFileReplacing, LeftoversOfSavesWhoseProcessHasGoneAreRemoved)
{
#ifdef _WIN32
    GTEST_SKIP() << "on Windows leftovers stay: whether their process is gone is not checked there";
#else
    const TempFolder folder;
    // A process id that is certainly free: a child that has ended and been reaped.
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = std::to_string(gone);
    const std::string alive = std::to_string(::getppid());
    for (const std::string& name : std::vector<std::string>{
             "unit.cfg.saving-" + dead + "-0", "unit.cfg.saving-" + dead + "-17",
             "unit.cfg.saving-" + alive + "-0", "other.cfg.saving-" + dead + "-0",
             "unit.cfg.saving-" + dead + "-x", "unit.cfg.saving-notes"})
        TempFolder::write(folder / name, "left");

    ASSERT_TRUE(WriteFileReplacing(folder / "unit.cfg", "new").ok);

    // names() sorts, and how the two process ids sort depends on their digits.
    std::vector<std::string> kept{"other.cfg.saving-" + dead + "-0", "unit.cfg",
                                  "unit.cfg.saving-" + alive + "-0",
                                  "unit.cfg.saving-" + dead + "-x", "unit.cfg.saving-notes"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(folder.names(), kept);
#endif
}

#ifdef _WIN32
// A file another program holds open (an editor, a virus scanner) cannot be replaced there.
TEST(WriteFileReplacing, OnWindowsAFileHeldOpenElsewhereFailsTheSaveAndStaysAsItWas)
{
    const TempFolder folder;
    const std::filesystem::path path = folder / "unit.cfg";
    ASSERT_TRUE(WriteFileReplacing(path, "old").ok);
    const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const SaveResult saved = WriteFileReplacing(path, "new");
    CloseHandle(held);

    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.error.find("unit.cfg"), std::string::npos) << saved.error;
    EXPECT_EQ(TempFolder::read(path), "old");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"unit.cfg"});
    ASSERT_TRUE(WriteFileReplacing(path, "new").ok) << "once it is let go";
    EXPECT_EQ(TempFolder::read(path), "new");
}
#endif

} // namespace
} // namespace pravenor::app
