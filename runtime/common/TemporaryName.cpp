#include "TemporaryName.h"

#include <random>

namespace rt {

namespace {
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool isLetterOrDigit(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }
}  // namespace

std::string TemporaryName(const std::string& cName)
{
    static std::mt19937 random{std::random_device{}()};
    std::string name = "." + cName + ".";
    for (int i = 0; i < 6; ++i)
        name += kLetters[random() % 62];
    return name;
}

bool IsOurTemporary(const std::string& entry, const std::string& cName)
{
    const std::string prefix = "." + cName + ".";
    if (entry.size() != prefix.size() + 6 || entry.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i)
        if (!isLetterOrDigit(entry[i]))
            return false;
    return true;
}

}  // namespace rt
