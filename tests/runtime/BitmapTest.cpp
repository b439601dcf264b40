#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

#include "BmpCodec.h"
#include "Gra.h"
#include "SaveTogether.h"
#include "System.h"
#include "TestSupport.h"
#include "XbpBitmap.h"
#include "XbpPresSpace.h"
#include "Misuse.h"

using namespace rt;
using test::rgb;
namespace fs = std::filesystem;

namespace {
std::uint32_t u16(const std::string& b, std::size_t at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8;
}
std::uint32_t u32(const std::string& b, std::size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }
std::int32_t s32(const std::string& b, std::size_t at) { return std::int32_t(u32(b, at)); }
using test::bmpFile;
using test::putLe;

std::vector<std::string> hiddenFiles(const fs::path& dir = ".")
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().front() == '.')
            out.push_back(e.path().filename().string());
    return out;
}
}  // namespace

TEST(Bitmap, MakeHonoursFormatsAndRefusesEmptySizes)
{
    XbpBitmap b;
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ(b.bits(), 24);
    EXPECT_EQ(b.planes(), 1);

    b.make(10, 5);
    EXPECT_EQ(b.width(), 10);
    EXPECT_EQ(b.height(), 5);
    EXPECT_EQ(b.bits(), 24);
    EXPECT_EQ(b.planes(), 1);
    EXPECT_EQ(test::pixel(b, 3, 3), rgb(255, 255, 255));

    for (const int bits : {1, 8, 24, 32}) {
        b.make(7, 3, 1, bits);
        EXPECT_EQ(b.bits(), bits);
        EXPECT_EQ(b.width(), 7);
    }
    b.make(7, 3, 2, 1);
    EXPECT_EQ(b.planes(), 2);
    EXPECT_EQ(b.bits(), 1);

    for (const auto& [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {4, -1}}) {
        b.make(w, h);
        EXPECT_TRUE(b.isEmpty()) << w << "x" << h;
        EXPECT_EQ(b.bits(), 24);
        EXPECT_EQ(b.planes(), 1);
    }
}

TEST(Bitmap, DrawStretchesTheWholeImageIntoAnyFormat)
{
    const auto [src, srcPS] = test::canvas(2, 1);
    GraGradient(*srcPS, {0, 0}, {{1, 1}}, {GraMakeRGBColor(RGB{0, 0, 0})}, 0);  // left black

    for (const int bits : {24, 8, 1}) {
        const auto [dst, ps] = test::canvas(40, 10, bits);
        src->draw(*ps, {0, 0, 40, 10});
        EXPECT_EQ(dst->bits(), bits);
        EXPECT_EQ(test::red(test::pixel(dst, 0, 0)), 0) << bits;
        EXPECT_EQ(test::red(test::pixel(dst, 39, 9)), 255) << bits;
    }
    EXPECT_THROW(src->draw(*srcPS, {0, 0, 1, 1}, std::nullopt, std::nullopt, 1), Misuse);
}

class BitmapFile : public test::InTempDir {};

TEST_F(BitmapFile, SavesA24BitBottomUpWindowsBmpAndReadsItBack)
{
    const auto b = test::gradientLogo({255, 0, 0}, {0, 0, 255});
    GraGradient(*b->presSpace(), {0, 0}, {{1, 1}}, {GraMakeRGBColor(RGB{0, 255, 0})}, 0);  // lower-left pixel

    EXPECT_EQ(b->saveFile("LOGO.BMP"), Succeeded());
    const std::string f = test::readAll("LOGO.BMP");
    ASSERT_EQ(f.size(), 9270);
    EXPECT_EQ(f.substr(0, 2), "BM");
    EXPECT_EQ(u32(f, 2), 9270u);    // file size
    EXPECT_EQ(u32(f, 10), 54u);     // pixel data offset
    EXPECT_EQ(u32(f, 14), 40u);     // BITMAPINFOHEADER
    EXPECT_EQ(s32(f, 18), 128);
    EXPECT_EQ(s32(f, 22), 24);      // positive: bottom-up rows
    EXPECT_EQ(u16(f, 26), 1);       // planes
    EXPECT_EQ(u16(f, 28), 24);      // bits per pixel
    EXPECT_EQ(u32(f, 30), 0u);      // no compression
    // The first row stored is the bottom one: its first pixel is the green one (B, G, R).
    EXPECT_EQ(f.substr(54, 3), std::string("\x00\xff\x00", 3));
    EXPECT_EQ(f.substr(57, 3), std::string("\x02\x00\xfd", 3));  // column 1: (253, 0, 2)

    XbpBitmap back;
    ASSERT_EQ(back.loadFile("LOGO.BMP"), Succeeded());
    EXPECT_EQ(back.width(), 128);
    EXPECT_EQ(back.height(), 24);
    EXPECT_EQ(back.bits(), 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 128; ++x)
            ASSERT_EQ(test::pixel(back, x, y), test::pixel(b, x, y));

    // A longer old file is replaced whole.
    test::writeAll("OLD.BMP", std::string(50000, 'x'));
    EXPECT_EQ(b->saveFile("OLD.BMP"), Succeeded());
    EXPECT_EQ(test::readAll("OLD.BMP").size(), 9270);

    // Nothing to save, or something in the way: a reason, and the old file stays.
    EXPECT_NE(XbpBitmap().saveFile("OLD.BMP"), Succeeded());
    ASSERT_TRUE(fs::create_directory("DIR.BMP"));
    EXPECT_NE(b->saveFile("DIR.BMP"), Succeeded());
    EXPECT_TRUE(fs::is_directory("DIR.BMP"));
    EXPECT_EQ(test::readAll("OLD.BMP").size(), 9270);
}

TEST_F(BitmapFile, ReadsOtherDepthsAndTellsTheirFormat)
{
    const auto one = [](int, int) { return 1; };
    test::writeAll("mono.bmp", test::paletteBmp(9, 4, 1, {rgb(0, 0, 0), rgb(255, 255, 255)}, one));
    test::writeAll("indexed.bmp", test::paletteBmp(9, 4, 8, {rgb(1, 2, 3), rgb(200, 100, 50)}, one));

    XbpBitmap b;
    ASSERT_EQ(b.loadFile("mono.bmp"), Succeeded());
    EXPECT_EQ(b.bits(), 1);
    ASSERT_EQ(b.loadFile("indexed.bmp"), Succeeded());
    EXPECT_EQ(b.bits(), 8);
    EXPECT_EQ(test::pixel(b, 8, 3), rgb(200, 100, 50));
}

TEST_F(BitmapFile, UnreadableFilesLeaveAnEmptyBitmap)
{
    Pixels good;
    good.width = 64;
    good.height = 32;
    good.rgb.assign(64 * 32, rgb(255, 0, 0));
    const std::string valid = EncodeBmp24(good);
    std::string huge = valid;
    putLe(huge, 18, 100000);
    putLe(huge, 22, 100000);
    std::string negative = valid;
    putLe(negative, 18, std::uint32_t(-5));
    std::string badOffset = valid;
    putLe(badOffset, 10, 0x7fffffff);
    std::string zeroPlanes = valid;
    putLe(zeroPlanes, 26, 0, 2);
    std::string random(4096, '\0');
    for (std::size_t i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);

    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", std::string()},
        {"header only", valid.substr(0, 14)},
        {"truncated header", valid.substr(0, 30)},
        {"huge", huge},
        {"negative width", negative},
        {"bad offset", badOffset},
        {"truncated pixels", valid.substr(0, valid.size() - 100)},
        {"zero planes", zeroPlanes},
        {"random", random},
        {"not a bmp", "GIF89a" + random},
    };
    for (const auto& [name, bytes] : cases) {
        test::writeAll("LOGO.BMP", bytes);
        XbpBitmap b;
        b.make(5, 5);  // a load replaces whatever was there
        EXPECT_NE(b.loadFile("LOGO.BMP"), Succeeded()) << name;
        EXPECT_TRUE(b.isEmpty()) << name;
        EXPECT_EQ(b.bits(), 24) << name;
    }
    XbpBitmap missing;
    EXPECT_EQ(missing.loadFile("NOSUCH.BMP"), Failure(test::systemReason(test::Fault::NoSuchFile))) << "the reason, as for a save";
    ASSERT_TRUE(fs::create_directory("ADIR.BMP"));
    EXPECT_EQ(missing.loadFile("ADIR.BMP"), Failure(test::systemReason(test::Fault::Folder)));
    EXPECT_TRUE(missing.isEmpty());
}

TEST_F(BitmapFile, FileServicesResolveInTheCurrentDirectory)
{
    EXPECT_FALSE(File("LOGO.TXT"));
    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "old contents, longer than the new"), Succeeded());
    EXPECT_TRUE(File("LOGO.TXT"));
    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new"), Succeeded());
    EXPECT_EQ(test::readAll(path("LOGO.TXT")), "new");
    EXPECT_TRUE(FErase("LOGO.TXT"));
    EXPECT_FALSE(File("LOGO.TXT"));

    ASSERT_TRUE(fs::create_directory("LOGO.TXT"));
    EXPECT_FALSE(File("LOGO.TXT")) << "a directory is no file";
    const Failure f = WriteFileAtomic("LOGO.TXT", "x");
    EXPECT_NE(f, Succeeded());
    EXPECT_NE(WriteFileAtomic("no/such/dir/LOGO.TXT", "x"), Succeeded());
    Sleep(0);
}

TEST_F(BitmapFile, FilesSavedTogetherAreAllNewOrAllAsTheyWere)
{
    const auto seed = [] {
        test::writeAll("LOGO.TXT", "old log");
        test::writeAll("LOGO.BMP", "old logo");
    };
    std::string cFile;

    seed();
    {
        SaveTogether together;
        EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new log"), Succeeded());
        EXPECT_EQ(WriteFileAtomic("LOGO.BMP", "new logo"), Succeeded());
        EXPECT_EQ(test::readAll("LOGO.TXT"), "old log") << "prepared, not yet in place";
        EXPECT_EQ(together.place(cFile), Succeeded());
    }
    EXPECT_EQ(test::readAll("LOGO.TXT"), "new log");
    EXPECT_EQ(test::readAll("LOGO.BMP"), "new logo");
    EXPECT_TRUE(hiddenFiles().empty()) << hiddenFiles().front();

    // Given up before it was placed: nothing changes, nothing is left.
    seed();
    {
        SaveTogether together;
        EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new log"), Succeeded());
        EXPECT_FALSE(hiddenFiles().empty());
    }
    EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
    EXPECT_TRUE(hiddenFiles().empty());

    // The second file cannot be placed: the first one is put back, or
    // removed again where there was none.
    for (const bool logExisted : {true, false}) {
        seed();
        if (!logExisted) {
            ASSERT_TRUE(fs::remove("LOGO.TXT"));
        }
        SaveTogether together;
        EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new log"), Succeeded());
        EXPECT_EQ(WriteFileAtomic("LOGO.BMP", "new logo"), Succeeded());
        ASSERT_TRUE(fs::remove("LOGO.BMP"));
        ASSERT_TRUE(fs::create_directories("LOGO.BMP/in the way"));
        EXPECT_NE(together.place(cFile), Succeeded());
        EXPECT_EQ(cFile, "LOGO.BMP");
        if (logExisted) {
            EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
        } else {
            EXPECT_FALSE(fs::exists("LOGO.TXT"));
        }
        EXPECT_TRUE(hiddenFiles().empty()) << hiddenFiles().front();
        ASSERT_GT(fs::remove_all("LOGO.BMP"), 0u);
    }

    // A folder where the second file should be is found before anything is placed.
    seed();
    ASSERT_TRUE(fs::remove("LOGO.BMP"));
    ASSERT_TRUE(fs::create_directory("LOGO.BMP"));
    {
        SaveTogether together;
        EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new log"), Succeeded());
        EXPECT_EQ(WriteFileAtomic("LOGO.BMP", "new logo"), Failure(test::systemReason(test::Fault::Folder)));
    }
    EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
    EXPECT_TRUE(hiddenFiles().empty());
}

// Memory that runs out at each allocation of a save in turn, a clean one and
// one whose second file cannot be placed (the reason's text is made after
// the first file is in place): the old pair or the new pair, never a mix,
// nothing left beside them, and what place() says matches what is there.
TEST_F(BitmapFile, MemoryRunningOutAnywhereInASaveLeavesTheOldPairOrTheNewOne)
{
    for (const bool blocked : {false, true}) {
        long n = 1;
        for (bool failedOne = true; failedOne; ++n) {
            fs::remove_all("LOGO.BMP");
            test::writeAll("LOGO.TXT", "old log");
            test::writeAll("LOGO.BMP", "old logo");
            Failure f;
            bool replaced = false;
            {
                SaveTogether together;
                std::optional<test::FailingAllocation> fail;
                try {
                    if (!blocked)
                        fail.emplace(n);
                    f = WriteFileAtomic("LOGO.TXT", "new log");
                    if (f.ok())
                        f = WriteFileAtomic("LOGO.BMP", "new logo");
                    if (f.ok() && blocked) {
#ifdef _WIN32
                        fs::remove("LOGO.BMP");
                        fs::create_directories("LOGO.BMP/in the way");
#else  // a reason too long to be kept without allocating: the new file gone
                        for (const std::string& name : hiddenFiles())
                            if (name.rfind(".LOGO.BMP.", 0) == 0)
                                fs::remove(name);
#endif
                        fail.emplace(n);
                    }
                    std::string cFile;
                    if (f.ok())
                        f = together.place(cFile);
                } catch (const std::bad_alloc&) {
                    f = "out of memory";
                }
                failedOne = fail && fail->failed();
                fail.reset();
                replaced = together.replaced();
            }
            const std::string log = test::readAll("LOGO.TXT");
            const bool isNew = log == "new log" && test::readAll("LOGO.BMP") == "new logo";
            const bool isOld = log == "old log" && (fs::is_directory("LOGO.BMP") || test::readAll("LOGO.BMP") == "old logo");
            EXPECT_EQ(isNew, f.ok() || replaced) << "allocation " << n << ": " << f.reason();
            EXPECT_EQ(isOld, f.failed() && !replaced) << "allocation " << n << ": " << f.reason();
            EXPECT_TRUE(hiddenFiles().empty()) << "allocation " << n << ": " << hiddenFiles().front();
        }
        EXPECT_GT(n, 5) << "a save makes some allocations";
    }
}

// A save cut after its commit, found at start: finished where its record is
// whole and every new file is as it says; given up (its waiting files gone)
// where one is not; not acted on at all where it names a path or a file
// that is not of our pattern. A torn record never committed: it goes alone.
TEST_F(BitmapFile, ACutSaveIsFinishedAtStartOnlyFromAWholeRecordNamingOurFiles)
{
    const auto after = [](const std::string& record) {
        for (const std::string& name : hiddenFiles())
            fs::remove(name);
        test::writeAll("LOGO.TXT", "old log");
        test::writeAll("LOGO.BMP", "old logo");
        test::writeAll(".LOGO.TXT.AAAAAA", "new log");
        test::writeAll(".LOGO.BMP.BBBBBB", "new logo");
        test::writeAll(".LOGO.TXT.save-record", record);
        fs::last_write_time(".LOGO.TXT.save-record", fs::file_time_type::clock::now() - std::chrono::hours(1));
        FinishCutSave("LOGO.TXT");
        std::vector<std::string> left = hiddenFiles();
        std::sort(left.begin(), left.end());
        std::string out = test::readAll("LOGO.TXT") + "|" + test::readAll("LOGO.BMP") + "|";
        for (const std::string& name : left)
            out += name + " ";
        return out;
    };
    const auto cut = [](const char* name, const char* temp, const char* bmp) {
        return test::cutRecord({{name, temp, "new log"}, {"LOGO.BMP", ".LOGO.BMP.BBBBBB", bmp}});
    };
    const std::string whole = cut("LOGO.TXT", ".LOGO.TXT.AAAAAA", "new logo");
    EXPECT_EQ(after(whole), "new log|new logo|");
    EXPECT_EQ(after(whole.substr(0, whole.size() - 3)), "old log|old logo|.LOGO.BMP.BBBBBB .LOGO.TXT.AAAAAA ");
    EXPECT_EQ(after(cut("LOGO.TXT", ".LOGO.TXT.AAAAAA", "torn")), "old log|old logo|.LOGO.BMP.BBBBBB ");
    for (const auto& [name, temp] : {std::pair("../LOGO.TXT", ".LOGO.TXT.AAAAAA"), std::pair("LOGO.TXT", "LOGO.OLD")})
        EXPECT_EQ(after(cut(name, temp, "new logo")),
                  "old log|old logo|.LOGO.BMP.BBBBBB .LOGO.TXT.AAAAAA .LOGO.TXT.save-record ")
            << name << " " << temp;
}

TEST(BitmapSeeds, EverySeedOfTheFuzzerLoadsWholeOrNotAtAll)
{
    const fs::path corpus(GL_FUZZ_CORPUS);
    const std::vector<std::string> readable = {"depth1.bmp", "depth4.bmp", "depth8.bmp", "depth16.bmp",
                                  "depth24.bmp", "depth32.bmp", "rle4.bmp", "rle8.bmp",
                                  "os2.bmp", "topdown.bmp", "found-rle4-index-past-palette.bmp"};
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(corpus))
        files.push_back(e.path().filename().string());
    ASSERT_GE(files.size(), 18u);
    for (const std::string& name : files) {
        XbpBitmap b;
        const bool loaded = b.loadFile((corpus / name).string()).ok();
        EXPECT_EQ(loaded, std::find(readable.begin(), readable.end(), name) != readable.end()) << name;
        EXPECT_EQ(b.isEmpty(), !loaded) << name;
        if (loaded) {
            EXPECT_GT(b.width() * b.height(), 0) << name;
        }
    }
    XbpBitmap top;
    ASSERT_EQ(top.loadFile((corpus / "topdown.bmp").string()), Succeeded());
    XbpBitmap bottom;
    ASSERT_EQ(bottom.loadFile((corpus / "depth24.bmp").string()), Succeeded());
    ASSERT_EQ(top.width(), bottom.width());
    ASSERT_EQ(top.height(), bottom.height());
    const int rows = top.height();
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < top.width(); ++x)
            ASSERT_EQ(test::pixel(top, x, y), test::pixel(bottom, x, rows - 1 - y))
                << "top-down rows are read top first, at " << x << "," << y;

    // Found by the fuzzer: RLE pixels naming colours past the palette. They are
    // black, and stretching the picture reads no colour that is not there.
    XbpBitmap past;
    ASSERT_EQ(past.loadFile((corpus / "found-rle4-index-past-palette.bmp").string()), Succeeded());
    const auto& palette = past.pixels().palette;
    EXPECT_NE(std::find(palette.begin(), palette.end(), rgb(0, 0, 0)), palette.end()) << "black is in the palette";
    EXPECT_EQ(test::pixel(past, 0, 0), rgb(0, 0, 0));
    const auto [big, ps] = test::canvas(365, 140);
    past.draw(*ps, {0, 0, 365, 140});
    EXPECT_EQ(test::pixel(big, 10, 10), rgb(0, 0, 0));
}

namespace {
// A compressed 4 x 3 BMP: bits 4 (RLE4) or 8 (RLE8), rows bottom first.
std::string rleBmp(int bits, const std::vector<std::uint32_t>& palette, const std::string& data)
{
    return bmpFile({.width = 4, .height = 3, .bits = bits, .compression = bits == 8 ? 1 : 2, .palette = palette,
                    .pixels = data});
}

// A palette without black, so that a black pixel cannot have come from it.
std::vector<std::uint32_t> brightPalette(int n)
{
    std::vector<std::uint32_t> p;
    for (int i = 0; i < n; ++i)
        p.push_back(rgb(255, i, 128));
    return p;
}
}  // namespace

TEST_F(BitmapFile, PixelsThatCompressedDataNeverReachesAreBlackOnEveryRead)
{
    const std::string endRow("\x00\x00", 2), endBitmap("\x00\x01", 2);
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::pair<int, int>> written;  // (x, y from the bottom), palette index 1
    };
    const std::vector<Case> cases = {
        {"RLE4, data ending after the first row",
         rleBmp(4, brightPalette(16), std::string("\x04\x11", 2) + endRow + endBitmap),
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {"RLE8, data ending after the first row",
         rleBmp(8, brightPalette(2), std::string("\x04\x01", 2) + endRow + endBitmap),
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {"RLE8 with a delta skip (2 right, 1 up)",
         rleBmp(8, brightPalette(2),
                std::string("\x01\x01\x00\x02\x02\x01\x01\x01", 8) + endBitmap),
         {{0, 0}, {3, 1}}},
        {"RLE8 with a full palette: no index is left for black",
         rleBmp(8, brightPalette(256), std::string("\x04\x01", 2) + endBitmap),
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
    };
    for (const auto& c : cases) {
        test::writeAll("LOGO.BMP", c.file);
        XbpBitmap first;
        ASSERT_EQ(first.loadFile("LOGO.BMP"), Succeeded()) << c.name;
        ASSERT_EQ(first.width(), 4);
        ASSERT_EQ(first.height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool written = std::find(c.written.begin(), c.written.end(),
                                               std::pair{x, y}) != c.written.end();
                EXPECT_EQ(test::pixel(first, x, 2 - y), written ? rgb(255, 1, 128) : rgb(0, 0, 0))
                    << c.name << " at " << x << "," << y;
            }
        for (int run = 0; run < 3; ++run) {
            XbpBitmap again;
            ASSERT_EQ(again.loadFile("LOGO.BMP"), Succeeded());
            EXPECT_TRUE(test::samePicture(again.pixels(), first.pixels())) << c.name;
            EXPECT_EQ(again.pixels().palette, first.pixels().palette) << c.name;
        }
    }
}

namespace {
std::string le32(std::uint32_t v) { return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)}; }
}  // namespace

TEST(BmpCodec, ReadsEveryStorageExactlyAndWritesAStandardFile)
{
    // 16 bits in 5-6-5 bit fields: full red, half green, no blue.
    const std::string f565 = bmpFile({.width = 2, .bits = 16, .compression = 3, .masks = le32(0xF800) + le32(0x07E0) + le32(0x001F),
                                       .pixels = std::string("\x00\xF8\x00\x04", 4)});
    const auto p565 = DecodeBmp(f565);
    ASSERT_TRUE(p565);
    EXPECT_EQ(p565->bits, 24);
    EXPECT_EQ(p565->at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(p565->at(1, 0), 0xFF008200u) << "green 32 of 63 is 130 of 255";
    // 32 bits with an alpha mask (a version 3 header): the alpha is kept.
    const std::string masks = le32(0x00FF0000) + le32(0x0000FF00) + le32(0x000000FF) + le32(0xFF000000);
    const auto p32 = DecodeBmp(bmpFile({.headerSize = 56, .bits = 32, .compression = 3, .pixels = std::string("\x03\x02\x01\x80", 4)}).replace(54, 16, masks));
    ASSERT_TRUE(p32);
    EXPECT_EQ(p32->bits, 32);
    EXPECT_EQ(p32->at(0, 0), 0x80010203u);
    // A channel as wide as the pixel: scaled without overflow.
    const std::string wide = le32(0xFFFFFFFF) + le32(0) + le32(0);
    const auto pWide = DecodeBmp(bmpFile({.width = 2, .bits = 32, .compression = 3, .masks = wide,
                                          .pixels = std::string("\x00\x00\x00\x80\xFF\xFF\xFF\xFF", 8)}));
    ASSERT_TRUE(pWide);
    EXPECT_EQ(pWide->at(0, 0), 0xFF800000u);
    EXPECT_EQ(pWide->at(1, 0), 0xFFFF0000u);
    // The OS/2 header: a palette of three-byte entries.
    const auto os2 = DecodeBmp(bmpFile({.headerSize = 12, .width = 2, .bits = 1, .palette = {0x302010, 0x605040},
                                       .pixels = std::string("\x40\x00\x00\x00", 4)}));
    ASSERT_TRUE(os2);
    EXPECT_EQ(os2->bits, 1);
    EXPECT_EQ(os2->at(0, 0), 0xFF302010u);
    EXPECT_EQ(os2->at(1, 0), 0xFF605040u);
    // Bit fields that the header does not leave room for, and a JPEG inside a BMP, are refused.
    EXPECT_FALSE(DecodeBmp(bmpFile({.bits = 16, .compression = 3, .pixels = std::string(4, '\0')})));
    EXPECT_FALSE(DecodeBmp(bmpFile({.compression = 4, .pixels = std::string(4, '\0')})));
    // A header size that would wrap 14 + size on a 32-bit system.
    EXPECT_FALSE(DecodeBmp(bmpFile({.pixels = std::string(4, '\0')}).replace(14, 4, le32(0xFFFFFFF8))));

    // Written: 24 bits from the bottom row, rows padded to whole words, 96 dots per inch.
    Pixels p;
    p.width = 3;
    p.height = 2;
    p.rgb = {0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C, 0xFF0D0E0F, 0xFF101112};
    const std::string out = EncodeBmp24(p);
    ASSERT_EQ(out.size(), 54u + 2 * 12);
    const std::string& bytes = out;
    EXPECT_EQ(u32(bytes, 2), 78u);
    EXPECT_EQ(u32(bytes, 34), 24u);  // the pixel data's size
    EXPECT_EQ(s32(bytes, 38), 3780);
    EXPECT_EQ(bytes.substr(54, 12), std::string("\x0C\x0B\x0A\x0F\x0E\x0D\x12\x11\x10\x00\x00\x00", 12));
    const auto back = DecodeBmp(out);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rgb, p.rgb);
}
