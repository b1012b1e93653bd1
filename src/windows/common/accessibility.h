#pragma once

#include <QAccessible>

class QWidget;

namespace tumblecast {

// What a screen reader is told about our controls where Qt's own guess is wrong: a plain top-level widget
// is not announced as a window, and the grey-ticked check boxes that only label a field are not check
// boxes to the user.
void exposeAs(QWidget* widget, QAccessible::Role role);

// Keeps a control that the user never sees (a scratch field) out of the accessibility tree.
void hideFromAssistiveTechnology(QWidget* widget);

// Drops an interface Qt made for object before its own factory was in place, so the next query makes
// the right one.
void forgetInterface(QObject* object);

// Registers the factory that applies the above; safe to call more than once.
void installAccessibility();

}  // namespace tumblecast
