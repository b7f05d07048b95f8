#include "scenario/ScriptFormat.h"

#include <algorithm>
#include <initializer_list>

namespace script {
namespace {

using FT = FieldType;
using C = Check;

OpcodeFormat Op(std::uint8_t opcode, std::string_view name, std::uint8_t length,
                std::initializer_list<Field> fields, std::int8_t stringAt = -1,
                StringKind kind = StringKind::None) {
    OpcodeFormat f;
    f.opcode = opcode;
    f.name = name;
    f.length = length;
    f.stringLengthAt = stringAt;
    f.stringKind = kind;
    for (const Field& field : fields)
        f.fields.at(f.fieldCount++) = field;
    return f;
}

constexpr Field kRect[] = {
    {"x", 4, FT::I16},      {"y", 6, FT::I16},      {"w", 8, FT::I16},      {"h", 10, FT::I16},
    {"src_x", 12, FT::I16}, {"src_y", 14, FT::I16}, {"src_w", 16, FT::I16}, {"src_h", 18, FT::I16},
};

OpcodeFormat LayerRectOp(std::uint8_t opcode, std::string_view name, Field byte3, Field d20,
                         Field d24, Field d28) {
    OpcodeFormat f = Op(opcode, name, 32, {{"layer", 2, FT::U8, C::Layer}, byte3});
    for (const Field& r : kRect)
        f.fields.at(f.fieldCount++) = r;
    for (const Field& d : {d20, d24, d28})
        f.fields.at(f.fieldCount++) = d;
    return f;
}

std::array<OpcodeFormat, kOpcodeCount> BuildTable() {
    constexpr auto Text = StringKind::Text;
    constexpr auto File = StringKind::FileName;
    constexpr auto Voice = StringKind::VoiceName;
    constexpr auto Loaded = StringKind::LoadedName;
    const Field compare[] = {
        {"var", 4, FT::U32, C::Var}, {"value", 8, FT::I32}, {"target", 12, FT::Target}};
    auto jump = [&](std::uint8_t op, std::string_view name) {
        return Op(op, name, 16, {compare[0], compare[1], compare[2]});
    };
    const OpcodeFormat list[] = {
        Op(0, "message", 4, {}, 3, Text),
        Op(1, "end", 4, {}),
        Op(2, "change_script", 4, {}, 3, File),
        Op(3, "set_mode", 4, {{"mode", 2, FT::U8, C::Mode}}),
        Op(4, "set_var", 8, {{"var", 2, FT::U16, C::Var}, {"value", 4, FT::I32}}),
        Op(5, "add_var", 8, {{"var", 2, FT::U16, C::Var}, {"value", 4, FT::I32}}),
        jump(6, "jump_eq"),
        jump(7, "jump_ne"),
        jump(8, "jump_gt"),
        jump(9, "jump_lt"),
        jump(10, "jump_ge"),
        jump(11, "jump_le"),
        Op(12, "text_block", 8, {{"block", 4, FT::U32, C::TextBlock}}),
        Op(13, "jump", 8, {{"target", 4, FT::Target}}),
        Op(14, "wait", 8, {{"ms", 4, FT::U32}}),
        Op(15, "load_image", 4, {{"surface", 2, FT::I8, C::Surface}}, 3, File),
        Op(16, "load_background", 4, {{"surface", 2, FT::U8, C::Surface}}, 3, File),
        Op(17, "restore_backup", 8, {{"variant", 6, FT::U16}}),
        Op(18, "set_char_sprite", 4, {{"slot", 2, FT::U8, C::CharSlot}}, 3, File),
        Op(19, "set_char", 8,
           {{"slot", 2, FT::U8, C::CharSlot},
            {"face", 3, FT::U8},
            {"x", 4, FT::I16},
            {"y", 6, FT::I16}}),
        Op(20, "mask_wipe", 8, {{"type", 2, FT::U8}, {"ms", 4, FT::U32}}),
        Op(21, "transition", 8, {{"type", 2, FT::U8}, {"ms", 4, FT::U32}}),
        Op(22, "fill_background", 8, {{"surface", 2, FT::U8, C::Surface}, {"color", 4, FT::U32}}),
        Op(23, "color_blend", 8, {{"color", 4, FT::Argb}}),
        Op(24, "pan", 20,
           {{"surface", 2, FT::U8, C::Surface},
            {"ease", 3, FT::U8},
            {"variant", 4, FT::U8},
            {"from_x", 8, FT::I16},
            {"from_y", 10, FT::I16},
            {"to_x", 12, FT::I16},
            {"to_y", 14, FT::I16},
            {"ms", 16, FT::I32}}),
        Op(25, "copy_rect", 20,
           {{"dst", 2, FT::U8, C::Surface},
            {"x", 4, FT::I16},
            {"y", 6, FT::I16},
            {"src", 8, FT::U8, C::Surface},
            {"src_x", 12, FT::I16},
            {"src_y", 14, FT::I16},
            {"w", 16, FT::I16},
            {"h", 18, FT::I16}}),
        Op(26, "blank_surface", 8,
           {{"surface", 2, FT::U8, C::Surface},
            {"w", 4, FT::U16, C::SurfaceSide},
            {"h", 6, FT::U16, C::SurfaceSide}}),
        Op(27, "choice", 4, {{"point", 2, FT::U8, C::ChoicePoint}}),
        Op(28, "clear_choices", 4, {}),
        Op(29, "add_choice", 8, {{"target", 4, FT::Target}}, 2, Text),
        Op(30, "scene_end", 4, {{"scene", 3, FT::U8, C::Scene}}),
        Op(33, "set_flag", 4, {{"flag", 2, FT::I8, C::ScriptFlag}}),
        Op(34, "play_bgm", 8, {{"loop", 3, FT::U8}}, 7, File),
        Op(35, "stop_bgm", 4, {}),
        Op(36, "fade_bgm", 8, {{"ms", 4, FT::U32}}),
        Op(37, "play_bgm_fade", 12, {{"loop", 2, FT::U8}, {"ms", 4, FT::U32}}, 8, File),
        Op(38, "lower_bgm", 4, {}),
        Op(39, "play_voice", 8, {{"loop", 3, FT::U8}}, 7, Voice),
        Op(40, "load_play_se", 8, {{"channel", 2, FT::U8, C::SeChannel}, {"loop", 3, FT::U8}}, 7,
           StringKind::LoopingSoundName),
        Op(41, "stop_se", 4, {{"channel", 2, FT::U8, C::SeChannel}}),
        Op(42, "wait_voice", 4, {{"channel", 2, FT::U8, C::VoiceChannel}}),
        Op(43, "stop_voice", 4, {{"channel", 2, FT::U8, C::VoiceChannel}}),
        Op(44, "fade_out_se", 8, {{"channel", 2, FT::U8, C::SeChannel}, {"ms", 4, FT::U32}}),
        Op(45, "play_se", 12,
           {{"channel", 2, FT::U8, C::SeChannel}, {"loop", 3, FT::U8}, {"ms", 4, FT::U32}}, 8,
           File),
        Op(46, "play_voice_slot", 8, {{"channel", 2, FT::U8, C::VoiceChannel}}, 7, Voice),
        Op(47, "load_voice", 8, {{"channel", 2, FT::U8, C::VoiceChannel}}, 7, Loaded),
        Op(48, "load_se", 8, {{"channel", 2, FT::U8, C::SeChannel}}, 7, Loaded),
        Op(49, "play_wave", 4,
           {{"channel", 2, FT::U8, C::VoiceChannel}, {"class", 3, FT::U8, C::VoiceClass}}),
        Op(50, "play_se_slot", 4, {{"channel", 2, FT::U8, C::SeChannel}, {"loop", 3, FT::U8}}),
        Op(51, "day", 4, {{"day", 3, FT::I8}}),
        Op(52, "save_group", 4, {{"group", 3, FT::I8}}),
        Op(53, "eye_catch", 4, {{"variant", 3, FT::U8}}),
        Op(54, "black_overlay", 4, {{"surface", 2, FT::U8, C::Surface}}),
        Op(55, "skip55", 4, {}),
        Op(56, "skip56", 4, {}),
        Op(57, "skip57", 4, {}),
        Op(58, "store_byte", 4, {{"value", 2, FT::U8}}),
        Op(59, "jump_flag", 8, {{"flag", 2, FT::I8, C::ScriptFlag}, {"target", 4, FT::Target}}),
        Op(60, "load_layer", 4, {{"layer", 2, FT::U8, C::Layer}}, 3, Loaded),
        LayerRectOp(61, "layer_tween", {"type", 3, FT::U8}, {"span", 20, FT::U32},
                    {"angle", 24, FT::U32}, {"ms", 28, FT::U32}),
        Op(62, "message_silent", 12, {{"x", 4, FT::I16}, {"y", 6, FT::I16}}, 8, Text),
        Op(63, "particles", 4, {{"on", 3, FT::U8}}),
        Op(64, "window_style", 4, {{"style", 2, FT::U8}}),
        Op(65, "full_page", 4, {}),
        LayerRectOp(66, "layer_mask", {"mask", 3, FT::U8}, {"fixed_angle", 20, FT::U32},
                    {"angle", 24, FT::U32}, {"delay", 28, FT::U32}),
        Op(67, "layer_wobble", 16,
           {{"layer", 2, FT::U8, C::Layer},
            {"sweep", 4, FT::U32},
            {"opacity", 8, FT::I16},
            {"ramp", 12, FT::U32}}),
        Op(68, "color_fade", 12,
           {{"layer", 2, FT::U8, C::Layer}, {"ms", 4, FT::U32}, {"color", 8, FT::Argb}}),
        Op(69, "wait_layers", 8, {{"value", 2, FT::U8}, {"ms", 4, FT::U32}}),
        Op(70, "reset_layers", 4, {}),
        Op(71, "start_layer", 4, {{"layer", 2, FT::U8, C::Layer}}),
        Op(72, "bake_layers", 4, {{"last", 2, FT::I8, C::LayerOrNone}}),
        Op(73, "skip73", 4, {}),
        Op(74, "face_frame", 8,
           {{"slot", 2, FT::U8, C::CharSlot}, {"face", 3, FT::U8}, {"ms", 4, FT::U32}}),
        Op(75, "layer_effect", 8,
           {{"layer", 2, FT::U8, C::Layer}, {"type", 3, FT::U8}, {"ms", 4, FT::U32}}),
        Op(76, "redraw_window", 4, {}),
        Op(77, "fade_to_saved", 4, {}),
        Op(78, "curtain", 4, {{"variant", 2, FT::U8}}),
        Op(79, "erase_window", 4, {}),
        Op(80, "quake", 12,
           {{"type", 2, FT::U8},
            {"loop", 3, FT::U8},
            {"amplitude", 4, FT::U16},
            {"period", 8, FT::U32}}),
        Op(81, "stop_quake", 8, {}),
        Op(82, "band", 4, {{"kind", 2, FT::U8}}),
        Op(83, "stop_band", 4, {}),
        Op(84, "wait_click", 4, {}),
        Op(85, "layer_phase", 12,
           {{"layer", 2, FT::U8, C::Layer}, {"phase", 4, FT::U32}, {"base", 8, FT::I16}}),
        Op(86, "clear_layer", 4, {{"layer", 2, FT::I8, C::Layer}}),
        Op(87, "config_byte", 4, {{"value", 2, FT::U8}}),
        Op(88, "load_layer_chara", 4, {{"layer", 2, FT::U8, C::Layer}}, 3, Loaded),
    };
    std::array<OpcodeFormat, kOpcodeCount> table{};
    for (const OpcodeFormat& f : list)
        table[f.opcode] = f;
    return table;
}

const std::array<OpcodeFormat, kOpcodeCount>& Table() {
    static const std::array<OpcodeFormat, kOpcodeCount> table = BuildTable();
    return table;
}

} // namespace

const OpcodeFormat* FindOpcode(std::uint8_t opcode) {
    if (opcode >= kOpcodeCount || opcode == 31 || opcode == 32) return nullptr;
    return &Table()[opcode];
}

const OpcodeFormat* FindOpcode(std::string_view name) {
    for (const OpcodeFormat& f : Table())
        if (!f.name.empty() && f.name == name) return &f;
    return nullptr;
}

unsigned FieldWidth(FieldType type) {
    switch (type) {
    case FieldType::U8:
    case FieldType::I8:
        return 1;
    case FieldType::U16:
    case FieldType::I16:
        return 2;
    case FieldType::U32:
    case FieldType::I32:
    case FieldType::Target:
    case FieldType::Argb:
        return 4;
    }
    return 1;
}

bool FieldIsSigned(FieldType type) {
    return type == FieldType::I8 || type == FieldType::I16 || type == FieldType::I32;
}

std::uint32_t OperandExtent(const OpcodeFormat& format) {
    std::uint32_t end = 2;
    for (const Field& f : format.Fields())
        end = std::max<std::uint32_t>(end, f.offset + FieldWidth(f.type));
    if (format.stringLengthAt >= 0) end = std::max<std::uint32_t>(end, format.stringLengthAt + 1u);
    return end;
}

bool CheckValue(Check check, std::int64_t v) {
    switch (check) {
    case Check::None:
        return true;
    case Check::Var:
        return v >= 0 && v < 128;
    case Check::Surface:
        return v >= 0 && v < 64;
    case Check::Layer:
        return v >= 0 && v < 10;
    case Check::LayerOrNone:
        return v < 10;
    case Check::CharSlot:
        return v >= 0 && v < 15;
    case Check::SeChannel:
        return v >= 0 && v < 9;
    case Check::VoiceChannel:
        return v >= 0 && v < 20;
    case Check::VoiceClass:
        return v >= 0 && v < 18;
    case Check::ChoicePoint:
        return v >= 0 && v < 100;
    case Check::TextBlock:
        return v >= 0 && v < 60000;
    case Check::Scene:
        return v >= 0 && v < 28;
    case Check::ScriptFlag:
        return v >= 0 && v < 20;
    case Check::Mode:
        return v >= 0 && v < 73;
    case Check::SurfaceSide:
        return v >= 0 && v <= 4096;
    }
    return false;
}

std::string_view CheckName(Check check) {
    switch (check) {
    case Check::None:
        return "value";
    case Check::Var:
        return "variable index";
    case Check::Surface:
        return "work surface";
    case Check::Layer:
    case Check::LayerOrNone:
        return "sprite layer";
    case Check::CharSlot:
        return "character slot";
    case Check::SeChannel:
        return "sound-effect channel";
    case Check::VoiceChannel:
        return "voice channel";
    case Check::VoiceClass:
        return "voice volume class";
    case Check::ChoicePoint:
        return "choice point";
    case Check::TextBlock:
        return "text block";
    case Check::Scene:
        return "scene";
    case Check::ScriptFlag:
        return "script flag";
    case Check::Mode:
        return "game mode";
    case Check::SurfaceSide:
        return "surface size";
    }
    return "value";
}

std::uint32_t RecordEnd(std::span<const std::uint8_t> script, std::uint32_t at) {
    const auto byte = [&](std::uint64_t i) -> std::uint32_t {
        return i < script.size() ? script[i] : 0;
    };
    std::uint32_t end = at + byte(std::uint64_t{at} + 1);
    const OpcodeFormat* f = FindOpcode(static_cast<std::uint8_t>(byte(at)));
    if (f && f->stringLengthAt >= 0)
        end += byte(std::uint64_t{at} + static_cast<std::uint32_t>(f->stringLengthAt));
    return end;
}

bool IsRecordBoundary(std::span<const std::uint8_t> script, std::uint32_t offset) {
    if (offset > script.size()) return false;
    std::uint64_t at = 0;
    while (at < offset) {
        if (script.size() - at < 2 || script[at + 1] < kMinRecordLength) return false;
        at = RecordEnd(script, static_cast<std::uint32_t>(at));
    }
    return at == offset;
}

} // namespace script
