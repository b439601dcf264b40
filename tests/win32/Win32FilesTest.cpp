// Saving where only Windows says no: a file marked read-only, one that another
// program holds open, a full disk, a folder where the file should be; and
// another process saving in the same folder, and another user's litter.
#include "Win32.h"

#include <chrono>
#include <sddl.h>
#include <gtest/gtest.h>

#include "Backend.h"
#include "SaveTogether.h"
#include "System.h"
#include "TestSupport.h"

using namespace rt;
namespace fs = std::filesystem;

class Win32Files : public test::InTempDir {};

TEST_F(Win32Files, WindowsRefusalsLeaveTheOldFilesAndNoLitter)
{
    // The other process of the last case below.
    if (const char* folder = std::getenv("GL_HOLD_FOLDER")) {
        SetCurrentDirectoryA(folder);
        backend::Prepared prepared;
        std::string key;
        if (backend::PrepareFile("LOGO.TXT", "another's", prepared).failed() ||
            backend::TryLockFolder(*backend::FolderOf("LOGO.TXT", key).release()) != backend::FolderLockState::Held)
            ExitProcess(2);
        SetEvent(CreateEventW(nullptr, TRUE, FALSE, L"Local\\GradientLogoTest.held"));
        ::Sleep(7000);
        ExitProcess(0);
    }
    const auto seed = [] {
        test::writeAll("LOGO.TXT", "old log");
        test::writeAll("LOGO.BMP", "old logo");
    };
    std::string cFile;
    const auto saveBoth = [&cFile] {
        SaveTogether together;
        if (Failure f = WriteFileAtomic("LOGO.TXT", "new log"); f.failed())
            return f;
        if (Failure f = WriteFileAtomic("LOGO.BMP", "new logo"); f.failed())
            return f;
        return together.place(cFile);
    };

    // Marked read-only: refused before anything is placed, as Windows refuses it.
    seed();
    ASSERT_TRUE(SetFileAttributesW(L"LOGO.BMP", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(saveBoth(), Failure(systemReason(ERROR_ACCESS_DENIED)));
    ASSERT_TRUE(SetFileAttributesW(L"LOGO.BMP", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
    EXPECT_EQ(test::readAll("LOGO.BMP"), "old logo");
    EXPECT_EQ(test::filesHere(), (std::vector<std::string>{"LOGO.BMP", "LOGO.TXT"})) << "no temporary file left";

    // Held open by another program that shares nothing: the brief wait passes,
    // then the save says why, and LOGO.TXT, placed first, is put back.
    seed();
    HANDLE held = CreateFileW(L"LOGO.BMP", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const Failure whileHeld = saveBoth();
    CloseHandle(held);
    EXPECT_NE(whileHeld, Succeeded());
    EXPECT_EQ(cFile, "LOGO.BMP");
    EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
    EXPECT_EQ(test::readAll("LOGO.BMP"), "old logo");
    EXPECT_EQ(test::filesHere(), (std::vector<std::string>{"LOGO.BMP", "LOGO.TXT"})) << "no temporary file left";

    // A folder where the file should be.
    ASSERT_TRUE(fs::remove("LOGO.BMP"));
    ASSERT_TRUE(fs::create_directory("LOGO.BMP"));
    EXPECT_EQ(saveBoth(), Failure(systemReason(ERROR_ACCESS_DENIED)));
    EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
    EXPECT_TRUE(fs::is_directory("LOGO.BMP"));
    ASSERT_TRUE(fs::remove("LOGO.BMP"));

    // Once nothing is in the way, both are saved.
    seed();
    EXPECT_EQ(saveBoth(), Succeeded());
    EXPECT_EQ(test::readAll("LOGO.TXT"), "new log");
    EXPECT_EQ(test::readAll("LOGO.BMP"), "new logo");

    // Another process saving here: this program again, holding the folder's
    // lock for seven seconds from the middle of a save, then ending without
    // letting it go or removing its prepared file. A save waits a few seconds,
    // then says so and changes nothing; the next one gets the lock once the
    // other has ended, and removes what it left.
    HANDLE locked = CreateEventW(nullptr, TRUE, FALSE, L"Local\\GradientLogoTest.held");
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=Win32Files.WindowsRefusalsLeaveTheOldFilesAndNoLitter";
    SetEnvironmentVariableW(L"GL_HOLD_FOLDER", fs::current_path().wstring().c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other{};
    ASSERT_TRUE(CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &other));
    SetEnvironmentVariableW(L"GL_HOLD_FOLDER", nullptr);
    ASSERT_EQ(WaitForSingleObject(locked, 20000), WAIT_OBJECT_0) << "the other process never held the lock";
    EXPECT_EQ(saveBoth(), Failure("another Gradient Logo is saving in this folder"));
    EXPECT_EQ(cFile, "LOGO.TXT");
    EXPECT_EQ(test::readAll("LOGO.TXT"), "new log");
    EXPECT_EQ(test::filesHere().size(), 4u) << "the other's prepared file and lock, and none of ours";
    seed();
    EXPECT_EQ(saveBoth(), Succeeded());
    EXPECT_EQ(test::readAll("LOGO.TXT"), "new log");
    EXPECT_EQ(test::filesHere(), (std::vector<std::string>{"LOGO.BMP", "LOGO.TXT"})) << "the other's litter removed";

    // Litter is removed only where it is the user's own: a file of our name
    // pattern that another user owns stays.
    test::writeAll(".LOGO.TXT.theirs", "another user's");
    PSID someoneElse = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidW(L"S-1-5-21-1-2-3-1001", &someoneElse));
    SECURITY_DESCRIPTOR owned{};
    ASSERT_TRUE(InitializeSecurityDescriptor(&owned, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorOwner(&owned, someoneElse, FALSE));
    ASSERT_TRUE(SetFileSecurityW(L".LOGO.TXT.theirs", OWNER_SECURITY_INFORMATION, &owned)) << GetLastError();
    // Wine keeps no owner of a file's own: it says every file is the user's.
    char read[256];
    DWORD size = 0;
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    const bool kept = GetFileSecurityW(L".LOGO.TXT.theirs", OWNER_SECURITY_INFORMATION, read, sizeof read, &size) &&
                      GetSecurityDescriptorOwner(read, &owner, &defaulted) && EqualSid(owner, someoneElse);
    LocalFree(someoneElse);
    test::writeAll(".LOGO.TXT.mine01", "ours");
    EXPECT_EQ(saveBoth(), Succeeded());
    if (kept) {
        EXPECT_EQ(test::filesHere(), (std::vector<std::string>{".LOGO.TXT.theirs", "LOGO.BMP", "LOGO.TXT"}));
    } else {
        std::puts("NOT RUN another user's litter kept on Windows: Wine keeps no owner of a file");
        EXPECT_EQ(test::filesHere(), (std::vector<std::string>{"LOGO.BMP", "LOGO.TXT"}));
    }

    DWORD status = 1;
    WaitForSingleObject(other.hProcess, 20000);
    GetExitCodeProcess(other.hProcess, &status);
    EXPECT_EQ(status, 0u);
    CloseHandle(other.hProcess);
    CloseHandle(other.hThread);
    CloseHandle(locked);
}

// A small disk of the test's own: the drive that under-wine.sh maps to a tmpfs.
TEST(Win32SmallDisk, AFullDiskIsSaidAndTheOldFilesStay)
{
    const char* drive = std::getenv("GL_SMALL_DRIVE");
    ASSERT_NE(drive, nullptr) << "GL_SMALL_DRIVE names no small disk: run under tests/windows/under-wine.sh";
    const fs::path dir = fs::path(drive) / "/";
    const std::string log = (dir / "LOGO.TXT").string(), logo = (dir / "LOGO.BMP").string();
    test::writeAll(log, std::string(50, 'l'));
    test::writeAll(logo, std::string(9270, 'o'));
    std::string cFile;
    Failure full;
    {
        SaveTogether together;
        full = WriteFileAtomic(log, test::logoTxt({255, 0, 0}, {0, 0, 255}));
        if (full.ok())
            full = WriteFileAtomic(logo, std::string(200000, 'b'));  // more than the disk holds
        if (full.ok())
            full = together.place(cFile);
    }
    EXPECT_EQ(full, Failure(systemReason(ERROR_DISK_FULL)));
    EXPECT_EQ(test::readAll(log), std::string(50, 'l'));
    EXPECT_EQ(test::readAll(logo), std::string(9270, 'o'));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 2) << "no temporary file left";
    fs::remove(log);
    fs::remove(logo);
}
