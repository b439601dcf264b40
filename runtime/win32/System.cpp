#include "System.h"

#include <cwctype>

#include "Win32.h"

namespace rt {

bool File(const std::string& cFile)
{
    const DWORD attributes = GetFileAttributesW(widen(cFile).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FErase(const std::string& cFile) { return DeleteFileW(widen(cFile).c_str()) != 0; }

namespace {
Failure lastError() { return systemReason(GetLastError()); }

// Our temporary files are ".NAME." and six letters or digits.
bool isOurTemporary(const std::wstring& entry, const std::wstring& name)
{
    const std::wstring prefix = L"." + name + L".";
    if (entry.size() != prefix.size() + 6 || entry.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i)
        if (entry[i] > 127 || !std::iswalnum(entry[i]))
            return false;
    return true;
}

// Temporary files that a save killed before its rename left behind. A running
// save holds its own open without sharing it, so Windows refuses to delete
// that one; only litter goes.
void removeStaleTemporaries(const std::wstring& dir, const std::wstring& name)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"." + name + L".*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && isOurTemporary(found.cFileName, name))
            DeleteFileW((dir + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::wstring randomLetters()
{
    static const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned long long state = GetTickCount64() ^ (GetCurrentProcessId() * 0x9E3779B97F4A7C15ull);
    std::wstring out;
    for (int i = 0; i < 6; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        out += letters[(state >> 33) % 62];
    }
    return out;
}
}  // namespace

// A new file beside the old one, written whole and flushed to the disk, then
// put in its place in one step, through to the disk: the old file stays as it
// was when anything goes wrong, and Windows itself refuses to replace a file
// that is read-only or that another program holds open.
Failure WriteFileAtomic(const std::string& cPath, const std::string& cBytes)
{
    const std::wstring file = widen(cPath);
    const std::size_t slash = file.find_last_of(L"/\\");
    const std::wstring dir = slash == std::wstring::npos ? L"" : file.substr(0, slash + 1);
    const std::wstring name = slash == std::wstring::npos ? file : file.substr(slash + 1);
    // A file marked read-only is not replaced: Windows refuses it, and so do
    // we where a file system would let the rename through.
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return systemReason(ERROR_ACCESS_DENIED);
    std::wstring temp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && h == INVALID_HANDLE_VALUE; ++attempt) {
        temp = dir + L"." + name + L"." + randomLetters();
        h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return lastError();
    }
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    Failure f;
    for (std::size_t done = 0; !f && done < cBytes.size();) {
        DWORD wrote = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(cBytes.size() - done, 1u << 20));
        if (!WriteFile(h, cBytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            f = lastError();
        done += wrote;
    }
    if (!f && !FlushFileBuffers(h))
        f = lastError();
    if (!CloseHandle(h) && !f)
        f = lastError();
    if (!f && !MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        f = lastError();
    if (f) {
        DeleteFileW(temp.c_str());
        return f;
    }
    removeStaleTemporaries(dir, name);
    return std::nullopt;
}

void Sleep(int nHundredths) { ::Sleep(nHundredths <= 0 ? 0 : DWORD(10 * nHundredths)); }

}  // namespace rt
