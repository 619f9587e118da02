#include "AnimationConfig.h"

#include "ScriptText.h"
#include "core/CasePath.h"

#include <charconv>

namespace quillon {

namespace {

constexpr const char* Names[TAnimationConfig::MostAnimations] = {
    "BOTH_DEATH1",   "BOTH_DEAD1",      "BOTH_DEATH2",  "BOTH_DEAD2",     "BOTH_DEATH3",
    "BOTH_DEAD3",    "TORSO_GESTURE",   "TORSO_ATTACK", "TORSO_ATTACK2",  "TORSO_DROP",
    "TORSO_RAISE",   "TORSO_STAND",     "TORSO_STAND2", "LEGS_WALKCR",    "LEGS_WALK",
    "LEGS_RUN",      "LEGS_BACK",       "LEGS_SWIM",    "LEGS_JUMP",      "LEGS_LAND",
    "LEGS_JUMPB",    "LEGS_LANDB",      "LEGS_IDLE",    "LEGS_IDLECR",    "LEGS_TURN",
    "TORSO_GETFLAG", "TORSO_GUARDBASE", "TORSO_PATROL", "TORSO_FOLLOWME", "TORSO_AFFIRMATIVE",
    "TORSO_NEGATIVE"};

constexpr size_t FirstTorso = 6; // TORSO_GESTURE
constexpr size_t FirstLegs = 13; // LEGS_WALKCR
constexpr size_t FirstTeam = 25; // TORSO_GETFLAG

// Whitespace-separated words of the text with "//" comments removed.
std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    for (std::string line : SplitLines(text)) {
        if (const size_t comment = line.find("//"); comment != std::string::npos)
            line.resize(comment);
        size_t at = 0;
        while (at < line.size()) {
            while (at < line.size() && static_cast<unsigned char>(line[at]) <= ' ')
                ++at;
            const size_t start = at;
            while (at < line.size() && static_cast<unsigned char>(line[at]) > ' ')
                ++at;
            if (at > start)
                words.push_back(line.substr(start, at - start));
        }
    }
    return words;
}

bool StartsNumber(const std::string& word) {
    const size_t digit = !word.empty() && word[0] == '-' ? 1 : 0;
    return word.size() > digit && word[digit] >= '0' && word[digit] <= '9';
}

bool ToInt(const std::string& word, int32_t& value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

float ToFloat(const std::string& word) {
    float value = 0;
    std::from_chars(word.data(), word.data() + word.size(), value);
    return value;
}

} // namespace

bool TAnimationConfig::Load(const std::string& path) {
    const std::string file = FindFileIgnoringCase(path);
    if (file.empty())
        return false;
    std::string text;
    for (const std::string& line : ReadTextLines(file))
        text += line + "\n";
    Parse(text);
    return true;
}

void TAnimationConfig::Parse(std::string_view text) {
    *this = TAnimationConfig();
    const std::vector<std::string> words = Words(text);
    size_t at = 0;
    auto next = [&]() { return at < words.size() ? words[at++] : std::string(); };
    while (at < words.size() && !StartsNumber(words[at])) {
        const std::string word = ToLower(next());
        if (word == "sex")
            Sex = next();
        else if (word == "footsteps")
            Footsteps = next();
        else if (word == "headoffset")
            for (float& value : HeadOffset)
                value = ToFloat(next());
        else if (word == "fixedlegs")
            FixedLegs = true;
        else if (word == "fixedtorso")
            FixedTorso = true;
        else
            UnknownWords.push_back(word);
    }
    while (at < words.size() && Animations.size() < MostAnimations) {
        int32_t values[4];
        for (int32_t& value : values) {
            const std::string word = next();
            if (!ToInt(word, value)) {
                Error = "\"" + word + "\" where animation " +
                        std::to_string(Animations.size() + 1) + " needs a whole number";
                return;
            }
        }
        Animations.push_back({values[0], values[1], values[2], values[3]});
    }
}

const char* TAnimationConfig::AnimationName(size_t index) {
    return index < MostAnimations ? Names[index] : "";
}

TPlayerPart TAnimationConfig::PartOf(size_t index) {
    if (index < FirstTorso)
        return TPlayerPart::Both;
    return index >= FirstLegs && index < FirstTeam ? TPlayerPart::Legs : TPlayerPart::Torso;
}

int64_t TAnimationConfig::FirstFrameInPart(size_t index) const {
    const int64_t first = Animations.at(index).FirstFrame;
    if (PartOf(index) != TPlayerPart::Legs)
        return first;
    const int64_t torsoOnly =
        int64_t{Animations[FirstLegs].FirstFrame} - Animations[FirstTorso].FirstFrame;
    return first - torsoOnly;
}

} // namespace quillon
