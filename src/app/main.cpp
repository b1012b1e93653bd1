#include <QApplication>
#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/start.h"
#include "engine/philox_source.h"
#include "platform/qt_platform.h"
#include "windows/main/form1.h"
#include "windows/main/form1_options.h"

namespace {

// While the platform opens, Qt's complaints about it are held back: if it cannot open, they end in an abort
// with advice to reinstall, where one line naming the cause serves better.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QtMessageHandler g_qtHandler = nullptr;
bool g_opening = true;
QList<HeldMessage>* g_held = nullptr;

void openingMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (!g_opening) return g_qtHandler(type, context, text);
    if (type != QtFatalMsg) {
        g_held->append({type, QByteArray(context.category), text});
        return;
    }
    // The platform plugin's own first word names the cause ("could not connect to display :1").
    QString cause = text.section(u'\n', 0, 0);
    const auto fromPlatform = std::find_if(g_held->cbegin(), g_held->cend(), [](const HeldMessage& held) {
        return held.category.startsWith("qt.qpa");
    });
    if (fromPlatform != g_held->cend()) cause = fromPlatform->text;
    cause = cause.trimmed();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        cause += QStringLiteral(" (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    std::fprintf(stderr, "tumblecast: cannot open a window: %s\n", qPrintable(cause));
    std::fflush(stderr);
    std::_Exit(1);
}

void replayHeldMessages()
{
    g_opening = false;
    for (const HeldMessage& held : *g_held)
        g_qtHandler(held.type, QMessageLogContext(nullptr, 0, nullptr, held.category.constData()), held.text);
    g_held->clear();
}

int written(const std::string& text)
{
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0) return 0;
    std::perror("tumblecast: cannot write");
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    using namespace tumblecast;
    // Before QApplication, which needs a display: --help and --version answer without one.
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const StartCommand command = parseStartArguments(arguments);
    switch (command.action) {
        case StartAction::ShowHelp:
            return written(startUsageText());
        case StartAction::ShowVersion:
            return written(startVersionText());
        case StartAction::Refuse:
            std::fprintf(stderr, "tumblecast: %s\nTry 'tumblecast --help'.\n", command.message.c_str());
            return 2;
        case StartAction::Run:
            break;
    }

    QList<HeldMessage> held;
    g_held = &held;
    g_qtHandler = qInstallMessageHandler(openingMessages);
    QApplication app(argc, argv);
    replayHeldMessages();
    setUpApplication();

    QtPlatform platform;
    const PhiloxSource dice(startingSeed(platform.executableDir()));
    Form1 form(platform, dice);
    form.show();
    return QApplication::exec();
}
