// The seven ending staff rolls (modes 27 to 33): a story script sets one of
// these modes at an ending; the roll plays the ending song once, scrolls a
// credit sheet up through a window over black, white, backgrounds or a
// picture series, closes and hands back to the interpreter (mode 2) so the
// script goes on. The seven are one design: `CStaffRoll` runs it, and each
// `CStaffRollN` only names its row of the table in StaffRoll.cpp.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <cstdint>
#include <memory>

// What one roll plays, scrolls and shows.
struct StaffRollLayout {
    // What stands behind the credit sheet.
    enum class Scenery : std::uint8_t {
        Plain,       // the base colour; the sheet's strip is restored from it
        Backgrounds, // seven backgrounds fading in and out, composed in cdib[3]
        Series,      // numbered pictures cross-fading one after another
    };
    // How the sheet leaves: whole, or its last 80 rows held in the window
    // while the rest scrolls away.
    enum class Ending : std::uint8_t { Scroll, HeldLast };
    enum class Start : std::uint8_t { Wait, FadeAtOnce };
    enum class Close : std::uint8_t { Letterbox, FadeToBlack };

    const char* song;
    const char* sheet; // null: no sheet, the roll lasts `durationMs`
    // The sheet moves travel ÷ duration pixels per millisecond.
    std::uint32_t travel;
    std::uint32_t durationMs;
    int sheetX;
    std::uint32_t base; // colour of cdib[1] at the start
    Start start;
    Scenery scenery;
    const char* pictureFormat; // printf form with the picture number
    int firstPicture;          // number of the first picture
    int lastIndex;             // PictureIndex stops here: the last picture repeats
    std::uint32_t pictureFadeMs;
    std::uint32_t pictureHoldMs;
    Ending ending;
    Close close;
    int earlyLeaveFlag; // script flag that lets the player leave early
};

class CStaffRoll {
public:
    static constexpr int kSheetWidth = 320;

    explicit CStaffRoll(const StaffRollLayout& layout);
    ~CStaffRoll() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeToBase(platform::WindowHandle window);
    void Roll(platform::WindowHandle window);
    void EndMusic(platform::WindowHandle window);
    void Close(platform::WindowHandle window);
    void LeaveEarly(platform::WindowHandle window);
    void FirstWait(platform::WindowHandle window);
    void SecondWait(platform::WindowHandle window);

    // The sheet's travel at `elapsed` ms of the roll, in whole pixels.
    std::uint32_t SheetPosition(std::uint32_t elapsed) const;

    // 0 Open, 1 fade to the base colour, 2 Roll, 3 EndMusic, 4 Close,
    // 5 LeaveEarly, 6 and 7 the two waits before the fade.
    std::uint8_t State = 0;
    std::uint8_t Phase = 0;        // background or picture step
    std::uint8_t PictureIndex = 0; // current background or picture, from 0
    std::uint32_t RollStart = 0;
    std::uint32_t PhaseStart = 0;
    std::uint32_t Elapsed = 0;
    std::uint32_t PhaseElapsed = 0;

private:
    screenkit::StepClock Clock() { return {RollStart, Elapsed}; }
    void StepBackgrounds();
    void FadeBackground(std::uint8_t next);
    void StepPictures();
    void DrawSheet(std::uint32_t pos);
    void NextPhase(std::uint8_t phase);

    const StaffRollLayout& layout_;
};

class CStaffRoll1 : public CStaffRoll {
public:
    CStaffRoll1();
};
class CStaffRoll2 : public CStaffRoll {
public:
    CStaffRoll2();
};
class CStaffRoll3 : public CStaffRoll {
public:
    CStaffRoll3();
};
class CStaffRoll4 : public CStaffRoll {
public:
    CStaffRoll4();
};
class CStaffRoll5 : public CStaffRoll {
public:
    CStaffRoll5();
};
class CStaffRoll6 : public CStaffRoll {
public:
    CStaffRoll6();
};
class CStaffRoll7 : public CStaffRoll {
public:
    CStaffRoll7();
};

// Surfaces: cdib[0] the screen before the roll, later the outgoing picture;
// cdib[1] the base colour, the current background or picture; cdib[2] the
// credit sheet; cdib[3] the composed background (roll 27). The close frees
// cdib[2] and cdib[3]; leaving early frees cdib[1] to cdib[4].
extern std::unique_ptr<CStaffRoll1> g_staffRoll1;
extern std::unique_ptr<CStaffRoll2> g_staffRoll2;
extern std::unique_ptr<CStaffRoll3> g_staffRoll3;
extern std::unique_ptr<CStaffRoll4> g_staffRoll4;
extern std::unique_ptr<CStaffRoll5> g_staffRoll5;
extern std::unique_ptr<CStaffRoll6> g_staffRoll6;
extern std::unique_ptr<CStaffRoll7> g_staffRoll7;
