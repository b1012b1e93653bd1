#include "roll/roll_shown.h"

namespace tumblecast {

RollShown::RollShown(std::unique_ptr<RollKind> kind, std::function<void()> passEnded, unsigned threads)
    : m_kind(std::move(kind)),
      m_expectation(*m_kind),
      m_pass(*m_kind, m_expectation, std::move(passEnded), threads)
{
}

bool RollShown::adoptPass() const
{
    const MeasuredStretch* measured = m_pass.measured();
    if (measured) m_kind->adopt(*measured);
    return measured != nullptr;
}

}  // namespace tumblecast
