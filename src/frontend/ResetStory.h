// The new-game reset that the main title and the scenario titles run when
// they open: the state of the last play is cleared before a new one starts.
#pragma once

#include "platform/Platform.h"

void ResetStory(platform::WindowHandle window);

// The presentation of the last play (skip and auto modes, window buttons,
// day, message style, speaker, band, the mode handlers' step, the message
// window's pictures and the font): cleared by the new-game reset, and by the
// scene replay before a scene plays again.
void ResetPresentation();
