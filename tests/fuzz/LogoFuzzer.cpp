// Fuzzes the start-up path that reads LOGO.BMP: each input becomes the bytes of
// LOGO.BMP in a temporary current directory, and the form's preload runs on it
// (file test, load, stretch to 365 x 140), then the window's background is
// painted with the result.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "BMP2BMP.h"
#include "MakeGraForm.h"
#include "QtNative.h"
#include "System.h"
#include "XbpBitmap.h"
#include "Runtime.h"

namespace {
struct World {
    World() : runtime("logo_fuzzer", "Gradient Logo")
    {
        // Qt warns about every odd file; a million warnings only slow the run.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        QDir::setCurrent(dir.path());
        form->init();
        form->create();
    }
    rt::Runtime runtime;
    QTemporaryDir dir;
    std::shared_ptr<MakeGraForm> form = std::make_shared<MakeGraForm>();
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static World world;
    {
        QFile f("LOGO.BMP");
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    // The preload steps of the form's create, on the window made once.
    auto& area = *world.form->drawingArea;
    area.bitmap = nullptr;
    if (rt::File("LOGO.BMP")) {
        const auto oBitmap = rt::XbpBitmap::New();
        oBitmap->create();
        oBitmap->loadFile("LOGO.BMP");
        area.bitmap = BMP2BMP(oBitmap, {365, 140});
    }
    QImage shown(365, 140, QImage::Format_RGB32);
    rt::WidgetOf(area)->render(&shown);
    return 0;
}
