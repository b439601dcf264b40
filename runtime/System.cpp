#include "System.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <chrono>
#include <thread>

namespace rt {

bool File(const std::string& cFile) { return QFileInfo(QString::fromStdString(cFile)).isFile(); }

bool FErase(const std::string& cFile) { return QFile::remove(QString::fromStdString(cFile)); }

Failure WriteFileAtomic(const std::string& cFile, const std::string& cBytes)
{
    QSaveFile file(QString::fromStdString(cFile));
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString().toStdString();
    if (file.write(cBytes.data(), qint64(cBytes.size())) != qint64(cBytes.size())) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString().toStdString();
    return std::nullopt;
}

void Sleep(int nHundredths)
{
    if (nHundredths <= 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(10 * nHundredths));
}

}  // namespace rt
