#include "System.h"

#include <chrono>
#include <thread>

#include "Backend.h"

namespace rt {

bool File(const std::string& cFile) { return backend::IsFile(cFile); }

bool FErase(const std::string& cFile) { return backend::EraseFile(cFile); }

Failure ReadWholeFile(const std::string& cFile, std::size_t nMaxBytes, std::string& cBytes)
{
    return backend::ReadFile(cFile, nMaxBytes, cBytes);
}

std::string CurDirShown() { return backend::CurrentFolderShown(); }

void Sleep(int nHundredths)
{
    if (nHundredths <= 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * nHundredths));
}

}  // namespace rt
