// The settings in the result box's menu: fresh dice at every start.
#include "windows/main/form1_options.h"

#include <QAction>

#include "engine/philox_source.h"
#include "platform/platform.h"
#include "profile/quick_slots.h"
#include "windows/common/controls.h"
#include "windows/main/form1.h"
#include "windows/main/result_box.h"

namespace tumblecast {

namespace {

const QString kOptions = QStringLiteral("Options");
const QString kFreshDice = QStringLiteral("FreshDice");

}  // namespace

bool readFreshDice(const QString& programDir)
{
    return profileNumber(ReadProfileValue(programDir, kOptions, kFreshDice, QString())) == 1;
}

std::optional<ProfileError> writeFreshDice(const QString& programDir, bool fresh)
{
    return WriteProfileValue(programDir, kOptions, kFreshDice,
                             fresh ? QStringLiteral("1") : QStringLiteral("0"));
}

std::uint64_t startingSeed(const QString& programDir) { return readFreshDice(programDir) ? freshSeed() : 0; }

// The choice takes effect at the next start: the dice of this one are already on their way.
void Form1::wireOptions()
{
    m_freshDice = new QAction(QStringLiteral("&Fresh dice at every start"), this);
    m_freshDice->setCheckable(true);
    m_freshDice->setChecked(readFreshDice(m_platform.executableDir()));
    connect(m_freshDice, &QAction::triggered, this, &Form1::chooseFreshDice);
    Text1->addOptionAction(m_freshDice);
}

// Only the player's own choice is stored, so a first start writes nothing more than it always did. One that
// cannot be stored is taken back, or the tick would promise what the next start does not do.
void Form1::chooseFreshDice(bool fresh)
{
    if (const std::optional<ProfileError> error = writeFreshDice(m_platform.executableDir(), fresh)) {
        m_freshDice->setChecked(!fresh);
        m_platform.message(cannotWrite(error->path, error->reason));
    }
}

}  // namespace tumblecast
