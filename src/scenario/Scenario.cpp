#include "scenario/Scenario.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Present.h"
#include "data/Log.h"
#include "data/PackFile.h"
#include "data/PathTable.h"
#include "gfx/Dib.h"
#include "gfx/TrigTables.h"
#include "mahjong/MahjongGame.h"
#include "scenario/MessageHistory.h"
#include "scenario/ScriptFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

std::unique_ptr<CScenario> g_scenario;

std::unique_ptr<CDib> g_msgWindowBase;
std::unique_ptr<CDib> g_msgWindowText;
std::unique_ptr<CDib> g_msgWindowButtons;
std::unique_ptr<CDib> g_waitIcon;
std::unique_ptr<CDib> g_clickWaitIcon;
std::unique_ptr<CDib> g_choicePlate;
std::unique_ptr<CDib> g_choiceBase;
std::unique_ptr<CDib> g_blackImage;
std::unique_ptr<CDib> g_titleIcon;
std::unique_ptr<CDib> g_gaijiSheet;
std::unique_ptr<CDib> g_obiImage;
std::unique_ptr<CDib> g_dayImage;
std::unique_ptr<CDib> g_day2Image;
std::array<std::unique_ptr<CDib>, kLayerSlots> g_layerImages;
std::unique_ptr<CDib> g_layerScratch;
std::array<std::unique_ptr<CDib>, kCharSlots> g_charFrames;
std::array<std::unique_ptr<CDib>, kCharSlots> g_faceFrames;
std::unique_ptr<CDib> g_bandImage;
std::unique_ptr<CDib> g_screenSnapshot;

namespace {

constexpr platform::Rect kFullScreen{0, 0, 800, 600};

// rand x clock, as the original machine multiplied them: unsigned 32 bits.
std::uint32_t RandTimesClock() {
    return static_cast<std::uint32_t>(platform::Rand()) * platform::TimeGetTime();
}

// The markup-free copy of a message: two-byte characters only, read up to the
// text's first zero byte (past its string operand if need be, but never past
// `end`), and with `rubyRule` the ruby text between a second '<' and its '>'
// left out. The copy keeps its terminating zero inside the field.
void CopyPlainText(const std::uint8_t* p, const std::uint8_t* end, TextField& out, bool rubyRule) {
    out.fill(0);
    std::size_t o = 0;
    bool rubyOpen = false;
    while (p < end && *p != 0) {
        const std::uint8_t c = *p;
        if (c > 0x80) {
            if (p + 1 >= end || p[1] == 0) break;
            if (o + 2 > out.size() - 1) break;
            out[o++] = static_cast<char>(c);
            out[o++] = static_cast<char>(p[1]);
            p += 2;
            continue;
        }
        ++p;
        if (!rubyRule || c != '<') continue;
        if (!rubyOpen) {
            rubyOpen = true;
            continue;
        }
        while (p < end && *p != 0 && *p != '>')
            ++p;
        if (p < end && *p == '>') ++p;
        rubyOpen = false;
    }
}

} // namespace

// ---------------------------------------------------------------- life

CScenario::CScenario(platform::WindowHandle window) : hwnd(window) {
    g_quakeSource = &StoryQuake;
    LoadSystemPictures();
    for (auto& p : g_layerImages)
        p.reset();
    g_layerScratch = std::make_unique<CDib>();
    g_layerScratch->Create(hwnd, 800, 600, 24);
    g_layerScratch->FillRect(0, 0, 800, 600, 0);
    for (auto& p : g_charFrames)
        p.reset();
    for (auto& p : g_faceFrames)
        p.reset();

    buttonCells0 = {{{0, 0, 48, 26},
                     {48, 0, 52, 26},
                     {100, 0, 54, 26},
                     {154, 0, 54, 26},
                     {208, 0, 70, 26},
                     {278, 0, 28, 26},
                     {301, 0, 40, 26},
                     {341, 0, 27, 26}}};
    buttonHits0 = {{{514, 472, 546, 482},
                    {554, 472, 590, 482},
                    {604, 472, 638, 482},
                    {660, 472, 694, 482},
                    {714, 472, 764, 482},
                    {780, 472, 792, 482},
                    {0, 0, 0, 0},
                    {0, 0, 0, 0}}};
    buttonDraws0 = {{{506, 464, 554, 490},
                     {546, 464, 598, 490},
                     {594, 464, 648, 490},
                     {650, 464, 704, 490},
                     {704, 464, 774, 490},
                     {772, 464, 800, 490},
                     {725, 454, 765, 480},
                     {765, 454, 792, 480}}};
    buttonCells1 = {{{0, 0, 48, 26},
                     {48, 0, 52, 26},
                     {100, 0, 54, 26},
                     {154, 0, 54, 26},
                     {208, 0, 70, 26},
                     {278, 0, 28, 26}}};
    buttonHits1 = {{{481, 571, 510, 586},
                    {520, 571, 554, 586},
                    {572, 571, 604, 586},
                    {624, 571, 657, 586},
                    {680, 571, 729, 586},
                    {743, 571, 757, 586}}};
    buttonDraws1 = {{{470, 565, 518, 591},
                     {510, 565, 562, 591},
                     {560, 565, 614, 591},
                     {612, 565, 666, 591},
                     {668, 565, 738, 591},
                     {736, 565, 764, 591}}};

    InitTrigTables();

    // Particles: placed over the whole screen, the later groups faster.
    for (int g = 0; g < kParticleGroups; ++g) {
        for (int i = 0; i < kParticlesPerGroup; ++i) {
            Particle& p = particles[g][i];
            p.x =
                static_cast<std::int32_t>(RandTimesClock() * static_cast<std::uint32_t>(i) % 800u);
            p.y =
                static_cast<std::int32_t>(RandTimesClock() * static_cast<std::uint32_t>(i) % 600u);
            p.step = static_cast<std::int32_t>(RandTimesClock() % 3u) - 1;
            const std::uint32_t r = RandTimesClock();
            p.speed = static_cast<std::int32_t>(g == 0   ? r % 2u + 2
                                                : g == 1 ? r % 3u + 2
                                                         : r % 3u + 3);
            p.state = 0;
        }
    }
    particlesOn = 0;
    particleRect = kFullScreen;

    g_mahjongGame = std::make_unique<CMahjongGame>();
}

CScenario::~CScenario() {
    g_menuSnapshot.reset();
    g_msgWindowBase.reset();
    g_msgWindowText.reset();
    g_choicePlate.reset();
    g_choiceBase.reset();
    g_blackImage.reset();
    g_msgWindowButtons.reset();
    g_backupSurface.reset();
    g_fullPage.reset();
    g_screenSnapshot.reset();
    g_maskImage.reset();
    g_waitIcon.reset();
    g_clickWaitIcon.reset();
    g_titleIcon.reset();
    for (auto& p : g_layerImages)
        p.reset();
    g_layerScratch.reset();
    g_obiImage.reset();
    g_dayImage.reset();
    g_day2Image.reset();
    for (auto& p : g_faceFrames)
        p.reset();
    for (auto& p : g_charFrames)
        p.reset();
    g_bandImage.reset();
    g_gaijiSheet.reset();
    g_mahjongGame.reset();
}

// ---------------------------------------------------------------- loading

std::uint32_t CScenario::LoadScript(std::string_view name) {
    particleRect = kFullScreen;
    scriptBuffer.reset();
    scriptBase = nullptr;
    scriptSize = 0;
    pc = messageStart = 0;
    scriptFaultReported_ = false;

    const std::size_t zero = name.find('\0');
    if (zero != std::string_view::npos) name = name.substr(0, zero);
    loadedName_.assign(name);
    if (g_gameApp) g_gameApp->scriptName.fill(0);
    if (name.size() >= kScriptNameField) {
        FailLoad("the script name is longer than 127 bytes");
        return 0;
    }
    if (g_gameApp) std::copy(name.begin(), name.end(), g_gameApp->scriptName.begin());

    std::string path =
        g_pathTable ? g_pathTable->GetPath(kDataScript) : CPathTable().GetPath(kDataScript);
    path.append(name);
    CPackFile file;
    if (name.empty() || file.Open(path) != kPackOk) {
        FailLoad("the script file cannot be found");
        return 0;
    }
    scriptSize = file.GetSize();
    scriptBuffer = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(scriptSize) + 1);
    if (scriptSize) std::memcpy(scriptBuffer.get(), file.GetBuffer(), scriptSize);
    file.Close();
    for (std::uint32_t i = 0; i < scriptSize; ++i)
        scriptBuffer[i] = static_cast<std::uint8_t>(~scriptBuffer[i]);
    scriptBase = scriptBuffer.get();
    return 0;
}

void CScenario::FailLoad(const std::string& why) {
    // An empty script in place of the missing one: the next Step ends it.
    scriptBuffer = std::make_unique<std::uint8_t[]>(1);
    scriptBase = scriptBuffer.get();
    scriptSize = 0;
    Report(why);
}

void CScenario::Report(const std::string& why) {
    if (scriptFaultReported_) return;
    scriptFaultReported_ = true;
    const std::string text = "Script \"" + loadedName_ + "\": " + why;
    LogMessage("%s", text.c_str());
    platform::Tell(text, "Error", platform::BoxIcon::Error);
}

bool CScenario::TextBlockRead() const {
    return textBlock < config::kReadFlagCount && g_config[config::kReadFlags + textBlock] != 0;
}

// ---------------------------------------------------------------- record access

std::uint8_t CScenario::Byte(std::uint32_t at) const {
    return at < scriptSize ? scriptBase[at] : 0;
}
std::int8_t CScenario::SByte(std::uint32_t at) const {
    return static_cast<std::int8_t>(Byte(at));
}
std::uint16_t CScenario::Word(std::uint32_t at) const {
    return static_cast<std::uint16_t>(Byte(at) | Byte(at + 1) << 8);
}
std::int16_t CScenario::SWord(std::uint32_t at) const {
    return static_cast<std::int16_t>(Word(at));
}
std::uint32_t CScenario::Dword(std::uint32_t at) const {
    return static_cast<std::uint32_t>(Word(at)) | static_cast<std::uint32_t>(Word(at + 2)) << 16;
}
std::int32_t CScenario::SDword(std::uint32_t at) const {
    return static_cast<std::int32_t>(Dword(at));
}

std::string_view CScenario::StringOperand(std::uint32_t at) const {
    const script::OpcodeFormat* f = script::FindOpcode(Byte(at));
    if (!f || f->stringLengthAt < 0) return {};
    const std::uint32_t start = at + Byte(at + 1);
    const std::uint32_t length = Byte(at + static_cast<std::uint32_t>(f->stringLengthAt));
    if (start > scriptSize || length > scriptSize - start) return {};
    std::string_view s(reinterpret_cast<const char*>(scriptBase + start), length);
    const std::size_t zero = s.find('\0');
    return zero == std::string_view::npos ? s : s.substr(0, zero);
}

std::uint32_t CScenario::NextRecord(std::uint32_t at) const {
    return script::RecordEnd({scriptBase, scriptSize}, at);
}

// ---------------------------------------------------------------- interpreter

std::string CScenario::CheckRecord(std::uint32_t at, const script::OpcodeFormat& format) const {
    using namespace script;
    if (scriptSize - at < 2) return "the record is cut short by the end of the script";
    const std::uint32_t length = Byte(at + 1);
    if (length < kMinRecordLength) return "the record length is below 4";
    const std::uint32_t left = scriptSize - at;
    if (length > left || OperandExtent(format) > left)
        return "the record runs past the end of the script";
    if (format.stringLengthAt >= 0) {
        const std::uint32_t l = Byte(at + static_cast<std::uint32_t>(format.stringLengthAt));
        if (l > left - length) return "the string runs past the end of the script";
        if (std::string why = CheckKeptName(at, format); !why.empty()) return why;
    }
    for (const Field& f : format.Fields()) {
        std::int64_t v = 0;
        switch (f.type) {
        case FieldType::U8:
            v = Byte(at + f.offset);
            break;
        case FieldType::I8:
            v = SByte(at + f.offset);
            break;
        case FieldType::U16:
            v = Word(at + f.offset);
            break;
        case FieldType::I16:
            v = SWord(at + f.offset);
            break;
        case FieldType::U32:
        case FieldType::Target:
        case FieldType::Argb:
            v = Dword(at + f.offset);
            break;
        case FieldType::I32:
            v = SDword(at + f.offset);
            break;
        }
        if (f.type == FieldType::Target && v >= scriptSize)
            return "the jump target lies outside the script";
        if (!CheckValue(f.check, v))
            return "the " + std::string(CheckName(f.check)) + " " + std::to_string(v) +
                   " is out of range";
    }
    return {};
}

std::string CScenario::CheckKeptName(std::uint32_t at, const script::OpcodeFormat& format) const {
    using script::StringKind;
    const std::string_view name = StringOperand(at);
    const auto loops = [&] {
        const auto fields = format.Fields();
        const auto loop = std::find_if(fields.begin(), fields.end(),
                                       [](const script::Field& f) { return f.name == "loop"; });
        return loop != fields.end() && Byte(at + loop->offset) == 1;
    };
    std::size_t kept = 0;
    std::size_t field = 0;
    const char* what = "";
    switch (format.stringKind) {
    case StringKind::FileName:
        kept = name.size();
        field = kScriptNameField;
        what = "file name";
        break;
    case StringKind::VoiceName:
        kept = SoundFileName(name).size();
        field = voiceName.size();
        what = "voice name with .ogg";
        break;
    case StringKind::LoopingSoundName:
        if (!loops()) return {};
        kept = SoundFileName(name).size();
        field = kNameBytes;
        what = "looping sound name with .ogg";
        break;
    default:
        return {};
    }
    if (kept < field) return {};
    return "the " + std::string(what) + " is longer than " + std::to_string(field - 1) + " bytes";
}

void CScenario::Step() {
    if (!scriptBase || pc >= scriptSize) {
        FailScript(!scriptBase       ? "no script is loaded"
                   : scriptSize == 0 ? "the script is empty"
                                     : "the script runs past its end");
        return;
    }
    const std::uint8_t opcode = scriptBase[pc];
    const script::OpcodeFormat* format = script::FindOpcode(opcode);
    if (!format) {
        if (!scriptFaultReported_) {
            scriptFaultReported_ = true;
            char text[64];
            std::snprintf(text, sizeof text, "Not Found ScrNo\n[%8d][%#08x]", opcode, pc);
            LogMessage("script \"%s\": undefined opcode %d at offset %u", loadedName_.c_str(),
                       opcode, pc);
            platform::Tell(text, "Erorr", platform::BoxIcon::None);
        }
        FailScript({});
        return;
    }
    const std::string why = CheckRecord(pc, *format);
    if (!why.empty()) {
        FailScript("offset " + std::to_string(pc) + " (opcode " + std::to_string(opcode) +
                   "): " + why);
        return;
    }
    pc = Run(opcode, pc);
}

void CScenario::FailScript(const std::string& why) {
    if (!why.empty()) Report(why);
    scriptFaultReported_ = true;
    pc = scriptSize;
    EndScript();
}

void CScenario::EndScript() {
    if (g_gameApp) g_gameApp->screenRect = kFullScreen;
    SetMode(playContext == 1 ? 14 : 1);
}

void CScenario::SetMode(std::uint8_t mode) {
    if (g_gameApp) g_gameApp->mode = mode;
}

void CScenario::FullRedraw() {
    if (g_gameApp) g_gameApp->screenRect = kFullScreen;
}

void CScenario::ClearCharSlots(int count) {
    if (!g_gameApp) return;
    for (int i = 0; i < count && i < kCharSprites; ++i) {
        g_gameApp->charParams[i] = 0;
        g_gameApp->charCentreX[i] = 0;
        g_gameApp->charShown[i] = 0;
    }
}

void CScenario::DeleteWorkSurfaces2To9() {
    for (int i = 2; i <= 9; ++i)
        cdib[i].reset();
}

void CScenario::ClearSurfaceAndCharNames() {
    if (!g_gameApp) return;
    for (auto& n : g_gameApp->surfaceNames)
        n.fill(0);
    for (auto& n : g_gameApp->charNames)
        n.fill(0);
    ClearCharSlots(kCharSlots);
}

std::uint32_t CScenario::Run(std::uint8_t opcode, std::uint32_t at) {
    const std::uint32_t next = NextRecord(at);
    const std::uint32_t now = platform::TimeGetTime();
    auto jumpIf = [&](bool condition) {
        SetMode(2);
        return condition ? Dword(at + 12) : next;
    };
    switch (opcode) {
    case 0:
        return OpMessage(at);
    case 1:
        EndScript();
        return next;
    case 2:
        return OpChangeScript(at);
    case 3:
        SetMode(playContext == 1 ? 2 : Byte(at + 2));
        return next;
    case 4:
        vars[Word(at + 2)] = SDword(at + 4);
        SetMode(2);
        return next;
    case 5: {
        std::int32_t& v = vars[Word(at + 2)];
        v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v) + Dword(at + 4));
        SetMode(2);
        return next;
    }
    case 6:
        return jumpIf(vars[Dword(at + 4)] == SDword(at + 8));
    case 7:
        return jumpIf(vars[Dword(at + 4)] != SDword(at + 8));
    case 8:
        return jumpIf(vars[Dword(at + 4)] > SDword(at + 8));
    case 9:
        return jumpIf(vars[Dword(at + 4)] < SDword(at + 8));
    case 10:
        return jumpIf(vars[Dword(at + 4)] >= SDword(at + 8));
    case 11:
        return jumpIf(vars[Dword(at + 4)] <= SDword(at + 8));
    case 12:
        textBlock = Dword(at + 4);
        SetMode(2);
        return next;
    case 13:
        SetMode(2);
        return Dword(at + 4);
    case 14:
        effectDuration = Dword(at + 4);
        FullRedraw();
        SetMode(18);
        return next;
    case 15:
        return OpLoadImage(at);
    case 16:
        return OpLoadBackground(at);
    case 17:
        return OpRestoreBackup(at);
    case 18:
        return OpSetCharSprite(at);
    case 19:
        return SetScrCharSet(at);
    case 20:
    case 21:
        effectDuration = Dword(at + 4);
        effectType = Byte(at + 2);
        SetMode(opcode == 20 ? 4 : 5);
        return next;
    case 22:
        return OpFillBackground(at);
    case 23:
        return OpColorBlend(at);
    case 24:
        currentLayer = Byte(at + 2);
        effectType = Byte(at + 3);
        panDrawMode = Byte(at + 4);
        panFrom = {SWord(at + 8), SWord(at + 10)};
        panTo = {SWord(at + 12), SWord(at + 14)};
        effectTime = Dword(at + 16);
        SetMode(25);
        return next;
    case 25:
        return OpCopyRect(at);
    case 26:
        return OpBlankLayer(at);
    case 27:
        choicePoint = Byte(at + 2);
        SetMode(17);
        return next;
    case 28:
        return ClearChoices(at);
    case 29:
        return AddChoice(at);
    case 30:
        return OpSceneEnd(at);
    case 33:
        g_config[config::kScriptFlags + static_cast<std::size_t>(SByte(at + 2))] = 1;
        SetMode(2);
        return next;
    case 34:
        return OpPlayBgm(at);
    case 35:
        return OpStopBgm(at);
    case 36:
        return OpFadeBgm(at);
    case 37:
        return OpPlayBgmFade(at);
    case 38:
        return OpLowerBgm(at);
    case 39:
        return OpPlayVoice(at);
    case 40:
        return OpLoadPlayStream(at);
    case 41:
        return OpStopSe(at);
    case 42:
    case 43:
        seWaitSlot = Byte(at + 2);
        SetMode(opcode == 42 ? 52 : 53);
        return next;
    case 44:
        return OpFadeOutSe(at);
    case 45:
        return OpPlaySe(at);
    case 46:
        return OpPlayVoiceSlot(at);
    case 47:
        return OpLoadVoice(at);
    case 48:
        return OpLoadStream(at);
    case 49:
        return OpPlayWave(at);
    case 50:
        return OpPlayStream(at);
    case 51: {
        const std::int8_t day = SByte(at + 3);
        if (day >= 0) dayNumber = day;
        SetMode(2);
        return next;
    }
    case 52:
        saveGroup = SByte(at + 3);
        SetMode(2);
        return next;
    case 53:
        effectType = Byte(at + 3);
        subState = 0;
        SetMode(19);
        return next;
    case 54:
        return OpBlackOverlay(at);
    case 55:
    case 56:
    case 57:
    case 73:
        SetMode(2);
        return next;
    case 58:
        op58Value = Byte(at + 2);
        SetMode(2);
        return next;
    case 59:
        SetMode(2);
        return g_config[config::kScriptFlags + static_cast<std::size_t>(SByte(at + 2))] == 1
                   ? Dword(at + 4)
                   : next;
    case 60:
        return OpLoadLayerImage(at);
    case 61:
        return OpLayerTween(at);
    case 62:
        return OpMessageSilent(at);
    case 63:
        particlesOn = Byte(at + 3);
        SetMode(2);
        return next;
    case 64:
        return SetWindowStyle(at);
    case 65:
        return OpFullPage(at);
    case 66:
        return OpLayerMask(at);
    case 67: {
        currentLayer = Byte(at + 2);
        LayerSlot& s = layers[currentLayer];
        s.alphaSweep = Dword(at + 4);
        s.alphaTarget = SWord(at + 8);
        s.alphaRamp = Dword(at + 12);
        s.alphaClock = now;
        s.alphaAnimOn = 1;
        layerAnimOn = 1;
        SetMode(2);
        return next;
    }
    case 68:
        currentLayer = Byte(at + 2);
        effectDuration = Dword(at + 4);
        overlayColor = static_cast<std::uint32_t>(Byte(at + 8)) << 24 |
                       static_cast<std::uint32_t>(Byte(at + 9)) << 16 |
                       static_cast<std::uint32_t>(Byte(at + 10)) << 8 | Byte(at + 11);
        SetMode(35);
        return next;
    case 69:
        layerWaitByte = Byte(at + 2);
        layerWaitMs = Dword(at + 4);
        SetMode(38);
        return next;
    case 70:
        return OpResetLayers(at);
    case 71: {
        currentLayer = Byte(at + 2);
        LayerSlot& s = layers[currentLayer];
        if (s.delay == 0) s.tweenStart = now;
        layerWaitStart = now;
        s.issuedTime = now;
        SetMode(2);
        return next;
    }
    case 72:
        return OpBakeLayers(at);
    case 74:
        return SetFaceFrame(at);
    case 75:
        currentLayer = Byte(at + 2);
        effectType = Byte(at + 3);
        effectDuration = Dword(at + 4);
        SetMode(40);
        return next;
    case 76:
        return OpRedrawWithWindow(at);
    case 77:
        penX = 712;
        subState = 0;
        SetMode(41);
        return next;
    case 78:
        subState = 0;
        curtainVariant = Byte(at + 2);
        SetMode(44);
        return next;
    case 79:
        return OpEraseWindow(at);
    case 80:
        return OpStartQuake(at);
    case 81:
        return OpStopQuake(at);
    case 82:
        return OpCloudNoise(at);
    case 83:
        return OpStopBand(at);
    case 84:
        SetMode(51);
        return next;
    case 85: {
        currentLayer = Byte(at + 2);
        LayerSlot& s = layers[currentLayer];
        s.alphaPhase = Dword(at + 4);
        s.alphaBase = SWord(at + 8);
        SetMode(2);
        return next;
    }
    case 86:
        return OpClearLayer(at);
    case 87:
        g_config[config::kScriptByte] = Byte(at + 2);
        SaveConfig();
        SetMode(2);
        return next;
    case 88:
        return OpLoadLayerImageNoCg(at);
    default:
        break;
    }
    // Not reached: Step runs only opcodes of the format table.
    FailScript("opcode " + std::to_string(opcode) + " has no handler");
    return pc;
}

// ---------------------------------------------------------------- messages

std::uint32_t CScenario::MessageRecord(std::uint32_t at, bool silent) {
    const std::uint32_t next = NextRecord(at);
    const std::uint32_t textAt = at + Byte(at + 1);
    const std::uint32_t length = Byte(at + (silent ? 8 : 3));
    if (silent) {
        windowX = SWord(at + 4);
        windowY = SWord(at + 6);
    }
    messageBuffer = std::make_unique<char[]>(length + 1); // zero-filled
    std::memcpy(messageBuffer.get(), scriptBase + textAt, length);

    // The script buffer ends with a zero byte, so the scan stops inside it.
    const std::uint8_t* end = scriptBase + scriptSize + 1;
    CopyPlainText(scriptBase + textAt, end, plainMessage, !silent);
    if (silent) {
        CopyPlainText(scriptBase + textAt, end, messageText, false);
    } else {
        messageText.fill(0);
        const std::size_t n =
            std::min<std::size_t>(std::strlen(messageBuffer.get()), messageText.size() - 1);
        std::memcpy(messageText.data(), messageBuffer.get(), n);
        messageStart = next;
        if (messageStyle == 2) {
            SetMode(3);
            return next;
        }
    }
    if (g_gameApp) {
        const std::string_view voice(voiceName.data(), voiceName.size());
        AppendMessageHistory(*g_gameApp, messageBuffer.get(), speakerName ? speakerName.get() : "",
                             voice, silent ? kTextField - 1 : kTextField - 2);
    }
    voiceName.fill(0);
    SetMode(silent ? 36 : 3);
    return next;
}

std::uint32_t CScenario::OpMessage(std::uint32_t at) {
    return MessageRecord(at, false);
}
std::uint32_t CScenario::OpMessageSilent(std::uint32_t at) {
    return MessageRecord(at, true);
}

// ---------------------------------------------------------------- scripts, choices, scenes

std::uint32_t CScenario::OpChangeScript(std::uint32_t at) {
    const std::uint32_t next = NextRecord(at);
    DeleteWorkSurfaces2To9();
    ClearSurfaceAndCharNames();
    SetMode(2);
    // A replayed scene plays its one script only.
    if (playContext == 1) return next;
    const std::string name(StringOperand(at));
    return LoadScript(name);
}

std::uint32_t CScenario::ClearChoices(std::uint32_t at) {
    messageStart = at;
    for (auto& t : choiceText)
        t.reset();
    choiceTarget.fill(0);
    choiceLength.fill(0);
    choiceCount = 0;
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::AddChoice(std::uint32_t at) {
    const std::uint32_t next = NextRecord(at);
    SetMode(2);
    if (choiceCount >= kMaxChoices) {
        LogMessage("script \"%s\": a choice beyond the third at offset %u is ignored",
                   loadedName_.c_str(), at);
        return next;
    }
    const std::uint32_t length = Byte(at + 2);
    const int i = choiceCount;
    choiceTarget[i] = Dword(at + 4);
    choiceText[i] = std::make_unique<char[]>(length + 1); // zero-filled
    std::memcpy(choiceText[i].get(), scriptBase + at + Byte(at + 1), length);
    choiceLength[i] = static_cast<std::uint8_t>(length);
    ++choiceCount;
    return next;
}

std::uint32_t CScenario::OpSceneEnd(std::uint32_t at) {
    g_config[config::kSceneSeen + Byte(at + 3)] = 1;
    FullRedraw();
    if (playContext == 1) {
        DeleteWorkSurfaces2To9();
        ClearSurfaceAndCharNames();
        SetMode(14);
    } else {
        SetMode(2);
    }
    return NextRecord(at);
}

// ---------------------------------------------------------------- quake, band

std::uint32_t CScenario::OpStartQuake(std::uint32_t at) {
    quakeType = Byte(at + 2);
    quakeLoop = Byte(at + 3);
    quakeAmplitude = Word(at + 4);
    quakePeriod = Dword(at + 8);
    const bool skipping = (g_mouse && g_mouse->skip) || g_config[config::kNoQuake] != 0;
    auto blackPlane = [&] {
        cdib[1] = std::make_unique<CDib>();
        cdib[1]->Create(hwnd, 800, 600, 24);
        cdib[1]->FillRect(0, 0, 800, 600, 0);
    };
    if (!skipping) {
        quakeStart = platform::TimeGetTime();
        quakeActive = 1;
        switch (quakeType) {
        case 10:
            blackPlane();
            break;
        case 2:
        case 4:
            quakePhase = 1;
            break;
        case 3:
        case 5:
            quakePhase = 2;
            break;
        default:
            quakePhase = 0;
            break;
        }
    } else if (quakeType == 10) {
        quakeStart = platform::TimeGetTime();
        quakeActive = 1;
        blackPlane();
    }
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpStopQuake(std::uint32_t at) {
    quakeActive = 0;
    quakeType = 0;
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpStopBand(std::uint32_t at) {
    bandKind = 0;
    bandPos = 0;
    bandStart = 0;
    g_bandImage.reset();
    SetMode(2);
    return NextRecord(at);
}

// ---------------------------------------------------------------- layers

std::uint32_t CScenario::OpLayerTween(std::uint32_t at) {
    currentLayer = Byte(at + 2);
    LayerSlot& s = layers[currentLayer];
    s.tweenType = Byte(at + 3);
    for (int i = 0; i < 4; ++i) {
        s.endRect[i] = SWord(at + 4 + 2 * i);
        s.endSrc[i] = SWord(at + 12 + 2 * i);
    }
    s.easeSpan = Dword(at + 20);
    s.endAngle = Dword(at + 24);
    s.duration = Dword(at + 28);
    SetMode(2);
    return NextRecord(at);
}

std::uint32_t CScenario::OpClearLayer(std::uint32_t at) {
    const auto n = static_cast<std::size_t>(SByte(at + 2));
    layers[n] = LayerSlot{};
    g_layerImages[n].reset();
    SetMode(2);
    return NextRecord(at);
}
