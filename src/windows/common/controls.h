#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QFrame;
class QWidget;

namespace tumblecast {

// Layout is given in twips; 15 twips are one logical pixel, and Qt scales logical pixels on HiDPI.
constexpr int twips(int t) { return (t * 2 + 15) / 30; }
inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

// The system colours that the windows use, named after the palette role that stands for each.
enum class SystemColor {
    WindowBackground,  // text box background
    ButtonFace,        // disabled field, dialog surface
    Menu,              // the about window's address boxes
};

// Sets a control's background colour, in every colour group.
void setBackColor(QWidget* widget, SystemColor color);

// Switches a field on (window background) or off (button face, which marks it unusable).
void switchFieldOn(QWidget* field, bool on);

// The 8-point sans the windows are laid out for.
QFont dialogFont();

// Gives a control its name, so tests and messages can find it; returns it for chaining.
template <class Control>
Control* named(Control* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

// Moves a top-level window to the middle of the primary screen's available area.
void centreOnScreen(QWidget* window);

// "Cannot write <path>: <reason>", said by every write that fails, with the path in the system's form.
QString cannotWrite(const QString& path, const QString& reason);

// A horizontal line from x1 to x2 at y, all in twips.
QFrame* makeLine(QWidget* parent, int x1, int x2, int y);

}  // namespace tumblecast
