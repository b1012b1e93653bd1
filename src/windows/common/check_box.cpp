#include "windows/common/check_box.h"

#include "windows/common/command_button.h"

namespace tumblecast {

CheckBox::CheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {}

int CheckBox::value() const
{
    switch (checkState()) {
        case Qt::Unchecked:
            return 0;
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
    }
    return 0;
}

void CheckBox::setValue(int value)
{
    setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

void CheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
}

bool CheckBox::event(QEvent* event)
{
    return handleAccessKey(this, event) || QCheckBox::event(event);
}

}  // namespace tumblecast
