#include "takoyaki/RusResult.h"

#include "app/GameApp.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "screenkit/ScreenKit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

using namespace screenkit;

std::unique_ptr<CRusResult> g_rusResult;

namespace {

constexpr std::uint8_t kPlayerSide = 6;
constexpr std::uint32_t kLetterboxMs = 800;
constexpr std::uint32_t kEntranceMs = 1000;
constexpr std::uint32_t kOverlayMs = 500;
constexpr std::uint32_t kCaptionMs = 2000;

struct ResultScripts {
    const char* lost;
    const char* won;
};
constexpr std::array<ResultScripts, 6> kScripts{{
    {"rus_pom_2.s", "rus_pom_3.s"},
    {"rus_kel_2.s", "rus_kel_3.s"},
    {"rus_ux_2.s", "rus_ux_3.s"},
    {"rus_mur_2.s", "rus_mur_3.s"},
    {"rus_dor_2.s", "rus_dor_3.s"},
    {"rus_hol_2.s", "rus_hol_3.s"},
}};

constexpr StateTable<CRusResult, 7> kStates{
    &CRusResult::Open,     &CRusResult::Letterbox, &CRusResult::Entrances, &CRusResult::Overlay,
    &CRusResult::Captions, &CRusResult::Wait,      &CRusResult::Leave,
};

// The winner and the loser as the contest left them: an opponent 0..5 or
// the player's side 6. A value past that (a contest that never ran) reads
// as the last opponent, so every picture and script exists.
std::uint8_t Side(int which) {
    const std::uint8_t v = g_gameApp ? g_gameApp->contestResults[which] : 0;
    return std::min<std::uint8_t>(v, kPlayerSide);
}
std::uint8_t Winner() {
    return Side(0);
}
std::uint8_t Loser() {
    return Side(1);
}

// L = log10(1 + 9 cos θ), θ = elapsed × 90 / T whole degrees: 1 down to 0.
double Ease(std::uint32_t elapsed, std::uint32_t duration) {
    const std::uint64_t theta = std::min<std::uint64_t>(std::uint64_t{elapsed} * 90 / duration, 90);
    return std::log10(1.0 + 9.0 * std::cos(static_cast<double>(theta) * std::numbers::pi / 180.0));
}

int Travelled(int distance, double l) {
    return static_cast<int>(distance - distance * l);
}

void DrawFrom(CDib* target, int slot, int x, int y) {
    CDib* p = Slot(slot);
    KeyedCopy(target, x, y, p, 0, 0, p->GetWidth(), p->GetHeight());
}

} // namespace

CRusResult::CRusResult() {
    if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CRusResult::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

bool CRusResult::Running(std::uint32_t duration) {
    return Clock().Tick() < duration && !Hurried(Hurry::BySkipOrClick);
}

void CRusResult::NextStep() {
    ClearClick();
    Clock().Restart();
    ++State;
}

void CRusResult::DrawWinner(CDib* target) {
    DrawFrom(target, 2, 0, 0);
}

void CRusResult::Open(platform::WindowHandle) {
    CopyOfBackBuffer(0);
    BlankSurface(10, kBlack);
    g_backBuffer->FillRect(0, 0, kScreenWidth, kScreenHeight, kBlack);
    char winner[40];
    char loser[40];
    std::snprintf(winner, sizeof winner, "bmp\\rus_win_c%02d.bmp", Winner());
    std::snprintf(loser, sizeof loser, "bmp\\rus_los_c%02d.bmp", Loser());
    LoadSurface(1, "bmp\\h001a.bmp");
    LoadSurface(2, winner);
    LoadSurface(3, loser);
    LoadSurface(4, "bmp\\rus_win_p.bmp");
    LoadSurface(5, "bmp\\rus_han.bmp");
    LoadSurface(6, "bmp\\rus_han01.bmp");
    Clock().Restart();
    State = 1;
}

void CRusResult::Letterbox(platform::WindowHandle) {
    CDib* back = g_backBuffer.get();
    if (Running(kLetterboxMs)) {
        const int c = Travelled(265, Ease(Elapsed, kLetterboxMs));
        ShowWhole(Slot(1));
        BltCopy(back, 0, 0, Slot(10), 0, 0, kScreenWidth, 300 - c);
        BltCopy(back, 0, 300 + c, Slot(10), 0, 300 + c, kScreenWidth, 300 - c);
        DrawFrom(back, 5, 0, 0);
        return;
    }
    BltCopy(Slot(1), 0, 0, Slot(10), 0, 0, kScreenWidth, 35);
    BltCopy(Slot(1), 0, 565, Slot(10), 0, 565, kScreenWidth, 35);
    ShowWhole(Slot(1));
    DrawFrom(back, 5, 0, 0);
    NextStep();
}

void CRusResult::Entrances(platform::WindowHandle) {
    CDib* back = g_backBuffer.get();
    if (Running(kEntranceMs)) {
        const double l = Ease(Elapsed, kEntranceMs);
        ShowWhole(Slot(1));
        // The loser slides in from the right, the winner from the left,
        // while the frame opens to its two bands.
        DrawFrom(back, 3, 800 - Travelled(420, l), 140);
        KeyedCopy(back, 0, 0, Slot(5), 0, 0, kScreenWidth, 300 - Travelled(243, l));
        const int t = Travelled(133, l);
        KeyedCopy(back, 0, 300 + t, Slot(5), 0, 300 + t, kScreenWidth, 300 - t);
        DrawFrom(back, 2, Travelled(540, l) - 540, 0);
        return;
    }
    DrawFrom(Slot(1), 3, 380, 140);
    KeyedCopy(Slot(1), 0, 0, Slot(5), 0, 0, kScreenWidth, 57);
    KeyedCopy(Slot(1), 0, 433, Slot(5), 0, 433, kScreenWidth, 167);
    ShowWhole(Slot(1));
    DrawWinner(back);
    NextStep();
}

void CRusResult::Overlay(platform::WindowHandle) {
    CDib* back = g_backBuffer.get();
    if (Running(kOverlayMs)) {
        ShowWhole(Slot(1));
        BltAlphaBlend(back, 0, 0, Slot(6), 0, 0, kScreenWidth, kScreenHeight,
                      static_cast<int>(FadeLevel(Elapsed, kOverlayMs)));
        DrawWinner(back);
        return;
    }
    BltAlphaBlend(Slot(1), 0, 0, Slot(6), 0, 0, kScreenWidth, kScreenHeight, 254);
    ShowWhole(Slot(1));
    DrawWinner(back);
    NextStep();
}

void CRusResult::Captions(platform::WindowHandle) {
    const bool running = Running(kCaptionMs);
    const std::uint32_t e = running ? Elapsed : kCaptionMs;
    const int a = running ? static_cast<int>(StepLevel(e, 254, 300)) : 254;
    const int s = static_cast<int>(StepLevel(e, 32, 1000));
    const int m = static_cast<int>(StepLevel(e, 200, 1000));
    const int banner = running ? static_cast<int>(StepLevel(e, 254, kCaptionMs)) : 254;
    const std::uint8_t w = Winner();
    // Finished, the captions are composed into the background.
    CDib* target = running ? g_backBuffer.get() : Slot(1);
    if (running) ShowWhole(Slot(1));
    BltAlphaBlend(target, 612 + s, 36, Slot(4), 214, 80, 152, 18, a);
    BltAlphaBlend(target, 364 + s / 2, 110, Slot(4), 0, 80, 214, 88, a);
    DrawWinner(target);
    BltAlphaBlend(target, 800 - m, 132, Slot(4), (w % 4) * 194, 168 + 51 * (w / 4), 194, 51, a);
    if (w == kPlayerSide) BltAlphaBlend(target, 0, 350, Slot(4), 0, 0, 800, 80, banner);
    if (running) return;
    ShowWhole(Slot(1));
    NextStep();
}

void CRusResult::Wait(platform::WindowHandle) {
    if (!TakeClick()) return;
    CopyOfBackBuffer(0);
    State = 6;
}

void CRusResult::Leave(platform::WindowHandle) {
    FreeSurfaces(1, 35);
    State = 0;
    const std::uint8_t winner = Winner();
    const std::uint8_t loser = Loser();
    if (winner != kPlayerSide) {
        LeaveForStory(kScripts[std::min<std::uint8_t>(winner, 5)].lost, 2);
        return;
    }
    const std::uint8_t beaten = std::min<std::uint8_t>(loser, 5);
    if (g_gameApp) g_gameApp->opponentIndex = static_cast<std::uint8_t>(beaten + 1);
    LeaveForStory(kScripts[beaten].won, 2);
}
