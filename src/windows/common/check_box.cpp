#include "windows/common/check_box.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "windows/common/accessibility.h"
#include "windows/common/command_button.h"

namespace tumblecast {

namespace {

// The captions are laid out with their text 3 pixels from the box; the styles' own wider gap would run the
// longest captions under the fields beside them.
class CompactCheckStyle final : public QProxyStyle {
public:
    CompactCheckStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_CheckBoxLabelSpacing) return 3;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QStyle* compactCheckStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new CompactCheckStyle;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace

CheckBox::CheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent)
{
    setStyle(compactCheckStyle());
}

CheckValue CheckBox::value() const
{
    switch (checkState()) {
        case Qt::Unchecked:
            return CheckValue::Unchecked;
        case Qt::Checked:
            return CheckValue::Checked;
        case Qt::PartiallyChecked:
            return CheckValue::Grayed;
    }
    return CheckValue::Unchecked;
}

void CheckBox::setValue(CheckValue value)
{
    switch (value) {
        case CheckValue::Unchecked:
            setCheckState(Qt::Unchecked);
            break;
        case CheckValue::Checked:
            setCheckState(Qt::Checked);
            break;
        case CheckValue::Grayed:
            setCheckState(Qt::PartiallyChecked);
            break;
    }
}

void CheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

bool CheckBox::event(QEvent* event) { return handleAccessKey(this, event) || QCheckBox::event(event); }

void ButtonCheckBox::keyPressEvent(QKeyEvent* event)
{
    if (!handleEnterKey(this, event)) CheckBox::keyPressEvent(event);
}

void ButtonCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = text();
    if (isDown() || checkState() != Qt::Unchecked) option.state |= QStyle::State_Sunken;
    if (checkState() == Qt::Checked) option.state |= QStyle::State_On;
    if (checkState() == Qt::PartiallyChecked) {
        // Grey: pressed, with its caption greyed out.
        option.state |= QStyle::State_NoChange;
        option.palette.setColor(QPalette::ButtonText,
                                option.palette.color(QPalette::Disabled, QPalette::ButtonText));
    }
    painter.drawControl(QStyle::CE_PushButton, option);
}

bool ButtonCheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void useAsFieldLabel(CheckBox* box)
{
    exposeAs(box, QAccessible::StaticText);
    box->setAccessibleName(box->text());
    box->setValue(CheckValue::Grayed);
    // Only the tick is greyed; the caption reads like any other label.
    QPalette palette = box->palette();
    for (auto role : {QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
    box->setPalette(palette);
}

}  // namespace tumblecast
