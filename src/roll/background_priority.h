#pragma once

namespace tumblecast {

// Puts the calling thread, and the threads it starts from then on, below the window's, so that the window
// answers first whenever every core is busy. Does nothing where the system does not allow it.
void lowerThisThreadsPriority();

}  // namespace tumblecast
