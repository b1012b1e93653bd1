#include <QApplication>

#include "engine/philox_source.h"
#include "platform/qt_platform.h"
#include "windows/main/form1.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tumblecast"));

    tumblecast::QtPlatform platform;
    tumblecast::PhiloxSource dice;
    tumblecast::Form1 form(platform, dice);
    form.show();
    return QApplication::exec();
}
