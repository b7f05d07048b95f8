// The load screen (mode 11): the player picks a saved slot of the story's
// save group and the story resumes where it was saved. A slot whose file is
// damaged shows as damaged; choosing it tells the player and changes
// nothing of the running game.
#pragma once

#include "system/SlotScreen.h"

#include <memory>

class CLoadScreen : public CSlotScreen {
public:
    CLoadScreen();

    void Run(platform::WindowHandle window);
    // State 12: the fade into the restored story; 13: its mode runs.
    void FadeToStory(platform::WindowHandle window);
    void Resume(platform::WindowHandle window);

protected:
    bool SlotChosen(int i) override;
    std::string_view BoxComment() override;
    save::SaveDate BoxDate() override;
    std::uint8_t Closed(platform::WindowHandle window, bool yes) override;
};

// The page cache of the load screen: the records of the page it shows.
extern std::unique_ptr<slots::PageCache> g_loadPageCache;
extern std::unique_ptr<CLoadScreen> g_loadScreen;
