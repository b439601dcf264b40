// Saving where only POSIX file systems go: a folder that takes no new file,
// symbolic links, another file system, and the litter of killed saves.
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <type_traits>
#include <unistd.h>

#include "Fd.h"
#include "SaveTogether.h"
#include "System.h"
#include "TestSupport.h"

using namespace rt;
namespace fs = std::filesystem;

class PosixFiles : public test::InTempDir {};

TEST_F(PosixFiles, AFolderThatTakesNoNewFileHasItsWritableFilesRewrittenInPlace)
{
    // Permissions mean nothing to root: write as nobody when the tests run as root.
    ASSERT_EQ(::chmod(path(".").c_str(), 0755), 0);
    ASSERT_TRUE(fs::create_directory("ro"));
    test::writeAll("ro/LOGO.TXT", "the old colour log");
    test::writeAll("ro/LOGO.BMP", "old");
    test::writeAll("ro/LOCKED.TXT", "locked");
    for (const char* f : {"ro/LOGO.TXT", "ro/LOGO.BMP"})
        ASSERT_EQ(::chmod(f, 0666), 0);
    ASSERT_EQ(::chmod("ro/LOCKED.TXT", 0444), 0);
    ASSERT_EQ(::chmod("ro", 0555), 0);
    const uid_t root = ::geteuid();
    if (root == 0) {
        ASSERT_EQ(::seteuid(65534), 0);
    }

    const Failure shorter = WriteFileAtomic("ro/LOGO.TXT", "new");
    const Failure longer = WriteFileAtomic("ro/LOGO.BMP", std::string(9270, 'b'));
    const Failure locked = WriteFileAtomic("ro/LOCKED.TXT", "x");
    const Failure fresh = WriteFileAtomic("ro/NEW.TXT", "x");

    if (root == 0) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ::chmod("ro", 0755);
    EXPECT_EQ(shorter, Succeeded());
    EXPECT_EQ(test::readAll("ro/LOGO.TXT"), "new");
    EXPECT_EQ(longer, Succeeded());
    EXPECT_EQ(test::readAll("ro/LOGO.BMP"), std::string(9270, 'b'));
    EXPECT_NE(locked, Succeeded()) << "a file that cannot be written is not rewritten";
    EXPECT_EQ(test::readAll("ro/LOCKED.TXT"), "locked");
    EXPECT_NE(fresh, Succeeded()) << "nor can a new one be made there";
    EXPECT_FALSE(File("ro/NEW.TXT"));
    EXPECT_EQ(std::distance(fs::directory_iterator("ro"), fs::directory_iterator()), 3) << "no temporary file left";
}

// A folder one may write into but not list (mode 0311, another user's drop
// box): both files are replaced, flushed through the file system since the
// folder cannot be opened, and the save says it saved.
TEST_F(PosixFiles, AFolderThatCannotBeListedIsSavedAndSaidSo)
{
    ASSERT_EQ(::chmod(path(".").c_str(), 0755), 0);
    ASSERT_TRUE(fs::create_directory("box"));
    test::writeAll("box/LOGO.TXT", "old log");
    test::writeAll("box/LOGO.BMP", "old logo");
    const uid_t root = ::geteuid(), user = root == 0 ? 65534 : root;
    for (const char* f : {"box/LOGO.TXT", "box/LOGO.BMP", "box"})
        ASSERT_EQ(::chown(f, user, gid_t(-1)), 0);
    ASSERT_EQ(::chmod("box", 0311), 0);
    ASSERT_EQ(::seteuid(user), 0);
    ASSERT_EQ(::opendir("box"), nullptr) << "the folder cannot be listed";
    Failure saved;
    bool replaced = false;
    {
        SaveTogether together;
        saved = WriteFileAtomic("box/LOGO.TXT", "new log");
        if (saved.ok())
            saved = WriteFileAtomic("box/LOGO.BMP", "new logo");
        std::string cFile;
        if (saved.ok())
            saved = together.place(cFile);
        replaced = together.replaced();
    }
    ASSERT_EQ(::seteuid(root), 0);
    ::chmod("box", 0755);
    EXPECT_EQ(saved, Succeeded());
    EXPECT_TRUE(replaced);
    EXPECT_EQ(test::readAll("box/LOGO.TXT"), "new log");
    EXPECT_EQ(test::readAll("box/LOGO.BMP"), "new logo");
    EXPECT_EQ(std::distance(fs::directory_iterator("box"), fs::directory_iterator()), 2) << "nothing left beside them";
}

TEST_F(PosixFiles, ALinkedFileIsWrittenThroughToItsTargetAndTheLinkStays)
{
    const auto isLink = [](const char* name) {
        struct stat st {};
        return ::lstat(name, &st) == 0 && S_ISLNK(st.st_mode);
    };
    const auto hidden = [](const char* dir) {
        int n = 0;
        for (const auto& e : fs::directory_iterator(dir))
            n += e.path().filename().string().front() == '.';
        return n;
    };
    ASSERT_TRUE(fs::create_directory("assets"));
    test::writeAll("assets/logo.txt", "the shared colour log, old");
    ASSERT_EQ(::symlink("assets/logo.txt", "LOGO.TXT"), 0);
    ASSERT_EQ(::symlink("CHAIN2", "CHAIN1"), 0);  // a chain ending in an absolute link
    ASSERT_EQ(::symlink(path("assets/chained.txt").c_str(), "CHAIN2"), 0);
    ASSERT_EQ(::symlink("assets/new.txt", "DANGLING.TXT"), 0);
    ASSERT_EQ(::symlink("LOOP2", "LOOP1"), 0);
    ASSERT_EQ(::symlink("LOOP1", "LOOP2"), 0);

    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new"), Succeeded());
    EXPECT_TRUE(isLink("LOGO.TXT"));
    EXPECT_EQ(test::readAll("assets/logo.txt"), "new");
    EXPECT_EQ(WriteFileAtomic("CHAIN1", "chained"), Succeeded());
    EXPECT_TRUE(isLink("CHAIN1") && isLink("CHAIN2"));
    EXPECT_EQ(test::readAll("assets/chained.txt"), "chained");
    EXPECT_EQ(WriteFileAtomic("DANGLING.TXT", "created"), Succeeded()) << "a dangling link creates its target";
    EXPECT_TRUE(isLink("DANGLING.TXT"));
    EXPECT_EQ(test::readAll("assets/new.txt"), "created");
    EXPECT_EQ(WriteFileAtomic("LOOP1", "x"), Failure(std::strerror(ELOOP)));
    EXPECT_TRUE(isLink("LOOP1") && isLink("LOOP2"));

    // A target on another filesystem: the new file is made beside the target,
    // so that the rename stays on one filesystem.
    ASSERT_TRUE(fs::create_directory("other"));
    ASSERT_EQ(::mount("tmpfs", "other", "tmpfs", 0, "size=64k"), 0)
        << "cannot mount a tmpfs (the test needs root): " << std::strerror(errno);
    test::writeAll("other/logo.bmp", "old");
    ASSERT_EQ(::symlink("other/logo.bmp", "LOGO.BMP"), 0);
    const Failure across = WriteFileAtomic("LOGO.BMP", std::string(9270, 'b'));
    const std::string acrossBytes = test::readAll("other/logo.bmp");
    const int acrossLitter = hidden("other");
    ::umount2("other", MNT_DETACH);
    EXPECT_EQ(across, Succeeded());
    EXPECT_EQ(acrossBytes, std::string(9270, 'b'));
    EXPECT_TRUE(isLink("LOGO.BMP"));
    EXPECT_EQ(acrossLitter, 0);
    EXPECT_EQ(hidden("."), 0);
    EXPECT_EQ(hidden("assets"), 0);
}

TEST_F(PosixFiles, ASaveRemovesOnlyTheLitterOfEarlierSavesOfThatFile)
{
    const char* stale = ".LOGO.TXT.aB3x9Q";  // a save killed before its rename
    for (const char* name : {stale, ".LOGO.TXT.held01", ".LOGO.TXT.toolong", ".LOGO.BMP.aB3x9Q",
                             "LOGO.TXT.aB3x9Q", ".LOGO.TXT.ab-123", ".OTHER.TXT.aB3x9Q"})
        test::writeAll(name, "litter?");
    ASSERT_TRUE(fs::create_directory(".LOGO.TXT.dir123"));
    ASSERT_EQ(::symlink("LOGO.BMP", ".LOGO.TXT.lnk123"), 0);
    // A save running meanwhile holds a lock on its file.
    const int running = ::open(".LOGO.TXT.held01", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(running, 0);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);

    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new"), Succeeded());
    ::close(running);
    EXPECT_FALSE(fs::exists(fs::symlink_status(stale)));
    std::string left;
    for (const std::string& name : test::filesHere())
        left += (left.empty() ? "" : " ") + name;
    EXPECT_EQ(left,
              ".LOGO.BMP.aB3x9Q .LOGO.TXT.ab-123 .LOGO.TXT.dir123 .LOGO.TXT.held01 .LOGO.TXT.lnk123 "
              ".LOGO.TXT.toolong .OTHER.TXT.aB3x9Q LOGO.TXT LOGO.TXT.aB3x9Q");
}

// Another process saving in the folder holds the folder's lock (flock on the
// folder itself): a save waits for it, and past a few seconds says so and
// changes nothing.
TEST_F(PosixFiles, OneSaveAtATimeInAFolderBetweenProcesses)
{
    test::writeAll("LOGO.TXT", "old");
    Fd other{::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    ASSERT_EQ(::flock(other.get(), LOCK_EX), 0);
    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new"), Failure("another Gradient Logo is saving in this folder"));
    EXPECT_EQ(test::readAll("LOGO.TXT"), "old");
    EXPECT_EQ(test::filesHere(), std::vector<std::string>{"LOGO.TXT"});

    std::thread done([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.reset();
    });
    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new"), Succeeded());
    done.join();
    EXPECT_EQ(test::readAll("LOGO.TXT"), "new");
}

// Where the files go, as the Ok Logo button says it: from ~ under the home folder.
// Another user's record in a shared sticky folder (/tmp's kind) is not acted
// on, however whole: anyone may plant one there.
TEST_F(PosixFiles, AnotherUsersRecordInASharedFolderIsNotActedOn)
{
    ASSERT_EQ(::geteuid(), 0u) << "only root can give a file away";
    ASSERT_EQ(::chmod(path(".").c_str(), 01777), 0);
    test::writeAll("LOGO.TXT", "old log");
    test::writeAll("LOGO.BMP", "old logo");
    test::writeAll(".LOGO.BMP.BBBBBB", "new logo");
    test::writeAll(".LOGO.TXT.save-record", test::cutRecord({{"LOGO.TXT", ".LOGO.TXT.AAAAAA", "new log"},
                                                             {"LOGO.BMP", ".LOGO.BMP.BBBBBB", "new logo"}}));
    ASSERT_EQ(::chown(".LOGO.TXT.save-record", 65534, gid_t(-1)), 0);
    fs::last_write_time(".LOGO.TXT.save-record", fs::file_time_type::clock::now() - std::chrono::hours(1));
    FinishCutSave("LOGO.TXT");
    EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
    EXPECT_EQ(test::readAll("LOGO.BMP"), "old logo");
    EXPECT_TRUE(File(".LOGO.TXT.save-record"));
}

TEST_F(PosixFiles, TheCurrentFolderIsShownFromTheHomeFolder)
{
    const std::string here = fs::current_path(), home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const auto shownWithHome = [](const std::string& h) {
        ::setenv("HOME", h.c_str(), 1);
        return CurDirShown();
    };
    EXPECT_EQ(shownWithHome(fs::path(here).parent_path().string() + "/"), "~/" + fs::path(here).filename().string());
    EXPECT_EQ(shownWithHome(here), "~");
    EXPECT_EQ(shownWithHome(here.substr(0, here.size() - 1)), here) << "a name that only begins alike";
    EXPECT_EQ(shownWithHome("/"), here);
    ::setenv("HOME", home.c_str(), 1);
}

TEST(PosixFd, OneOwnerClosesOnce)
{
    static_assert(!std::is_copy_constructible_v<Fd> && std::is_nothrow_move_constructible_v<Fd>);
    const int raw = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    {
        Fd first{raw};
        const Fd second = std::move(first);
        EXPECT_FALSE(first.valid());
        EXPECT_EQ(second.get(), raw);
    }
    EXPECT_EQ(::fcntl(raw, F_GETFD), -1) << "closed with its last owner";
}

// A file whose size says nothing (it grows, or has none) is read no further than the limit.
TEST(PosixReadFile, NoMoreThanTheLimitIsRead)
{
    std::string bytes;
    EXPECT_EQ(ReadWholeFile("/proc/self/maps", 64, bytes), Failure(std::strerror(EFBIG)));
    EXPECT_EQ(ReadWholeFile("/proc/self/maps", 1 << 20, bytes), Succeeded());
    EXPECT_GT(bytes.size(), 64u);
}
