// The new-game reset that the main title and the scenario titles run when
// they open: the state of the last play is cleared before a new one starts.
#pragma once

#include "platform/Platform.h"

void ResetStory(platform::WindowHandle window);
