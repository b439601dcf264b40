// Files on a POSIX system, for every backend that runs on one: a save's new
// file flushed beside the old and renamed over it, the old file kept aside by
// a second name (a flushed copy where the file system has no hard links: FAT,
// exFAT, many FUSE and network ones), symbolic links written through
// (protected_symlinks' rule in shared sticky folders), the folder's flock as
// the lock of a save (let through where the file system refuses locks), and
// rewriting in place where no new file may be made, and a save's record made
// by exclusive creation in one write. It lacks nothing of the contract's
// files half.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "Backend.h"
#include "Fd.h"
#include "TemporaryName.h"

namespace rt::backend {

// Under the home folder from ~ (~/Pictures), as shells and file managers write it.
std::string CurrentFolderShown()
{
    std::string dir(256, '\0');
    while (!::getcwd(dir.data(), dir.size())) {
        if (errno != ERANGE)
            return ".";
        dir.resize(dir.size() * 2);
    }
    dir.resize(std::strlen(dir.c_str()));
    const char* env = std::getenv("HOME");
    const passwd* pw = env && *env ? nullptr : ::getpwuid(::getuid());
    std::string home = env && *env ? env : pw ? pw->pw_dir : "";
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    if (home.size() <= 1 || dir.compare(0, home.size(), home) != 0)
        return dir;
    if (dir.size() == home.size())
        return "~";
    return dir[home.size()] == '/' ? "~" + dir.substr(home.size()) : dir;
}

bool IsFile(const std::string& cFile)
{
    struct stat st {};
    return ::stat(cFile.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool EraseFile(const std::string& cFile) { return ::unlink(cFile.c_str()) == 0; }

// The writer is plain POSIX because the toolkits' save classes hide exactly
// the errors that matter here: they commit without checking the flush of the
// last buffered bytes or the sync, so a disk that filled up mid-write became a
// truncated file renamed over a good one. Every call below is checked.
namespace {
std::string reason(int error) { return std::strerror(error); }

// All of the bytes, from the start of the file; a short write goes on where it
// stopped, so a disk that fills up part-way fails with the write that found it full.
Failure writeAll(int fd, const std::string& cBytes)
{
    std::size_t done = 0;
    while (done < cBytes.size()) {
        const ssize_t n = ::pwrite(fd, cBytes.data() + done, cBytes.size() - done, off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return reason(n < 0 ? errno : EIO);
        done += std::size_t(n);
    }
    return Succeeded();
}

// Temporary files that a save killed before its rename left behind: ours by
// their name, our user's, regular files, and locked by no save that is
// preparing. Only these are removed; a failure here costs nothing but the litter.
void removeStaleTemporaries(DIR* listing, const std::string& cName)
{
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(listing))
        if (IsOurTemporary(e->d_name, cName))
            stale.emplace_back(e->d_name);
    const int dirFd = ::dirfd(listing);
    for (const std::string& entry : stale) {
        Fd f{::openat(dirFd, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
        struct stat st {};
        if (!f.valid() || ::fstat(f.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        if (::flock(f.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry.c_str(), 0);
    }
}

// The folder of a path, "." for a bare name.
std::string folderOf(const std::string& cFile)
{
    const std::size_t slash = cFile.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : cFile.substr(0, slash);
}

// A renamed file is durable only once its directory is on disk too. A
// folder one may write into but not list (mode 0311) cannot be opened for
// that; syncfs through the file itself then flushes the renames with the
// rest of its file system, which needs no right to the folder.
Failure syncDirectory(const std::string& cDir, const std::string& cFile)
{
    Fd dir{::open(cDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (!dir.valid() && errno == EACCES) {
        Fd file{::open(cFile.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
        if (!file.valid())
            file.reset(::open(cFile.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
        if (!file.valid() || ::syncfs(file.get()) != 0)
            return reason(errno);
        return file.close();
    }
    if (!dir.valid())
        return reason(errno);
    // Some filesystems cannot sync a directory at all (EINVAL); there the
    // rename is as durable as they make it.
    if (::fsync(dir.get()) != 0 && errno != EINVAL)
        return reason(errno);
    return dir.close();
}

// The kernel follows a link in a world-writable sticky folder (/tmp) only for
// the link's owner or the folder's (fs.protected_symlinks), so that nobody can
// plant one there that points another user's save at their own files. The
// save reads links itself, so it keeps that rule itself.
Failure mayFollow(const std::string& cLink, const struct stat& link)
{
    const std::size_t slash = cLink.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : cLink.substr(0, slash);
    struct stat folder {};
    if (::stat(dir.c_str(), &folder) != 0)
        return reason(errno);
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    if (shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid)
        return "a link of another user in a shared folder, not followed";
    return Succeeded();
}

// Where a save of cFile must write: the file itself, or the end of the chain
// of symbolic links that it is (the target need not exist), so that a link
// stays a link and its target gets the new bytes. A loop is the system's ELOOP.
Failure followLinks(std::string& cFile)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(cFile.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return reason(errno);
            return Succeeded();  // the end of the chain: a file yet to be made
        }
        if (!S_ISLNK(st.st_mode))
            return Succeeded();
        if (Failure f = mayFollow(cFile, st); f.failed())
            return f;
        std::string target(std::size_t(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(cFile.c_str(), target.data(), target.size());
        if (n < 0)
            return reason(errno);
        if (std::size_t(n) >= target.size())  // the link changed while we looked
            continue;
        target.resize(std::size_t(n));
        const std::size_t slash = cFile.rfind('/');
        cFile = target.front() == '/' || slash == std::string::npos ? target
                                                                    : cFile.substr(0, slash + 1) + target;
    }
    return reason(ELOOP);
}

// The file's own bytes replaced in place, for a folder that takes no new file.
// Room is reserved before the first byte changes, so a full disk leaves the
// old contents; only a crash in the middle of the write can mix the two.
Failure rewriteInPlace(const std::string& cFile, const std::string& cBytes)
{
    Fd file{::open(cFile.c_str(), O_WRONLY | O_CLOEXEC)};
    if (!file.valid())
        return reason(errno);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0)
        return reason(errno);
    if (off_t(cBytes.size()) > st.st_size) {
        const int error = ::posix_fallocate(file.get(), 0, off_t(cBytes.size()));
        if (error != 0) {
            // A partial reservation may have grown the file; its bytes are the old ones.
            const int ignored = ::ftruncate(file.get(), st.st_size);
            (void)ignored;
            return reason(error);
        }
    }
    if (Failure f = writeAll(file.get(), cBytes); f.failed())
        return f;
    if (::ftruncate(file.get(), off_t(cBytes.size())) != 0 || ::fsync(file.get()) != 0)
        return reason(errno);
    return file.close();
}

// A new file's mode: the old file's, or what the umask leaves of rw for all.
mode_t modeFor(const std::string& cFile)
{
    struct stat st {};
    if (::stat(cFile.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The old file's second name while a save of several files is under way: one
// of our temporary names, so that a save killed meanwhile leaves only litter.
// EEXIST is a name taken; any other refusal says the file system has no hard
// links (FAT and exFAT answer EPERM, FUSE and network ones ENOSYS or EOPNOTSUPP).
Failure linkAside(const std::string& cFile, const std::string& cBeside, const std::string& cName,
                  std::string& cBackup, bool& lNoLinks)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string candidate = cBeside + TemporaryName(cName);
        if (::link(cFile.c_str(), candidate.c_str()) == 0) {
            cBackup = std::move(candidate);
            return Succeeded();
        }
        if (errno != EEXIST) {
            lNoLinks = true;
            return reason(errno);
        }
    }
    return reason(EEXIST);
}

// Whether the open file still has the name it was made with: another save's
// clean-up may take a new file in the moment before its lock is taken.
bool stillNamed(int fd, const std::string& cName)
{
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(cName.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// At most nMaxBytes, whatever the size said before: a file that grows while
// it is read (or a device with no size) is refused once it passes them.
Failure readFrom(int fd, std::size_t nMaxBytes, std::string& cBytes)
{
    cBytes.clear();
    char buffer[65536];
    for (;;) {
        const std::size_t room = std::min(sizeof buffer, nMaxBytes - cBytes.size() + 1);
        const ssize_t n = ::read(fd, buffer, room);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return reason(errno);
        if (n == 0)
            return Succeeded();
        if (std::size_t(n) > nMaxBytes - cBytes.size())
            return reason(EFBIG);
        cBytes.append(buffer, std::size_t(n));
    }
}

Failure readAll(const std::string& cFile, std::string& cBytes)
{
    Fd file{::open(cFile.c_str(), O_RDONLY | O_CLOEXEC)};
    if (!file.valid())
        return reason(errno);
    return readFrom(file.get(), cBytes.max_size() - 1, cBytes);
}
// Where there are no hard links: a flushed copy under one of our names, with
// the old file's mode. The old file stays in its place until the new one
// replaces it; a copy that cannot be made fails the save with nothing changed.
Failure copyAside(const std::string& cFile, const std::string& cBeside, const std::string& cName,
                  std::string& cBackup)
{
    Fd from{::open(cFile.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat st {};
    if (!from.valid() || ::fstat(from.get(), &st) != 0)
        return reason(errno);
    if (!S_ISREG(st.st_mode))
        return reason(EINVAL);
    std::string bytes;
    if (Failure f = readFrom(from.get(), bytes.max_size() - 1, bytes); f.failed())
        return f;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string candidate = cBeside + TemporaryName(cName);
        Fd to{::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)};
        if (!to.valid() && errno == EEXIST)
            continue;
        if (!to.valid())
            return reason(errno);
        Failure f = writeAll(to.get(), bytes);
        if (f.ok() && (::fchmod(to.get(), st.st_mode & 07777) != 0 || ::fsync(to.get()) != 0))
            f = reason(errno);
        if (f.ok())
            f = to.close();
        if (f.failed()) {
            ::unlink(candidate.c_str());
            return f;
        }
        cBackup = std::move(candidate);
        return Succeeded();
    }
    return reason(EEXIST);
}

}  // namespace

struct PreparedFile {
    std::string target;  // where the bytes go: the file, or the end of its links
    std::string dir;     // its folder, "." or ending in "/"
    std::string name;
    std::string temp;    // the new file beside it, written and flushed
    Fd tempFd;           // held, and so locked, until the new file is placed
    bool inPlace = false;  // in a folder that takes no new file
    std::string bytes;     // for a file rewritten in place
    bool placed = false;
    bool existed = true;   // what KeepOld found
    std::string backup;    // the old file's second name
    std::string oldBytes;  // the old contents, for a file rewritten in place
};

void Discard(PreparedFile* p) noexcept
{
    if (!p->placed && !p->temp.empty())
        ::unlink(p->temp.c_str());
    if (!p->backup.empty())
        ::unlink(p->backup.c_str());
    delete p;
}

Failure PrepareFile(const std::string& cPath, const std::string& cBytes, Prepared& prepared)
{
    prepared.reset(new PreparedFile);
    PreparedFile& p = *prepared;
    p.target = cPath;
    if (Failure f = followLinks(p.target); f.failed())
        return f;
    const std::size_t slash = p.target.rfind('/');
    p.dir = slash == std::string::npos ? "." : p.target.substr(0, slash + 1);
    p.name = slash == std::string::npos ? p.target : p.target.substr(slash + 1);
    // A folder where the file should be cannot be replaced: said now, before
    // any other file of the save is touched.
    struct stat st {};
    if (::stat(p.target.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return reason(EISDIR);
    const mode_t mode = modeFor(p.target);

    // Locked while it is written, so that no other save takes it for litter,
    // and made anew should another save's clean-up have taken it in the
    // moment before the lock. A file system that refuses the lock (ENOLCK on
    // NFS without its lock manager) is let through: its folder's lock is
    // refused too, and no clean-up runs where the folder is not locked.
    const std::string pattern = (slash == std::string::npos ? "" : p.dir) + "." + p.name + ".XXXXXX";
    for (int attempt = 0; !p.tempFd.valid(); ++attempt) {
        std::string temp = pattern;
        p.tempFd.reset(::mkostemp(temp.data(), O_CLOEXEC));
        if (!p.tempFd.valid()) {
            const int error = errno;
            // A folder that takes no new file, holding a file that can be
            // rewritten: rewrite it, as saving there always could.
            if ((error == EACCES || error == EPERM) &&
                ::faccessat(AT_FDCWD, p.target.c_str(), W_OK, AT_EACCESS) == 0) {
                p.inPlace = true;
                p.bytes = cBytes;
                return Succeeded();
            }
            return reason(error);
        }
        if (::flock(p.tempFd.get(), LOCK_EX) == 0 && !stillNamed(p.tempFd.get(), temp)) {
            p.tempFd.reset();  // taken: the name is no longer ours to remove
            if (attempt == 15)
                return reason(EEXIST);
            continue;
        }
        p.temp = std::move(temp);
    }
    // The new file is complete and on the disk before it replaces the old one.
    if (Failure f = writeAll(p.tempFd.get(), cBytes); f.failed())
        return f;
    if (::fchmod(p.tempFd.get(), mode) != 0 || ::fsync(p.tempFd.get()) != 0)
        return reason(errno);
    return Succeeded();
}

Failure KeepOld(PreparedFile& p)
{
    struct stat st {};
    if (::lstat(p.target.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return reason(errno);
        p.existed = false;
        return Succeeded();
    }
    if (p.inPlace)
        return readAll(p.target, p.oldBytes);
    const std::string beside = p.dir == "." ? "" : p.dir;
    bool lNoLinks = false;
    const Failure linked = linkAside(p.target, beside, p.name, p.backup, lNoLinks);
    return linked.failed() && lNoLinks ? copyAside(p.target, beside, p.name, p.backup) : linked;
}

Failure PlaceFile(PreparedFile& p)
{
    if (p.inPlace) {
        if (Failure f = rewriteInPlace(p.target, p.bytes); f.failed())
            return f;
        p.placed = true;
        return Succeeded();
    }
    if (Failure f = p.tempFd.close(); f.failed())
        return f;
    if (::rename(p.temp.c_str(), p.target.c_str()) != 0)
        return reason(errno);
    p.placed = true;
    return Succeeded();
}

void RestoreFile(PreparedFile& p) noexcept
{
    // Where these fail nothing more can be done; the save is said to have failed.
    if (!p.existed) {
        ::unlink(p.target.c_str());
    } else if (p.inPlace) {
        try {
            (void)rewriteInPlace(p.target, p.oldBytes);
        } catch (...) {
            // Its reason's text found no memory; the failure is said all the same.
        }
    } else {
        ::rename(p.backup.c_str(), p.target.c_str());
    }
    // Renamed back, or else the old file's last name: not removed either way.
    p.backup.clear();
    p.placed = false;
    p.temp.clear();
}

PreparedNames NamesOf(const PreparedFile& p)
{
    const std::size_t slash = p.temp.rfind('/');
    return {p.target, p.inPlace ? std::string() : p.temp.substr(slash == std::string::npos ? 0 : slash + 1)};
}

Failure TargetOf(const std::string& cFile, std::string& cTarget)
{
    cTarget = cFile;
    return followLinks(cTarget);
}

Failure FinishFile(PreparedFile& p)
{
    if (!p.backup.empty()) {
        ::unlink(p.backup.c_str());
        p.backup.clear();
    }
    if (p.inPlace)
        return Succeeded();
    return syncDirectory(p.dir, p.target);
}

// The folder's lock is flock() on the folder itself: the kernel's, let go with
// the descriptor or the process, and no file of its own.
struct FolderLock {
    std::string dir;
    Fd fd;
};

void Drop(FolderLock* lock) { delete lock; }

HeldFolder FolderOf(const std::string& cFile, std::string& key)
{
    const std::string dir = folderOf(cFile);
    struct stat st {};
    key = ::stat(dir.c_str(), &st) == 0 ? std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) : dir;
    return HeldFolder(new FolderLock{dir, Fd()});
}

FolderLockState TryLockFolder(FolderLock& lock)
{
    if (!lock.fd.valid())
        lock.fd.reset(::open(lock.dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!lock.fd.valid())
        return FolderLockState::Unlockable;  // a folder we may write to but not list
    if (::flock(lock.fd.get(), LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK || errno == EINTR ? FolderLockState::Busy : FolderLockState::Unlockable;
    // Some file systems grant every flock without excluding anyone (FUSE and
    // network mounts may): a second lock through another descriptor tells.
    // There no clean-up may run, since no other save is kept out.
    Fd probe{::openat(lock.fd.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (probe.valid() && ::flock(probe.get(), LOCK_EX | LOCK_NB) == 0) {
        lock.fd.reset();
        return FolderLockState::Unlockable;
    }
    return FolderLockState::Held;
}

void RemoveLitter(FolderLock& lock, const PreparedFile& p)
{
    // Its own listing: the lock's descriptor stays the lock's.
    Fd dir{::openat(lock.fd.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (DIR* listing = dir.valid() ? ::fdopendir(dir.get()) : nullptr) {
        dir.release();  // the listing's now, closed with it
        removeStaleTemporaries(listing, p.name);
        ::closedir(listing);
    }
}

Failure ReadFile(const std::string& cFile, std::size_t nMaxBytes, std::string& cBytes)
{
    Fd file{::open(cFile.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat st {};
    if (!file.valid() || ::fstat(file.get(), &st) != 0)
        return reason(errno);
    if (S_ISDIR(st.st_mode))
        return reason(EISDIR);
    if (std::size_t(st.st_size) > nMaxBytes)
        return reason(EFBIG);
    return readFrom(file.get(), nMaxBytes, cBytes);
}

// One write of the whole record into a file made for it, so that a record
// is whole or, cut by a power loss, fails its checksum; then its name on the disk.
Failure MakeRecord(const std::string& cFile, const std::string& cBytes, bool& lExisted)
{
    Fd file{::open(cFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)};
    lExisted = !file.valid() && errno == EEXIST;
    if (!file.valid())
        return lExisted ? Succeeded() : Failure(reason(errno));
    Failure f = writeAll(file.get(), cBytes);
    if (f.ok() && ::fsync(file.get()) != 0)
        f = reason(errno);
    if (f.ok())
        f = file.close();
    if (f.ok())
        f = syncDirectory(folderOf(cFile), cFile);
    if (f.failed())
        ::unlink(cFile.c_str());
    return f;
}

Failure ReadOwnFile(const std::string& cFile, std::size_t nMaxBytes, std::string& cBytes, bool& lForeign,
                    long& nAge)
{
    lForeign = false;
    Fd file{::open(cFile.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    struct stat st {}, folder {};
    if (!file.valid() || ::fstat(file.get(), &st) != 0 || ::stat(folderOf(cFile).c_str(), &folder) != 0)
        return reason(errno);
    if (!S_ISREG(st.st_mode))
        return reason(EINVAL);
    // The rule of protected_symlinks, as for links: in a shared sticky folder
    // anyone may plant a file of this name.
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    lForeign = shared && st.st_uid != ::geteuid() && st.st_uid != folder.st_uid;
    if (lForeign)
        return "another user's, not acted on";
    nAge = long(::time(nullptr) - st.st_mtime);
    return readFrom(file.get(), nMaxBytes, cBytes);
}

Failure RenameFile(const std::string& cFrom, const std::string& cTo)
{
    if (::rename(cFrom.c_str(), cTo.c_str()) != 0)
        return reason(errno);
    return Succeeded();
}

Failure FlushFolder(const std::string& cFile) { return syncDirectory(folderOf(cFile), cFile); }

}  // namespace rt::backend
