// The story player: the loaded script and its interpreter, the script
// variables, the message-window state, the choices, the sprite layers, the
// particles and the screen quake. One instance, `g_scenario`, made by the
// main window's creation and freed by the application object's destructor.
//
// The fields keep their stated widths because the save record copies many of
// them. Script positions (`pc`, `messageStart`, jump targets) are offsets
// from `scriptBase`, so that a position is checked against `scriptSize`
// before anything is read there.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CDib;

namespace script {
struct OpcodeFormat;
}

// One sprite layer: a picture's rectangles moving from a start to an end over
// time, an opacity animated on a sine, and an optional rotation.
struct LayerSlot {
    std::array<std::int16_t, 4> startRect{}; // x, y, w, h
    std::array<std::int16_t, 4> startSrc{};
    std::int16_t alphaBase = 0;
    std::uint32_t fixedAngle = 0;
    std::uint32_t startAngle = 0;
    std::array<std::int16_t, 4> rect{};
    std::array<std::int16_t, 4> src{};
    std::int16_t alpha = 0;
    std::uint32_t angle = 0;
    std::array<std::int16_t, 4> endRect{};
    std::array<std::int16_t, 4> endSrc{};
    std::int16_t alphaTarget = 0;
    std::uint32_t easeSpan = 0;
    std::uint32_t endAngle = 0;
    std::uint32_t alphaRamp = 0;
    std::uint32_t duration = 0;
    std::uint32_t delay = 0;
    std::uint32_t issuedTime = 0;
    std::uint32_t tweenStart = 0;
    std::uint32_t alphaClock = 0;
    std::uint8_t started = 0;
    std::uint32_t alphaPhase = 0;
    std::uint32_t alphaSweep = 0;
    std::uint8_t alphaAnimOn = 0;
    std::uint8_t tweenType = 0;
};

struct Particle {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t step = 0;
    std::int32_t speed = 0;
    std::int32_t state = 0;
};

// A copy area: position and size.
struct Area {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

inline constexpr int kScriptVars = 128;
inline constexpr int kLayerSlots = 10;
inline constexpr int kCharSlots = 15;
inline constexpr int kMaxChoices = 3;
inline constexpr int kParticleGroups = 3;
inline constexpr int kParticlesPerGroup = 64;
inline constexpr std::size_t kTextField = 256;
inline constexpr std::size_t kScriptNameField = 128;

// The story modes that hand over to the system menu or the save screen, and
// so the return modes a save holds: the message window (its buttons and a
// right click), a choice (a right click) and the full page waiting at its
// page mark (a right click). No other mode opens either of them.
inline constexpr std::uint8_t kMessageMode = 3;
inline constexpr std::uint8_t kChoiceMode = 17;
inline constexpr std::uint8_t kPageWaitMode = 55;
inline constexpr std::array<std::uint8_t, 3> kSaveReturnModes{kMessageMode, kChoiceMode,
                                                              kPageWaitMode};

using TextField = std::array<char, kTextField>;

class CScenario {
public:
    explicit CScenario(platform::WindowHandle window);
    ~CScenario();
    CScenario(const CScenario&) = delete;
    CScenario& operator=(const CScenario&) = delete;

    // Loads script\<name> (a loose file or an archive member), decodes it and
    // makes it the running script; returns the new `pc` (0). Sets no mode.
    // A missing file or a name too long for the application object's name
    // field is reported and leaves an empty script, which the next `Step`
    // ends as opcode 1 ends a script.
    std::uint32_t LoadScript(std::string_view name);

    // Mode 2: checks and runs the one record at `pc`.
    void Step();

    // The read flag of the current text block (0 when the block lies outside
    // the table).
    bool TextBlockRead() const;

    // Handlers: each takes the offset of its record, returns the offset of the
    // next one and writes the mode byte.
    std::uint32_t OpMessage(std::uint32_t at);
    std::uint32_t OpMessageSilent(std::uint32_t at);
    std::uint32_t OpChangeScript(std::uint32_t at);
    std::uint32_t OpLoadImage(std::uint32_t at);
    std::uint32_t OpLoadBackground(std::uint32_t at);
    std::uint32_t OpRestoreBackup(std::uint32_t at);
    std::uint32_t OpSetCharSprite(std::uint32_t at);
    std::uint32_t SetScrCharSet(std::uint32_t at);
    std::uint32_t OpFillBackground(std::uint32_t at);
    std::uint32_t OpColorBlend(std::uint32_t at);
    std::uint32_t OpCopyRect(std::uint32_t at);
    std::uint32_t OpBlankLayer(std::uint32_t at);
    std::uint32_t ClearChoices(std::uint32_t at);
    std::uint32_t AddChoice(std::uint32_t at);
    std::uint32_t OpSceneEnd(std::uint32_t at);
    std::uint32_t OpPlayBgm(std::uint32_t at);
    std::uint32_t OpStopBgm(std::uint32_t at);
    std::uint32_t OpFadeBgm(std::uint32_t at);
    std::uint32_t OpPlayBgmFade(std::uint32_t at);
    std::uint32_t OpLowerBgm(std::uint32_t at);
    std::uint32_t OpPlayVoice(std::uint32_t at);
    std::uint32_t OpLoadPlayStream(std::uint32_t at);
    std::uint32_t OpStopSe(std::uint32_t at);
    std::uint32_t OpFadeOutSe(std::uint32_t at);
    std::uint32_t OpPlaySe(std::uint32_t at);
    std::uint32_t OpPlayVoiceSlot(std::uint32_t at);
    std::uint32_t OpLoadVoice(std::uint32_t at);
    std::uint32_t OpLoadStream(std::uint32_t at);
    std::uint32_t OpPlayWave(std::uint32_t at);
    std::uint32_t OpPlayStream(std::uint32_t at);
    std::uint32_t OpBlackOverlay(std::uint32_t at);
    std::uint32_t OpLoadLayerImage(std::uint32_t at);
    std::uint32_t OpLoadLayerImageNoCg(std::uint32_t at);
    std::uint32_t OpLayerTween(std::uint32_t at);
    std::uint32_t SetWindowStyle(std::uint32_t at);
    std::uint32_t OpFullPage(std::uint32_t at);
    std::uint32_t OpLayerMask(std::uint32_t at);
    std::uint32_t OpResetLayers(std::uint32_t at);
    std::uint32_t OpBakeLayers(std::uint32_t at);
    std::uint32_t SetFaceFrame(std::uint32_t at);
    std::uint32_t OpRedrawWithWindow(std::uint32_t at);
    std::uint32_t OpEraseWindow(std::uint32_t at);
    std::uint32_t OpStartQuake(std::uint32_t at);
    std::uint32_t OpStopQuake(std::uint32_t at);
    std::uint32_t OpCloudNoise(std::uint32_t at);
    std::uint32_t OpStopBand(std::uint32_t at);
    std::uint32_t OpClearLayer(std::uint32_t at);

    // ------------------------------------------------------- message display
    // Mode 3: runs the display of the style in `messageStyle`.
    void RunMessage();
    // Mode 3 in styles 0, 1 and 2; `text` is the message being shown.
    void ShowMessageWindow(std::string_view text);
    void ShowMessageFull(std::string_view text);
    void ShowMessageStyle2(std::string_view text);
    // Mode 36: logs and marks the message without drawing it.
    void SkipMessageLine(std::string_view text);
    // The message being shown (empty when none).
    std::string_view MessageView() const;
    // Window button under the cursor (1 skip, 2 auto, 3 save, 4 load, 5 menu,
    // 6 hide), 0 none.
    std::uint8_t HitTestWindowButton() const;
    // Each frame of the story modes: a click on `button` latches it.
    void PressWindowButton(std::uint8_t button);
    // The hover picture of a button into the back buffer (nothing for 0).
    void DrawWindowButton(std::uint8_t button);
    // Carries out the latched button; called every frame while it is latched.
    void DoWindowButtonAction();
    void HandleMessageRightClick();
    // Mode 17: the choice screen.
    void RunChoice();

    // The save record (SaveImage.cpp). Capture fills `g_saveImage` from the
    // running story and changes nothing; restore puts a validated record back
    // and leaves the story as it was in the saved return mode (the caller
    // sets the mode).
    void CaptureSaveImage() const;
    void RestoreSaveImage(platform::WindowHandle window);

    // Sprite layers and the scene (SceneLayers.cpp).
    // Rebuilds the back buffer from the background, the bands and the layers.
    void ComposeScene();
    // Advances and draws one slot (nothing without a picture).
    void DrawLayer(int slot);
    // Draws one slot at its settled opacity without advancing it.
    void DrawLayerStatic(int slot);
    // The per-frame step of one slot's clocks, rectangles, opacity and angle.
    void UpdateLayerTween(int slot);
    // The cloud strip over the middle of the screen.
    void DrawScrollBand();
    void WaitLayerAnim(); // mode 38
    void RunColorFade();  // mode 35

    // Screen quake (Quake.cpp): the offset of the painted picture for `row`.
    std::int16_t GetQuakeOffset(int row);
    // The particle step of the frame pacing: particles are placed, never moved.
    void UpdateParticles(int unused);

    // Timed steps (TimedModes.cpp).
    void RunMaskTransition(); // mode 4
    void RunTransition();     // mode 5
    void RunScroll();         // mode 25
    void RunTimedWait();      // mode 18
    void WaitClick();         // mode 51

    // Voice waits, the click-wait icon and the sprite reload (VoiceWaits.cpp).
    void PlayWaveWait(); // mode 23
    void WaitSeEnd();    // mode 52
    void StopSeSlot();   // mode 53
    // The message window, its buttons and the click-wait icon over the
    // composed frame (modes 3 and 55).
    void DrawMessageOverlay();
    void WaitClickIcon(); // mode 55
    // The animated click-wait icon at (x, y), while a message waits for a click.
    void DrawClickWaitIcon(int x, int y);
    // Reloads every named character sprite and draws the shown ones onto
    // `target`, and onto `alsoOnto` when there is one. A picture that will
    // not load is told once, however many slots name it.
    void ReloadScrCharSet(CDib* target, CDib* alsoOnto = nullptr);

    // Story sequences (Sequences.cpp).
    void RunDayLogo();      // mode 42
    void RunEyeCatch();     // mode 19
    void RunCurtain();      // mode 44
    void RunAnnouncement(); // mode 46
    void RunFadeIn();       // mode 37
    void RunFadeToSaved();  // mode 41
    void RunCrossFade();    // mode 39
    // Eye-catch variants 4 and 5: pieces that fly in turning.
    void RunEyeCatchFlying(int variant);
    // Modes with nothing to do: they say so once and hand back.
    void IdleMode26();
    void IdleMode40();

    // At the '#' at `index` of a message: carries out the tag and returns the
    // index after its closing '#' (the end of the text when it is unclosed).
    std::size_t ParseTextTag(std::string_view text, std::size_t index);
    // At the second '<' of a ruby: draws the ruby text (full-screen style into
    // work surface 1) and returns the index after its '>'.
    std::size_t DrawRubyAlt(std::string_view text, std::size_t index);
    std::size_t DrawRuby(std::string_view text, std::size_t index);

    // ---------------------------------------------------------------- fields
    std::uint8_t skipMode = 0;
    std::uint8_t autoMode = 0;
    std::int8_t dayNumber = 0;
    std::int8_t saveGroup = 0;
    std::uint8_t skipEffects = 0;
    std::uint8_t choicePoint = 0;
    std::uint8_t playContext = 0; // 0 story, 1 scene replay, 2 mini-game story, 3 contest story
    std::uint8_t quakeActive = 0;
    std::uint8_t quakeLoop = 0;
    std::uint32_t quakeStart = 0;
    std::uint32_t quakePeriod = 0;
    std::uint16_t quakeAmplitude = 0;
    std::uint8_t quakeType = 0;
    std::uint32_t quakePhase = 0;
    std::uint8_t bgmPlaying = 0;
    std::int16_t windowX = 0;
    std::int16_t windowY = 0;
    std::uint8_t op58Value = 0;
    std::uint8_t spareFlag = 0;
    std::uint8_t seWaitSlot = 0;
    TextField plainMessage{};
    TextField voiceName{};
    TextField messageText{};
    TextField waveName{};
    std::uint8_t voiceWaitPending = 0;
    std::uint32_t fillColor = 0;
    std::uint32_t blendColor = 0;
    std::uint32_t blackOverlay = 0;
    std::uint32_t textBlock = 0;
    std::uint8_t menuReturn = 0;
    std::uint8_t messageStyle = 0; // 0 bottom window, 1 full-screen page, 2 caption band
    std::unique_ptr<char[]> speakerName;
    std::uint32_t waitStartTime = 0;
    std::uint32_t waitIconFrame = 0;
    std::uint8_t colorEffect = 0;
    std::uint8_t curtainVariant = 0;
    std::uint8_t buttonLatched = 0;
    std::uint8_t pendingButton = 0;
    std::unique_ptr<char[]> bgmName;
    std::uint8_t letterbox = 0;
    std::uint8_t bandKind = 0;
    std::uint32_t bandPos = 0;
    std::uint32_t bandStart = 0;
    platform::Rect particleRect{0, 0, 800, 600};
    std::array<std::array<Particle, kParticlesPerGroup>, kParticleGroups> particles{};
    std::uint8_t particlesOn = 0;
    std::uint8_t hoverButton = 0;
    std::uint8_t prevHoverButton = 0;
    std::uint8_t windowHidden = 0;
    std::int32_t nameBytes = 0;
    std::uint8_t charIndex = 0;
    std::uint8_t lineColumn = 0;
    std::uint8_t pageLines = 0;
    std::int16_t penX = 0;
    std::int16_t penY = 0;
    std::uint16_t rubyStart = 0;
    std::int16_t rubyLine = 0;
    std::uint8_t rubyOpen = 0;
    std::uint16_t rubyEnd = 0;
    std::uint8_t windowShown = 0;
    std::array<std::uint16_t, 5> saveTime{}; // year, month, day, hour, minute
    std::uint8_t subState = 0;
    std::unique_ptr<char[]> messageBuffer; // L + 1 bytes
    std::uint16_t columnStartX = 0;
    std::uint32_t textDoneTime = 0;
    std::uint32_t lastCharTime = 0;
    std::array<std::unique_ptr<char[]>, kMaxChoices> choiceText;
    std::array<std::uint32_t, kMaxChoices> choiceTarget{}; // offsets from scriptBase
    std::array<std::uint8_t, kMaxChoices> choiceLength{};
    std::uint8_t choiceCount = 0;
    std::uint8_t choiceHover = 0;
    std::uint8_t prevChoiceHover = 0;
    std::array<std::int16_t, 2> glideTarget{};
    std::array<std::int16_t, 2> glideFrom{};
    std::unique_ptr<std::uint8_t[]> scriptBuffer; // scriptSize + 1 bytes, the last one 0
    const std::uint8_t* scriptBase = nullptr;
    std::uint32_t pc = 0;           // offset of the next record
    std::uint32_t messageStart = 0; // offset a save resumes at
    std::uint32_t scriptSize = 0;
    std::array<std::int32_t, kScriptVars> vars{};
    std::uint8_t panDrawMode = 0;
    std::array<std::int16_t, 2> panFrom{};
    std::array<std::int16_t, 2> panTo{};
    std::uint32_t effectTime = 0;
    std::uint32_t effectDuration = 0;
    std::uint8_t effectType = 0;
    std::uint16_t effectProgress = 0;
    std::uint16_t effectAmplitude = 0;
    std::uint16_t effectRamp = 0;
    std::array<LayerSlot, kLayerSlots> layers{};
    std::uint8_t currentLayer = 0;
    std::uint32_t overlayColor = 0;
    std::uint8_t layerMaskWipe = 0;
    std::uint8_t layerAnimOn = 0;
    std::uint8_t layerWaitByte = 0;
    std::uint32_t layerWaitMs = 0;
    std::uint32_t layerWaitStart = 0;
    std::uint32_t effectStart = 0;
    std::int32_t effectLength = 0;
    std::uint8_t effectKind = 0;
    std::array<platform::Rect, kMaxChoices> choicePlateRects{};
    platform::WindowHandle hwnd = platform::WindowHandle::None;

    // Sparkles over the hovered choice plate.
    struct Sparkle {
        std::uint16_t x = 0;
        std::uint16_t rise = 0;
        std::uint16_t size = 1;
        std::int16_t drift = 0;
        std::uint16_t step = 1;
        std::uint32_t phase = 0;
    };
    std::array<Sparkle, 64> sparkles{};
    std::uint32_t sparkleClock = 0;

    // The style-0 click-wait icon: the opacity of each of its eight cells and
    // whether the whole icon is fading out.
    std::array<std::uint16_t, 8> waitCellOpacity{};
    std::uint8_t waitIconFading = 0;

    // The eye-catch's letters, pieces and marks: start time, state (0
    // waiting, 1 moving, 2 at rest) and travel.
    std::array<std::uint32_t, 6> pieceStart{};
    std::array<std::uint8_t, 6> pieceState{};
    std::array<std::uint32_t, 6> pieceTravel{};

    // Message-window buttons: picture cells in the button sheet, hit
    // rectangles (left, top, right, bottom) and draw positions, per style.
    std::array<Area, 8> buttonCells0{};
    std::array<platform::Rect, 8> buttonHits0{};
    std::array<platform::Rect, 8> buttonDraws0{};
    std::array<Area, 6> buttonCells1{};
    std::array<platform::Rect, 6> buttonHits1{};
    std::array<platform::Rect, 6> buttonDraws1{};

    // Where opcode 19 last placed a character; opcode 74 draws there.
    std::int16_t lastCharX = 0;
    std::int16_t lastCharY = 0;

private:
    std::uint8_t Byte(std::uint32_t at) const;
    std::int8_t SByte(std::uint32_t at) const;
    std::uint16_t Word(std::uint32_t at) const;
    std::int16_t SWord(std::uint32_t at) const;
    std::uint32_t Dword(std::uint32_t at) const;
    std::int32_t SDword(std::uint32_t at) const;
    // The string operand of the record at `at`: at most L bytes, cut at the
    // first zero byte.
    std::string_view StringOperand(std::uint32_t at) const;
    // Offset of the record after the one at `at`.
    std::uint32_t NextRecord(std::uint32_t at) const;

    // Empty when the record may run; else what is wrong with it.
    std::string CheckRecord(std::uint32_t at, const script::OpcodeFormat& format) const;
    // Empty when the name the record's handler keeps fits the field it goes to.
    std::string CheckKeptName(std::uint32_t at, const script::OpcodeFormat& format) const;
    // The name a sound record's handler loads and keeps: the title of the
    // file it names with ".ogg".
    static std::string SoundFileName(std::string_view operand);
    std::uint32_t Run(std::uint8_t opcode, std::uint32_t at);
    // Opcode 1: the script is over.
    void EndScript();
    // Reports what is wrong (once per script), then ends the script.
    void FailScript(const std::string& why);
    std::uint32_t MessageRecord(std::uint32_t at, bool silent);
    void ClearCharSlots(int count);
    void DeleteWorkSurfaces2To9();
    void ClearSurfaceAndCharNames();
    void SetMode(std::uint8_t mode);
    void FullRedraw();
    std::size_t DrawRubyInto(std::string_view text, std::size_t index, CDib* columnTarget);

    // What one drawing step of the message met.
    enum class DrawStop : std::uint8_t { Drew, End, Voice, FrameEnd, PageEnd };
    // How the message comes onto the window: all of it in one frame, or one
    // character a frame. Revealed on its own, a one-byte character lets no
    // punctuation hang after it.
    enum class Reveal : std::uint8_t { Whole, ByCharacter };
    // Draws the next character of the message (after the tags and ruby marks
    // ahead of it) and applies the break rules.
    DrawStop DrawMessageStep(std::string_view text, Reveal reveal);
    DrawStop DrawColumnStep(std::string_view text, Reveal reveal);
    void NewLine(std::string_view text, bool forcedBreak);
    void DrawIcon(std::string_view text);
    bool CommandLine(std::string_view text);
    void BeginClickWait();
    void ClickWait(std::string_view text);
    void AdvanceMessage(bool stopSounds);
    void HideWindow();
    void MarkTextRead();
    bool TagTextSkipped() const;
    void StopVoiceAndScriptSound();
    void TakeMenuSnapshot(bool eraseWindow);
    void DrawChoicePlate(int option, bool lit);
    void DrawChoiceText(int option, int y);
    void RespawnSparkle(Sparkle& s, std::uint32_t k, bool reborn);
    void TagFace(std::string_view body);
    void TagSound(std::string_view body);
    void TagVoice(std::string_view body);
    void TagPositions(std::string_view body);
    // The last `pageLines` history entries as columns on `page` (opcode 65:
    // surface 1); of the last entry only its first `lastEntryBytes` bytes.
    // `lastEntryX` receives the column the last entry starts in.
    void DrawFullPageText(CDib* page, std::size_t lastEntryBytes = std::string_view::npos,
                          int* lastEntryX = nullptr);
    // The speaker name on the window's text surface from (x, y); the window
    // centres it from SpeakerNameX.
    void DrawSpeakerName(std::string_view name, int x, int y);
    static int SpeakerNameX(std::string_view name);
    // The bottom window's whole text redrawn as the display drew it (a loaded
    // save): pen, line count and shown characters end as the display left them.
    void RedrawWindowText(std::string_view text);
    // The system pictures the constructor loads.
    void LoadSystemPictures();
    // The text surface: a 32-bit copy of the window picture.
    void MakeWindowTextSurface();
    // Places the first 32 particles of each group inside `particleRect`.
    void InitParticles();
    // One frame of screen effect `effectKind` (mode 5).
    void DrawEffectFrame(std::uint32_t now, std::uint32_t elapsed, std::uint32_t length);
    // The clock of a sequence step: true once it is over (p reached `limit`,
    // or Ctrl or skipped effects); `p` the progress at the current time.
    bool StepOver(std::uint32_t length, std::uint32_t& p, std::uint32_t limit = 255);
    // The next step of a sequence, its clock restarted.
    void NextStep(std::uint8_t step);
    // Back to the interpreter with `message` said once (a sequence that
    // would otherwise never end).
    void LeaveUnknownSequence(const char* message);
    // A sequence step that runs transition `effect` from `from` to `to` over
    // `length` ms: true once it is over, with `to` then on the screen.
    bool TransitionStepOver(int effect, std::uint32_t length, CDib* to, CDib* from);
    // A sequence's end: cdib[1] to cdib[lastSurface] freed, back to the script.
    void EndSequence(int lastSurface);
    // Mode 38's way out: every slot with a picture jumps to its end.
    void FinishLayers();
    // Union of the current rectangles of the started slots with pictures,
    // seeded with `seed`, kept on the screen.
    platform::Rect LayerUnion(const platform::Rect& seed) const;
    // Draws slot `slot` at opacity `alpha` into the destination its state picks.
    void DrawLayerPicture(int slot, int alpha);
    // Leaves an empty script in place of one that could not be loaded.
    void FailLoad(const std::string& why);
    // Tells the player, once per script, what is wrong with it.
    void Report(const std::string& why);

    std::string loadedName_;
    bool scriptFaultReported_ = false;
};

extern std::unique_ptr<CScenario> g_scenario;

struct QuakeView;
// The paint step's view of the quake of `g_scenario`, while one runs; the
// script object's constructor installs it as the presentation's quake source.
bool StoryQuake(QuakeView& out);

// Surfaces the script object owns: made by its constructor or by opcodes,
// freed by its destructor.
extern std::unique_ptr<CDib> g_msgWindowBase;
extern std::unique_ptr<CDib> g_msgWindowText;
extern std::unique_ptr<CDib> g_msgWindowButtons;
extern std::unique_ptr<CDib> g_waitIcon;
extern std::unique_ptr<CDib> g_clickWaitIcon;
extern std::unique_ptr<CDib> g_choicePlate;
extern std::unique_ptr<CDib> g_choiceBase;
extern std::unique_ptr<CDib> g_blackImage;
extern std::unique_ptr<CDib> g_titleIcon;
extern std::unique_ptr<CDib> g_gaijiSheet;
extern std::unique_ptr<CDib> g_obiImage;
extern std::unique_ptr<CDib> g_dayImage;
extern std::unique_ptr<CDib> g_day2Image;
extern std::array<std::unique_ptr<CDib>, kLayerSlots> g_layerImages;
extern std::unique_ptr<CDib> g_layerScratch;
extern std::array<std::unique_ptr<CDib>, kCharSlots> g_charFrames;
extern std::array<std::unique_ptr<CDib>, kCharSlots> g_faceFrames;
extern std::unique_ptr<CDib> g_bandImage;
extern std::unique_ptr<CDib> g_screenSnapshot;
