// The yardstick for start-up: a bare Qt program that opens a 365 x 140 window
// with the same eight controls as Gradient Logo, and nothing else.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare Window");
    window.setFixedSize(365, 140);
    window.setFont(QFont("Arial", 8));
    auto* area = new QWidget(&window);
    area->setGeometry(0, 0, 365, 140);
    (new QPushButton("Make Logo", area))->setGeometry(4, 104, 100, 32);
    (new QPushButton("Ok Logo", area))->setGeometry(248, 104, 100, 32);
    auto* group = new QGroupBox("Gradient Colorbar", area);
    group->setGeometry(0, 40, 352, 56);
    (new QPushButton("Color 1", group))->setGeometry(4, 20, 100, 30);
    (new QPushButton("Color 2", group))->setGeometry(248, 20, 100, 30);
    for (const auto& [x, parent] : {std::pair{112, area}}) {
        auto* logo = new QLabel(parent);
        logo->setGeometry(x, 102, 128, 30);
        logo->hide();
    }
    for (const int x : {112, 176}) {
        auto* swatch = new QLabel("Color", group);
        swatch->setGeometry(x, 20, 64, 32);
        swatch->hide();
    }
    window.show();
    return app.exec();
}
