// Which process wrote a save's record, as the next copy can tell apart from
// any other: the host, its boot, the process and when it started (a number
// the kernel may give again, but not with the same start).
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "Backend.h"
#include "Fd.h"

namespace rt::backend {

namespace {
// The first line of a small file of the kernel's, or "-".
std::string firstLine(const char* cFile)
{
    Fd file{::open(cFile, O_RDONLY | O_CLOEXEC)};
    char buffer[512];
    const ssize_t n = file.valid() ? ::read(file.get(), buffer, sizeof buffer) : -1;
    const std::string text = n > 0 ? std::string(buffer, std::size_t(n)) : std::string();
    const std::string line = text.substr(0, text.find('\n'));
    return line.empty() || line.find(' ') != std::string::npos ? "-" : line;
}

// A process's start, in clock ticks since the boot: the 22nd field of its
// stat, counted after the name in parentheses, which may hold spaces.
std::string startOf(const std::string& cPid)
{
    Fd file{::open(("/proc/" + cPid + "/stat").c_str(), O_RDONLY | O_CLOEXEC)};
    char buffer[1024];
    const ssize_t n = file.valid() ? ::read(file.get(), buffer, sizeof buffer) : -1;
    std::string text = n > 0 ? std::string(buffer, std::size_t(n)) : std::string();
    std::size_t at = text.rfind(')');
    for (int field = 2; at != std::string::npos && field < 22; ++field)
        at = text.find(' ', at + 1);
    return at == std::string::npos ? "-" : text.substr(at + 1, text.find(' ', at + 1) - at - 1);
}

std::string hostName()
{
    char host[256] = {};
    return ::gethostname(host, sizeof host - 1) == 0 && *host ? host : "-";
}
}  // namespace

std::string WriterName()
{
    const std::string pid = std::to_string(::getpid());
    return hostName() + " " + firstLine("/proc/sys/kernel/random/boot_id") + " " + pid + " " + startOf(pid);
}

// A writer on another host cannot be asked: its record counts as left once
// it is older than any save takes (on a network folder both hosts see).
bool WriterGone(const std::string& cWriter, long nAge)
{
    constexpr long kOtherHostAge = 60;
    if (cWriter == WriterName())
        return true;  // this process, between saves
    const std::string host = hostName() + " ";
    if (cWriter.compare(0, host.size(), host) != 0)
        return nAge > kOtherHostAge;
    const std::string boot = firstLine("/proc/sys/kernel/random/boot_id") + " ";
    if (boot == "- " || cWriter.compare(host.size(), boot.size(), boot) != 0)
        return boot != "- " || nAge > kOtherHostAge;
    const std::string rest = cWriter.substr(host.size() + boot.size());
    const std::string pid = rest.substr(0, rest.find(' '));
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
        return true;
    const std::string start = startOf(pid);
    if (start == "-")  // no such process, or no /proc to ask
        return ::kill(::atoi(pid.c_str()), 0) != 0 && errno == ESRCH;
    return rest != pid + " " + start;
}

}  // namespace rt::backend
