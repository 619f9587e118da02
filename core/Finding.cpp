#include "Finding.h"

#include <algorithm>
#include <charconv>

namespace quillon {

namespace {

void AddPart(std::string& text, const char* label, int index, const std::string& name = {}) {
    if (index < 0)
        return;
    if (!text.empty())
        text += ", ";
    text += std::string(label) + " " + std::to_string(index);
    if (!name.empty())
        text += " \"" + name + "\"";
}

} // namespace

TFinding MakeFinding(TSeverity severity, std::string code, std::string message, TFindingPlace place,
                     int count, bool fixable) {
    TFinding finding;
    finding.Severity = severity;
    finding.Code = std::move(code);
    finding.Message = std::move(message);
    finding.Where = std::move(place);
    finding.Count = count;
    finding.Fixable = fixable;
    return finding;
}

void TFindingTally::Add(const TFindingPlace& place, float amount) {
    if (Count++ == 0)
        First = place;
    Worst = std::max(Worst, amount);
}

std::string CountText(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

const char* SeverityName(TSeverity severity) {
    switch (severity) {
    case TSeverity::Error:
        return "error";
    case TSeverity::Warning:
        return "warning";
    case TSeverity::Note:
        break;
    }
    return "note";
}

std::string FindingText(const TFinding& finding) {
    const TFindingPlace& w = finding.Where;
    std::string place;
    AddPart(place, "surface", w.Surface, w.SurfaceName);
    AddPart(place, "tag", w.Tag, w.TagName);
    AddPart(place, "bone", w.Bone);
    AddPart(place, "frame", w.Frame);
    AddPart(place, "triangle", w.Triangle);
    AddPart(place, "vertex", w.Vertex);
    if (!finding.Skin.empty())
        place += std::string(place.empty() ? "" : ", ") + "skin \"" + finding.Skin + "\"";
    return place.empty() ? finding.Message : place + ": " + finding.Message;
}

size_t CountFindings(const std::vector<TFinding>& findings, TSeverity severity) {
    return std::count_if(findings.begin(), findings.end(),
                         [&](const TFinding& f) { return f.Severity == severity; });
}

bool HasErrors(const std::vector<TFinding>& findings) {
    return CountFindings(findings, TSeverity::Error) > 0;
}

std::string FindingSummary(const std::vector<TFinding>& findings) {
    std::string text;
    const struct {
        TSeverity severity;
        const char* one;
        const char* many;
    } kinds[] = {{TSeverity::Error, "error", "errors"},
                 {TSeverity::Warning, "warning", "warnings"},
                 {TSeverity::Note, "note", "notes"}};
    for (const auto& kind : kinds) {
        const size_t count = CountFindings(findings, kind.severity);
        if (count == 0)
            continue;
        if (!text.empty())
            text += ", ";
        text += CountText(static_cast<int64_t>(count), kind.one, kind.many);
    }
    return text.empty() ? "no problems found" : text;
}

std::string UnitsText(float value) {
    char text[64];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2).ptr;
    return std::string(text, end);
}

void AppendFindings(std::vector<TFinding>& to, std::vector<TFinding> findings,
                    const std::string& file) {
    for (TFinding& finding : findings) {
        if (finding.File.empty())
            finding.File = file;
        to.push_back(std::move(finding));
    }
}

} // namespace quillon
