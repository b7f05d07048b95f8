#include "app/ModeTable.h"
#include "TestSupport.h"
#include "app/GameApp.h"
#include "app/Shell.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

using namespace platform;
using testing_support::HeadlessTest;

namespace {

// Every probe screen writes what happens to it into one journal.
std::vector<std::string> g_journal;
// What a probe's Run does to the mode, per probe mode (-1: nothing).
int g_switchTo[kModeCount];
bool g_destroyInRun = false;

template <int Mode> struct Probe {
    Probe() { g_journal.push_back("new " + std::to_string(Mode)); }
    ~Probe() { g_journal.push_back("delete " + std::to_string(Mode)); }
    void Run(WindowHandle) {
        g_journal.push_back("run " + std::to_string(Mode));
        if (g_switchTo[Mode] >= 0) g_gameApp->mode = static_cast<std::uint8_t>(g_switchTo[Mode]);
        if (g_destroyInRun) DestroyWindow(WindowHandle::Main);
    }
};

std::unique_ptr<Probe<0>> g_p0;
std::unique_ptr<Probe<1>> g_p1;
std::unique_ptr<Probe<56>> g_p56;
std::unique_ptr<Probe<24>> g_p24;
std::unique_ptr<Probe<50>> g_p50;

const ModeEntry kProbeScreens[] = {
    ScreenEntry<Probe<0>, g_p0>(0),    ScreenEntry<Probe<1>, g_p1>(1),
    ScreenEntry<Probe<56>, g_p56>(56), ScreenEntry<Probe<24>, g_p24>(24),
    ScreenEntry<Probe<50>, g_p50>(50),
};

void RunOther(std::uint8_t mode, WindowHandle) {
    g_journal.push_back("other " + std::to_string(mode));
}

const ModeTable kProbeTable{kProbeScreens, &RunOther};

class ModeTableTest : public HeadlessTest {
protected:
    void SetUp() override {
        g_journal.clear();
        std::fill(std::begin(g_switchTo), std::end(g_switchTo), -1);
        g_destroyInRun = false;
        SetModeTable(&kProbeTable);
        CreateMainWindow(g_windowTitle);
        OnCreate(WindowHandle::Main);
    }
    void TearDown() override {
        OnDestroy();
        SetModeTable(nullptr);
    }
    std::vector<std::string> Frame() {
        g_journal.clear();
        g_gameApp->RunFrame();
        return g_journal;
    }
};

using J = std::vector<std::string>;

TEST_F(ModeTableTest, ScreenLivesFromEntryUntilTheEndOfTheFirstFrameElsewhere) {
    EXPECT_EQ(Frame(), (J{"new 0", "run 0"}));
    EXPECT_EQ(Frame(), (J{"run 0"}));
    // A change made inside Run: the old screen is freed at the end of that
    // frame; the new one is made on the next frame.
    g_switchTo[0] = 1;
    EXPECT_EQ(Frame(), (J{"run 0", "delete 0"}));
    EXPECT_EQ(g_p0, nullptr);
    EXPECT_EQ(g_p1, nullptr);
    EXPECT_EQ(Frame(), (J{"new 1", "run 1"}));
}

TEST_F(ModeTableTest, ModesWithoutEntryIdleAndStillFree) {
    Frame();
    g_gameApp->mode = 7;
    EXPECT_EQ(Frame(), (J{"other 7", "delete 0"}));
    EXPECT_EQ(Frame(), (J{"other 7"}));
    EXPECT_TRUE(PaintPending());
    g_gameApp->mode = 73;
    EXPECT_EQ(Frame(), (J{}));
}

TEST_F(ModeTableTest, MovieModesAreMadeOnceAndFreedWhenLeft) {
    g_gameApp->mode = 24;
    EXPECT_EQ(Frame(), (J{"new 24", "run 24"}));
    EXPECT_EQ(Frame(), (J{"run 24"}));
    g_gameApp->mode = 50;
    EXPECT_EQ(Frame(), (J{"new 50", "run 50", "delete 24"}));
    g_gameApp->mode = 56;
    EXPECT_EQ(Frame(), (J{"new 56", "run 56", "delete 50"}));
}

TEST_F(ModeTableTest, FreeingFollowsTheTableOrder) {
    g_p0 = std::make_unique<Probe<0>>();
    g_p24 = std::make_unique<Probe<24>>();
    g_p56 = std::make_unique<Probe<56>>();
    g_gameApp->mode = 1;
    EXPECT_EQ(Frame(), (J{"new 1", "run 1", "delete 0", "delete 56", "delete 24"}));
}

TEST_F(ModeTableTest, AScreenThatClosesTheWindowIsNotFreedUnderItself) {
    Frame();
    g_switchTo[0] = 1;
    g_destroyInRun = true;
    platform::headless::ClearSleeps();
    EXPECT_EQ(Frame(), (J{"run 0"}));
    EXPECT_TRUE(QuitRequested());
    EXPECT_TRUE(platform::headless::Sleeps().empty()); // the frame stopped before pacing
    EXPECT_NE(g_p0, nullptr);
    g_journal.clear();
    OnDestroy(); // the loop tears down after the frame
    EXPECT_EQ(g_journal, (J{"delete 0"}));
    EXPECT_EQ(g_gameApp, nullptr);
}

TEST_F(ModeTableTest, TheMatchModeIsNeverMadeOrFreedByTheTable) {
    Frame();
    g_gameApp->mode = 64;
    EXPECT_EQ(Frame(), (J{"other 64", "delete 0"}));
}

} // namespace

// ---------------------------------------------------------------- the game's own table

namespace {

using ModeSet = std::set<int>;

// The screen modes of the game, in the fixed order of creation and freeing.
const std::vector<int> kScreenOrder = {0,  1,  56, 57, 58, 59, 60, 61, 62, 63, 70, 65,
                                       66, 67, 68, 69, 71, 9,  8,  54, 10, 11, 6,  14,
                                       72, 15, 16, 27, 28, 29, 30, 31, 32, 33, 24, 50};
// Screens that open issues are still to build. The list shrinks as they land.
const ModeSet kKnownMissing = {};

std::string Names(const ModeSet& modes) {
    std::string s;
    for (int m : modes)
        s += (s.empty() ? "" : " ") + std::to_string(m);
    return s;
}

ModeSet ScreenModesOf(const ModeTable& table) {
    ModeSet modes;
    for (const ModeEntry& e : table.screens)
        modes.insert(e.mode);
    return modes;
}

// ---- the exits walk: every value the game writes into the mode byte or the
// return byte, followed through named constants, tables, layout fields and
// the functions and lambdas that pass a mode on.

struct SourceFile {
    std::string path;
    std::string text; // comments and literals blanked
};

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

// Comments, strings and character literals become spaces (lines are kept).
std::string Blank(const std::string& in) {
    std::string out = in;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out.compare(i, 2, "//") == 0) {
            while (i < out.size() && out[i] != '\n')
                out[i++] = ' ';
        } else if (out.compare(i, 2, "/*") == 0) {
            const std::size_t end = std::min(out.find("*/", i + 2), out.size() - 2) + 2;
            for (; i < end; ++i)
                if (out[i] != '\n') out[i] = ' ';
        } else if (out[i] == '"' || (out[i] == '\'' && (i == 0 || !IsWordChar(out[i - 1])))) {
            const char quote = out[i];
            for (++i; i < out.size() && out[i] != quote; ++i) {
                if (out[i] == '\\') out[i++] = ' ';
                if (i < out.size()) out[i] = ' ';
            }
        }
    }
    return out;
}

bool Opens(char c) {
    return c == '(' || c == '[' || c == '{';
}
bool Closes(char c) {
    return c == ')' || c == ']' || c == '}';
}

// The bracket that closes the one at `open`, npos when none does.
std::size_t CloseOf(std::string_view s, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < s.size(); ++i) {
        if (Opens(s[i])) ++depth;
        if (Closes(s[i]) && --depth == 0) return i;
    }
    return std::string_view::npos;
}

// The bracket that opens the one that closes at `close`.
std::size_t OpenOf(std::string_view s, std::size_t close) {
    int depth = 0;
    for (std::size_t i = close + 1; i-- > 0;) {
        if (Closes(s[i])) ++depth;
        if (Opens(s[i]) && --depth == 0) return i;
    }
    return std::string_view::npos;
}

// Splits at `sep` outside brackets (and outside <> when `angles`).
std::vector<std::string_view> SplitTop(std::string_view s, char sep, bool angles = false) {
    std::vector<std::string_view> parts;
    int depth = 0;
    std::size_t from = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (Opens(s[i]) || (angles && s[i] == '<')) ++depth;
        if (Closes(s[i]) || (angles && s[i] == '>' && depth > 0)) --depth;
        if (s[i] == sep && depth == 0) {
            parts.push_back(Trim(s.substr(from, i - from)));
            from = i + 1;
        }
    }
    if (!Trim(s.substr(from)).empty()) parts.push_back(Trim(s.substr(from)));
    return parts;
}

// First `c` outside brackets, skipping the scope operator.
std::size_t FindTop(std::string_view s, char c, std::size_t from = 0) {
    int depth = 0;
    for (std::size_t i = from; i < s.size(); ++i) {
        if (s.compare(i, 2, "::") == 0) {
            ++i;
            continue;
        }
        if (s[i] == c && depth == 0) return i;
        if (Opens(s[i])) ++depth;
        if (Closes(s[i])) --depth;
    }
    return std::string_view::npos;
}

// The ':' that answers the '?' at `q`.
std::size_t ColonOf(std::string_view s, std::size_t q) {
    int nested = 0;
    for (std::size_t i = FindTop(s, '?', q + 1), c = FindTop(s, ':', q + 1);
         c != std::string_view::npos;) {
        if (i < c) {
            ++nested;
            i = FindTop(s, '?', i + 1);
        } else if (nested-- == 0) {
            return c;
        } else {
            c = FindTop(s, ':', c + 1);
        }
    }
    return std::string_view::npos;
}

// Each place `word` stands as a whole word.
std::vector<std::size_t> WordsAt(std::string_view text, std::string_view word) {
    std::vector<std::size_t> at;
    for (std::size_t i = text.find(word); i != std::string_view::npos; i = text.find(word, i + 1)) {
        const std::size_t end = i + word.size();
        if ((i == 0 || !IsWordChar(text[i - 1])) && (end == text.size() || !IsWordChar(text[end])))
            at.push_back(i);
    }
    return at;
}

std::size_t SkipSpace(std::string_view s, std::size_t i) {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
    return i;
}

std::size_t SkipSpaceBack(std::string_view s, std::size_t i) { // i: one past
    while (i > 0 && std::isspace(static_cast<unsigned char>(s[i - 1])))
        --i;
    return i;
}

// The expression after an '=' at `eq`: up to a ';' or ',' outside brackets,
// or the bracket that closes around it.
std::string_view ValueAfter(std::string_view text, std::size_t eq) {
    int depth = 0;
    for (std::size_t i = eq + 1; i < text.size(); ++i) {
        if (Opens(text[i])) ++depth;
        if (Closes(text[i]) && --depth < 0) return text.substr(eq + 1, i - eq - 1);
        if ((text[i] == ';' || text[i] == ',') && depth == 0)
            return text.substr(eq + 1, i - eq - 1);
    }
    return {};
}

// "std::uint8_t mode" or "const auto& x = 3": a declared name, not a value.
std::optional<std::string_view> DeclaredName(std::string_view part) {
    part = Trim(part.substr(0, FindTop(part, '=')));
    std::size_t end = part.size();
    std::size_t begin = end;
    while (begin > 0 && IsWordChar(part[begin - 1]))
        --begin;
    if (begin == end || begin == 0) return std::nullopt;
    const std::string_view type = Trim(part.substr(0, begin));
    if (type.empty()) return std::nullopt;
    for (char c : type)
        if (!IsWordChar(c) && !std::isspace(static_cast<unsigned char>(c)) && c != ':' &&
            c != '<' && c != '>' && c != ',' && c != '&' && c != '*')
            return std::nullopt;
    return part.substr(begin, end - begin);
}

class ExitWalk {
public:
    explicit ExitWalk(std::vector<SourceFile> files) : files_(std::move(files)) {}

    // Starts from every write of the mode byte and of the return byte.
    void Run() {
        for (std::size_t f = 0; f < files_.size(); ++f) {
            const std::string_view text = files_[f].text;
            for (const std::string_view field : {"mode", "returnMode"}) {
                for (std::size_t at : WordsAt(text, field)) {
                    const std::size_t before = SkipSpaceBack(text, at);
                    const bool member =
                        before > 0 && (text[before - 1] == '.' ||
                                       (before > 1 && text.compare(before - 2, 2, "->") == 0));
                    const std::size_t eq = SkipSpace(text, at + field.size());
                    if (!member || eq + 1 >= text.size() || text[eq] != '=' || text[eq + 1] == '=')
                        continue;
                    Values(ValueAfter(text, eq), f, at, 0);
                }
            }
        }
    }

    ModeSet modes;
    bool scriptSetsModes = false;
    std::set<std::string> unresolved;

private:
    std::string Where(std::size_t f, std::size_t at) const {
        const std::string& t = files_[f].text;
        return files_[f].path + ":" +
               std::to_string(
                   1 + std::count(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    }

    void Values(std::string_view expr, std::size_t f, std::size_t at, int depth) {
        expr = Trim(expr);
        while (!expr.empty() && expr.front() == '(' && CloseOf(expr, 0) == expr.size() - 1)
            expr = Trim(expr.substr(1, expr.size() - 2));
        if (expr.empty() || depth > 16) {
            unresolved.insert(Where(f, at) + " (empty or endless)");
            return;
        }
        if (expr.starts_with("static_cast<")) {
            const std::size_t open = expr.find('(');
            if (open != std::string_view::npos && CloseOf(expr, open) == expr.size() - 1)
                return Values(expr.substr(open + 1, expr.size() - open - 2), f, at, depth + 1);
        }
        if (const std::size_t q = FindTop(expr, '?'); q != std::string_view::npos) {
            // The condition gives no value; each branch does.
            const std::size_t colon = ColonOf(expr, q);
            if (colon == std::string_view::npos) {
                unresolved.insert(Where(f, at) + " " + std::string(expr));
                return;
            }
            Values(expr.substr(q + 1, colon - q - 1), f, at, depth + 1);
            return Values(expr.substr(colon + 1), f, at, depth + 1);
        }
        if (expr.front() == '{' && CloseOf(expr, 0) == expr.size() - 1) {
            for (std::string_view element : SplitTop(expr.substr(1, expr.size() - 2), ','))
                Values(element, f, at, depth + 1);
            return;
        }
        if (std::isdigit(static_cast<unsigned char>(expr.front()))) {
            std::size_t digits = 0;
            while (digits < expr.size() && std::isdigit(static_cast<unsigned char>(expr[digits])))
                ++digits;
            if (digits == expr.size() || expr.substr(digits) == "u" || expr.substr(digits) == "U") {
                modes.insert(std::stoi(std::string(expr.substr(0, digits))));
                return;
            }
        }
        const char last = expr.back();
        if (Closes(last)) {
            const std::size_t open = OpenOf(expr, expr.size() - 1);
            const std::string_view head = Trim(expr.substr(0, open));
            if (open == std::string_view::npos || head.empty()) {
                unresolved.insert(Where(f, at) + " " + std::string(expr));
            } else if (last == ']') {
                Values(head, f, at, depth + 1); // any element of the table
            } else if (last == '}') {
                Values(expr.substr(open), f, at, depth + 1); // a typed brace value
            } else if (head == "Byte") {
                scriptSetsModes = true; // the script's own operand
            } else {
                unresolved.insert(Where(f, at) + " " + std::string(expr));
            }
            return;
        }
        // A name, perhaps a member: its last part says what it is.
        std::size_t begin = expr.size();
        while (begin > 0 && IsWordChar(expr[begin - 1]))
            --begin;
        const std::string_view name = expr.substr(begin);
        const std::string_view path = expr.substr(0, begin);
        for (char c : path)
            if (!IsWordChar(c) && c != ':' && c != '.' && c != '-' && c != '>') {
                unresolved.insert(Where(f, at) + " " + std::string(expr));
                return;
            }
        const bool member = path.ends_with(".") || path.ends_with("->");
        // The current mode, and the return byte, whose writes are walked.
        if (member && (name == "mode" || name == "returnMode")) return;
        Name(name, member, f, at, depth);
    }

    void Name(std::string_view name, bool member, std::size_t f, std::size_t at, int depth) {
        if (!member) {
            if (PassedOn(name, f, at)) return;
            for (bool here : {true, false}) {
                bool found = false;
                for (std::size_t g = 0; g < files_.size(); ++g)
                    if ((g == f) == here) found |= Definitions(name, g, depth);
                if (found) return;
            }
        }
        if (FieldValues(name, depth)) return;
        unresolved.insert(Where(f, at) + " " + std::string(name));
    }

    // `name = value`, `name{value}` and `.name = value` in file g.
    bool Definitions(std::string_view name, std::size_t g, int depth) {
        const std::string_view text = files_[g].text;
        bool found = false;
        for (std::size_t at : WordsAt(text, name)) {
            const std::size_t before = SkipSpaceBack(text, at);
            const char prev = before > 0 ? text[before - 1] : ' ';
            const bool qualified =
                prev == '.' || (before > 1 && (text.compare(before - 2, 2, "->") == 0 ||
                                               text.compare(before - 2, 2, "::") == 0));
            const std::size_t next = SkipSpace(text, at + name.size());
            // A definition that names itself (a constant taken from another
            // namespace under the same name) is looked up elsewhere.
            if (qualified || next + 1 >= text.size() || !active_.insert({g, at}).second) continue;
            if (text[next] == '=' && text[next + 1] != '=') {
                Values(ValueAfter(text, next), g, at, depth + 1);
                found = true;
            } else if (text[next] == '{' && (IsWordChar(prev) || prev == '>')) {
                Values(text.substr(next, CloseOf(text, next) - next + 1), g, at, depth + 1);
                found = true;
            }
            active_.erase({g, at});
        }
        return found;
    }

    // A parameter of the function or lambda around `at`: its callers are
    // walked in its place.
    bool PassedOn(std::string_view name, std::size_t f, std::size_t at) {
        const std::string_view text = files_[f].text;
        int depth = 0;
        for (std::size_t i = at; i-- > 0;) {
            if (text[i] == '}') ++depth;
            if (text[i] != '{') continue;
            if (depth > 0) {
                --depth;
                continue;
            }
            std::size_t close = SkipSpaceBack(text, i);
            for (std::string_view word : {"const", "override", "noexcept", "mutable"})
                if (close >= word.size() && text.substr(close - word.size(), word.size()) == word)
                    close = SkipSpaceBack(text, close - word.size());
            if (close == 0 || text[close - 1] != ')') continue;
            const std::size_t open = OpenOf(text, close - 1);
            if (open == std::string_view::npos) continue;
            const auto params = SplitTop(text.substr(open + 1, close - open - 2), ',', true);
            for (std::size_t p = 0; p < params.size(); ++p) {
                if (DeclaredName(params[p]) != name) continue;
                std::size_t end = SkipSpaceBack(text, open);
                bool lambda = false;
                if (end > 0 && text[end - 1] == ']') { // a lambda, named by what it is assigned to
                    lambda = true;
                    end = SkipSpaceBack(text, OpenOf(text, end - 1));
                    if (end == 0 || text[end - 1] != '=') break;
                    end = SkipSpaceBack(text, end - 1);
                }
                std::size_t begin = end;
                while (begin > 0 && IsWordChar(text[begin - 1]))
                    --begin;
                if (begin == end) break;
                Callers(text.substr(begin, end - begin), p,
                        lambda ? std::optional(f) : std::nullopt, f, at);
                return true;
            }
        }
        return false;
    }

    void Callers(std::string_view callable, std::size_t index, std::optional<std::size_t> onlyIn,
                 std::size_t f, std::size_t at) {
        const std::string key = std::string(callable) + "#" + std::to_string(index);
        if (!walked_.insert(key).second) return;
        bool called = false;
        for (std::size_t g = 0; g < files_.size(); ++g) {
            if (onlyIn && g != *onlyIn) continue;
            const std::string_view text = files_[g].text;
            for (std::size_t c : WordsAt(text, callable)) {
                const std::size_t open = SkipSpace(text, c + callable.size());
                if (open >= text.size() || text[open] != '(') continue;
                const auto args =
                    SplitTop(text.substr(open + 1, CloseOf(text, open) - open - 1), ',', false);
                if (index >= args.size() || DeclaredName(args[index])) continue;
                Values(args[index], g, c, 1);
                called = true;
            }
        }
        if (!called)
            unresolved.insert(Where(f, at) + " passed on through " + key + ", never called");
    }

    // The values a field of a layout struct is given where the struct is
    // written out, field by field in order.
    bool FieldValues(std::string_view name, int depth) {
        bool found = false;
        for (std::size_t g = 0; g < files_.size(); ++g) {
            const std::string_view text = files_[g].text;
            for (std::size_t at : WordsAt(text, name)) {
                const std::size_t next = SkipSpace(text, at + name.size());
                if (next >= text.size() || (text[next] != ';' && text[next] != '=')) continue;
                // The struct body around it, and the field's place there.
                const std::size_t open = text.rfind('{', at);
                const std::size_t head = SkipSpaceBack(text, open);
                std::size_t begin = head;
                while (begin > 0 && IsWordChar(text[begin - 1]))
                    --begin;
                const std::size_t kw = SkipSpaceBack(text, begin);
                if (open == std::string_view::npos || kw < 6 || text.substr(kw - 6, 6) != "struct")
                    continue;
                // Whole fields before it (methods aside), then the names
                // declared before it in its own line.
                const std::string_view body = text.substr(open + 1, at - open - 1);
                const std::size_t ownLine =
                    body.rfind(';') == std::string_view::npos ? 0 : body.rfind(';') + 1;
                std::size_t index = 0;
                int nest = 0;
                for (char c : body.substr(ownLine)) {
                    nest += (Opens(c) || c == '<') - (Closes(c) || c == '>');
                    index += c == ',' && nest == 0;
                }
                for (std::string_view field : SplitTop(body.substr(0, ownLine), ';', true))
                    if (field.find('(') == std::string_view::npos)
                        index += SplitTop(field, ',', true).size();
                const std::string_view type = text.substr(begin, head - begin);
                found |= Initialisers(type, index, depth);
            }
        }
        return found;
    }

    bool Initialisers(std::string_view type, std::size_t index, int depth) {
        bool found = false;
        for (std::size_t g = 0; g < files_.size(); ++g) {
            const std::string_view text = files_[g].text;
            for (std::size_t at : WordsAt(text, type)) {
                std::size_t i = SkipSpace(text, at + type.size());
                const std::size_t nameEnd = [&] {
                    std::size_t e = i;
                    while (e < text.size() && IsWordChar(text[e]))
                        ++e;
                    return e;
                }();
                if (nameEnd == i) continue;
                i = SkipSpace(text, nameEnd);
                if (i < text.size() && text[i] == '=') i = SkipSpace(text, i + 1);
                if (i >= text.size() || text[i] != '{') continue;
                const auto fields = SplitTop(text.substr(i + 1, CloseOf(text, i) - i - 1), ',');
                if (index < fields.size()) {
                    Values(fields[index], g, i, depth + 1);
                    found = true;
                }
            }
        }
        return found;
    }

    std::vector<SourceFile> files_;
    std::set<std::string> walked_;
    std::set<std::pair<std::size_t, std::size_t>> active_;
};

std::vector<SourceFile> GameSources() {
    std::filesystem::path self(__FILE__);
    if (self.is_relative()) self = std::filesystem::path(NORVANE_TEST_BIN_DIR).parent_path() / self;
    const auto src = self.parent_path().parent_path().parent_path() / "src";
    std::vector<SourceFile> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        const auto ext = entry.path().extension();
        if (ext != ".cpp" && ext != ".h") continue;
        std::ifstream file(entry.path());
        const std::string text((std::istreambuf_iterator<char>(file)), {});
        files.push_back({std::filesystem::relative(entry.path(), src).string(), Blank(text)});
    }
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.path < b.path; });
    return files;
}

class GameModeTableTest : public HeadlessTest {
protected:
    ~GameModeTableTest() override { SetModeTable(nullptr); }
};

} // namespace

TEST_F(GameModeTableTest, ScreensFollowTheFixedOrderAndEachMakesItsOwnObject) {
    SetModeTable(nullptr);
    const ModeTable& table = ActiveModeTable();
    // Built screens keep the fixed order; none is listed twice or unknown.
    std::size_t next = 0;
    for (const ModeEntry& e : table.screens) {
        const auto at = std::find(kScreenOrder.begin() + static_cast<std::ptrdiff_t>(next),
                                  kScreenOrder.end(), e.mode);
        ASSERT_NE(at, kScreenOrder.end()) << "mode " << int{e.mode} << " out of order or unknown";
        next = static_cast<std::size_t>(at - kScreenOrder.begin()) + 1;
    }
    // Every screen mode is in the table or known to be still missing.
    ModeSet expected(kScreenOrder.begin(), kScreenOrder.end());
    for (int m : kKnownMissing)
        expected.erase(m);
    EXPECT_EQ(Names(ScreenModesOf(table)), Names(expected));
    // Each entry makes and frees an object of its own, and only that one.
    for (const ModeEntry& e : table.screens) {
        EXPECT_FALSE(e.exists()) << int{e.mode};
        e.create(WindowHandle::Main, WindowHandle::Main);
        EXPECT_TRUE(e.exists()) << int{e.mode};
        for (const ModeEntry& other : table.screens) {
            if (other.mode != e.mode) {
                EXPECT_FALSE(other.exists()) << int{e.mode} << " made " << int{other.mode};
            }
        }
        e.free();
        EXPECT_FALSE(e.exists()) << int{e.mode};
    }
}

TEST_F(GameModeTableTest, EveryModeAScreenOrInstructionSetsHasAnEntry) {
    SetModeTable(nullptr);
    ExitWalk walk(GameSources());
    walk.Run();
    EXPECT_TRUE(walk.unresolved.empty()) << "exits the walk cannot follow: " << [&] {
        std::string s;
        for (const std::string& u : walk.unresolved)
            s += "\n  " + u;
        return s;
    }();
    ModeSet exits = walk.modes;
    ASSERT_GT(exits.size(), 30u); // the sources were found and read
    // The set-mode instruction takes its mode from the script: the staff
    // rolls, the match, the contest and the retry screen.
    EXPECT_TRUE(walk.scriptSetsModes);
    for (int m : {27, 28, 29, 30, 31, 32, 33, 64, 66, 69})
        exits.insert(m);
    const ModeTable& table = ActiveModeTable();
    ModeSet handled = ScreenModesOf(table);
    for (const OtherEntry& e : table.others) {
        EXPECT_NE(e.run, nullptr) << int{e.mode};
        handled.insert(e.mode);
    }
    ModeSet missing, unexpected;
    for (int m : exits)
        if (!handled.count(m)) (kKnownMissing.count(m) ? missing : unexpected).insert(m);
    EXPECT_TRUE(unexpected.empty())
        << "modes set with no entry, where the game would freeze: " << Names(unexpected)
        << " (known to be missing: " << Names(missing) << ")";
    // A mode that has gained its entry leaves the known list.
    ModeSet built;
    for (int m : kKnownMissing)
        if (handled.count(m)) built.insert(m);
    EXPECT_TRUE(built.empty()) << "no longer missing: " << Names(built);
}
