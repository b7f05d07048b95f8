#include "frontend/SceneReplay.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "frontend/ExtrasRoom.h"
#include "frontend/ResetStory.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "screenkit/ScreenKit.h"

using namespace screenkit;
namespace extras = frontend::extras;
using platform::Rect;

std::unique_ptr<CSceneReplay> g_sceneReplay;

const std::array<const char*, CSceneReplay::kCells + 1> g_replayScenes{
    "",         "a1-2-3.s", "a2-3-4.s", "b1-2.s",   "b1-3.s",   "b2-2.s",   "b2-3.s",
    "b4-2-1.s", "b4-2-2.s", "b4-3.s",   "b4-4.s",   "b5-2.s",   "b5-3-1.s", "b5-3-2.s",
    "b5-4.s",   "b7-2-1.s", "b7-2-2.s", "b7-3-1.s", "b7-3-2.s", "b7-4-1.s", "b7-4-2.s",
    "b7-5.s",   "c08.s",    "c13.s",    "c16.s",    "c19.s",
};

namespace {

constexpr int kThumbW = 112;
constexpr int kThumbH = 84;
constexpr int kFrameW = 118;
constexpr int kFrameH = 90;
constexpr int kListTop = 103;
constexpr std::uint32_t kFadeInMs = 1000;
constexpr std::uint32_t kToBlackMs = 500;
constexpr std::uint8_t kReplayContext = 1;

constexpr std::array<Picture, 5> kPictures{{
    {1, "system\\scene_base.bmp"},
    {2, extras::kButtonSheet},
    {4, "system\\sam_scene01.bmp"},
    {5, "system\\page0-9.bmp"},
    {6, "system\\sce_waku.bmp"},
}};

constexpr StateTable<CSceneReplay, 6> kStates{
    &CSceneReplay::Open,       &CSceneReplay::FadeIn, &CSceneReplay::Input,
    &CSceneReplay::StartScene, &CSceneReplay::Leave,  &CSceneReplay::BackFlash,
};

} // namespace

CSceneReplay::CSceneReplay() {
    for (int i = 0; i < kCells; ++i) {
        const int x = (i % 5) * 123 + 97;
        const int y = (i / 5) * 94 + 123;
        CellRects[i] = Rect{x, y, x + kThumbW, y + kThumbH};
    }
    TabRects = extras::kTabRects;
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

bool CSceneReplay::Seen(int cell) {
    return g_config[config::kSceneSeen + static_cast<std::size_t>(cell)] != 0;
}

void CSceneReplay::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CSceneReplay::DrawThumbnails(CDib* target) {
    for (int i = 0; i < kCells; ++i)
        if (Seen(i))
            BltCopy(target, CellRects[i].left, CellRects[i].top, Slot(4), (i % 5) * kThumbW,
                    (i / 5) * kThumbH, kThumbW, kThumbH);
}

void CSceneReplay::Open(platform::WindowHandle) {
    CopyOfBackBuffer(0);
    LoadPictures(kPictures);
    CopyOfSurface(3, Slot(1));
    DrawThumbnails(Slot(1));
    extras::DrawTabs(Slot(1), Slot(2), extras::Room::Replay);
    // A replayed scene starts as a story does: no skip or auto mode left on
    // from the last play, the first message style, the first font.
    ResetPresentation();
    extras::StartRoomMusic();
    Clock().Restart();
    State = 1;
}

void CSceneReplay::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kFadeInMs, Hurry::BySkip)) return;
    ClearClick();
    State = 2;
}

void CSceneReplay::Input(platform::WindowHandle window) {
    PrevHoverCell = HoverCell;
    HoverCell = HitItem(CellRects);
    if (HoverCell != 0 && !Seen(HoverCell - 1)) HoverCell = 0;
    PrevHoverTab = HoverTab;
    HoverTab = extras::HitTab(extras::Room::Replay);

    if (HoverCell != PrevHoverCell) {
        // Restored from the composed page, not the bare background, so the
        // lower rows of the tab bar stay where the list area begins.
        BltCopy(g_backBuffer.get(), 0, kListTop, Slot(1), 0, kListTop, kScreenWidth,
                kScreenHeight - kListTop);
        if (HoverCell != 0) {
            const Rect& r = CellRects[HoverCell - 1];
            BltAlpha(g_backBuffer.get(), r.left - 3, r.top - 3, Slot(6), 0, 0, kFrameW, kFrameH);
        }
        DrawThumbnails(g_backBuffer.get());
    }
    if (HoverTab != PrevHoverTab)
        extras::RedrawTabs(Slot(3), Slot(2), extras::Room::Replay, HoverTab);

    if (HoverCell != 0 && TakeClick()) {
        BlankSurface(0, kBlack);
        CopyOfBackBuffer(1);
        Clock().Restart();
        State = 3;
    } else if (HoverTab != 0 && TakeClick()) {
        if (extras::ClickTab(HoverTab, Clock()) == extras::TabClick::Left) {
            FreeSurfaces(1, 6);
            State = 0;
            return;
        }
        State = 5;
    } else if (TakeCancel()) {
        State = 4;
        Leave(window);
    }
}

void CSceneReplay::StartScene(platform::WindowHandle) {
    if (Fading(Clock(), Slot(0), Slot(1), kToBlackMs, Hurry::BySkip)) return;
    FreeSurfaces(1, 6);
    State = 0;
    // The scene runs in the replay's play context: its end, or the end of
    // its script, sets this room's mode again, and it cannot change modes.
    LeaveForStory(g_replayScenes[HoverCell], kReplayContext);
}

void CSceneReplay::BackFlash(platform::WindowHandle window) {
    if (extras::BackFlashing(Clock(), Slot(3), Slot(2))) return;
    State = 4;
    Leave(window);
}

void CSceneReplay::Leave(platform::WindowHandle) {
    State = 0;
    extras::LeaveExtras(1, 6);
}
