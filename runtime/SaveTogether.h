#pragma once
// Files saved as one: all of them new, or all as they were.

#include <memory>
#include <string>

#include "Types.h"

namespace rt {

// While one is open, WriteFileAtomic (and so every save of a file) only
// prepares: the new bytes are written and flushed beside the file, and the
// file is checked to be replaceable, but nothing is replaced yet. place() then
// puts every prepared file in its place, in the order they were written; if
// one cannot be placed, those placed before it are put back as they were,
// whatever failed, an exception included.
// Between processes too, one save at a time is placed in a folder: a second
// waits a few seconds for the first, then fails saying another is saving.
// Files given in one folder are committed in one step: once all are written,
// a record of what goes where is made durable beside the first, and only then
// are they put in place. A save cut after that (a power loss, a kill) is
// finished by the next save or FinishCutSave, one cut before it changed
// nothing. The record also keeps a second copy out where the folder's lock
// excludes nobody (network and FUSE file systems).
// Closed without place(), it removes what it prepared and changes nothing.
// One at a time, on the one GUI thread.
class SaveTogether {
public:
    SaveTogether();
    ~SaveTogether();
    SaveTogether(const SaveTogether&) = delete;
    SaveTogether& operator=(const SaveTogether&) = delete;

    // Nothing when every file is in place, else the file that could not be
    // placed (as it was named to WriteFileAtomic) and the reason.
    Failure place(std::string& cFile);
    // After place(): whether every file is new, even where it then failed
    // (the folder could not be flushed, so the new files may not survive a
    // power cut yet). Before place() or after a failed one: false.
    bool replaced() const;

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

// Before cFile's folder is read: the save cut there whose first file was
// cFile finished, where one was and its writer is gone. Looks for one name
// only; a record that is not the user's, or a folder that cannot be written,
// is left as it is.
void FinishCutSave(const std::string& cFile);

}  // namespace rt
