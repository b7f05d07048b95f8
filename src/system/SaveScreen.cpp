#include "system/SaveScreen.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Shell.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"

#include <cstring>

using namespace screenkit;

std::string g_saveComment;
std::string g_saveCommentBackup;
std::unique_ptr<slots::PageCache> g_savePageCache;
std::unique_ptr<CSaveScreen> g_saveScreen;

namespace {

constexpr int kBoxThumbSlot = 50;
constexpr std::size_t kCommentBytes = 45;
constexpr char kCommentCaption[] = "\xc7\xeb\xca\xe4\xc8\xeb\xd7\xa2\xca\xcd"; // 请输入注释
constexpr char kSaveFailed[] = "\xb4\xe6\xb5\xb5\xca\xa7\xb0\xdc\xa3\xac\xd4\xad\xc0\xb4\xb5\xc4"
                               "\xb4\xe6\xb5\xb5\xc3\xbb\xd3\xd0\xb8\xc4\xb1\xe4\xa1\xa3";
// 存档失败，原来的存档没有改变。

constexpr StateTable<CSaveScreen, 13> kStates{
    &CSaveScreen::Open,       &CSaveScreen::FadeIn,     nullptr,
    &CSaveScreen::PageInput,  &CSaveScreen::FadeOut,    &CSaveScreen::Leave,
    &CSaveScreen::DimPage,    &CSaveScreen::BoxSlideIn, &CSaveScreen::BoxInput,
    &CSaveScreen::BackToPage, &CSaveScreen::BoxClose,   &CSaveScreen::PageChange,
    &CSaveScreen::GlideToYes,
};

void SetComment(save::Record& record, std::string_view comment) {
    std::fill_n(record.begin() + save::kComment, save::kTextBytes, 0);
    // The field keeps its terminating zero.
    save::PutBytes(record, save::kComment, save::kTextBytes - 1, comment);
}

} // namespace

CSaveScreen::CSaveScreen() : CSlotScreen(Kind::Save, g_savePageCache, config::kSavePage) {}

void CSaveScreen::Run(platform::WindowHandle window) {
    RunState(*this, state, kStates, window);
}

void CSaveScreen::Opened() {
    BuildLiveThumbnail(kBoxThumbSlot);
}

bool CSaveScreen::SlotChosen(int i) {
    ReadSlotFile(i);
    if (g_scenario) {
        const platform::LocalTime now = platform::GetLocalTime();
        g_scenario->saveTime = {now.year, now.month, now.day, now.hour, now.minute};
        const TextField& plain = g_scenario->plainMessage;
        g_saveComment.assign(plain.data(), ::strnlen(plain.data(), plain.size()));
    }
    commentEdited_ = false;
    return true;
}

save::SaveDate CSaveScreen::BoxDate() {
    if (!g_scenario) return {};
    const auto& t = g_scenario->saveTime;
    return {t[0], t[1], t[2], t[3], t[4]};
}

void CSaveScreen::CommentClicked() {
    save::Record& entry = Cache()[chosen];
    g_saveCommentBackup = save::GetComment(entry);
    g_saveComment.clear();
    SetComment(entry, {});
    commentEdited_ = true;
    const std::optional<std::string> typed =
        platform::AskText(kCommentCaption, "", g_saveComment, kCommentBytes);
    // The click that opened the entry chooses nothing more.
    ClearClick();
    if (!typed) return;
    g_saveComment = *typed;
    if (!g_saveComment.empty() && g_saveComment.front() == ' ') return;
    SetComment(entry, g_saveComment);
    for (CDib* target : {g_backBuffer.get(), Slot(27)}) {
        BltCopy(target, 225, 324, Slot(34), 225, 324, 352, 21);
        slots::DrawComment(target, 226, 328, g_saveComment, 46, slots::SkipPairs::MarkAndIcon);
    }
}

std::uint8_t CSaveScreen::Closed(platform::WindowHandle, bool yes) {
    save::Record& entry = Cache()[chosen];
    const auto keepShownComment = [&] {
        if (commentEdited_) SetComment(entry, g_saveCommentBackup);
        g_saveCommentBackup.clear();
    };
    if (!yes || !g_scenario) {
        keepShownComment();
        return 9;
    }
    g_scenario->CaptureSaveImage();
    save::Record& record = SaveImage();
    // A typed comment replaces the message text; an empty one, or one that
    // starts with a space, is no comment.
    if (!save::IsNoComment(g_saveComment)) SetComment(record, g_saveComment);
    if (save::WriteSlot(SlotName(chosen), record) == WriteResult::Ok) {
        entry = record;
        looks[chosen] = slots::SlotLook::Saved;
        g_saveCommentBackup.clear();
        RedrawChosenSlot();
    } else {
        keepShownComment();
        platform::Tell(kSaveFailed, g_windowTitle, platform::BoxIcon::Error);
        ClearClick();
    }
    g_saveComment.clear();
    return 9;
}
