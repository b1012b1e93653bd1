#include "windows/common/accessibility.h"

#include <QAccessibleWidget>
#include <QMenu>
#include <QWidget>

namespace tumblecast {

namespace {

constexpr const char* kRoleProperty = "tumblecastAccessibleRole";

bool isIgnored(const QWidget* widget)
{
    const QVariant role = widget->property(kRoleProperty);
    return role.isValid() && role.toInt() == QAccessible::NoRole;
}

// A widget whose role is set here; names and states are Qt's. Its children are Qt's too, less the
// scratch fields, which Qt would list although nobody ever sees them.
class RoleOverride final : public QAccessibleWidget {
public:
    RoleOverride(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    int childCount() const override { return static_cast<int>(children().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> list = children();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list.at(index))
                                                 : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child) return -1;
        return static_cast<int>(children().indexOf(qobject_cast<QWidget*>(child->object())));
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        // A label on a disabled panel reads as a label, not as something switched off.
        if (role() == QAccessible::StaticText) state.disabled = false;
        return state;
    }

private:
    QList<QWidget*> children() const
    {
        QList<QWidget*> list;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child && !child->isWindow() && !qobject_cast<QMenu*>(child) && !isIgnored(child))
                list << child;
        }
        return list;
    }
};

// Accessible parents list every child widget, hidden or not; a scratch field shows up as a control
// that is never there. It is given an interface with no role that reports itself invisible and gone.
class Ignored final : public QAccessibleWidget {
public:
    explicit Ignored(QWidget* widget) : QAccessibleWidget(widget, QAccessible::NoRole) {}

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = true;
        state.offscreen = true;
        return state;
    }
    QString text(QAccessible::Text) const override { return {}; }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    const auto value = static_cast<QAccessible::Role>(role.toInt());
    if (value == QAccessible::NoRole) return new Ignored(widget);
    return new RoleOverride(widget, value);
}

}  // namespace

void exposeAs(QWidget* widget, QAccessible::Role role)
{
    installAccessibility();
    widget->setProperty(kRoleProperty, static_cast<int>(role));
    forgetInterface(widget);
}

void forgetInterface(QObject* object)
{
    // Setting a name or a value during construction may already have made and cached Qt's own guess.
    QAccessibleInterface* cached = QAccessible::queryAccessibleInterface(object);
    if (cached && !dynamic_cast<RoleOverride*>(cached) && !dynamic_cast<Ignored*>(cached))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
}

void hideFromAssistiveTechnology(QWidget* widget) { exposeAs(widget, QAccessible::NoRole); }

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

}  // namespace tumblecast
