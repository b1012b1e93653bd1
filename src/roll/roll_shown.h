#pragma once

#include <functional>
#include <memory>

#include "roll/roll_kind.h"
#include "roll/roll_pass.h"

namespace tumblecast {

// The roll the result box shows: its record, what one repetition is expected to give, and the background
// pass that measures the record and tallies its dice. The main window holds it and hands it to the
// statistics window; neither needs to know which kind of roll it is.
class RollShown {
public:
    // passEnded runs on the pass's thread once every repetition is in; threads 0: one per core.
    explicit RollShown(std::unique_ptr<RollKind> kind, std::function<void()> passEnded = {},
                       unsigned threads = 0);

    const RollKind& kind() const { return *m_kind; }
    const TextSource& text() const { return m_kind->text(); }
    const stats::RollExpectation& expectation() const { return m_expectation.get(); }
    stats::RolledSoFar rolled() const { return m_pass.snapshot(); }

    // On the thread that reads text(): once the pass has finished, the record takes what it measured, so
    // that a far offset costs a search instead of a pass over the dice. Whether it had finished.
    bool adoptPass() const;
    void stopPass() { m_pass.cancel(); }

private:
    std::unique_ptr<RollKind> m_kind;
    ExpectationOnce m_expectation;
    RollPass m_pass;  // last: stopped before what it reads goes
};

}  // namespace tumblecast
