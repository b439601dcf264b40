// Speed of the operations a person waits on: rendering the logo, the preload
// of a LOGO.BMP (a large one too), and saving. Run: see bench/README.md.
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "BMP2BMP.h"
#include "Gra.h"
#include "GraDialog.h"
#include "Runtime.h"
#include "SaveLogo.h"
#include "XbpBitmap.h"

using namespace rt;

namespace {
struct Fixture {
    Fixture()
    {
        QDir::setCurrent(dir.path());
        QImage big(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < big.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(big.scanLine(y));
            for (int x = 0; x < big.width(); ++x)
                row[x] = qRgb(x % 256, y % 256, (x + y) % 256);
        }
        big.save(bigFile, "BMP");
        dialog->create();
        dialog->show();
        dialog->oStat1->cargo = *GraMakeRGBColor(RGB{255, 0, 0});
        dialog->oStat2->cargo = *GraMakeRGBColor(RGB{0, 0, 255});
    }
    QTemporaryDir dir;
    const QString bigFile = "BIG.BMP";
    std::shared_ptr<GraDialog> dialog = GraDialog::New();
};

// Made on first use and gone before the runtime is, so that no window outlives Qt.
std::unique_ptr<Fixture> theFixture;
Fixture& fixture()
{
    if (!theFixture)
        theFixture = std::make_unique<Fixture>();
    return *theFixture;
}

std::shared_ptr<XbpBitmap> loaded(const QString& name)
{
    auto b = XbpBitmap::New();
    b->create();
    b->loadFile(name.toStdString());
    return b;
}

void MakeLogo(benchmark::State& state)
{
    auto& d = *fixture().dialog;
    int i = 0;
    for (auto _ : state) {
        d.oStat1->cargo = *GraMakeRGBColor(RGB{i % 256, 0, 255 - i % 256});
        benchmark::DoNotOptimize(d.MakeLogo());
        ++i;
    }
}
BENCHMARK(MakeLogo)->Unit(benchmark::kMicrosecond);

void BMP2BMP_128x24(benchmark::State& state)
{
    fixture();
    auto logo = XbpBitmap::New();
    logo->make(128, 24);
    for (auto _ : state)
        benchmark::DoNotOptimize(BMP2BMP(logo, {365, 140}));
}
BENCHMARK(BMP2BMP_128x24)->Unit(benchmark::kMicrosecond);

void BMP2BMP_4000x3000(benchmark::State& state)
{
    const auto big = loaded(fixture().bigFile);
    for (auto _ : state)
        benchmark::DoNotOptimize(BMP2BMP(big, {365, 140}));
}
BENCHMARK(BMP2BMP_4000x3000)->Unit(benchmark::kMillisecond);

void Loadfile_4000x3000(benchmark::State& state)
{
    const auto& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(loaded(f.bigFile));
}
BENCHMARK(Loadfile_4000x3000)->Unit(benchmark::kMillisecond);

// The preload of the window's creation, and the same done with QImage alone.
void Preload_4000x3000(benchmark::State& state)
{
    const auto& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(BMP2BMP(loaded(f.bigFile), {365, 140}));
}
BENCHMARK(Preload_4000x3000)->Unit(benchmark::kMillisecond);

void BareQImage_LoadAndScale_4000x3000(benchmark::State& state)
{
    const auto& f = fixture();
    for (auto _ : state) {
        QImage image(f.bigFile, "BMP");
        benchmark::DoNotOptimize(image.scaled(365, 140, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
}
BENCHMARK(BareQImage_LoadAndScale_4000x3000)->Unit(benchmark::kMillisecond);

void WriteLog_SaveLogo(benchmark::State& state)
{
    auto& d = *fixture().dialog;
    d.MakeLogo();
    for (auto _ : state) {
        benchmark::DoNotOptimize(d.WriteLog());
        benchmark::DoNotOptimize(SaveLogo(d.oLogo));
    }
}
BENCHMARK(WriteLog_SaveLogo)->Unit(benchmark::kMicrosecond);
}  // namespace

int main(int argc, char** argv)
{
    Runtime runtime(argv[0], "Gradient Logo");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theFixture.reset();
    return 0;
}
