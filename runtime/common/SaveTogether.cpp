#include "SaveTogether.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "Backend.h"
#include "Runtime.h"
#include "SaveRecord.h"
#include "System.h"

namespace rt {

using backend::Prepared;

struct SaveTogether::Impl {
    struct Entry {
        std::string cFile;
        Prepared prepared;
        std::uint64_t nSize, nSum;
    };
    std::vector<Entry> entries;
    bool replaced = false;
};

namespace {
SaveTogether::Impl* openNow = nullptr;

// A save takes milliseconds; another copy's is waited out for this long.
constexpr auto kLockWait = std::chrono::seconds(5);

std::string anotherSaving() { return "another " + Runtime::DisplayName() + " is saving in this folder"; }

// The locks of every folder the entries go to, taken in the order of their
// keys so that two saves never wait on each other, each tried for a while.
// Those that the file system cannot lock are let through, but no litter is
// removed there: it might be a running save's.
struct FolderLocks {
    struct Folder {
        std::string key;
        backend::HeldFolder lock;
        bool held = false;
        std::string cFile;  // the first file that goes there, for the message
    };
    std::vector<Folder> folders;    // in the order of their keys, each once
    std::vector<std::string> keys;  // each entry's folder

    Folder& folder(const std::string& key)
    {
        return *std::find_if(folders.begin(), folders.end(), [&key](const Folder& f) { return f.key == key; });
    }

    // Each entry's folder, then the record's (which links may put elsewhere).
    Failure take(const std::vector<SaveTogether::Impl::Entry>& entries, const std::string& cRecord,
                 std::string& cFile)
    {
        for (std::size_t i = 0; i <= entries.size(); ++i) {
            const std::string path = i < entries.size() ? backend::NamesOf(*entries[i].prepared).target : cRecord;
            if (path.empty())
                break;
            std::string key;
            backend::HeldFolder lock = backend::FolderOf(path, key);
            const auto at = std::find_if(folders.begin(), folders.end(), [&key](const Folder& f) { return f.key >= key; });
            if (at == folders.end() || at->key != key)
                folders.insert(at, Folder{key, std::move(lock), false, entries[i < entries.size() ? i : 0].cFile});
            keys.push_back(key);
        }
        for (Folder& folder : folders) {
            const auto deadline = std::chrono::steady_clock::now() + kLockWait;
            auto state = backend::TryLockFolder(*folder.lock);
            while (state == backend::FolderLockState::Busy && std::chrono::steady_clock::now() < deadline) {
                Sleep(2);
                state = backend::TryLockFolder(*folder.lock);
            }
            if (state == backend::FolderLockState::Busy) {
                cFile = folder.cFile;
                return anotherSaving();
            }
            folder.held = state == backend::FolderLockState::Held;
        }
        return Succeeded();
    }

    void removeLitter(const std::vector<SaveTogether::Impl::Entry>& entries)
    {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (Folder& f = folder(keys[i]); f.held)
                backend::RemoveLitter(*f.lock, *entries[i].prepared);
    }
};

// The record that commits a save of files given in one folder, made once
// every new file is written and removed once every one is in place. Made
// only where no record is, it keeps other copies out where the folder's lock
// excludes nobody: a live writer's record is waited for, a gone one's save
// finished first.
struct Commit {
    std::string cRecord;  // none for one file, for several folders, or for files rewritten in place
    bool made = false;

    void choose(const std::vector<SaveTogether::Impl::Entry>& entries)
    {
        for (const auto& entry : entries)
            if (entries.size() < 2 || FolderPart(entry.cFile) != FolderPart(entries.front().cFile) ||
                backend::NamesOf(*entry.prepared).temp.empty())
                return;
        cRecord = RecordOf(entries.front().cFile);
    }

    Failure make(const std::vector<SaveTogether::Impl::Entry>& entries, bool lLocked, std::string& cFile)
    {
        if (cRecord.empty())
            return Succeeded();
        std::vector<RecordEntry> list;
        for (const auto& entry : entries) {
            const backend::PreparedNames names = backend::NamesOf(*entry.prepared);
            // A new file that links put in another folder has a name there
            // that must be on the disk before the record names it.
            if (FolderPart(names.target) != FolderPart(cRecord))
                if (Failure f = backend::FlushFolder(names.target); f.failed()) {
                    cFile = entry.cFile;
                    return f;
                }
            list.push_back({entry.cFile.substr(FolderPart(entry.cFile).size()), names.temp, entry.nSize, entry.nSum});
        }
        const std::string bytes = EncodeRecord(backend::WriterName(), list);
        const auto deadline = std::chrono::steady_clock::now() + kLockWait;
        cFile = cRecord;
        for (;;) {
            bool existed = false;
            if (Failure f = backend::MakeRecord(cRecord, bytes, existed); f.failed())
                return f;
            if (!existed) {
                made = true;
                return Succeeded();
            }
            const RecordFound found = FinishRecord(cRecord, lLocked);
            if (found == RecordFound::Ignored)
                return std::string("left by a save that cannot be finished here");
            if (std::chrono::steady_clock::now() >= deadline)
                return anotherSaving();
            if (found == RecordFound::Live)
                Sleep(2);
        }
    }

    // Once the files are in place or put back; where it stays, the next
    // start or save finds every file as it says and removes it.
    void remove() noexcept
    {
        try {
            if (made)
                RemoveRecord(cRecord);
        } catch (const std::exception&) {
        }
        made = false;
    }
};
}  // namespace

SaveTogether::SaveTogether() : d(std::make_unique<Impl>()) { openNow = d.get(); }

SaveTogether::~SaveTogether()
{
    if (openNow == d.get())
        openNow = nullptr;
}

Failure SaveTogether::place(std::string& cFile)
{
    openNow = nullptr;
    auto& entries = d->entries;
    d->replaced = false;
    if (entries.empty())
        return Succeeded();
    cFile = entries.front().cFile;
    FolderLocks locks;
    Commit commit;
    // Until the last file is in place, those placed before it are put back on
    // any failure, an exception (an allocation, say) included, so that the
    // folder never keeps a mix; what is not placed goes with the entries.
    std::size_t placed = 0;
    const auto putBack = [&entries, &placed, &commit]() noexcept {
        while (placed > 0)
            backend::RestoreFile(*entries[--placed].prepared);
        entries.clear();
        commit.remove();
    };
    try {
        commit.choose(entries);
        if (Failure f = locks.take(entries, commit.cRecord, cFile); f.failed()) {
            putBack();
            return f;
        }
        // The record's folder is the last whose lock was asked for.
        if (Failure f = commit.make(entries, !commit.cRecord.empty() && locks.folder(locks.keys.back()).held, cFile); f.failed()) {
            putBack();
            return f;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            cFile = entries[i].cFile;
            // The last file needs nothing kept: if it cannot be placed, it was not.
            if (i + 1 < entries.size())
                if (Failure f = backend::KeepOld(*entries[i].prepared); f.failed()) {
                    putBack();
                    return f;
                }
            if (Failure f = backend::PlaceFile(*entries[i].prepared); f.failed()) {
                putBack();
                return f;
            }
            ++placed;
        }
    } catch (const std::exception& e) {
        putBack();
        return std::string(e.what());
    }
    // Every file is new now and stays so: a folder that cannot be flushed is
    // said, but nothing is put back over new files that are already in place.
    d->replaced = true;
    Failure first;
    for (auto& entry : entries) {
        try {
            if (Failure f = backend::FinishFile(*entry.prepared); f.failed() && first.ok()) {
                first = f;
                cFile = entry.cFile;
            }
        } catch (const std::exception& e) {
            if (first.ok()) {
                first = std::string(e.what());
                cFile = entry.cFile;
            }
        }
    }
    // Renames that may not be on the disk keep their record, for the next
    // start to finish should the power go now.
    if (first.ok())
        commit.remove();
    try {
        locks.removeLitter(entries);
    } catch (const std::exception&) {
        // Litter stays for the next save; the files are in place.
    }
    entries.clear();
    return first;
}

bool SaveTogether::replaced() const { return d->replaced; }

Failure WriteFileAtomic(const std::string& cFile, const std::string& cBytes)
{
    Prepared prepared;
    if (Failure f = backend::PrepareFile(cFile, cBytes, prepared); f.failed())
        return f;
    const std::uint64_t nSize = cBytes.size(), nSum = Checksum(cBytes);
    if (openNow) {
        openNow->entries.push_back({cFile, std::move(prepared), nSize, nSum});
        return Succeeded();
    }
    // Alone, it is a save of one file.
    SaveTogether alone;  // open from here
    openNow->entries.push_back({cFile, std::move(prepared), nSize, nSum});
    std::string cPlaced;
    return alone.place(cPlaced);
}

}  // namespace rt
