#pragma once
// A save's record: what goes where once its files are written, made durable
// before the first of them replaces an old one. It is the save's commit: a
// save cut after it is finished by the next copy to start or save, one cut
// before it leaves the old files and some litter.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Types.h"

namespace rt {

struct RecordEntry {
    std::string cName;  // as saved, in the record's folder
    std::string cTemp;  // the new file's name beside the name's target
    std::uint64_t nSize = 0;
    std::uint64_t nSum = 0;
};

std::uint64_t Checksum(std::string_view bytes);
// The folder part of a path, with its separator; empty for a bare name.
std::string FolderPart(const std::string& cPath);
// The record of saves whose first file is cFile: beside it, by a fixed name.
std::string RecordOf(const std::string& cFile);
std::string EncodeRecord(const std::string& cWriter, const std::vector<RecordEntry>& entries);
// Nothing unless the bytes are a whole record of ours naming only plain
// names, each with a new file of our own pattern.
bool DecodeRecord(const std::string& cBytes, std::string& cWriter, std::vector<RecordEntry>& entries);

// The record gone, and its folder flushed; false where it could not be erased.
bool RemoveRecord(const std::string& cRecord);

enum class RecordFound {
    None,      // no record there, or one removed now
    Finished,  // a cut save's record, carried out or given up and removed
    Live,      // its writer is saving
    Ignored,   // not ours to act on, or it could not be acted on here
};
// With the folder's lock held (lLocked), or where it takes none: the record
// at cRecord. Under the lock no writer is at work, so a torn record goes at once.
RecordFound FinishRecord(const std::string& cRecord, bool lLocked);

}  // namespace rt
