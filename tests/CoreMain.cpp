// Runs the suites that need no window, with no platform started: only the
// program's name is set, as a save's messages name it.
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

#include "Runtime.h"
#include "TestSupport.h"
#ifdef _WIN32
#include "Win32.h"
#endif

namespace test {
std::string systemReason(Fault fault)
{
#ifdef _WIN32
    return rt::systemReason(fault == Fault::NoSuchFile ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
#else
    return std::strerror(fault == Fault::NoSuchFile ? ENOENT : EISDIR);
#endif
}
}  // namespace test

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    rt::Runtime::Name(argv[0], "Gradient Logo");
    return RUN_ALL_TESTS();
}
