#include "System.h"

#include "Backend.h"

namespace rt {

bool File(const std::string& cFile) { return backend::IsFile(cFile); }

bool FErase(const std::string& cFile) { return backend::EraseFile(cFile); }

Failure ReadWholeFile(const std::string& cFile, std::size_t nMaxBytes, std::string& cBytes)
{
    return backend::ReadFile(cFile, nMaxBytes, cBytes);
}

std::string CurDirShown() { return backend::CurrentFolderShown(); }

void Sleep(int nHundredths) { backend::PauseThread(nHundredths > 0 ? 10 * nHundredths : 0); }

}  // namespace rt
