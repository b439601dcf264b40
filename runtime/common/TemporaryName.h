#pragma once
// The names of a save's own files beside the file it replaces: ".NAME." and
// six letters or digits, hidden where a leading dot hides a file.

#include <string>

namespace rt {

// A new such name for a file called cName (six random letters or digits).
std::string TemporaryName(const std::string& cName);
// Whether entry is one of ours for a file called cName.
bool IsOurTemporary(const std::string& entry, const std::string& cName);

}  // namespace rt
