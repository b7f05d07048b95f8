#include "lib/ScriptAssembler.h"

#include "platform/Platform.h"
#include "scenario/ScriptFormat.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <set>

namespace nvasm {
namespace {

using script::Field;
using script::FieldType;
using script::OpcodeFormat;

struct Error {
    std::string message;
};

// ---------------------------------------------------------------- lexing

struct Token {
    std::string key;    // empty for a bare word
    std::string value;  // the word, or the value after '='
    bool quoted = false;
};

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A quoted string to bytes: UTF-8 runs converted to GBK, escapes as raw bytes.
std::string DecodeQuoted(std::string_view body) {
    std::string out;
    std::string run;
    auto flush = [&] {
        if (run.empty()) return;
        std::optional<std::string> gbk = platform::Utf8ToGbk(run);
        if (!gbk) throw Error{"text has a character without a GBK form"};
        out += *gbk;
        run.clear();
    };
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c != '\\') {
            run += c;
            continue;
        }
        if (++i >= body.size()) throw Error{"a string ends with a lone backslash"};
        switch (body[i]) {
        case '\\': run += '\\'; break;
        case '"': run += '"'; break;
        case 'n': run += '\n'; break;
        case 't': run += '\t'; break;
        case 'x': {
            const int hi = i + 1 < body.size() ? HexDigit(body[i + 1]) : -1;
            const int lo = i + 2 < body.size() ? HexDigit(body[i + 2]) : -1;
            if (hi < 0 || lo < 0) throw Error{"\\x needs two hexadecimal digits"};
            flush();
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: throw Error{std::string("unknown escape \\") + body[i]};
        }
    }
    flush();
    return out;
}

std::vector<Token> Tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        Token t;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '=' &&
               line[i] != '#')
            ++i;
        std::string word(line.substr(start, i - start));
        if (i < line.size() && line[i] == '=') {
            t.key = word;
            ++i;
            if (i < line.size() && line[i] == '"') {
                ++i;
                std::string body;
                while (i < line.size() && line[i] != '"') {
                    if (line[i] == '\\' && i + 1 < line.size()) body += line[i++];
                    body += line[i++];
                }
                if (i >= line.size()) throw Error{"a string is not closed"};
                ++i;
                t.value = DecodeQuoted(body);
                t.quoted = true;
            } else {
                start = i;
                while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#')
                    ++i;
                t.value = std::string(line.substr(start, i - start));
                if (t.value.empty()) throw Error{"field " + t.key + " has no value"};
            }
        } else {
            t.value = word;
        }
        tokens.push_back(std::move(t));
    }
    return tokens;
}

std::optional<std::int64_t> ParseNumber(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return std::nullopt;
    std::uint64_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (ec != std::errc() || p != s.data() + s.size() || v > 0xFFFFFFFFull) return std::nullopt;
    return negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
}

std::int64_t NumberOrThrow(std::string_view s, std::string_view what) {
    std::optional<std::int64_t> v = ParseNumber(s);
    if (!v) throw Error{std::string(what) + " is not a number: " + std::string(s)};
    return *v;
}

void Put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value, unsigned width) {
    if (bytes.size() < at + width) bytes.resize(at + width, 0);
    for (unsigned i = 0; i < width; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void CheckFits(std::int64_t v, unsigned width, std::string_view name) {
    const std::int64_t low = -(std::int64_t{1} << (8 * width - 1));
    const std::int64_t high = (std::int64_t{1} << (8 * width)) - 1;
    if (v < low || v > high) throw Error{"value of " + std::string(name) + " does not fit its field"};
}

// ---------------------------------------------------------------- records

struct PendingTarget {
    std::size_t at;  // byte offset in the output
    std::string label;
    int line;
};

struct Record {
    std::vector<std::uint8_t> bytes;
    std::vector<std::pair<std::size_t, std::string>> targets;  // offset in record, label
};

Record BuildRecord(const std::vector<Token>& tokens) {
    Record r;
    const Token& head = tokens[0];
    if (!head.key.empty()) throw Error{"a record starts with its opcode"};
    const OpcodeFormat* format = script::FindOpcode(head.value);
    int opcode = format ? format->opcode : -1;
    if (!format) {
        std::string_view word = head.value;
        if (word.starts_with("op")) word.remove_prefix(2);
        std::optional<std::int64_t> n = ParseNumber(word);
        if (!n || *n < 0 || *n > 255) throw Error{"unknown opcode " + head.value};
        opcode = static_cast<int>(*n);
        format = script::FindOpcode(static_cast<std::uint8_t>(opcode));
    }
    std::uint32_t length = format ? format->length : script::kMinRecordLength;
    std::vector<std::uint8_t> fixed(std::max<std::size_t>(length, format ? script::OperandExtent(*format) : 4), 0);
    fixed[0] = static_cast<std::uint8_t>(opcode);
    std::optional<std::int64_t> lengthOverride, stringLengthOverride;
    std::optional<std::string> text;
    std::vector<std::pair<std::size_t, std::int64_t>> rawBytes;
    std::set<std::string> seen;

    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.key.empty()) throw Error{"expected name=value, got " + t.value};
        if (!seen.insert(t.key).second) throw Error{"field " + t.key + " given twice"};
        if (t.key == "text" || t.key == "rawtext") {
            if (!t.quoted) throw Error{t.key + " needs a quoted string"};
            if (!format || format->stringLengthAt < 0) throw Error{"this opcode has no string"};
            if (seen.count("text") && seen.count("rawtext")) throw Error{"text and rawtext given together"};
            text = t.value;
            if (t.key == "text") text->push_back('\0');
            continue;
        }
        if (t.quoted) throw Error{"field " + t.key + " takes a number"};
        if (t.key == "len") {
            lengthOverride = NumberOrThrow(t.value, "len");
            CheckFits(*lengthOverride, 1, "len");
            continue;
        }
        if (t.key == "strlen") {
            stringLengthOverride = NumberOrThrow(t.value, "strlen");
            CheckFits(*stringLengthOverride, 1, "strlen");
            continue;
        }
        if (t.key.starts_with("byte")) {
            const std::int64_t at = NumberOrThrow(std::string_view(t.key).substr(4), "byte offset");
            if (at < 2 || at > 255) throw Error{"byte offsets run from 2 to 255"};
            const std::int64_t v = NumberOrThrow(t.value, t.key);
            CheckFits(v, 1, t.key);
            rawBytes.emplace_back(static_cast<std::size_t>(at), v);
            continue;
        }
        const Field* field = nullptr;
        if (format)
            for (const Field& f : format->Fields())
                if (f.name == t.key) field = &f;
        if (!field) throw Error{"unknown field " + t.key};
        const unsigned width = script::FieldWidth(field->type);
        if (field->type == FieldType::Target && !ParseNumber(t.value)) {
            if (!IsIdentStart(t.value[0]) ||
                !std::all_of(t.value.begin(), t.value.end(), [](char c) { return IsIdentChar(c); }))
                throw Error{"bad label " + t.value};
            r.targets.emplace_back(field->offset, t.value);
            continue;
        }
        const std::int64_t v = NumberOrThrow(t.value, t.key);
        CheckFits(v, width, t.key);
        if (field->type == FieldType::Argb) {
            const auto argb = static_cast<std::uint32_t>(v);
            for (int k = 0; k < 4; ++k) fixed[field->offset + k] = static_cast<std::uint8_t>(argb >> (24 - 8 * k));
        } else {
            Put(fixed, field->offset, static_cast<std::uint64_t>(v), width);
        }
    }
    if (format && format->stringLengthAt >= 0 && !text) throw Error{"this opcode needs text= or rawtext="};
    if (text && text->size() > 255) throw Error{"the string is longer than 255 bytes"};

    if (lengthOverride) length = static_cast<std::uint8_t>(*lengthOverride);
    if (fixed.size() < length) fixed.resize(length, 0);
    for (auto [at, v] : rawBytes) Put(fixed, at, static_cast<std::uint64_t>(v), 1);
    fixed[1] = static_cast<std::uint8_t>(length);
    if (text) {
        const auto l = stringLengthOverride ? *stringLengthOverride : static_cast<std::int64_t>(text->size());
        fixed[static_cast<std::size_t>(format->stringLengthAt)] = static_cast<std::uint8_t>(l);
    }
    // A record cut shorter than its operands keeps only `length` bytes.
    if (fixed.size() > length) {
        for (const auto& [at, label] : r.targets)
            if (at + 4 > length) throw Error{"a label target lies outside the record's length"};
        for (auto [at, v] : rawBytes)
            if (at >= length) throw Error{"byte" + std::to_string(at) + " lies outside the record's length"};
        fixed.resize(std::max<std::size_t>(length, 2));
    }
    r.bytes = std::move(fixed);
    if (text) r.bytes.insert(r.bytes.end(), text->begin(), text->end());
    return r;
}

std::vector<std::uint8_t> ParseRawBytes(const std::vector<Token>& tokens) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::string& w = tokens[i].value;
        if (!tokens[i].key.empty() || w.size() != 2 || HexDigit(w[0]) < 0 || HexDigit(w[1]) < 0)
            throw Error{"bytes takes two-digit hexadecimal bytes"};
        out.push_back(static_cast<std::uint8_t>(HexDigit(w[0]) * 16 + HexDigit(w[1])));
    }
    return out;
}

// ---------------------------------------------------------------- disassembly

std::string QuoteBytes(std::string_view bytes) {
    std::string out = "\"";
    char hex[8];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            // A GBK pair that converts both ways is written as its character.
            if (c >= 0x81 && c <= 0xFE && i + 1 < bytes.size()) {
                const std::string pair(bytes.substr(i, 2));
                const std::string utf8 = platform::GbkToUtf8(pair);
                const std::optional<std::string> back = platform::Utf8ToGbk(utf8);
                if (back && *back == pair && utf8.find("\xEF\xBF\xBD") == std::string::npos) {
                    out += utf8;
                    ++i;
                    continue;
                }
            }
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out + "\"";
}

std::int64_t ReadField(std::span<const std::uint8_t> b, std::size_t at, FieldType type) {
    const unsigned width = script::FieldWidth(type);
    std::uint64_t v = 0;
    for (unsigned i = 0; i < width; ++i) v |= static_cast<std::uint64_t>(b[at + i]) << (8 * i);
    if (type == FieldType::Argb)
        return static_cast<std::int64_t>(std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
                                         std::uint32_t{b[at + 2]} << 8 | b[at + 3]);
    if (script::FieldIsSigned(type)) {
        const std::uint64_t sign = std::uint64_t{1} << (8 * width - 1);
        return static_cast<std::int64_t>((v ^ sign)) - static_cast<std::int64_t>(sign);
    }
    return static_cast<std::int64_t>(v);
}

// out += text + decimal number, without building temporaries.
void Append(std::string& out, std::string_view text, std::uint64_t number) {
    out += text;
    out += std::to_string(number);
}

struct Span {
    std::size_t at;
    std::size_t length;  // fixed part
    std::size_t stringLength;
    const OpcodeFormat* format;
};

// The records a script can be read as, up to the first one that cannot.
std::vector<Span> Walk(std::span<const std::uint8_t> b, std::size_t& stop) {
    std::vector<Span> spans;
    std::size_t at = 0;
    while (at < b.size()) {
        if (b.size() - at < 2) break;
        const std::size_t n = b[at + 1];
        const OpcodeFormat* f = script::FindOpcode(b[at]);
        if (n < script::kMinRecordLength || n > b.size() - at) break;
        std::size_t l = 0;
        if (f) {
            if (script::OperandExtent(*f) > n) break;
            if (f->stringLengthAt >= 0) l = b[at + static_cast<std::size_t>(f->stringLengthAt)];
            if (l > b.size() - at - n) break;
        }
        spans.push_back({at, n, l, f});
        at += n + l;
    }
    stop = at;
    return spans;
}

}  // namespace

AssembleResult Assemble(std::string_view text) {
    AssembleResult result;
    std::map<std::string, std::size_t> labels;
    std::vector<PendingTarget> pending;
    int lineNo = 0;
    try {
        std::size_t pos = 0;
        while (pos <= text.size()) {
            const std::size_t eol = std::min(text.find('\n', pos), text.size());
            std::string_view line = text.substr(pos, eol - pos);
            pos = eol + 1;
            ++lineNo;
            std::vector<Token> tokens = Tokenize(line);
            if (tokens.empty()) continue;
            // Labels: `name:` before the record, on its own or on the same line.
            while (!tokens.empty() && tokens[0].key.empty() && tokens[0].value.size() > 1 &&
                   tokens[0].value.back() == ':') {
                const std::string name = tokens[0].value.substr(0, tokens[0].value.size() - 1);
                if (!IsIdentStart(name[0]) ||
                    !std::all_of(name.begin(), name.end(), [](char c) { return IsIdentChar(c); }))
                    throw Error{"bad label " + name};
                if (!labels.emplace(name, result.bytes.size()).second) throw Error{"label " + name + " defined twice"};
                tokens.erase(tokens.begin());
            }
            if (tokens.empty()) continue;
            if (tokens[0].key.empty() && tokens[0].value == "bytes") {
                const std::vector<std::uint8_t> raw = ParseRawBytes(tokens);
                result.bytes.insert(result.bytes.end(), raw.begin(), raw.end());
                continue;
            }
            Record r = BuildRecord(tokens);
            for (const auto& [at, label] : r.targets) pending.push_back({result.bytes.size() + at, label, lineNo});
            result.bytes.insert(result.bytes.end(), r.bytes.begin(), r.bytes.end());
        }
        for (const PendingTarget& p : pending) {
            lineNo = p.line;
            const auto it = labels.find(p.label);
            if (it == labels.end()) throw Error{"label " + p.label + " is not defined"};
            Put(result.bytes, p.at, it->second, 4);
        }
    } catch (const Error& e) {
        result.error = e.message;
        result.line = lineNo;
        result.bytes.clear();
    }
    return result;
}

std::string Disassemble(std::span<const std::uint8_t> b) {
    std::size_t stop = 0;
    const std::vector<Span> spans = Walk(b, stop);
    std::set<std::size_t> starts;
    for (const Span& s : spans) starts.insert(s.at);

    std::set<std::size_t> labels;
    for (const Span& s : spans) {
        if (!s.format) continue;
        for (const Field& f : s.format->Fields())
            if (f.type == FieldType::Target) {
                const auto target = static_cast<std::size_t>(ReadField(b, s.at + f.offset, f.type));
                if (starts.count(target)) labels.insert(target);
            }
    }
    auto labelName = [](std::size_t at) {
        std::string name(1, 'L');
        name += std::to_string(at);
        return name;
    };

    std::string out;
    for (const Span& s : spans) {
        if (labels.count(s.at)) {
            out += labelName(s.at);
            out += ":\n";
        }
        const OpcodeFormat* f = s.format;
        std::vector<bool> named(s.length, false);
        named[0] = named[1] = true;
        if (f) {
            out += std::string(f->name);
            if (s.length != f->length) Append(out, " len=", s.length);
            for (const Field& field : f->Fields()) {
                const std::int64_t v = ReadField(b, s.at + field.offset, field.type);
                for (unsigned k = 0; k < script::FieldWidth(field.type); ++k) named[field.offset + k] = true;
                out += ' ';
                out += field.name;
                out += '=';
                if (field.type == FieldType::Target && labels.count(static_cast<std::size_t>(v))) {
                    out += labelName(static_cast<std::size_t>(v));
                } else if (field.type == FieldType::Argb) {
                    char hex[16];
                    std::snprintf(hex, sizeof hex, "0x%08x", static_cast<unsigned>(v));
                    out += hex;
                } else {
                    out += std::to_string(v);
                }
            }
            if (f->stringLengthAt >= 0) named[static_cast<std::size_t>(f->stringLengthAt)] = true;
        } else {
            Append(out, "op", b[s.at]);
            Append(out, " len=", s.length);
        }
        for (std::size_t k = 2; k < s.length; ++k)
            if (!named[k] && b[s.at + k] != 0) {
                Append(out, " byte", k);
                Append(out, "=", b[s.at + k]);
            }
        if (f && f->stringLengthAt >= 0) {
            const std::string_view str(reinterpret_cast<const char*>(b.data() + s.at + s.length), s.stringLength);
            const bool zeroEnded = !str.empty() && str.back() == '\0' && str.find('\0') == str.size() - 1;
            out += zeroEnded ? " text=" : " rawtext=";
            out += QuoteBytes(zeroEnded ? str.substr(0, str.size() - 1) : str);
        }
        out += '\n';
    }
    if (stop < b.size()) {
        for (std::size_t i = stop; i < b.size(); i += 16) {
            out += "bytes";
            char hex[4];
            for (std::size_t k = i; k < std::min(b.size(), i + 16); ++k) {
                std::snprintf(hex, sizeof hex, " %02x", b[k]);
                out += hex;
            }
            out += '\n';
        }
    }
    return out;
}

std::vector<std::uint8_t> Complement(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out(bytes.begin(), bytes.end());
    for (auto& c : out) c = static_cast<std::uint8_t>(~c);
    return out;
}

bool WriteScriptFile(const std::filesystem::path& path, std::string_view text, std::string& error) {
    AssembleResult r = Assemble(text);
    if (!r.ok()) {
        error = "line " + std::to_string(r.line) + ": " + r.error;
        return false;
    }
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    const std::vector<std::uint8_t> stored = Complement(r.bytes);
    f.write(reinterpret_cast<const char*>(stored.data()), static_cast<std::streamsize>(stored.size()));
    if (!f) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

}  // namespace nvasm
