#include "app/start.h"

#include <QApplication>

#include <algorithm>

#include "version.h"

namespace tumblecast {

namespace {

constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
constexpr std::string_view kQtValueOptions[] = {"platform",
                                                "platformpluginpath",
                                                "platformtheme",
                                                "plugin",
                                                "qwindowgeometry",
                                                "qwindowicon",
                                                "qwindowtitle",
                                                "session",
                                                "display",
                                                "geometry",
                                                "name",
                                                "title",
                                                "visual",
                                                "style",
                                                "stylesheet"};

bool isOneOf(std::string_view name, std::span<const std::string_view> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

StartCommand parseStartArguments(std::span<const std::string_view> arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h") return {StartAction::ShowHelp, {}};
        if (argument == "--version") return {StartAction::ShowVersion, {}};
        if (argument.size() < 2 || argument[0] != '-')
            return {StartAction::Refuse, "unexpected argument '" + std::string(argument) + "'"};
        // Qt reads its options with one dash or two, and a value after '=' or as the next argument.
        std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
        const bool valueAttached = name.find('=') != name.npos;
        name = name.substr(0, name.find('='));
        if (isOneOf(name, kQtFlags) && !valueAttached) continue;
        if (isOneOf(name, kQtValueOptions)) {
            if (!valueAttached && ++i == arguments.size())
                return {StartAction::Refuse, "option '" + std::string(argument) + "' needs a value"};
            continue;
        }
        return {StartAction::Refuse, "unknown option '" + std::string(argument) + "'"};
    }
    return {};
}

std::string startUsageText()
{
    return "Usage: tumblecast [--help | --version]\n"
           "Opens Tumblecast's window, a dice roller for tabletop games.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "  --version      show the version and exit\n"
           "\n"
           "Settings are kept in corvane.ini beside the program when it is there already or that folder is\n"
           "writable, else in $XDG_CONFIG_HOME/tumblecast/corvane.ini (~/.config/tumblecast/ by default).\n"
           "tumblecast-roll makes the same rolls from the shell.\n";
}

std::string startVersionText() { return "tumblecast " + std::string(kVersion) + "\n"; }

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/apps/tumblecast.png").arg(size), QSize(size, size));
    return icon;
}

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Tumblecast"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.tumblecast"));
    QApplication::setWindowIcon(programIcon());
}

}  // namespace tumblecast
