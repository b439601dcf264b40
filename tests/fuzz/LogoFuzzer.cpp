// Fuzzes the start-up path that reads LOGO.BMP: each input becomes the bytes of
// LOGO.BMP in a temporary current directory, the form's own preload runs on it
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

#include "MakeGraForm.h"
#include "QtNative.h"
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
    // The preload of the form's create, on the window made once.
    auto& area = *world.form->drawingArea;
    area.bitmap = nullptr;
    world.form->PreloadLogo();
    QImage shown(365, 140, QImage::Format_RGB32);
    rt::WidgetOf(area)->render(&shown);
    return 0;
}
