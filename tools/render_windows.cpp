// Renders the program's windows to PNG files, to look at the layout without a display:
//   QT_QPA_PLATFORM=offscreen render_windows OUTDIR
#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

#include "engine/random_source.h"
#include "platform/qt_platform.h"
#include "windows/main/form1.h"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    tumblecast::QtPlatform platform;
    tumblecast::PhiloxSource dice;
    tumblecast::Form1 form(platform, dice);
    form.show();
    QApplication::processEvents();
    const QString path = out.filePath(QStringLiteral("form1.png"));
    if (!form.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}
