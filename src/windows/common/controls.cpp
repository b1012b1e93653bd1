#include "windows/common/controls.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include "windows/common/accessibility.h"

namespace tumblecast {

namespace {

QPalette::ColorRole roleOf(SystemColor color)
{
    switch (color) {
        case SystemColor::WindowBackground:
            return QPalette::Base;
        case SystemColor::ButtonFace:
            return QPalette::Button;
        case SystemColor::Menu:
            return QPalette::Window;
    }
    return QPalette::Base;
}

}  // namespace

void setBackColor(QWidget* widget, SystemColor color)
{
    // Text boxes paint their background with Base in every colour group, so a disabled field shows the
    // colour we give it rather than the style's own disabled shade.
    QPalette palette = widget->palette();
    const QColor shade = QApplication::palette().color(QPalette::Active, roleOf(color));
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, shade);
    widget->setPalette(palette);
}

void switchFieldOn(QWidget* field, bool on)
{
    field->setEnabled(on);
    setBackColor(field, on ? SystemColor::WindowBackground : SystemColor::ButtonFace);
}

void centreOnScreen(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(), window->size());
        area.moveCenter(screen->availableGeometry().center());
        window->move(area.topLeft());
    }
}

QFont dialogFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QString cannotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

QFrame* makeLine(QWidget* parent, int x1, int x2, int y)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(twips(x1), twips(y) - 1, twips(x2) - twips(x1), 2);
    hideFromAssistiveTechnology(line);  // only decoration
    return line;
}

}  // namespace tumblecast
