#include "Runtime.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "Accessibility.h"
#include "AppWindows.h"

namespace rt {

namespace {
int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string displayName;
std::string programName;
QString heldMessages;

// Which display was asked for, in the user's terms.
std::string displayAskedFor()
{
    std::string what;
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
        if (!env(name).empty())
            what += (what.empty() ? "" : ", ") + std::string(name) + "=" + env(name);
    return what.empty() ? "DISPLAY is not set" : what;
}

// While Qt connects to the display, its messages are held back: when no
// display answers, Qt ends with a fatal error (an abort, a core dump and the
// advice to reinstall); the user gets one line that says what to do instead.
void whileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if (type != QtFatalMsg) {
        heldMessages += qFormatLogMessage(type, context, msg) + u'\n';
        return;
    }
    const std::string base = programName.substr(programName.rfind('/') + 1);
    const std::string line = base + ": no display could be reached (" + displayAskedFor() +
                             "): start it in a desktop session, or without one as: xvfb-run -a " +
                             programName + "\n";
    std::fputs(line.c_str(), stderr);
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

struct Runtime::Impl {
    int argc = 1;
    char* argv[2];
    std::string argv0;
    std::unique_ptr<QApplication> app;
    std::unique_ptr<QSocketNotifier> notifier;
};

Runtime::Runtime(const char* argv0, const std::string& name, const std::string& desktopId)
    : d(std::make_unique<Impl>())
{
    d->argv0 = argv0 ? argv0 : "gradient-logo";
    d->argv[0] = d->argv0.data();
    d->argv[1] = nullptr;
    programName = d->argv0;
    displayName = name;
    const QtMessageHandler previous = qInstallMessageHandler(whileConnecting);
    d->app = std::make_unique<QApplication>(d->argc, d->argv);
    qInstallMessageHandler(previous);
    if (!heldMessages.isEmpty())
        std::fputs(heldMessages.toLocal8Bit().constData(), stderr);
    heldMessages.clear();
    // No application display name: Qt would append it to every window title.
    if (!desktopId.empty())
        QGuiApplication::setDesktopFileName(QString::fromStdString(desktopId));
    installQtTranslations(d->app.get());
    InstallAccessibility();

    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        d->notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(d->notifier.get(), &QSocketNotifier::activated, [] {
            char buf[16];
            while (::read(signalPipe[0], buf, sizeof buf) > 0) {
            }
            RequestQuit();
        });
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGTERM, &sa, nullptr);
    }
}

Runtime::~Runtime()
{
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    d->notifier.reset();
    for (int& fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

const std::string& Runtime::DisplayName() { return displayName; }

}  // namespace rt
