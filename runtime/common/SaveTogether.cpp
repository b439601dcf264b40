#include "SaveTogether.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "Backend.h"
#include "Runtime.h"
#include "System.h"

namespace rt {

using backend::Prepared;

struct SaveTogether::Impl {
    struct Entry {
        std::string cFile;
        Prepared prepared;
    };
    std::vector<Entry> entries;
    bool replaced = false;
};

namespace {
SaveTogether::Impl* openNow = nullptr;

// A save takes milliseconds; another copy's is waited out for this long.
constexpr auto kLockWait = std::chrono::seconds(5);

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

    Failure take(const std::vector<SaveTogether::Impl::Entry>& entries, std::string& cFile)
    {
        for (const auto& entry : entries) {
            std::string key;
            backend::HeldFolder lock = backend::FolderOf(*entry.prepared, key);
            const auto at = std::find_if(folders.begin(), folders.end(), [&key](const Folder& f) { return f.key >= key; });
            if (at == folders.end() || at->key != key)
                folders.insert(at, Folder{key, std::move(lock), false, entry.cFile});
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
                return "another " + Runtime::DisplayName() + " is saving in this folder";
            }
            folder.held = state == backend::FolderLockState::Held;
        }
        return std::nullopt;
    }

    void removeLitter(const std::vector<SaveTogether::Impl::Entry>& entries)
    {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (Folder& f = folder(keys[i]); f.held)
                backend::RemoveLitter(*f.lock, *entries[i].prepared);
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
        return std::nullopt;
    cFile = entries.front().cFile;
    FolderLocks locks;
    // Until the last file is in place, those placed before it are put back on
    // any failure, an exception (an allocation, say) included, so that the
    // folder never keeps a mix; what is not placed goes with the entries.
    std::size_t placed = 0;
    const auto putBack = [&entries, &placed]() noexcept {
        while (placed > 0)
            backend::RestoreFile(*entries[--placed].prepared);
        entries.clear();
    };
    try {
        if (Failure f = locks.take(entries, cFile)) {
            putBack();
            return f;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            cFile = entries[i].cFile;
            // The last file needs nothing kept: if it cannot be placed, it was not.
            if (i + 1 < entries.size())
                if (Failure f = backend::KeepOld(*entries[i].prepared)) {
                    putBack();
                    return f;
                }
            if (Failure f = backend::PlaceFile(*entries[i].prepared)) {
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
            if (Failure f = backend::FinishFile(*entry.prepared); f && !first) {
                first = f;
                cFile = entry.cFile;
            }
        } catch (const std::exception& e) {
            if (!first) {
                first = std::string(e.what());
                cFile = entry.cFile;
            }
        }
    }
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
    if (Failure f = backend::PrepareFile(cFile, cBytes, prepared))
        return f;
    if (openNow) {
        openNow->entries.push_back({cFile, std::move(prepared)});
        return std::nullopt;
    }
    // Alone, it is a save of one file.
    SaveTogether alone;  // open from here
    openNow->entries.push_back({cFile, std::move(prepared)});
    std::string cPlaced;
    return alone.place(cPlaced);
}

}  // namespace rt
