#include "windows/common/vali_text.h"

#include "platform/platform.h"

namespace tumblecast {

int ValiText(int keyIn, const QString& validate, bool editable, Platform& platform)
{
    QString accepted = validate.toUpper();
    if (editable) accepted += QChar(8);
    const QChar key = QChar(static_cast<char16_t>(keyIn)).toUpper();
    if (keyIn > 0 && keyIn <= 0xFFFF && accepted.contains(key, Qt::CaseInsensitive)) return keyIn;
    platform.beep();
    return 0;
}

}  // namespace tumblecast
