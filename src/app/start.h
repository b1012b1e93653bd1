#pragma once

#include <QIcon>

#include <span>
#include <string>
#include <string_view>

// What the program settles before and as its first window opens: its command line, its name and its icon.
namespace tumblecast {

enum class StartAction { Run, ShowHelp, ShowVersion, Refuse };

struct StartCommand {
    StartAction action = StartAction::Run;
    std::string message;  // why a command line is refused
};

// The arguments after the program's name. Besides --help and --version only Qt's own start-up options are
// taken (a session manager restarts a program with -session), and they are left for QApplication.
StartCommand parseStartArguments(std::span<const std::string_view> arguments);
std::string startUsageText();
std::string startVersionText();

// Every window's icon unless it has its own, the program's art at every size the desktop asks for.
QIcon programIcon();
// Names the program and its menu entry, which taskbars and docks match the windows to, and sets the icon.
void setUpApplication();

}  // namespace tumblecast
