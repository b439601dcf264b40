#include "TemporaryName.h"

#include <chrono>
#include <cstdint>

namespace rt {

namespace {
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool isLetterOrDigit(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }
}  // namespace

// The names need only be unlikely to meet: every file is created exclusively
// and another name tried when one exists. So a clock-seeded mix (splitmix64)
// serves, and needs neither a random device nor a generator's state.
std::string TemporaryName(const std::string& cName)
{
    static std::uint64_t state =
        std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^ std::uint64_t(std::uintptr_t(&kLetters));
    std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z ^= z >> 31;
    std::string name = "." + cName + ".";
    for (int i = 0; i < 6; ++i, z /= 62)
        name += kLetters[z % 62];
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
