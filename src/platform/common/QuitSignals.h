// Backend side of the quit signals: tests put the process back as it was.
#pragma once

namespace platform::quit_signals {

// Default dispositions again and the flag cleared.
void Restore();

} // namespace platform::quit_signals
