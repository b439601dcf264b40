#include "System.h"

#include <QFile>
#include <QFileInfo>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace rt {

bool File(const std::string& cFile) { return QFileInfo(QString::fromStdString(cFile)).isFile(); }

bool FErase(const std::string& cFile) { return QFile::remove(QString::fromStdString(cFile)); }

// The writer is plain POSIX because QSaveFile hides exactly the errors that
// matter here: it commits without checking the flush of its last buffered
// bytes or the sync, so a disk that filled up mid-write became a truncated
// file renamed over a good one. Every call below is checked.
namespace {
std::string reason(int error) { return std::strerror(error); }

// A descriptor closed on every path; close() itself is checked where it counts.
struct Fd {
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Failure close()
    {
        const int f = fd;
        fd = -1;
        return ::close(f) == 0 ? Failure() : reason(errno);
    }
};

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
    return std::nullopt;
}

// Our temporary files are ".NAME." and six letters or digits; while a save
// runs, it holds a lock on its own.
bool isOurTemporary(const std::string& entry, const std::string& cName)
{
    const std::string prefix = "." + cName + ".";
    if (entry.size() != prefix.size() + 6 || entry.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(entry[i])))
            return false;
    return true;
}

// Temporary files that a save killed before its rename left behind: ours by
// their name, our user's, regular files, and locked by no running save. Only
// these are removed; a failure here costs nothing but the litter.
void removeStaleTemporaries(DIR* listing, const std::string& cName)
{
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(listing))
        if (isOurTemporary(e->d_name, cName))
            stale.emplace_back(e->d_name);
    const int dirFd = ::dirfd(listing);
    for (const std::string& entry : stale) {
        Fd f{::openat(dirFd, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
        struct stat st {};
        if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        if (::flock(f.fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry.c_str(), 0);
    }
}

// A renamed file is durable only once its directory is on disk too; then the
// litter of earlier saves that never got to their rename goes.
Failure syncDirectory(const std::string& cDir, const std::string& cName)
{
    Fd dir{::open(cDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd < 0)
        return reason(errno);
    // Some filesystems cannot sync a directory at all (EINVAL); there the
    // rename is as durable as they make it.
    if (::fsync(dir.fd) != 0 && errno != EINVAL)
        return reason(errno);
    // The listing takes the descriptor over, and closing it is the one close, checked.
    DIR* listing = ::fdopendir(dir.fd);
    if (!listing)
        return dir.close();
    dir.fd = -1;
    removeStaleTemporaries(listing, cName);
    return ::closedir(listing) == 0 ? Failure() : reason(errno);
}

// Where a save of cFile must write: the file itself, or the end of the chain
// of symbolic links that it is (the target need not exist), so that a link
// stays a link and its target gets the new bytes. A loop is the system's ELOOP.
Failure followLinks(std::string& cFile)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(cFile.c_str(), &st) != 0)
            return errno == ENOENT ? Failure() : reason(errno);
        if (!S_ISLNK(st.st_mode))
            return std::nullopt;
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
    if (file.fd < 0)
        return reason(errno);
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        return reason(errno);
    if (off_t(cBytes.size()) > st.st_size) {
        const int error = ::posix_fallocate(file.fd, 0, off_t(cBytes.size()));
        if (error != 0) {
            // A partial reservation may have grown the file; its bytes are the old ones.
            const int ignored = ::ftruncate(file.fd, st.st_size);
            (void)ignored;
            return reason(error);
        }
    }
    if (Failure f = writeAll(file.fd, cBytes))
        return f;
    if (::ftruncate(file.fd, off_t(cBytes.size())) != 0 || ::fsync(file.fd) != 0)
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
}  // namespace

Failure WriteFileAtomic(const std::string& cPath, const std::string& cBytes)
{
    std::string cFile = cPath;
    if (Failure f = followLinks(cFile))
        return f;
    const std::size_t slash = cFile.rfind('/');
    const std::string cDir = slash == std::string::npos ? "." : cFile.substr(0, slash + 1);
    const std::string cName = slash == std::string::npos ? cFile : cFile.substr(slash + 1);
    std::string cTemp = (slash == std::string::npos ? "" : cDir) + "." + cName + ".XXXXXX";
    const mode_t mode = modeFor(cFile);

    Fd temp{::mkostemp(cTemp.data(), O_CLOEXEC)};
    if (temp.fd < 0) {
        const int error = errno;
        // A folder that takes no new file, holding a file that can be
        // rewritten: rewrite it, as saving there always could.
        if ((error == EACCES || error == EPERM) &&
            ::faccessat(AT_FDCWD, cFile.c_str(), W_OK, AT_EACCESS) == 0)
            return rewriteInPlace(cFile, cBytes);
        return reason(error);
    }
    // Held while the file is written, so that no other save takes it for litter.
    if (::flock(temp.fd, LOCK_EX) != 0) {
        const Failure f = reason(errno);
        ::unlink(cTemp.c_str());
        return f;
    }
    // The new file is complete and on the disk before it replaces the old one.
    Failure f = writeAll(temp.fd, cBytes);
    if (!f && ::fchmod(temp.fd, mode) != 0)
        f = reason(errno);
    if (!f && ::fsync(temp.fd) != 0)
        f = reason(errno);
    if (!f)
        f = temp.close();
    if (!f && ::rename(cTemp.c_str(), cFile.c_str()) != 0)
        f = reason(errno);
    if (f) {
        ::unlink(cTemp.c_str());
        return f;
    }
    return syncDirectory(cDir, cName);
}

void Sleep(int nHundredths)
{
    if (nHundredths <= 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * nHundredths));
}

}  // namespace rt
