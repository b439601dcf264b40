#include <utility>

#include "Backend.h"
#include "TemporaryName.h"
#include "Win32.h"

namespace rt::backend {

// Whole: Explorer and the file dialogs write no ~.
std::string CurrentFolderShown()
{
    std::wstring dir(GetCurrentDirectoryW(0, nullptr), L'\0');
    dir.resize(GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), dir.data()));
    return narrow(dir);
}

bool IsFile(const std::string& cFile)
{
    const DWORD attributes = GetFileAttributesW(widen(cFile).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Its name converted on the stack: a save's record is erased while memory
// may be running out, and must not stay for want of it.
bool EraseFile(const std::string& cFile)
{
    wchar_t name[MAX_PATH];
    const int n = MultiByteToWideChar(CP_UTF8, 0, cFile.c_str(), -1, name, MAX_PATH);
    return n > 0 ? DeleteFileW(name) != 0 : DeleteFileW(widen(cFile).c_str()) != 0;
}

namespace {
Failure lastError() { return systemReason(GetLastError()); }

// Whether the file is the user's: its owner is this process's user, or the
// owner its new files get (the Administrators group, for an elevated one).
// Where either cannot be read, it is not ours to remove. advapi32 is loaded
// when a save first needs it, from the system folder.
bool ownedByUser(const std::wstring& path)
{
    using OpenToken = decltype(&OpenProcessToken);
    using TokenInfo = decltype(&GetTokenInformation);
    using FileSecurity = decltype(&GetFileSecurityW);
    using DescriptorOwner = decltype(&GetSecurityDescriptorOwner);
    using SameSid = decltype(&EqualSid);
    const HMODULE advapi = systemLibrary(L"advapi32.dll");
    const auto openToken = systemEntry<OpenToken>(advapi, "OpenProcessToken");
    const auto tokenInfo = systemEntry<TokenInfo>(advapi, "GetTokenInformation");
    const auto fileSecurity = systemEntry<FileSecurity>(advapi, "GetFileSecurityW");
    const auto descriptorOwner = systemEntry<DescriptorOwner>(advapi, "GetSecurityDescriptorOwner");
    const auto sameSid = systemEntry<SameSid>(advapi, "EqualSid");
    if (!openToken || !tokenInfo || !fileSecurity || !descriptorOwner || !sameSid)
        return false;
    DWORD size = 0;
    fileSecurity(path.c_str(), OWNER_SECURITY_INFORMATION, nullptr, 0, &size);
    std::string descriptor(size, '\0');
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (size == 0 || !fileSecurity(path.c_str(), OWNER_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
        !descriptorOwner(descriptor.data(), &owner, &defaulted) || !owner)
        return false;
    HANDLE token = nullptr;
    if (!openToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    bool ours = false;
    for (const TOKEN_INFORMATION_CLASS which : {TokenUser, TokenOwner}) {
        tokenInfo(token, which, nullptr, 0, &size);
        std::string info(size, '\0');
        if (size != 0 && tokenInfo(token, which, info.data(), size, &size)) {
            // Both begin with the SID's pointer: TOKEN_USER's User.Sid, TOKEN_OWNER's Owner.
            PSID sid = which == TokenUser ? reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid
                                          : reinterpret_cast<TOKEN_OWNER*>(info.data())->Owner;
            ours = ours || sameSid(owner, sid);
        }
    }
    CloseHandle(token);
    return ours;
}

// Temporary files that a save killed before its rename left behind, of the
// user's own. Only called under the folder's lock, so no other save is
// placing files here; one that is still preparing holds its new file open
// without sharing its deletion, so Windows refuses to delete that one. Only
// litter goes.
void removeStaleTemporaries(const std::wstring& dir, const std::wstring& name)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"." + name + L".*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring path = dir + found.cFileName;
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
            IsOurTemporary(narrow(found.cFileName), narrow(name)) && ownedByUser(path))
            DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

// A new file beside the old one, written whole and flushed to the disk, then
// put in its place in one step, through to the disk: the old file stays as it
// was when anything goes wrong, and Windows itself refuses to replace a file
// that is read-only or that another program holds open.
struct PreparedFile {
    std::wstring file;
    std::wstring dir;  // empty, or ending in a slash
    std::wstring name;
    std::wstring temp;
    HANDLE held = INVALID_HANDLE_VALUE;  // the new file, open until it is placed
    bool placed = false;
    bool existed = true;  // what KeepOld found
    std::wstring backup;  // a copy of the old file while the save is under way
};

namespace {
std::wstring temporaryBeside(const PreparedFile& p) { return p.dir + widen(TemporaryName(narrow(p.name))); }
}  // namespace

namespace {
Failure closeHeld(PreparedFile& p)
{
    const HANDLE h = std::exchange(p.held, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE && !CloseHandle(h))
        return lastError();
    return Succeeded();
}
}  // namespace

void Discard(PreparedFile* p) noexcept
{
    if (p->held != INVALID_HANDLE_VALUE)
        CloseHandle(p->held);
    if (!p->placed && !p->temp.empty())
        DeleteFileW(p->temp.c_str());
    if (!p->backup.empty())
        DeleteFileW(p->backup.c_str());
    delete p;
}

Failure PrepareFile(const std::string& cPath, const std::string& cBytes, Prepared& prepared)
{
    prepared.reset(new PreparedFile);
    PreparedFile& p = *prepared;
    p.file = widen(cPath);
    const std::size_t slash = p.file.find_last_of(L"/\\");
    p.dir = slash == std::wstring::npos ? L"" : p.file.substr(0, slash + 1);
    p.name = slash == std::wstring::npos ? p.file : p.file.substr(slash + 1);
    // A file marked read-only is not replaced: Windows refuses it, and so do
    // we where a file system would let the rename through. Nor is a folder.
    const DWORD attributes = GetFileAttributesW(p.file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return systemReason(ERROR_ACCESS_DENIED);
    HANDLE& h = p.held;
    for (int attempt = 0; attempt < 16 && h == INVALID_HANDLE_VALUE; ++attempt) {
        std::wstring temp = temporaryBeside(p);
        // Hidden while it exists, as its leading dot says elsewhere; shared
        // with nobody until it is placed, so that no other save's clean-up
        // can delete it. Its name is moved in, not copied: nothing may fail
        // between its creation and Discard knowing it.
        h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return lastError();
        if (h != INVALID_HANDLE_VALUE)
            p.temp = std::move(temp);
    }
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    for (std::size_t done = 0; done < cBytes.size();) {
        DWORD wrote = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(cBytes.size() - done, 1u << 20));
        if (!WriteFile(h, cBytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            return lastError();
        done += wrote;
    }
    if (!FlushFileBuffers(h))
        return lastError();
    return Succeeded();
}

Failure KeepOld(PreparedFile& p)
{
    if (GetFileAttributesW(p.file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            return systemReason(error);
        p.existed = false;
        return Succeeded();
    }
    // A second name keeps the old file exactly, permissions and all; a file
    // system without hard links gets a copy.
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::wstring backup = temporaryBeside(p);
        if (CreateHardLinkW(backup.c_str(), p.file.c_str(), nullptr) ||
            (GetLastError() != ERROR_ALREADY_EXISTS && CopyFileW(p.file.c_str(), backup.c_str(), TRUE))) {
            p.backup = std::move(backup);
            return Succeeded();
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return lastError();
    }
    return lastError();
}

// The new file takes the old one's attributes (a hidden LOGO.TXT stays
// hidden), or plain ones where there was none; ReplaceFileW also gives it the
// old one's permissions, which a rename would drop. A brief lock on either
// file, by an indexer or a virus scanner, is waited out for a second before
// it is said.
Failure PlaceFile(PreparedFile& p)
{
    if (Failure f = closeHeld(p); f.failed())
        return f;
    const DWORD old = GetFileAttributesW(p.file.c_str());
    if (!SetFileAttributesW(p.temp.c_str(), old == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL : old))
        return lastError();
    // A folder in the file's place is refused by a rename; ReplaceFileW would move it aside.
    const bool replace = old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_DIRECTORY);
    for (int attempt = 1;; ++attempt) {
        // The old file goes to a second name of ReplaceFileW's own, so that
        // whatever step of it fails, the old file is found and put back.
        const std::wstring aside = replace ? temporaryBeside(p) : std::wstring();
        const bool placed =
            replace ? ReplaceFileW(p.file.c_str(), p.temp.c_str(), aside.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                               nullptr, nullptr)
                : MoveFileExW(p.temp.c_str(), p.file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        DWORD error = placed ? ERROR_SUCCESS : GetLastError();
        if (!aside.empty() && GetFileAttributesW(aside.c_str()) != INVALID_FILE_ATTRIBUTES) {
            if (placed)
                DeleteFileW(aside.c_str());
            else  // the new file could not take the name: the old one gets it back
                MoveFileExW(aside.c_str(), p.file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }
        if (placed) {
            p.placed = true;
            return Succeeded();
        }
        if (error == ERROR_UNABLE_TO_REMOVE_REPLACED)  // the old file is held open
            error = ERROR_SHARING_VIOLATION;
        if (attempt == 20 || (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
                              error != ERROR_ACCESS_DENIED))
            return systemReason(error);
        ::Sleep(50);
    }
}

void RestoreFile(PreparedFile& p) noexcept
{
    // Where this fails nothing more can be done; the save is said to have failed.
    if (p.existed)
        MoveFileExW(p.backup.c_str(), p.file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    else
        DeleteFileW(p.file.c_str());
    // Renamed back, or else the old file's last name: kept either way.
    p.backup.clear();
    p.placed = false;
    p.temp.clear();
}

PreparedNames NamesOf(const PreparedFile& p)
{
    return {narrow(p.file), narrow(p.temp.substr(p.dir.size()))};
}

Failure TargetOf(const std::string& cFile, std::string& cTarget)
{
    cTarget = cFile;
    return Succeeded();
}

Failure FinishFile(PreparedFile& p)
{
    if (!p.backup.empty()) {
        DeleteFileW(p.backup.c_str());
        p.backup.clear();
    }
    return Succeeded();
}

// The folder's lock is a file in it, opened with no sharing and deleted when
// closed: Windows lets it go when its holder ends, it excludes every other
// copy, in any logon session and over SMB, and it leaves nothing behind. A
// program that makes it read-only makes the folder take no lock, not
// refuse every save.
struct FolderLock {
    std::wstring path;
    HANDLE file = INVALID_HANDLE_VALUE;
};

void Drop(FolderLock* lock)
{
    if (lock->file != INVALID_HANDLE_VALUE)
        CloseHandle(lock->file);
    delete lock;
}

HeldFolder FolderOf(const std::string& cFile, std::string& key)
{
    const std::wstring file = widen(cFile);
    const std::size_t slash = file.find_last_of(L"/\\");
    const std::wstring dir = slash == std::wstring::npos ? L"" : file.substr(0, slash + 1);
    HANDLE h = CreateFileW(dir.empty() ? L"." : dir.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    key = narrow(dir);
    if (h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &info))
        key = std::to_string(info.dwVolumeSerialNumber) + "." + std::to_string(info.nFileIndexHigh) + "." +
              std::to_string(info.nFileIndexLow);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    return HeldFolder(new FolderLock{dir + L".gradient-logo.save-lock"});
}

FolderLockState TryLockFolder(FolderLock& lock)
{
    lock.file = CreateFileW(lock.path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (lock.file != INVALID_HANDLE_VALUE)
        return FolderLockState::Held;
    return GetLastError() == ERROR_SHARING_VIOLATION ? FolderLockState::Busy : FolderLockState::Unlockable;
}

void RemoveLitter(FolderLock& lock, const PreparedFile& p)
{
    if (lock.file != INVALID_HANDLE_VALUE)
        removeStaleTemporaries(p.dir, p.name);
}

Failure ReadFile(const std::string& cFile, std::size_t nMaxBytes, std::string& cBytes)
{
    HANDLE file = CreateFileW(widen(cFile).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lastError();
    LARGE_INTEGER size{};
    Failure f;
    if (!GetFileSizeEx(file, &size))
        f = lastError();
    else if (std::uint64_t(size.QuadPart) > nMaxBytes)
        f = systemReason(ERROR_FILE_TOO_LARGE);
    cBytes.assign(f.failed() ? 0 : std::size_t(size.QuadPart), '\0');
    for (std::size_t at = 0; f.ok() && at < cBytes.size();) {
        DWORD done = 0;
        if (!::ReadFile(file, cBytes.data() + at, DWORD(std::min<std::size_t>(cBytes.size() - at, 1u << 20)), &done,
                      nullptr))
            f = lastError();
        else if (done == 0)
            f = systemReason(ERROR_HANDLE_EOF);
        at += done;
    }
    CloseHandle(file);
    return f;
}

Failure MakeRecord(const std::string& cFile, const std::string& cBytes, bool& lExisted)
{
    const std::wstring file = widen(cFile);
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    lExisted = h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS;
    if (h == INVALID_HANDLE_VALUE)
        return lExisted ? Succeeded() : lastError();
    DWORD wrote = 0;
    const bool written = WriteFile(h, cBytes.data(), DWORD(cBytes.size()), &wrote, nullptr) &&
                         wrote == cBytes.size() && FlushFileBuffers(h);
    const Failure f = written ? Succeeded() : lastError();
    CloseHandle(h);
    if (f.failed())
        DeleteFileW(file.c_str());
    return f;
}

// Windows keeps files to their owners with the folder's permissions: another
// user's file here cannot be renamed by this one, so none is refused here.
Failure ReadOwnFile(const std::string& cFile, std::size_t nMaxBytes, std::string& cBytes, bool& lForeign,
                    long& nAge)
{
    lForeign = false;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(widen(cFile).c_str(), GetFileExInfoStandard, &data))
        return lastError();
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return systemReason(ERROR_ACCESS_DENIED);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    nAge = long((ticks(now) - ticks(data.ftLastWriteTime)) / 10000000u);
    return ReadFile(cFile, nMaxBytes, cBytes);
}

// Written through to the disk, with the replaced file's attributes (a new
// file waits hidden).
Failure RenameFile(const std::string& cFrom, const std::string& cTo)
{
    const std::wstring from = widen(cFrom), to = widen(cTo);
    const DWORD old = GetFileAttributesW(to.c_str());
    SetFileAttributesW(from.c_str(), old == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL : old);
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastError();
    return Succeeded();
}

// NTFS writes a folder's changes to its journal in the order they were made,
// and a rename written through takes every change before it to the disk.
Failure FlushFolder(const std::string&) { return Succeeded(); }

// The folder's lock excludes every other copy while a record exists, so one
// found under it was left by a copy that is gone.
std::string WriterName() { return "pid " + std::to_string(GetCurrentProcessId()); }
bool WriterGone(const std::string&, long) { return true; }

}  // namespace rt::backend
