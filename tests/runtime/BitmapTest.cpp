#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include "BmpCodec.h"
#include "Gra.h"
#include "SaveTogether.h"
#include "System.h"
#include "TestSupport.h"
#include "XbpBitmap.h"
#include "XbpPresSpace.h"

using namespace rt;

namespace {
quint32 u32(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
qint32 s32(const QByteArray& b, int at) { return qFromLittleEndian<qint32>(b.constData() + at); }
quint16 u16(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

QByteArray bmpBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
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
    EXPECT_EQ(b.image().pixel(3, 3) | 0xFF000000, qRgb(255, 255, 255));

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
    auto src = XbpBitmap::New();
    src->make(2, 1);
    auto srcPS = XbpPresSpace::New();
    src->presSpace(srcPS);
    GraGradient(*srcPS, {0, 0}, {{1, 1}}, {GraMakeRGBColor(RGB{0, 0, 0})}, 0);  // left black

    for (const int bits : {24, 8, 1}) {
        auto dst = XbpBitmap::New();
        dst->make(40, 10, 1, bits);
        auto ps = XbpPresSpace::New();
        dst->presSpace(ps);
        src->draw(*ps, {0, 0, 40, 10});
        EXPECT_EQ(dst->bits(), bits);
        EXPECT_EQ(qRed(dst->image().pixel(0, 0)), 0) << bits;
        EXPECT_EQ(qRed(dst->image().pixel(39, 9)), 255) << bits;
    }
    EXPECT_THROW(src->draw(*srcPS, {0, 0, 1, 1}, std::nullopt, std::nullopt, 1),
                 std::invalid_argument);
}

class BitmapFile : public test::InTempDir {};

TEST_F(BitmapFile, SavesA24BitBottomUpWindowsBmpAndReadsItBack)
{
    auto b = XbpBitmap::New();
    b->make(128, 24);
    auto ps = XbpPresSpace::New();
    b->presSpace(ps);
    GraGradient(*ps, {0, 0}, {{128, 24}}, {GraMakeRGBColor(RGB{255, 0, 0}), GraMakeRGBColor(RGB{0, 0, 255})}, 0);
    GraGradient(*ps, {0, 0}, {{1, 1}}, {GraMakeRGBColor(RGB{0, 255, 0})}, 0);  // lower-left pixel

    EXPECT_EQ(b->saveFile("LOGO.BMP"), std::nullopt);
    const QByteArray f = test::readAll("LOGO.BMP");
    ASSERT_EQ(f.size(), 9270);
    EXPECT_EQ(f.left(2), "BM");
    EXPECT_EQ(u32(f, 2), 9270u);    // file size
    EXPECT_EQ(u32(f, 10), 54u);     // pixel data offset
    EXPECT_EQ(u32(f, 14), 40u);     // BITMAPINFOHEADER
    EXPECT_EQ(s32(f, 18), 128);
    EXPECT_EQ(s32(f, 22), 24);      // positive: bottom-up rows
    EXPECT_EQ(u16(f, 26), 1);       // planes
    EXPECT_EQ(u16(f, 28), 24);      // bits per pixel
    EXPECT_EQ(u32(f, 30), 0u);      // no compression
    // The first row stored is the bottom one: its first pixel is the green one (B, G, R).
    EXPECT_EQ(f.mid(54, 3), QByteArray("\x00\xff\x00", 3));
    EXPECT_EQ(f.mid(57, 3), QByteArray("\x02\x00\xfd", 3));  // column 1: (253, 0, 2)

    XbpBitmap back;
    ASSERT_EQ(back.loadFile("LOGO.BMP"), std::nullopt);
    EXPECT_EQ(back.width(), 128);
    EXPECT_EQ(back.height(), 24);
    EXPECT_EQ(back.bits(), 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 128; ++x)
            ASSERT_EQ(back.image().pixel(x, y) | 0xFF000000, b->image().pixel(x, y) | 0xFF000000);

    // A longer old file is replaced whole.
    test::writeAll("OLD.BMP", QByteArray(50000, 'x'));
    EXPECT_EQ(b->saveFile("OLD.BMP"), std::nullopt);
    EXPECT_EQ(test::readAll("OLD.BMP").size(), 9270);

    // Nothing to save, or something in the way: a reason, and the old file stays.
    EXPECT_NE(XbpBitmap().saveFile("OLD.BMP"), std::nullopt);
    ASSERT_TRUE(QDir().mkdir("DIR.BMP"));
    EXPECT_NE(b->saveFile("DIR.BMP"), std::nullopt);
    EXPECT_TRUE(QFileInfo("DIR.BMP").isDir());
    EXPECT_EQ(test::readAll("OLD.BMP").size(), 9270);
}

TEST_F(BitmapFile, ReadsOtherDepthsAndTellsTheirFormat)
{
    // fill() leaves a row's padding bytes as they were, and the BMP writer
    // writes them: set every byte, so that the file holds no stray memory.
    QImage mono(9, 4, QImage::Format_Mono);
    std::memset(mono.bits(), 0xff, size_t(mono.sizeInBytes()));
    test::writeAll("mono.bmp", bmpBytes(mono));
    QImage indexed(9, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    std::memset(indexed.bits(), 1, size_t(indexed.sizeInBytes()));
    test::writeAll("indexed.bmp", bmpBytes(indexed));

    XbpBitmap b;
    ASSERT_EQ(b.loadFile("mono.bmp"), std::nullopt);
    EXPECT_EQ(b.bits(), 1);
    ASSERT_EQ(b.loadFile("indexed.bmp"), std::nullopt);
    EXPECT_EQ(b.bits(), 8);
    EXPECT_EQ(b.image().pixel(8, 3) | 0xFF000000, qRgb(200, 100, 50));
}

TEST_F(BitmapFile, UnreadableFilesLeaveAnEmptyBitmap)
{
    QImage good(64, 32, QImage::Format_RGB32);
    good.fill(Qt::red);
    const QByteArray valid = bmpBytes(good);
    QByteArray huge = valid;
    qToLittleEndian<qint32>(100000, huge.data() + 18);
    qToLittleEndian<qint32>(100000, huge.data() + 22);
    QByteArray negative = valid;
    qToLittleEndian<qint32>(-5, negative.data() + 18);
    QByteArray badOffset = valid;
    qToLittleEndian<quint32>(0x7fffffff, badOffset.data() + 10);
    QByteArray zeroPlanes = valid;
    qToLittleEndian<quint16>(0, zeroPlanes.data() + 26);
    QByteArray random(4096, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);

    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"empty", QByteArray()},
        {"header only", valid.left(14)},
        {"truncated header", valid.left(30)},
        {"huge", huge},
        {"negative width", negative},
        {"bad offset", badOffset},
        {"truncated pixels", valid.left(valid.size() - 100)},
        {"zero planes", zeroPlanes},
        {"random", random},
        {"not a bmp", QByteArray("GIF89a") + random},
    };
    for (const auto& [name, bytes] : cases) {
        test::writeAll("LOGO.BMP", bytes);
        XbpBitmap b;
        b.make(5, 5);  // a load replaces whatever was there
        EXPECT_NE(b.loadFile("LOGO.BMP"), std::nullopt) << name;
        EXPECT_TRUE(b.isEmpty()) << name;
        EXPECT_EQ(b.bits(), 24) << name;
    }
    XbpBitmap missing;
    EXPECT_EQ(missing.loadFile("NOSUCH.BMP"), Failure(std::strerror(ENOENT))) << "the reason, as for a save";
    ASSERT_TRUE(QDir().mkdir("ADIR.BMP"));
    EXPECT_EQ(missing.loadFile("ADIR.BMP"), Failure(std::strerror(EISDIR)));
    EXPECT_TRUE(missing.isEmpty());
}

TEST_F(BitmapFile, FileServicesResolveInTheCurrentDirectory)
{
    EXPECT_FALSE(File("LOGO.TXT"));
    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "old contents, longer than the new"), std::nullopt);
    EXPECT_TRUE(File("LOGO.TXT"));
    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new"), std::nullopt);
    EXPECT_EQ(test::readAll(path("LOGO.TXT")), "new");
    EXPECT_TRUE(FErase("LOGO.TXT"));
    EXPECT_FALSE(File("LOGO.TXT"));

    ASSERT_TRUE(QDir().mkdir("LOGO.TXT"));
    EXPECT_FALSE(File("LOGO.TXT")) << "a directory is no file";
    const Failure f = WriteFileAtomic("LOGO.TXT", "x");
    EXPECT_NE(f, std::nullopt);
    EXPECT_NE(WriteFileAtomic("no/such/dir/LOGO.TXT", "x"), std::nullopt);
    Sleep(0);
}

TEST_F(BitmapFile, FilesSavedTogetherAreAllNewOrAllAsTheyWere)
{
    const auto hiddenFiles = [] { return QDir().entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression("^\\.")); };
    const auto seed = [] {
        test::writeAll("LOGO.TXT", "old log");
        test::writeAll("LOGO.BMP", "old logo");
    };
    std::string cFile;

    seed();
    {
        SaveTogether together;
        EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new log"), std::nullopt);
        EXPECT_EQ(WriteFileAtomic("LOGO.BMP", "new logo"), std::nullopt);
        EXPECT_EQ(test::readAll("LOGO.TXT"), "old log") << "prepared, not yet in place";
        EXPECT_EQ(together.place(cFile), std::nullopt);
    }
    EXPECT_EQ(test::readAll("LOGO.TXT"), "new log");
    EXPECT_EQ(test::readAll("LOGO.BMP"), "new logo");
    EXPECT_TRUE(hiddenFiles().isEmpty()) << hiddenFiles().join(" ").toStdString();

    // Given up before it was placed: nothing changes, nothing is left.
    seed();
    {
        SaveTogether together;
        EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new log"), std::nullopt);
        EXPECT_NE(hiddenFiles().size(), 0);
    }
    EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
    EXPECT_TRUE(hiddenFiles().isEmpty());

    // The second file cannot be placed: the first one is put back, or
    // removed again where there was none.
    for (const bool logExisted : {true, false}) {
        seed();
        if (!logExisted) {
            ASSERT_TRUE(QFile::remove("LOGO.TXT"));
        }
        SaveTogether together;
        EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new log"), std::nullopt);
        EXPECT_EQ(WriteFileAtomic("LOGO.BMP", "new logo"), std::nullopt);
        ASSERT_TRUE(QFile::remove("LOGO.BMP"));
        ASSERT_TRUE(QDir().mkpath("LOGO.BMP/in the way"));
        EXPECT_NE(together.place(cFile), std::nullopt);
        EXPECT_EQ(cFile, "LOGO.BMP");
        if (logExisted) {
            EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
        } else {
            EXPECT_FALSE(QFileInfo::exists("LOGO.TXT"));
        }
        EXPECT_TRUE(hiddenFiles().isEmpty()) << hiddenFiles().join(" ").toStdString();
        ASSERT_TRUE(QDir("LOGO.BMP").removeRecursively());
    }

    // A folder where the second file should be is found before anything is placed.
    seed();
    ASSERT_TRUE(QFile::remove("LOGO.BMP"));
    ASSERT_TRUE(QDir().mkdir("LOGO.BMP"));
    {
        SaveTogether together;
        EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new log"), std::nullopt);
        EXPECT_EQ(WriteFileAtomic("LOGO.BMP", "new logo"), Failure(std::strerror(EISDIR)));
    }
    EXPECT_EQ(test::readAll("LOGO.TXT"), "old log");
    EXPECT_TRUE(hiddenFiles().isEmpty());
}

TEST(BitmapSeeds, EverySeedOfTheFuzzerLoadsWholeOrNotAtAll)
{
    const QDir corpus(GL_FUZZ_CORPUS);
    const QStringList readable = {"depth1.bmp", "depth4.bmp", "depth8.bmp", "depth16.bmp",
                                  "depth24.bmp", "depth32.bmp", "rle4.bmp", "rle8.bmp",
                                  "os2.bmp", "topdown.bmp", "found-rle4-index-past-palette.bmp"};
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_GE(files.size(), 18);
    for (const QString& name : files) {
        XbpBitmap b;
        const bool loaded = !b.loadFile(corpus.filePath(name).toStdString());
        EXPECT_EQ(loaded, readable.contains(name)) << name.toStdString();
        EXPECT_EQ(b.isEmpty(), !loaded) << name.toStdString();
        if (loaded) {
            EXPECT_GT(b.width() * b.height(), 0) << name.toStdString();
        }
    }
    XbpBitmap top;
    ASSERT_EQ(top.loadFile(corpus.filePath("topdown.bmp").toStdString()), std::nullopt);
    XbpBitmap bottom;
    ASSERT_EQ(bottom.loadFile(corpus.filePath("depth24.bmp").toStdString()), std::nullopt);
    // Row by row, not through a flip helper: those are renamed from one Qt to the next.
    ASSERT_EQ(top.image().size(), bottom.image().size());
    const int rows = top.image().height();
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < top.image().width(); ++x)
            ASSERT_EQ(top.image().pixel(x, y), bottom.image().pixel(x, rows - 1 - y))
                << "top-down rows are read top first, at " << x << "," << y;

    // Found by the fuzzer: RLE pixels naming colours past the palette. They are
    // black, and stretching the picture reads no colour that is not there.
    XbpBitmap past;
    ASSERT_EQ(past.loadFile(corpus.filePath("found-rle4-index-past-palette.bmp").toStdString()), std::nullopt);
    EXPECT_EQ(past.image().colorCount(), 256);
    EXPECT_EQ(past.image().pixel(0, 0) | 0xFF000000, qRgb(0, 0, 0));
    auto big = XbpBitmap::New();
    big->make(365, 140);
    auto ps = XbpPresSpace::New();
    big->presSpace(ps);
    past.draw(*ps, {0, 0, 365, 140});
    EXPECT_EQ(big->image().pixel(10, 10) | 0xFF000000, qRgb(0, 0, 0));
}

namespace {
// A compressed BMP: bits 4 (RLE4) or 8 (RLE8), rows bottom first.
QByteArray rleBmp(int bits, int w, int h, const QList<QRgb>& palette, const QByteArray& data)
{
    const int offset = 14 + 40 + 4 * int(palette.size());
    QByteArray f(offset, '\0');
    f[0] = 'B';
    f[1] = 'M';
    qToLittleEndian<quint32>(quint32(offset + data.size()), f.data() + 2);
    qToLittleEndian<quint32>(quint32(offset), f.data() + 10);
    qToLittleEndian<quint32>(40, f.data() + 14);
    qToLittleEndian<qint32>(w, f.data() + 18);
    qToLittleEndian<qint32>(h, f.data() + 22);
    qToLittleEndian<quint16>(1, f.data() + 26);
    qToLittleEndian<quint16>(quint16(bits), f.data() + 28);
    qToLittleEndian<quint32>(bits == 8 ? 1 : 2, f.data() + 30);
    qToLittleEndian<quint32>(quint32(data.size()), f.data() + 34);
    qToLittleEndian<quint32>(quint32(palette.size()), f.data() + 46);
    for (int i = 0; i < palette.size(); ++i) {
        char* entry = f.data() + 54 + 4 * i;
        entry[0] = char(qBlue(palette[i]));
        entry[1] = char(qGreen(palette[i]));
        entry[2] = char(qRed(palette[i]));
    }
    return f + data;
}

// A palette without black, so that a black pixel cannot have come from it.
QList<QRgb> brightPalette(int n)
{
    QList<QRgb> p;
    for (int i = 0; i < n; ++i)
        p.append(qRgb(255, i, 128));
    return p;
}
}  // namespace

TEST_F(BitmapFile, PixelsThatCompressedDataNeverReachesAreBlackOnEveryRead)
{
    const QByteArray endRow("\x00\x00", 2), endBitmap("\x00\x01", 2);
    struct Case {
        const char* name;
        QByteArray file;
        std::vector<std::pair<int, int>> written;  // (x, y from the bottom), palette index 1
    };
    const std::vector<Case> cases = {
        {"RLE4, data ending after the first row",
         rleBmp(4, 4, 3, brightPalette(16), QByteArray("\x04\x11", 2) + endRow + endBitmap),
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {"RLE8, data ending after the first row",
         rleBmp(8, 4, 3, brightPalette(2), QByteArray("\x04\x01", 2) + endRow + endBitmap),
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
        {"RLE8 with a delta skip (2 right, 1 up)",
         rleBmp(8, 4, 3, brightPalette(2),
                QByteArray("\x01\x01\x00\x02\x02\x01\x01\x01", 8) + endBitmap),
         {{0, 0}, {3, 1}}},
        {"RLE8 with a full palette: no index is left for black",
         rleBmp(8, 4, 3, brightPalette(256), QByteArray("\x04\x01", 2) + endBitmap),
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
    };
    for (const auto& c : cases) {
        test::writeAll("LOGO.BMP", c.file);
        XbpBitmap first;
        ASSERT_EQ(first.loadFile("LOGO.BMP"), std::nullopt) << c.name;
        ASSERT_EQ(first.width(), 4);
        ASSERT_EQ(first.height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const bool written = std::find(c.written.begin(), c.written.end(),
                                               std::pair{x, y}) != c.written.end();
                EXPECT_EQ(first.image().pixel(x, 2 - y) | 0xFF000000,
                          written ? qRgb(255, 1, 128) : qRgb(0, 0, 0))
                    << c.name << " at " << x << "," << y;
            }
        for (int run = 0; run < 3; ++run) {
            XbpBitmap again;
            ASSERT_EQ(again.loadFile("LOGO.BMP"), std::nullopt);
            EXPECT_EQ(again.image(), first.image()) << c.name;
        }
    }
}

TEST_F(BitmapFile, AFolderThatTakesNoNewFileHasItsWritableFilesRewrittenInPlace)
{
    // Permissions mean nothing to root: write as nobody when the tests run as root.
    ASSERT_EQ(::chmod(path(".").toLocal8Bit().constData(), 0755), 0);
    ASSERT_TRUE(QDir().mkdir("ro"));
    test::writeAll("ro/LOGO.TXT", "the old colour log");
    test::writeAll("ro/LOGO.BMP", "old");
    test::writeAll("ro/LOCKED.TXT", "locked");
    for (const char* f : {"ro/LOGO.TXT", "ro/LOGO.BMP"})
        ASSERT_EQ(::chmod(f, 0666), 0);
    ASSERT_EQ(::chmod("ro/LOCKED.TXT", 0444), 0);
    ASSERT_EQ(::chmod("ro", 0555), 0);
    const uid_t root = ::geteuid();
    if (root == 0) {
        ASSERT_EQ(::seteuid(65534), 0);
    }

    const Failure shorter = WriteFileAtomic("ro/LOGO.TXT", "new");
    const Failure longer = WriteFileAtomic("ro/LOGO.BMP", std::string(9270, 'b'));
    const Failure locked = WriteFileAtomic("ro/LOCKED.TXT", "x");
    const Failure fresh = WriteFileAtomic("ro/NEW.TXT", "x");

    if (root == 0) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ::chmod("ro", 0755);
    EXPECT_EQ(shorter, std::nullopt);
    EXPECT_EQ(test::readAll("ro/LOGO.TXT"), "new");
    EXPECT_EQ(longer, std::nullopt);
    EXPECT_EQ(test::readAll("ro/LOGO.BMP"), QByteArray(9270, 'b'));
    EXPECT_NE(locked, std::nullopt) << "a file that cannot be written is not rewritten";
    EXPECT_EQ(test::readAll("ro/LOCKED.TXT"), "locked");
    EXPECT_NE(fresh, std::nullopt) << "nor can a new one be made there";
    EXPECT_FALSE(File("ro/NEW.TXT"));
    EXPECT_EQ(QDir("ro").entryList(QDir::Files | QDir::Hidden).size(), 3) << "no temporary file left";
}

TEST_F(BitmapFile, ALinkedFileIsWrittenThroughToItsTargetAndTheLinkStays)
{
    const auto isLink = [](const char* name) {
        struct stat st {};
        return ::lstat(name, &st) == 0 && S_ISLNK(st.st_mode);
    };
    const auto hidden = [](const char* dir) {
        return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(QRegularExpression("^\\.")).size();
    };
    ASSERT_TRUE(QDir().mkdir("assets"));
    test::writeAll("assets/logo.txt", "the shared colour log, old");
    ASSERT_EQ(::symlink("assets/logo.txt", "LOGO.TXT"), 0);
    ASSERT_EQ(::symlink("CHAIN2", "CHAIN1"), 0);  // a chain ending in an absolute link
    ASSERT_EQ(::symlink(path("assets/chained.txt").toLocal8Bit().constData(), "CHAIN2"), 0);
    ASSERT_EQ(::symlink("assets/new.txt", "DANGLING.TXT"), 0);
    ASSERT_EQ(::symlink("LOOP2", "LOOP1"), 0);
    ASSERT_EQ(::symlink("LOOP1", "LOOP2"), 0);

    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new"), std::nullopt);
    EXPECT_TRUE(isLink("LOGO.TXT"));
    EXPECT_EQ(test::readAll("assets/logo.txt"), "new");
    EXPECT_EQ(WriteFileAtomic("CHAIN1", "chained"), std::nullopt);
    EXPECT_TRUE(isLink("CHAIN1") && isLink("CHAIN2"));
    EXPECT_EQ(test::readAll("assets/chained.txt"), "chained");
    EXPECT_EQ(WriteFileAtomic("DANGLING.TXT", "created"), std::nullopt) << "a dangling link creates its target";
    EXPECT_TRUE(isLink("DANGLING.TXT"));
    EXPECT_EQ(test::readAll("assets/new.txt"), "created");
    EXPECT_EQ(WriteFileAtomic("LOOP1", "x"), Failure(std::strerror(ELOOP)));
    EXPECT_TRUE(isLink("LOOP1") && isLink("LOOP2"));

    // A target on another filesystem: the new file is made beside the target,
    // so that the rename stays on one filesystem.
    ASSERT_TRUE(QDir().mkdir("other"));
    ASSERT_EQ(::mount("tmpfs", "other", "tmpfs", 0, "size=64k"), 0)
        << "cannot mount a tmpfs (the test needs root): " << std::strerror(errno);
    test::writeAll("other/logo.bmp", "old");
    ASSERT_EQ(::symlink("other/logo.bmp", "LOGO.BMP"), 0);
    const Failure across = WriteFileAtomic("LOGO.BMP", std::string(9270, 'b'));
    const QByteArray acrossBytes = test::readAll("other/logo.bmp");
    const int acrossLitter = hidden("other");
    ::umount2("other", MNT_DETACH);
    EXPECT_EQ(across, std::nullopt);
    EXPECT_EQ(acrossBytes, QByteArray(9270, 'b'));
    EXPECT_TRUE(isLink("LOGO.BMP"));
    EXPECT_EQ(acrossLitter, 0);
    EXPECT_EQ(hidden("."), 0);
    EXPECT_EQ(hidden("assets"), 0);
}

TEST_F(BitmapFile, ASaveRemovesOnlyTheLitterOfEarlierSavesOfThatFile)
{
    const char* stale = ".LOGO.TXT.aB3x9Q";  // a save killed before its rename
    for (const char* name : {stale, ".LOGO.TXT.held01", ".LOGO.TXT.toolong", ".LOGO.BMP.aB3x9Q",
                             "LOGO.TXT.aB3x9Q", ".LOGO.TXT.ab-123", ".OTHER.TXT.aB3x9Q"})
        test::writeAll(name, "litter?");
    ASSERT_TRUE(QDir().mkdir(".LOGO.TXT.dir123"));
    ASSERT_EQ(::symlink("LOGO.BMP", ".LOGO.TXT.lnk123"), 0);
    // A save running meanwhile holds a lock on its file.
    const int running = ::open(".LOGO.TXT.held01", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(running, 0);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);

    EXPECT_EQ(WriteFileAtomic("LOGO.TXT", "new"), std::nullopt);
    ::close(running);
    EXPECT_FALSE(QFileInfo::exists(stale));
    QStringList left = QDir(".").entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left.join(' ').toStdString(),
              ".LOGO.BMP.aB3x9Q .LOGO.TXT.ab-123 .LOGO.TXT.dir123 .LOGO.TXT.held01 .LOGO.TXT.lnk123 "
              ".LOGO.TXT.toolong .OTHER.TXT.aB3x9Q LOGO.TXT LOGO.TXT.aB3x9Q");
}

namespace {
// A BMP of one row of pixels, written by hand: header size, bits, compression,
// what follows the header (masks or palette), then the pixel bytes.
std::string handMadeBmp(int headerSize, int width, int bits, int compression, const std::string& extra,
                        const std::string& pixels)
{
    std::string f(14 + std::size_t(headerSize), '\0');
    const auto put = [&f](std::size_t at, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            f[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    f[0] = 'B';
    f[1] = 'M';
    put(10, quint32(f.size() + extra.size()), 4);
    put(14, quint32(headerSize), 4);
    if (headerSize == 12) {
        put(18, quint32(width), 2);
        put(20, 1, 2);
        put(22, 1, 2);
        put(24, quint32(bits), 2);
    } else {
        put(18, quint32(width), 4);
        put(22, 1, 4);
        put(26, 1, 2);
        put(28, quint32(bits), 2);
        put(30, quint32(compression), 4);
    }
    f += extra + pixels;
    put(2, quint32(f.size()), 4);
    return f;
}
std::string le32(quint32 v) { return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)}; }
}  // namespace

TEST(BmpCodec, ReadsEveryStorageExactlyAndWritesAStandardFile)
{
    // 16 bits in 5-6-5 bit fields: full red, half green, no blue.
    const std::string f565 = handMadeBmp(40, 2, 16, 3, le32(0xF800) + le32(0x07E0) + le32(0x001F),
                                         std::string("\x00\xF8\x00\x04", 4));
    const auto p565 = DecodeBmp(f565);
    ASSERT_TRUE(p565);
    EXPECT_EQ(p565->bits, 24);
    EXPECT_EQ(p565->at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(p565->at(1, 0), 0xFF008200u) << "green 32 of 63 is 130 of 255";
    // 32 bits with an alpha mask (a version 3 header): the alpha is kept.
    const std::string masks = le32(0x00FF0000) + le32(0x0000FF00) + le32(0x000000FF) + le32(0xFF000000);
    const auto p32 = DecodeBmp(handMadeBmp(56, 1, 32, 3, "", std::string("\x03\x02\x01\x80", 4)).replace(54, 16, masks));
    ASSERT_TRUE(p32);
    EXPECT_EQ(p32->bits, 32);
    EXPECT_EQ(p32->at(0, 0), 0x80010203u);
    // The OS/2 header: a palette of three-byte entries.
    const auto os2 = DecodeBmp(handMadeBmp(12, 2, 1, 0, std::string("\x10\x20\x30\x40\x50\x60", 6),
                                           std::string("\x40\x00\x00\x00", 4)));
    ASSERT_TRUE(os2);
    EXPECT_EQ(os2->bits, 1);
    EXPECT_EQ(os2->at(0, 0), 0xFF302010u);
    EXPECT_EQ(os2->at(1, 0), 0xFF605040u);
    // Bit fields that the header does not leave room for, and a JPEG inside a BMP, are refused.
    EXPECT_FALSE(DecodeBmp(handMadeBmp(40, 1, 16, 3, "", std::string("\0\0\0\0", 4))));
    EXPECT_FALSE(DecodeBmp(handMadeBmp(40, 1, 24, 4, "", std::string("\0\0\0\0", 4))));

    // Written: 24 bits from the bottom row, rows padded to whole words, 96 dots per inch.
    Pixels p;
    p.width = 3;
    p.height = 2;
    p.rgb = {0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C, 0xFF0D0E0F, 0xFF101112};
    const std::string out = EncodeBmp24(p);
    ASSERT_EQ(out.size(), 54u + 2 * 12);
    const QByteArray bytes(out.data(), qsizetype(out.size()));
    EXPECT_EQ(u32(bytes, 2), 78u);
    EXPECT_EQ(u32(bytes, 34), 24u);  // the pixel data's size
    EXPECT_EQ(s32(bytes, 38), 3780);
    EXPECT_EQ(bytes.mid(54, 12), QByteArray("\x0C\x0B\x0A\x0F\x0E\x0D\x12\x11\x10\x00\x00\x00", 12));
    const auto back = DecodeBmp(out);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rgb, p.rgb);
}
