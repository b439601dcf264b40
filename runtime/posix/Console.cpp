#include <cstdio>

#include "Backend.h"

namespace rt::backend {

// Not printf: the line is text already, and nothing of it is a format.
void WriteLine(bool toError, const std::string& text)
{
    std::FILE* to = toError ? stderr : stdout;
    std::fputs(text.c_str(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

}  // namespace rt::backend
