#include "roll/background_priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace tumblecast {

namespace {

constexpr int kBackgroundNice = 5;

}  // namespace

// Linux keeps a nice value per thread, and a new thread takes its creator's.
void lowerThisThreadsPriority() { setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBackgroundNice); }

}  // namespace tumblecast
