#include "platform/qt/Bootstrap.h"
#include <QApplication>
#include <QWidget>

int RunEmptyMainWindow(int argc, char** argv, const char* caption)
{
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle(QString::fromUtf8(caption));
    w.resize(1156, 679);
    w.show();
    return app.exec();
}
