// What the contest's special-attack cut-ins share. A cut-in is one member of
// CRusGame, called once a frame while the contest is frozen in state 5 or 6;
// it switches on CutInPhase, draws the whole frame into the back buffer from
// the surfaces it prepared in its first phase, and its last phase returns to
// play. A member reads as its list of phases, each a few calls of the helpers
// here:
//
//   case 1: // fade in
//       if (k.Fade(kReturn, kScene, 300)) return;
//       k.OpponentLine(0);
//       k.StartBand();
//       k.Next();
//       return;
//
// Timing: a timed phase's level is Elapsed × 255 ÷ T (× 254 for the opacity
// ramps of pictures). While it is below full the phase draws its in-between
// frame; the first frame at full draws the final frame, and Next() clears the
// click, restarts StartTime and moves on. docs/screens.md, "Cut-ins", walks
// through writing a member.
//
// Surfaces: a running cut-in owns cdib[10] to cdib[17] (and the mask when it
// loads one); its ending frees them. It reads, never changes, the contest's
// own surfaces: [1] the background, [2] the hole tiles, [4] the playfield
// parts, [21] the effect overlays.
#pragma once

#include "screenkit/Steps.h"
#include "takoyaki/RusGame.h"

#include <array>
#include <cstdint>
#include <optional>

class CDib;

// The opponents' lines as a cut-in starts, at 2 × opponent + variant.
extern const std::array<const char*, 12> g_rusCutInVoice;
// The opponents' reactions to the player's special 1 and special 2.
extern const std::array<const char*, rus::kOpponents> g_rusReactVoice1;
extern const std::array<const char*, rus::kOpponents> g_rusReactVoice2;

namespace rus::cutin {

// Work surfaces of a running cut-in.
inline constexpr int kReturn = 10; // the contest as it stood: the cut-in ends on it
inline constexpr int kScene = 11;  // the screen under the member's base picture
inline constexpr int kBase = 12;   // the base picture, then the member's own
inline constexpr int kSheet = 13;  // the band strip and the member's pictures
inline constexpr int kFlash = 14;  // most members' flash of one colour
inline constexpr int kFirstSlot = kReturn;
inline constexpr int kLastSlot = 17;
// Contest surfaces the cut-ins read.
inline constexpr int kBackground = 1;
inline constexpr int kTiles = 2;
inline constexpr int kParts = 4;
inline constexpr int kOverlays = 21;

// The band across the middle of the screen.
inline constexpr int kBandY = 194;
inline constexpr int kBandH = 213;

// The phase of the player's special 2 that follows its reel attack.
inline constexpr std::uint8_t kReelAttackEnd = 6;
// The burning's fades among its five pictures.
inline constexpr std::size_t kCutFades = 9;

// The sound-effect channel of a cut-in's sounds and the voice channels of its
// lines.
inline constexpr int kSeChannel = 0;
inline constexpr int kOpponentVoice = 10;
inline constexpr int kAnnouncerVoice = 0;

inline constexpr std::uint32_t kShakeMs = 800;
inline constexpr std::uint32_t kShakeStepMs = 88;
inline constexpr std::uint32_t kBarDropMs = 800;

// A rectangle of a picture sheet.
struct Piece {
    int sx, sy, w, h;
};

// Whether a click, the skip key or the skip-effects setting ends a phase at once.
enum class Skip : std::uint8_t { No, Yes };
// Whether the ending frees the wipe's mask picture or leaves it for the next user.
enum class Mask : std::uint8_t { Keep, Free };
// The mark drawn over a redrawn hole.
enum class HoleMark : std::uint8_t { None, Ready, Burnt };
// Whether a phase end clears the click flag.
enum class Click : std::uint8_t { Clear, Keep };
// How the opening goes into its flash: a wipe along the mask or a cross-fade.
enum class Into : std::uint8_t { Wipe, Fade };
// The line the opening plays as the band starts: none, the one phase 0
// loaded, or the opponent's own line of the variant that runs.
enum class Line : std::uint8_t { None, Loaded, Variant };
// What the ending does with the effects the player had set (and the player's
// cooking intervals and her covered holes, which go back in either case).
enum class PlayerEffects : std::uint8_t { End, Stay };
// Whether the ending turns the player's no-burn effect off.
enum class NoBurnEffect : std::uint8_t { Stays, Ends };
// Whether the ending stamps the opponent's effects with the clock.
enum class EffectStamp : std::uint8_t { Left, Set };
// Whether the ending frees the sound-effect channels 0 and 1.
enum class Sounds : std::uint8_t { Left, Free };

// What phase 0 prepares besides the pictures every member has: a flash of
// one colour in slot 14 with the wipes' mask, a sound played at once on
// channel 0, one loaded on channel 1 and the opponent's line loaded on hers
// (both played by the member later).
struct Setup {
    std::optional<std::uint32_t> flash = std::nullopt;
    const char* sound = nullptr;
    const char* soundLater = nullptr;
    const char* line = nullptr;
};

// What an opponent's ending does where the members differ; the rest is
// every member's. `counters` is also whether her think timer restarts.
struct Ending {
    const char* line = nullptr; // the announcer's closing line
    Sounds sounds = Sounds::Left;
    Mask mask = Mask::Keep;
    std::int8_t plates = 0; // her price in served plates
    GaugeReset gauges = GaugeReset::EmptyBoth;
    PlayerEffects playerEffects = PlayerEffects::End;
    NoBurnEffect noBurn = NoBurnEffect::Stays;
    EffectStamp stamp = EffectStamp::Left;
    // Her lasting effect, set unless the player is guarded.
    std::uint8_t CRusContest::*effect = nullptr;
    CutInCounters counters = CutInCounters::All;
};

// One frame's view of the contest screen for a member. Everything it changes
// is a field of the contest or a shared slot: it keeps nothing itself.
class CutIn {
public:
    explicit CutIn(CRusGame& game) : game_(game), c_(game.Contest) {}

    // ------------------------------------------------------------ timing
    // Elapsed := clock − StartTime; returns it.
    std::uint32_t Tick();
    // Elapsed × 255 ÷ T, capped at 255 (Level holds it).
    std::uint16_t Level(std::uint32_t duration);
    // Elapsed × 254 ÷ T, capped at 254: the opacity ramp of a picture.
    std::uint16_t Ramp(std::uint32_t duration);
    // A timed phase without a picture of its own: true while it runs.
    bool Waiting(std::uint32_t duration, Skip skip = Skip::No);
    // The phase ends: the click is cleared, StartTime := clock and the next
    // phase (or `phase`) starts.
    void Next(Click click = Click::Clear);
    void Next(std::uint8_t phase, Click click = Click::Clear);
    // The same for the sub-steps counted in CutInStep.
    void NextStep(Click click = Click::Clear);
    // min(Elapsed × distance ÷ T, distance): how far a sliding picture has come.
    static int Slide(std::uint32_t elapsed, int distance, std::uint32_t duration);

    // ------------------------------------------------------------ pictures
    // The back buffer each frame is drawn into.
    static CDib* Back();
    // Phase 0: the return picture, the scene with the base picture drawn
    // over it, the timers kept while play is frozen, the sheet in slot 13
    // and what `setup` names; then phase 1 starts, the click left for the
    // end of its transition. What else the member loads it loads after.
    void SetUp(const char* basePicture, const char* sheet, const Setup& setup = {});
    // A picture of the sheet drawn with its alpha, or at an opacity (254 at rest).
    void Draw(CDib* target, const Piece& piece, int x, int y, int slot = kSheet) const;
    void Draw(CDib* target, const Piece& piece, int x, int y, int opacity, int slot) const;
    // A picture of the sheet stretched to (x, y, w, h) at an opacity.
    void Stretch(CDib* target, const Piece& piece, int x, int y, int w, int h, int opacity,
                 int slot = kSheet) const;
    // The additive glint over a picture standing at (x, y): its opacity
    // follows half a sine wave over T ms, so it swells and fades once.
    void Glint(CDib* target, const Piece& piece, int x, int y, std::uint32_t elapsed,
               std::uint32_t duration, int slot = kSheet) const;
    // The rule-mask picture of the wipes, replacing what stood there.
    static void LoadMask(const char* name);

    // ------------------------------------------------------------ elements
    // A cross-fade (effect 39) or a wipe (effect 40, after the mask) of T ms
    // from one slot to another; true while it runs. At its end the incoming
    // picture stands whole in the back buffer.
    bool Fade(int from, int to, std::uint32_t duration, Skip skip = Skip::No);
    bool Wipe(int from, int to, std::uint32_t duration, Skip skip = Skip::No);
    // The opening of most members, phases 1 and 2: 300 ms from the contest
    // into the flash in slot 14, then `backMs` of fade from the flash to the
    // scene. True while it runs. On the frame the fade ends the line plays,
    // the band starts, the sub-step counters go back to 0 and phase 3
    // starts; it returns false then, for what else the member does there.
    bool Opening(Into into, std::uint32_t backMs, Line line);
    // The scrolling band: StartBand when its phase starts, then Band each frame
    // (its offset moves by `step` every 8 ms; the band area is refreshed from
    // the scene's rows from `sceneRow`); BakeBand draws it at its offset into
    // the scene for the bake.
    void StartBand();
    void Band(int step, int sceneRow);
    void BakeBand();
    // A band phase's frame that starts from the whole scene: the scene, then
    // the band. Returns the phase's Elapsed.
    std::uint32_t SceneBand(int step);
    // The shake of a picture (the return picture unless the member names
    // another), `length` ms from CutInTimer; true while it runs. At its end
    // ScrollOffset := 0 and the return picture stands whole in the back buffer.
    bool Shake(int slot = kReturn, std::uint32_t length = kShakeMs);
    // The same shake alternating with a flash: the odd displacements show
    // the flash surface instead of the return picture.
    bool FlashShake(int flash, std::uint32_t length, std::uint32_t stepMs = kShakeStepMs);
    // Bombs: a bomb on each hole of `target`'s pan whose draw comes out odd
    // (only even holes can: the draw is multiplied by the hole's number less
    // one), the holes covered with them; BombFrame[0] counts the falling
    // frames. Blast: 50 life and 6 more for each bombed hole that held
    // something, the bombed holes emptied.
    void LayBombs(Side target);
    void Blast(Side target);
    // Frame `frame` of the bomb strip in `slot` over each bombed hole.
    void DrawBombs(Side target, int frame, int slot) const;
    // The hit's falling piece of `target`'s life bar; true while it falls.
    bool BarDrop(Side target);
    // The same as a phase of its own: the next phase starts once it has fallen.
    void BarDropPhase(Side target, Click click = Click::Clear);
    // A changed hole drawn into the return picture with its new stage.
    void RedrawHole(Side side, int hole, HoleMark mark) const;
    // The burning's five quick pictures, 01 to 05 in slots 12 to 16, and
    // their sound; fade `i` of the nine among them (from slot 11 to 01, up
    // to 05 and back down to 01), true while it runs.
    static void LoadCuts();
    bool CutFade(std::size_t i);
    // Every ball on `target`'s pan burns: 10 life and 6 more a ball, each
    // hole counted as burnt and redrawn so. False when the target is
    // guarded; the return picture is then shown whole.
    bool Burn(Side target);

    // ------------------------------------------------------------ sounds
    // A sound once on an effect channel, at the effect volume.
    static void Se(int channel, const char* name);
    // The opponent's line of its cut-in `variant`, unless its lines are off.
    void OpponentLine(int variant) const;
    // The opponent's reaction to the player's special 1 or 2.
    void Reaction(int special) const;
    // An announcer's line on voice channel 0, unless the announcer is off.
    static void AnnouncerLine(const char* name);
    // An announcer's line loaded now and played later by PlayAnnouncer.
    static void LoadAnnouncer(const char* name);
    static void PlayAnnouncer();
    // An opponent's line loaded on its channel now and played later by
    // PlayOpponentLoaded, unless its lines are off.
    static void LoadOpponentLine(const char* name);
    void PlayOpponentLoaded() const;
    // A line on the opponent's channel at another character's voice level.
    static void OpponentLineAt(const char* name, std::size_t levelByte);

    // ------------------------------------------------------------ ending
    // The cut-in's surfaces freed (and its mask with Mask::Free).
    static void FreeSurfaces(Mask mask);
    // Items 2 to 6 of the ending in their order: the surfaces freed, the
    // frozen timers put back, the attacker's price in plates and its gauges.
    void FreeAndPay(Mask mask, Side attacker, std::int8_t plates, GaugeReset reset);
    // An opponent's whole ending, the last phase of her members: the
    // closing line, the surfaces freed and the timers put back, her price
    // and gauges, the player's effects ended (the guard read first), her own
    // effect and stamp, and the return to play with the click cleared.
    void OpponentEnding(const Ending& ending);

private:
    void Speak(const char* name, int channel) const;
    bool ShakeOf(int evenSlot, int oddSlot, std::uint32_t length, std::uint32_t stepMs);

    CRusGame& game_;
    CRusContest& c_;
};

} // namespace rus::cutin
