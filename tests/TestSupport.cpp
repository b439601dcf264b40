#include "TestSupport.h"

#include <algorithm>
#include <random>

namespace test {

std::string paletteBmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
                       const std::function<int(int x, int y)>& index)
{
    const std::size_t rowBytes = (std::size_t(width) * std::size_t(bits) + 31) / 32 * 4;
    const std::size_t offset = 54 + 4 * palette.size();
    std::string f(offset, '\0');
    const auto put = [&f](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            f[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    f[0] = 'B';
    f[1] = 'M';
    put(10, std::uint32_t(offset), 4);
    put(14, 40, 4);
    put(18, std::uint32_t(width), 4);
    put(22, std::uint32_t(height), 4);
    put(26, 1, 2);
    put(28, std::uint32_t(bits), 2);
    put(34, std::uint32_t(rowBytes * std::size_t(height)), 4);
    put(46, std::uint32_t(palette.size()), 4);
    for (std::size_t i = 0; i < palette.size(); ++i)
        put(54 + 4 * i, palette[i] & 0xFFFFFF, 4);
    for (int y = height - 1; y >= 0; --y) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const int i = index(x, y);
            if (bits == 8)
                row[std::size_t(x)] = char(i);
            else if (i)
                row[std::size_t(x / 8)] = char(row[std::size_t(x / 8)] | (0x80 >> (x % 8)));
        }
        f += row;
    }
    put(2, std::uint32_t(f.size()), 4);
    return f;
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

}  // namespace test
