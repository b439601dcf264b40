// The Qt 6 backend: Linux and other POSIX desktops, X11 and Wayland.
//
// Implements all of common/Backend.h:
// - windows as Qt Widgets, placed and scaled by Qt (any screen scale);
// - the colour dialog (QColorDialog, no alpha) and message boxes (QMessageBox),
//   their buttons in the desktop's language (Qt's translations);
// - screen readers through Qt's AT-SPI bridge: roles, names and descriptions
//   (Accessibility.cpp), announcements as a one-pixel notification (Announce.cpp);
// - tooltips; Return and Enter press the focused button, a held key once;
// - the window icon from the program's Qt resources;
// - files, the folder lock, SIGINT/SIGTERM and the display probe by ../posix/.
// Lacks:
// - placing windows on Wayland: the compositor places them, not Centre;
// - a high-contrast mode of its own: the colours are the Qt style's.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "Accessibility.h"
#include "Backend.h"
#include "DisplayProbe.h"
#include "Modal.h"
#include "QtNative.h"
#include "SignalPipe.h"

namespace rt {

namespace {
std::string programName;
QString heldMessages;

// Text of several lines as one line.
std::string oneLine(const QString& text)
{
    return text.simplified().toLocal8Bit().toStdString();
}

// While Qt connects to the display, its messages are held back: when no
// display answers, Qt ends with a fatal error (an abort, a core dump and the
// advice to reinstall); the user gets one line that says what to do instead.
// Any other fatal error is said as Qt said it, in one line.
void whileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if (type != QtFatalMsg) {
        heldMessages += qFormatLogMessage(type, context, msg) + u'\n';
        return;
    }
    const std::string base = programName.substr(programName.rfind('/') + 1);
    const std::string line =
        NoDisplayAnswers()
            ? base + ": no display could be reached (" + DisplayAskedFor() +
                  "): start it in a desktop session, or without one as: xvfb-run -a " + programName
            : base + ": Qt could not start: " + oneLine(heldMessages + msg);
    std::fputs((line + "\n").c_str(), stderr);
    std::_Exit(1);
}

// Qt's own texts (the colour dialog, the message box's buttons) in the
// user's language; ours stay as they are.
void installQtTranslations(QObject* parent)
{
    auto* translator = new QTranslator(parent);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}
}  // namespace

struct NativePlatform {
    int argc = 1;
    char* argv[2];
    std::string argv0;
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QSocketNotifier> notifier;
};

void DropNativePlatform::operator()(NativePlatform* p) const
{
    p->notifier.reset();
    CloseSignalPipe();
    delete p;
}

namespace backend {

NativePlatform* StartPlatform(const std::string& argv0, const std::string& desktopId)
{
    auto p = std::make_unique<NativePlatform>();
    p->argv0 = argv0;
    p->argv[0] = p->argv0.data();
    p->argv[1] = nullptr;
    programName = argv0;
    const QtMessageHandler previous = qInstallMessageHandler(whileConnecting);
    p->app = std::make_unique<QApplication>(p->argc, p->argv);
    qInstallMessageHandler(previous);
    if (!heldMessages.isEmpty())
        std::fputs(heldMessages.toLocal8Bit().constData(), stderr);
    heldMessages.clear();
    // No application display name: Qt would append it to every window title.
    if (!desktopId.empty())
        QGuiApplication::setDesktopFileName(QString::fromStdString(desktopId));
    installQtTranslations(p->app.get());
    InstallAccessibility();

    if (const int fd = OpenSignalPipe(); fd >= 0) {
        p->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(p->notifier.get(), &QSocketNotifier::activated, [] {
            DrainSignalPipe();
            RequestQuit();
        });
    }
    return p.release();
}

}  // namespace backend
void backend::PauseThread(int milliseconds)
{
    if (milliseconds <= 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace rt
