#pragma once

#include <QString>

namespace tumblecast {

class Platform;

// The key filter of the numeric fields: returns keyIn when its character is one of validate (compared
// without regard to case) or, when editable, a backspace; otherwise beeps and returns 0 to drop the key.
int ValiText(int keyIn, const QString& validate, bool editable, Platform& platform);

inline const QString kDigits = QStringLiteral("0123456789");

}  // namespace tumblecast
