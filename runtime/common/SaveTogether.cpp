#include "SaveTogether.h"

#include <vector>

#include "Backend.h"
#include "System.h"

namespace rt {

using backend::Prepared;

struct SaveTogether::Impl {
    struct Entry {
        std::string cFile;
        Prepared prepared;
    };
    std::vector<Entry> entries;
};

namespace {
SaveTogether::Impl* openNow = nullptr;
}

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
    // What is not placed goes with the entries: a failed save leaves nothing.
    const auto putBack = [&entries](std::size_t placed) {
        while (placed > 0)
            backend::RestoreFile(*entries[--placed].prepared);
        entries.clear();
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        cFile = entries[i].cFile;
        // The last file needs nothing kept: if it cannot be placed, it was not.
        if (i + 1 < entries.size())
            if (Failure f = backend::KeepOld(*entries[i].prepared)) {
                putBack(i);
                return f;
            }
        if (Failure f = backend::PlaceFile(*entries[i].prepared)) {
            putBack(i);
            return f;
        }
    }
    // Every file is new now; a folder that cannot be flushed is said, but
    // nothing is put back over new files that are already in place.
    Failure first;
    for (auto& entry : entries)
        if (Failure f = backend::FinishFile(*entry.prepared); f && !first) {
            first = f;
            cFile = entry.cFile;
        }
    entries.clear();
    return first;
}

Failure WriteFileAtomic(const std::string& cFile, const std::string& cBytes)
{
    Prepared prepared;
    if (Failure f = backend::PrepareFile(cFile, cBytes, prepared))
        return f;
    if (openNow) {
        openNow->entries.push_back({cFile, std::move(prepared)});
        return std::nullopt;
    }
    if (Failure f = backend::PlaceFile(*prepared))
        return f;
    return backend::FinishFile(*prepared);
}

}  // namespace rt
