// Renders the program's windows to PNG files, to look at the layout without a display:
//   QT_QPA_PLATFORM=offscreen render_windows OUTDIR
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPointer>

#include <cstdio>
#include <utility>

#include "engine/random_source.h"
#include "platform/qt_platform.h"
#include "windows/about/zentor.h"
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
    const QPointer<tumblecast::zentor> about = new tumblecast::zentor(platform);
    const std::pair<QWidget*, QString> windows[] = {{&form, QStringLiteral("form1.png")},
                                                    {about.data(), QStringLiteral("zentor.png")}};
    for (const auto& [window, name] : windows) {
        window->show();
        QApplication::processEvents();
        const QString path = out.filePath(name);
        if (!window->grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    // Under a real display, RENDER_WINDOWS_STAY=1 keeps the windows up to be looked at.
    const int status = qEnvironmentVariableIntValue("RENDER_WINDOWS_STAY") ? QApplication::exec() : 0;
    delete about;
    return status;
}
