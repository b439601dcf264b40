#pragma once
// Helpers for driving the real widgets: modal dialogs are answered by finding
// the active modal widget once it is up, never by sleeping.

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "AppEvents.h"
#include "AppWindows.h"
#include "XbpDialog.h"
#include "XbpStatic.h"

namespace test {

// Calls answer with the next modal widget as soon as one is active.
inline void whenModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] {
        if (QWidget* w = QApplication::activeModalWidget())
            answer(w);
        else
            whenModal(answer);
    });
}

// Answers the next colour dialog: records its title and preselected colour,
// then picks `pick` or cancels when it is invalid.
struct ColorAnswer {
    QString title;
    QColor preselected;
};
inline std::shared_ptr<ColorAnswer> answerColorDialog(QColor pick)
{
    auto seen = std::make_shared<ColorAnswer>();
    whenModal([seen, pick](QWidget* w) {
        auto* dialog = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(dialog, nullptr) << "expected the colour dialog";
        seen->title = dialog->windowTitle();
        seen->preselected = dialog->currentColor();
        if (pick.isValid()) {
            dialog->setCurrentColor(pick);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    return seen;
}

// Answers the next message box with OK and hands back its text and title.
struct MessageAnswer {
    QString text;
    QString title;
    int count = 0;
};
inline std::shared_ptr<MessageAnswer> answerMessageBox()
{
    auto seen = std::make_shared<MessageAnswer>();
    whenModal([seen](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr) << "expected a message box";
        seen->text = box->text();
        seen->title = box->windowTitle();
        ++seen->count;
        box->accept();
    });
    return seen;
}

// Runs each test in a fresh current directory, where LOGO.TXT and LOGO.BMP go,
// with an empty application event queue.
class InTempDir : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        rt::ClearAppEvents();
    }
    void TearDown() override
    {
        rt::ClearAppEvents();
        QDir::setCurrent(previous_);
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// A 128 x 30 bitmap static at pos on a 200 x 100 dialog, neither on screen.
struct Swatch {
    std::shared_ptr<rt::XbpDialog> dialog;
    std::shared_ptr<rt::XbpStatic> swatch;
};
inline Swatch hiddenSwatch(rt::Pos pos)
{
    auto d = std::make_shared<rt::XbpDialog>();
    d->init(rt::AppDesktop(), nullptr, rt::Pos{0, 0}, rt::Size{200, 100}, nullptr, false);
    d->create();
    auto s = rt::XbpStatic::New(d->drawingArea, nullptr, pos, rt::Size{128, 30}, nullptr, false);
    s->type = rt::XbpStatic::TypeBitmap;
    s->create();
    return {d, s};
}

inline QByteArray readAll(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString& name, const QByteArray& bytes)
{
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace test
