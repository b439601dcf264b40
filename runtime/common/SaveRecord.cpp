#include "SaveRecord.h"

#include <charconv>
#include <exception>
#include <optional>

#include "Backend.h"
#include "SaveTogether.h"
#include "TemporaryName.h"

namespace rt {

namespace {
#ifdef _WIN32
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif
constexpr std::string_view kMagic = "GLSAVE 1 ";
constexpr std::size_t kMaxRecord = 4096;
// A record that is not whole was cut before its save committed, unless its
// writer is still writing it (where no lock keeps it out): a minute is far
// more than one write takes.
constexpr long kTornAge = 60;

std::string hex(std::uint64_t n)
{
    char digits[16];
    for (int i = 15; i >= 0; --i, n >>= 4)
        digits[i] = "0123456789abcdef"[n & 15];
    return std::string(digits, 16);
}

template <typename T>
bool number(std::string_view text, T& n, int base = 10)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n, base);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// A name in the record's own folder: no path, nothing that leads out of it.
bool plainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\: \n") == std::string_view::npos;
}

// The words of a line, split at single spaces.
std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> out;
    for (std::size_t at = 0;;) {
        const std::size_t space = line.find(' ', at);
        out.push_back(line.substr(at, space - at));
        if (space == std::string_view::npos)
            return out;
        at = space + 1;
    }
}

// Whether the file holds exactly what the record says, and is ours.
bool holds(const std::string& cFile, const RecordEntry& entry)
{
    std::string bytes;
    bool foreign = false;
    long age = 0;
    return backend::ReadOwnFile(cFile, entry.nSize, bytes, foreign, age).ok() && bytes.size() == entry.nSize &&
           Checksum(bytes) == entry.nSum;
}

RecordFound removed(const std::string& cRecord)
{
    return RemoveRecord(cRecord) ? RecordFound::Finished : RecordFound::Ignored;
}
}  // namespace

bool RemoveRecord(const std::string& cRecord)
{
    if (!backend::EraseFile(cRecord))
        return false;
    (void)backend::FlushFolder(cRecord);  // else it is found again, and its files are already in place
    return true;
}

// FNV-1a: enough to find a file torn by a disk that ignored a flush.
std::uint64_t Checksum(std::string_view bytes)
{
    std::uint64_t sum = 0xcbf29ce484222325u;
    for (const char c : bytes)
        sum = (sum ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    return sum;
}

std::string FolderPart(const std::string& cPath)
{
    const std::size_t at = cPath.find_last_of(kSeparators);
    return at == std::string::npos ? std::string() : cPath.substr(0, at + 1);
}

std::string RecordOf(const std::string& cFile)
{
    const std::string dir = FolderPart(cFile);
    return dir + "." + cFile.substr(dir.size()) + ".save-record";
}

std::string EncodeRecord(const std::string& cWriter, const std::vector<RecordEntry>& entries)
{
    std::string body = cWriter + "\n";
    for (const RecordEntry& e : entries)
        body += e.cName + " " + e.cTemp + " " + std::to_string(e.nSize) + " " + hex(e.nSum) + "\n";
    return std::string(kMagic) + std::to_string(body.size()) + " " + hex(Checksum(body)) + "\n" + body;
}

namespace {
// The body of a record that was written whole, as its header says.
std::optional<std::string_view> bodyOf(std::string_view all)
{
    const std::size_t end = all.find('\n');
    if (all.substr(0, kMagic.size()) != kMagic || end == std::string_view::npos)
        return std::nullopt;
    const std::vector<std::string_view> head = words(all.substr(kMagic.size(), end - kMagic.size()));
    std::size_t length = 0;
    std::uint64_t sum = 0;
    const std::string_view body = all.substr(end + 1);
    if (head.size() != 2 || !number(head[0], length) || head[1].size() != 16 || !number(head[1], sum, 16) ||
        length != body.size() || Checksum(body) != sum)
        return std::nullopt;
    return body;
}
}  // namespace

bool DecodeRecord(const std::string& cBytes, std::string& cWriter, std::vector<RecordEntry>& entries)
{
    const std::optional<std::string_view> whole = bodyOf(cBytes);
    if (!whole || whole->empty() || whole->back() != '\n')
        return false;
    std::string_view body = *whole;
    entries.clear();
    for (bool first = true; !body.empty(); first = false) {
        const std::string_view line = body.substr(0, body.find('\n'));
        body.remove_prefix(line.size() + 1);
        if (first) {
            cWriter = std::string(line);
            continue;
        }
        const std::vector<std::string_view> w = words(line);
        RecordEntry e;
        if (w.size() != 4 || !plainName(w[0]) || !plainName(w[1]) || !number(w[2], e.nSize) ||
            w[3].size() != 16 || !number(w[3], e.nSum, 16))
            return false;
        e.cName = w[0];
        e.cTemp = w[1];
        entries.push_back(std::move(e));
    }
    return !entries.empty();
}

// Every file it names either still waits under its new name, whole, or is
// already in place: the save committed, and the renames not yet made are
// made. Otherwise the save was put back before its record went, and what it
// left of new files goes. Whatever cannot be done here (a read-only medium,
// a folder the user may not write) leaves the record for a copy that can.
RecordFound FinishRecord(const std::string& cRecord, bool lLocked)
{
    if (!backend::IsFile(cRecord))
        return RecordFound::None;
    std::string bytes, writer;
    bool foreign = false;
    long age = 0;
    if (backend::ReadOwnFile(cRecord, kMaxRecord, bytes, foreign, age).failed())
        return RecordFound::Ignored;
    std::vector<RecordEntry> entries;
    if (!bodyOf(bytes))
        return lLocked || age >= kTornAge ? removed(cRecord) : RecordFound::Live;
    if (!DecodeRecord(bytes, writer, entries))
        return RecordFound::Ignored;
    if (!backend::WriterGone(writer, age))
        return RecordFound::Live;
    const std::string dir = FolderPart(cRecord);
    struct Step {
        std::string target, temp;
        bool waiting;
    };
    std::vector<Step> steps;
    bool committed = true;
    for (const RecordEntry& e : entries) {
        Step step;
        if (backend::TargetOf(dir + e.cName, step.target).failed())
            return RecordFound::Ignored;
        const std::string targetDir = FolderPart(step.target);
        if (!IsOurTemporary(e.cTemp, step.target.substr(targetDir.size())))
            return RecordFound::Ignored;
        step.temp = targetDir + e.cTemp;
        step.waiting = holds(step.temp, e);
        committed = committed && (step.waiting || holds(step.target, e));
        steps.push_back(std::move(step));
    }
    for (const Step& step : steps)
        if (step.waiting && !committed)
            backend::EraseFile(step.temp);
        else if (step.waiting && backend::RenameFile(step.temp, step.target).failed())
            return RecordFound::Ignored;
    for (const Step& step : steps)
        if (committed && backend::FlushFolder(step.target).failed())
            return RecordFound::Ignored;
    return removed(cRecord);
}

void FinishCutSave(const std::string& cFile)
{
    try {
        const std::string record = RecordOf(cFile);
        if (!backend::IsFile(record))
            return;
        std::string key;
        const backend::HeldFolder lock = backend::FolderOf(record, key);
        const backend::FolderLockState state = backend::TryLockFolder(*lock);
        if (state != backend::FolderLockState::Busy)
            FinishRecord(record, state == backend::FolderLockState::Held);
    } catch (const std::exception&) {
        // Memory ran out: the record stays for the next start or save.
    }
}

}  // namespace rt
