// Capturing the running story into the save record and putting a record
// back. The record's layout and its checks live in system/SaveRecord; a
// record reaches RestoreSaveImage only after ValidateRecord accepted it.
#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "data/DataPath.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "scenario/SurfaceHelpers.h"
#include "scenario/TextRules.h"
#include "sound/SoundChannel.h"
#include "system/SaveRecord.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace {

using scenario_surfaces::Folder;
using scenario_surfaces::NewSurface;
using scenario_surfaces::ScreenCopyOf;

constexpr int kWindowTop = 461;

template <std::size_t N> std::string_view Bytes(const std::array<char, N>& field) {
    return {field.data(), field.size()};
}

template <std::size_t N>
void CopyField(std::array<char, N>& to, save::RecordView r, std::size_t at) {
    std::memcpy(to.data(), r.data() + at, N);
}

// The speaker name as the record keeps it: at most 127 bytes, cut before a
// two-byte character that would not fit, so the field keeps its end.
std::string_view SpeakerForRecord(const char* name) {
    if (!name) return {};
    const std::string_view s(name, strnlen(name, save::kNameField - 1));
    std::size_t end = 0;
    while (end < s.size()) {
        const std::size_t n = IsLeadByte(s.substr(end)) ? 2 : 1;
        if (end + n > s.size()) break;
        end += n;
    }
    return s.substr(0, end);
}

void PutLogTable(save::RecordSpan r, std::size_t at, const LogTable& table) {
    for (std::size_t e = 0; e < table.size(); ++e)
        for (std::size_t b = 0; b < table[e].size(); ++b)
            r[at + e * kLogEntryBytes + b] =
                static_cast<std::uint8_t>(~static_cast<std::uint8_t>(table[e][b]));
}

void GetLogTable(LogTable& table, save::RecordView r, std::size_t at) {
    for (std::size_t e = 0; e < table.size(); ++e)
        for (std::size_t b = 0; b < table[e].size(); ++b)
            table[e][b] = static_cast<char>(~r[at + e * kLogEntryBytes + b]);
}

// Pixels of `surface` from (0, 0) into the screenshot field; a surface
// smaller than the screen leaves the rest black.
void PutScreenshot(save::RecordSpan r, const CDib* surface) {
    if (!surface || !surface->GetBits()) return;
    const int w = std::min(surface->GetWidth(), save::kShotWidth);
    const int h = std::min(surface->GetHeight(), save::kShotHeight);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = surface->GetPixelPtr(0, y);
        for (int x = 0; x < w; ++x)
            save::PutU32(r, save::kShot + (static_cast<std::size_t>(y) * save::kShotWidth + x) * 4,
                         row[x]);
    }
}

std::unique_ptr<CDib> SurfaceFromScreenshot(platform::WindowHandle window, save::RecordView r) {
    auto dib = NewSurface(window, save::kShotWidth, save::kShotHeight);
    for (int y = 0; y < save::kShotHeight; ++y) {
        std::uint32_t* row = dib->GetPixelPtr(0, y);
        for (int x = 0; x < save::kShotWidth; ++x)
            row[x] = save::GetU32(r, save::kShot +
                                         (static_cast<std::size_t>(y) * save::kShotWidth + x) * 4);
    }
    return dib;
}

void CopyWhole(CDib* dst, int x, int y, const CDib* src) {
    if (dst && src) BltCopy(dst, x, y, src, 0, 0, src->GetWidth(), src->GetHeight());
}

void AlphaWhole(CDib* dst, int x, int y, const CDib* src) {
    if (dst && src) BltAlpha(dst, x, y, src, 0, 0, src->GetWidth(), src->GetHeight());
}

std::unique_ptr<CDib> LoadPicture(platform::WindowHandle window, const std::string& path) {
    auto dib = std::make_unique<CDib>();
    dib->LoadFile(window, path.c_str());
    return dib;
}

template <class Channel> void DeleteChannel(std::unique_ptr<Channel>& channel) {
    if (!channel) return;
    channel->StopFade();
    channel->Stop();
    channel.reset();
}

template <std::size_t N> void SetName(std::array<char, N>& field, std::string_view name) {
    field.fill(0);
    std::copy_n(name.begin(), std::min(name.size(), N - 1), field.begin());
}

} // namespace

// ---------------------------------------------------------------- capture

void CScenario::CaptureSaveImage() const {
    using namespace save;
    Record& record = SaveImage();
    const RecordSpan r(record);
    record.fill(0);

    PutScreenshot(r, messageStyle == 1 ? g_fullPage.get() : cdib[0].get());

    PutU32(r, kResumeOffset, messageStart);
    const CGameApp* app = g_gameApp.get();
    if (app) {
        PutU8(r, kReturnMode, app->returnMode);
        for (int i = 0; i < kSurfaceNames; ++i)
            PutBytes(r, SurfaceName(i), kNameField,
                     Bytes(app->surfaceNames[static_cast<std::size_t>(i)]));
        for (int i = 0; i < kSpriteSlots; ++i) {
            const auto s = static_cast<std::size_t>(i);
            PutBytes(r, CharName(i), kNameField, Bytes(app->charNames[s]));
            PutU8(r, kCharFaces + s, app->charParams[s]);
            PutU16(r, kCharX + 2 * s, static_cast<std::uint16_t>(app->charCentreX[s]));
            PutU16(r, kCharShown + 2 * s, static_cast<std::uint16_t>(app->charShown[s]));
        }
        PutBytes(r, kBgmName, kNameField, Bytes(app->bgmName));
        PutBytes(r, kScriptName, kNameField, Bytes(app->scriptName));
        PutBytes(r, kSeName, kNameField, Bytes(app->seName));
    }
    for (int i = 0; i < kVars; ++i)
        PutU32(r, Var(i), static_cast<std::uint32_t>(vars[static_cast<std::size_t>(i)]));
    PutBytes(r, kComment, kTextBytes, Bytes(plainMessage));
    PutBytes(r, kMessageText, kTextBytes, Bytes(messageText));

    PutU8(r, kMessageStyle, messageStyle);
    PutU16(r, kPenX, static_cast<std::uint16_t>(penX));
    PutU16(r, kPenY, static_cast<std::uint16_t>(penY));
    PutU32(r, kParticleRect, static_cast<std::uint32_t>(particleRect.left));
    PutU32(r, kParticleRect + 4, static_cast<std::uint32_t>(particleRect.top));
    PutU32(r, kParticleRect + 8, static_cast<std::uint32_t>(particleRect.right));
    PutU32(r, kParticleRect + 12, static_cast<std::uint32_t>(particleRect.bottom));
    PutBytes(r, kSpeakerName, kNameField - 1, SpeakerForRecord(speakerName.get()));

    PutU8(r, kPageLines, pageLines);
    PutU8(r, kOp58Value, op58Value);
    PutU8(r, kParticlesOn, particlesOn);
    PutU8(r, kLetterbox, letterbox);
    if (app) {
        PutLogTable(r, kLogText, app->logText);
        PutLogTable(r, kLogNames, app->logNames);
        PutLogTable(r, kLogVoices, app->logVoices);
        PutU32(r, kHistoryCount, static_cast<std::uint32_t>(app->logCount));
    } else {
        std::fill(record.begin() + kLogText, record.begin() + kLogVoices + kLogTableBytes, 0xFF);
    }
    PutU32(r, kFillColor, fillColor);
    PutU32(r, kBlendColor, blendColor);
    PutU32(r, kBlackOverlay, blackOverlay);
    PutU8(r, kSaveGroup, static_cast<std::uint8_t>(saveGroup));
    PutU8(r, kDayNumber, static_cast<std::uint8_t>(dayNumber));
    PutU8(r, kSpareFlag, spareFlag);
    PutU8(r, kColorEffect, colorEffect);
    PutU32(r, kShownChars, static_cast<std::uint32_t>(static_cast<std::int32_t>(charIndex) - 2));
    PutU8(r, kLineColumn, lineColumn);
    for (std::size_t i = 0; i < saveTime.size(); ++i)
        PutU16(r, kSaveDate + 2 * i, saveTime[i]);
}

// ---------------------------------------------------------------- restore

void CScenario::RestoreSaveImage(platform::WindowHandle window) {
    using namespace save;
    const RecordView r(SaveImage());
    CGameApp* app = g_gameApp.get();
    const std::uint8_t returnMode = GetU8(r, kReturnMode);

    // 1. Names and values.
    if (app) {
        for (int i = 0; i < kSurfaceNames; ++i)
            CopyField(app->surfaceNames[static_cast<std::size_t>(i)], r, SurfaceName(i));
        for (int i = 0; i < kSpriteSlots; ++i) {
            const auto s = static_cast<std::size_t>(i);
            CopyField(app->charNames[s], r, CharName(i));
            app->charParams[s] = GetU8(r, kCharFaces + s);
            app->charCentreX[s] = GetI16(r, kCharX + 2 * s);
            app->charShown[s] = GetI16(r, kCharShown + 2 * s);
        }
        CopyField(app->bgmName, r, kBgmName);
        CopyField(app->scriptName, r, kScriptName);
        CopyField(app->seName, r, kSeName);
    }
    for (int i = 0; i < kVars; ++i)
        vars[static_cast<std::size_t>(i)] = GetI32(r, Var(i));
    op58Value = GetU8(r, kOp58Value);
    particlesOn = GetU8(r, kParticlesOn);
    saveGroup = static_cast<std::int8_t>(GetU8(r, kSaveGroup));
    dayNumber = static_cast<std::int8_t>(GetU8(r, kDayNumber));
    letterbox = GetU8(r, kLetterbox);
    messageStyle = GetU8(r, kMessageStyle);
    pageLines = GetU8(r, kPageLines);
    penX = GetI16(r, kPenX);
    penY = GetI16(r, kPenY);
    const platform::Rect savedParticles{GetI32(r, kParticleRect), GetI32(r, kParticleRect + 4),
                                        GetI32(r, kParticleRect + 8),
                                        GetI32(r, kParticleRect + 12)};

    // 2. Script. Loading a script resets the particle area and the resume
    // point; both are the record's again, or a second save made before the
    // next message would resume at the start of the script.
    LoadScript(GetString(r, kScriptName, kNameField));
    particleRect = savedParticles;
    messageStart = GetU32(r, kResumeOffset);
    pc = messageStart;

    // 3. Message strings.
    CopyField(messageText, r, kMessageText);
    CopyField(plainMessage, r, kComment);

    // 4. Work surfaces 1..9.
    const std::uint32_t fill = GetU32(r, kFillColor);
    for (int i = 1; i < kSurfaceNames; ++i) {
        const std::string_view name = GetString(r, SurfaceName(i), kNameField);
        if (name.empty()) continue;
        auto& surface = cdib[static_cast<std::size_t>(i)];
        if (name == "\x01") {
            surface = scenario_surfaces::ScreenFilled(window, fill);
            g_backupSurface = ScreenCopyOf(window, surface.get());
            g_fullPage = ScreenCopyOf(window, surface.get());
            continue;
        }
        const std::string file = PathFileName(std::string(name));
        if (app) SetName(app->surfaceNames[static_cast<std::size_t>(i)], file);
        surface = LoadPicture(window, Folder(kDataBmp) + file);
        if (letterbox && g_obiImage) {
            CopyWhole(surface.get(), 0, 0, g_obiImage.get());
            const int h = g_obiImage->GetHeight();
            surface->FillRect(0, 600 - h, 800, h, 0);
        }
        // The background opcode draws the strips with its band; a picture
        // loaded plainly after a day was set never showed them.
        if (letterbox && dayNumber >= 1 && dayNumber <= 29) {
            const int row = dayNumber - 1;
            if (g_dayImage) BltAlpha(surface.get(), 6, 16, g_dayImage.get(), 0, 28 * row, 165, 28);
            if (g_day2Image)
                BltAlpha(surface.get(), 20, 45, g_day2Image.get(), 0, 10 * row, 70, 10);
        }
        g_backupSurface = ScreenCopyOf(window, cdib[1].get());
        g_fullPage = ScreenCopyOf(window, surface.get());
    }

    // 5. Character sprites. One reload brings back every named slot: one
    // for each name would load every picture as often, tell each missing
    // one as often and draw each shown sprite over itself again.
    bool anySprite = false;
    for (int i = 0; i < kSpriteSlots; ++i)
        anySprite |= !GetString(r, CharName(i), kNameField).empty();
    if (anySprite) ReloadScrCharSet(cdib[1].get(), messageStyle == 1 ? g_fullPage.get() : nullptr);

    // 6. Music.
    const std::string_view bgm = GetString(r, kBgmName, kNameField);
    DeleteChannel(g_bgmChannel);
    if (!bgm.empty()) {
        const std::string file = PathFileName(std::string(bgm));
        if (app) SetName(app->bgmName, file);
        if (g_config[config::kMusicOff] == 0) {
            g_bgmChannel = std::make_unique<CBgmChannel>();
            g_bgmChannel->Load(PathFileTitle(std::string(bgm)) + ".ogg");
            g_bgmChannel->IsReady();
            g_bgmChannel->SetVolume(g_config[config::kBgmVolume]);
            g_bgmChannel->Play(Repeat::Endless);
        }
        if (app) CopyField(app->bgmName, r, kBgmName);
        bgmName = std::make_unique<char[]>(kNameField + 1);
        std::memcpy(bgmName.get(), r.data() + kBgmName, kNameField);
    } else {
        bgmName.reset();
    }

    // 7. The looping sound effect (script sound slot 1).
    const std::string_view se = GetString(r, kSeName, kNameField);
    if (!se.empty()) {
        const std::string file = PathFileName(std::string(se));
        if (app) SetName(app->seName, file);
        DeleteChannel(g_seChannels[2]);
        if (g_config[config::kSeOff] == 0) {
            g_seChannels[2] = std::make_unique<CSeChannel>();
            g_seChannels[2]->Load(file);
            g_seChannels[2]->IsReady();
            g_seChannels[2]->SetVolume(g_config[config::kSeVolume]);
            g_seChannels[2]->Play(Repeat::Endless);
        }
        if (app) CopyField(app->seName, r, kSeName);
    } else {
        DeleteChannel(g_seChannels[1]);
    }

    // 8. Overlay and blend.
    CDib* scene = cdib[1].get();
    if (scene && GetU32(r, kBlackOverlay) != 0)
        for (std::uint32_t i = 0; i < 256; ++i)
            scene->FillRect(0, static_cast<int>(2 * i), 800, 2, i << 24);
    if (scene && GetU32(r, kBlendColor) != 0)
        scene->FillRect(0, 0, 800, 600, GetU32(r, kBlendColor));

    // 9. Colour effect, through work surface 63. A new surface is black, so
    // the blank effect shows black.
    const std::uint8_t effect = GetU8(r, kColorEffect);
    if (effect == 1 || effect == 2) {
        cdib[63] = NewSurface(window, 800, 600);
        if (effect == 1 && scene) BltCopyBytes(cdib[63].get(), 0, 0, scene, 0, 0, 800, 600);
        if (effect == 2) BltNothing(cdib[63].get(), 0, 0, scene, 0, 0, 800, 600);
        if (scene) BltCopy(scene, 0, 0, cdib[63].get(), 0, 0, 800, 600);
        cdib[63].reset();
    }

    // 10, 11. The picture on screen.
    if (returnMode == 3) cdib[1] = SurfaceFromScreenshot(window, r);
    cdib[0] = ScreenCopyOf(window, cdib[1].get());
    if (messageStyle == 1) cdib[1] = ScreenCopyOf(window, g_fullPage.get());

    // 12. History.
    if (app) {
        app->logCount = static_cast<std::int32_t>(GetU32(r, kHistoryCount));
        GetLogTable(app->logText, r, kLogText);
        GetLogTable(app->logNames, r, kLogNames);
        GetLogTable(app->logVoices, r, kLogVoices);
    }

    // 13. Window pictures and font.
    const std::string system = Folder(kDataSystem);
    g_msgWindowBase = LoadPicture(window, system + (messageStyle == 1   ? "window3.bmp"
                                                    : messageStyle == 2 ? "window2.bmp"
                                                                        : "window.bmp"));
    // The caption style draws at 23 like the window-style opcode sets it; at
    // 26 a loaded caption would come back wider than it was saved.
    if (g_glyphFont) {
        if (messageStyle == 1)
            g_glyphFont->SetFont(23, 1);
        else
            g_glyphFont->SetFont(messageStyle == 2 ? 23 : 26, 0);
    }
    g_msgWindowButtons =
        LoadPicture(window, system + (messageStyle == 1 ? "window_p3.bmp" : "window_p.bmp"));
    g_clickWaitIcon =
        LoadPicture(window, system + (messageStyle == 1 && returnMode == 55 ? "click_wait02.bmp"
                                                                            : "click_wait01.bmp"));
    // The full page draws its text surface too (its fade-in and the page-end
    // overlay): made for both styles, as the window-style opcode makes it.
    if (messageStyle == 0 || messageStyle == 1) MakeWindowTextSurface();

    // 14. Where the page stopped.
    const std::int32_t shown = GetI32(r, kShownChars);
    if (returnMode == 55) {
        charIndex = static_cast<std::uint8_t>((shown & 0xFF) + 2);
        lineColumn = GetU8(r, kLineColumn);
    }

    // 15. Redraw.
    const std::string_view speaker = GetString(r, kSpeakerName, kNameField);
    const std::string_view text = GetString(r, kMessageText, kTextBytes);
    // The bottom window as it was: the display's own drawing of the text.
    auto drawWindow = [&](int nameX, int nameY) {
        DrawSpeakerName(speaker, nameX, nameY);
        RedrawWindowText(text);
        AlphaWhole(cdib[1].get(), 0, kWindowTop, g_msgWindowText.get());
    };
    int lastEntryX = 712;
    auto drawPage = [&](std::size_t lastEntryBytes) {
        cdib[0] = ScreenCopyOf(window, cdib[1].get());
        g_screenSnapshot = ScreenCopyOf(window, cdib[1].get());
        AlphaWhole(cdib[0].get(), 0, 0, g_msgWindowBase.get());
        DrawFullPageText(cdib[0].get(), lastEntryBytes, &lastEntryX);
    };
    if (returnMode == 55) {
        waitIconFrame = 0;
        const std::int32_t count = app ? app->logCount : 0;
        if (pageLines > 0 && count > 0) {
            const auto& entry = app->logText[static_cast<std::size_t>(count - 1)];
            messageBuffer = std::make_unique<char[]>(kLogEntryBytes + 1);
            std::memcpy(messageBuffer.get(), entry.data(), entry.size());
        }
        drawPage(shown > 0 ? static_cast<std::size_t>(shown) : 0);
        if (pageLines > 0) {
            // The page-end overlay covers the columns left of where the
            // message began, as the display noted when it started it.
            columnStartX = static_cast<std::uint16_t>(std::max(lastEntryX, 0));
            penX = GetI16(r, kPenX);
            penY = GetI16(r, kPenY);
            cdib[1] = ScreenCopyOf(window, cdib[0].get());
            windowShown = 1;
            subState = 3;
        }
    } else if (returnMode == 3 && messageStyle == 0) {
        drawWindow(SpeakerNameX(speaker), 8);
        windowShown = 1;
        subState = 3;
    } else if (returnMode == 3 && messageStyle == 1) {
        drawPage(std::string_view::npos);
        cdib[1] = ScreenCopyOf(window, cdib[0].get());
        windowShown = 1;
        subState = 3;
    } else if (returnMode == 3 && messageStyle == 2) {
        // The caption band is drawn into the back buffer, not kept on any
        // surface: the display shows the saved message again from its start
        // (the caption style keeps no history, so nothing is logged twice).
        messageBuffer = std::make_unique<char[]>(kTextBytes + 1);
        std::memcpy(messageBuffer.get(), messageText.data(), kTextBytes);
        subState = 0;
    } else if (returnMode != 3) {
        // The message is shown again from its start when the story goes on:
        // the drawing leaves the saved pen and counts as they were.
        const auto kept = std::tuple(penX, penY, pageLines, charIndex, lineColumn);
        MakeWindowTextSurface();
        drawWindow(70, 12);
        std::tie(penX, penY, pageLines, charIndex, lineColumn) = kept;
        subState = 0;
    }

    // 16.
    if (app) app->screenRect = {0, 0, 800, 600};
}

void CScenario::RedrawWindowText(std::string_view text) {
    const std::uint8_t mode = g_gameApp ? g_gameApp->mode : 0;
    penX = 84;
    penY = 498;
    pageLines = 0;
    charIndex = 0;
    lineColumn = 0;
    rubyOpen = 0;
    // Every step moves forward through at most 255 bytes.
    for (int guard = 0; guard < 1024; ++guard) {
        const DrawStop stop = DrawMessageStep(text, Reveal::Whole);
        // A voice tag asks for a wait: the redraw goes on, the caller sets the mode.
        if (g_gameApp) g_gameApp->mode = mode;
        if (stop == DrawStop::End || charIndex >= text.size()) break;
    }
}
