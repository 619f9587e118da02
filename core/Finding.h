// What a check of a model found: one finding per kind of problem and place, with a stable code
// that scripts can test, a severity, where it is and a sentence for the modeller. Problems that
// repeat (the same fault in many frames or vertices) are counted in one finding that points at
// the first occurrence, so a broken model gives a readable list rather than thousands of lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// Error: the engines refuse the model or draw it wrong. Warning: legal, but most likely a
// mistake. Note: worth knowing, harmless.
enum class TSeverity { Note, Warning, Error };

// Indices into the model; -1 where the finding does not point at one.
struct TFindingPlace {
    int Surface = -1;
    int Frame = -1;
    int Vertex = -1;
    int Triangle = -1;
    int Tag = -1;
    int Bone = -1;
    std::string SurfaceName;
    std::string TagName;
};

struct TFinding {
    TSeverity Severity = TSeverity::Note;
    std::string Code;
    std::string Message;
    TFindingPlace Where;
    int Count = 1;        // occurrences; Where points at the first
    bool Fixable = false; // one of the MD3 fixes removes it
    std::string File;     // the file checked, when the check covers several (a player set)
    std::string Skin;     // the skin the finding depends on; empty when none
};

TFinding MakeFinding(TSeverity severity, std::string code, std::string message,
                     TFindingPlace place = {}, int count = 1, bool fixable = false);

// One kind of fault counted over many places: how often, the first place, the worst amount.
struct TFindingTally {
    int Count = 0;
    TFindingPlace First;
    float Worst = 0;

    void Add(const TFindingPlace& place, float amount = 0);
};

const char* SeverityName(TSeverity severity);

// "surface 2 \"u_body\", frame 5: <message>", the place first when there is one.
std::string FindingText(const TFinding& finding);

size_t CountFindings(const std::vector<TFinding>& findings, TSeverity severity);
bool HasErrors(const std::vector<TFinding>& findings);

// "3 errors, 2 warnings, 1 note" without the zero counts; "no problems found" for none.
std::string FindingSummary(const std::vector<TFinding>& findings);

// "1 vertex", "3 vertices".
std::string CountText(int64_t count, const char* one, const char* many);
// A length or distance for a message: two decimals, "." as the separator in any locale.
std::string UnitsText(float value);

// Sets File on every finding that has none yet and appends them to `to`.
void AppendFindings(std::vector<TFinding>& to, std::vector<TFinding> findings,
                    const std::string& file);

} // namespace quillon
