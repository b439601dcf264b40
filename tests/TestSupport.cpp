#include "TestSupport.h"

#include "SaveRecord.h"

#include "Gra.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>

// Every allocation of a test binary counts down FailingAllocation's number;
// all of these forms go through malloc and free, so that no pair is mixed.
namespace {
std::atomic<long> allocationsLeft{0};  // 0: none is to fail
std::atomic<bool> allocationFailed{false};

void* allocate(std::size_t size)
{
    if (allocationsLeft.load() > 0 && --allocationsLeft == 0) {
        allocationFailed = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
}  // namespace

// Never inlined into this file's own callers: valgrind puts its own in place
// of these, and a block must be freed by the pair that made it.
[[gnu::noinline]] void* operator new(std::size_t size) { return allocate(size); }
[[gnu::noinline]] void* operator new[](std::size_t size) { return allocate(size); }
[[gnu::noinline]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
[[gnu::noinline]] void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace test {

FailingAllocation::FailingAllocation(long n)
{
    allocationFailed = false;
    allocationsLeft = n;
}
FailingAllocation::~FailingAllocation() { allocationsLeft = 0; }
bool FailingAllocation::failed() const { return allocationFailed; }

std::pair<std::shared_ptr<rt::XbpBitmap>, std::shared_ptr<rt::XbpPresSpace>> canvas(int w, int h, int bits)
{
    auto bmp = rt::XbpBitmap::New();
    bmp->create();
    bmp->make(w, h, 1, bits);
    auto ps = rt::XbpPresSpace::New();
    bmp->presSpace(ps);
    return {bmp, ps};
}

std::shared_ptr<rt::XbpBitmap> gradientLogo(rt::RGB color1, rt::RGB color2)
{
    const auto [logo, ps] = canvas(128, 24);
    rt::GraGradient(*ps, {0, 0}, {{128, 24}}, {rt::GraMakeRGBColor(color1), rt::GraMakeRGBColor(color2)}, 0);
    return logo;
}

void putLe(std::string& bytes, std::size_t at, std::uint32_t v, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

std::string bmpFile(const BmpParts& b)
{
    const bool os2 = b.headerSize == 12;
    std::string f(14 + std::size_t(b.headerSize), '\0'), palette;
    for (const std::uint32_t c : b.palette)
        palette += std::string{char(c & 0xFF), char((c >> 8) & 0xFF), char((c >> 16) & 0xFF), '\0'}.substr(0, os2 ? 3 : 4);
    f[0] = 'B';
    f[1] = 'M';
    putLe(f, 10, std::uint32_t(f.size() + b.masks.size() + palette.size()));
    putLe(f, 14, std::uint32_t(b.headerSize));
    if (os2) {
        putLe(f, 18, std::uint32_t(b.width), 2);
        putLe(f, 20, std::uint32_t(b.height), 2);
        putLe(f, 22, 1, 2);
        putLe(f, 24, std::uint32_t(b.bits), 2);
    } else {
        putLe(f, 18, std::uint32_t(b.width));
        putLe(f, 22, std::uint32_t(b.height));
        putLe(f, 26, 1, 2);
        putLe(f, 28, std::uint32_t(b.bits), 2);
        putLe(f, 30, std::uint32_t(b.compression));
        putLe(f, 34, std::uint32_t(b.pixels.size()));
        putLe(f, 46, std::uint32_t(b.palette.size()));
    }
    f += b.masks + palette + b.pixels;
    putLe(f, 2, std::uint32_t(f.size()));
    return f;
}

std::string logoTxt(rt::RGB c1, rt::RGB c2)
{
    char text[64];
    std::snprintf(text, sizeof text, "\r\nColor 1 : {%03d,%03d,%03d}\r\nColor 2 : {%03d,%03d,%03d}", c1[0], c1[1],
                  c1[2], c2[0], c2[1], c2[2]);
    return text;
}

std::string paletteBmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
                       const std::function<int(int x, int y)>& index)
{
    const std::size_t rowBytes = (std::size_t(width) * std::size_t(bits) + 31) / 32 * 4;
    std::string pixels;
    for (int y = height - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const int i = index(x, y);
            if (bits == 8)
                row[std::size_t(x)] = char(i);
            else if (i)
                row[std::size_t(x / 8)] = char(row[std::size_t(x / 8)] | (0x80 >> (x % 8)));
        }
        pixels += row;
    }
    return bmpFile({.width = width, .height = height, .bits = bits, .palette = palette, .pixels = pixels});
}

std::vector<std::string> filesHere()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void InTempDir::SetUp()
{
    std::random_device random;
    dir_ = std::filesystem::temp_directory_path() / ("gl-test-" + std::to_string(random()));
    ASSERT_TRUE(std::filesystem::create_directory(dir_)) << dir_;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    rt::ClearAppEvents();
}

void InTempDir::TearDown()
{
    rt::ClearAppEvents();
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(dir_, ignored);
}

std::shared_ptr<rt::XbpDialog> hiddenDialog(rt::Size size, std::shared_ptr<rt::PresParams> pp)
{
    auto d = std::make_shared<rt::XbpDialog>();
    d->init(rt::AppDesktop(), nullptr, rt::Pos{0, 0}, size, pp, false);
    d->title = "Window test";
    d->maxButton = false;
    d->minButton = false;
    d->create();
    return d;
}

Swatch hiddenSwatch(rt::Pos pos)
{
    auto d = std::make_shared<rt::XbpDialog>();
    d->init(rt::AppDesktop(), nullptr, rt::Pos{0, 0}, rt::Size{200, 100}, nullptr, false);
    d->create();
    auto s = rt::XbpStatic::New(d->drawingArea, nullptr, pos, rt::Size{128, 30}, nullptr, false);
    s->type = rt::XbpStatic::TypeBitmap;
    s->create();
    return {d, s};
}

std::string cutRecord(const std::vector<std::array<std::string, 3>>& files)
{
    std::vector<rt::RecordEntry> entries;
    for (const auto& [name, temp, bytes] : files)
        entries.push_back({name, temp, bytes.size(), rt::Checksum(bytes)});
    return rt::EncodeRecord("a-host-long-gone - 1 1", entries);
}

}  // namespace test
