// The save screen (mode 10): the player picks one of the sixty slots of the
// story's save group, may type a comment in the confirm box, and the story
// is written to the slot file. A save that fails leaves the old file and
// the page as they were and tells the player so.
#pragma once

#include "system/SlotScreen.h"

#include <memory>
#include <string>

// The comment shown in the box and written with the save (GBK), and the
// chosen slot's comment while the comment entry is open.
extern std::string g_saveComment;
extern std::string g_saveCommentBackup;

class CSaveScreen : public CSlotScreen {
public:
    CSaveScreen();

    void Run(platform::WindowHandle window);

protected:
    void Opened() override;
    bool SlotChosen(int i) override;
    std::string_view BoxComment() override { return g_saveComment; }
    save::SaveDate BoxDate() override;
    void CommentClicked() override;
    std::uint8_t Closed(platform::WindowHandle window, bool yes) override;

private:
    bool commentEdited_ = false;
};

// The page cache of the save screen: the records of the page it shows.
extern std::unique_ptr<slots::PageCache> g_savePageCache;
extern std::unique_ptr<CSaveScreen> g_saveScreen;
