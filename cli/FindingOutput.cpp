#include "FindingOutput.h"

#include <iostream>

namespace quillon::cli {

std::string Printable(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
            c = '?';
    return text;
}

namespace {

nlohmann::json IndexJson(int index) {
    return index < 0 ? nlohmann::json(nullptr) : nlohmann::json(index);
}

nlohmann::json FindingJson(const TFinding& f) {
    const TFindingPlace& w = f.Where;
    return {
        {"severity", SeverityName(f.Severity)},
        {"code", f.Code},
        {"file", f.File},
        {"skin", f.Skin.empty() ? nlohmann::json(nullptr) : nlohmann::json(f.Skin)},
        {"surface", IndexJson(w.Surface)},
        {"surfaceName", w.Surface < 0 ? nlohmann::json(nullptr) : nlohmann::json(w.SurfaceName)},
        {"frame", IndexJson(w.Frame)},
        {"vertex", IndexJson(w.Vertex)},
        {"triangle", IndexJson(w.Triangle)},
        {"tag", IndexJson(w.Tag)},
        {"tagName", w.Tag < 0 ? nlohmann::json(nullptr) : nlohmann::json(w.TagName)},
        {"bone", IndexJson(w.Bone)},
        {"count", f.Count},
        {"fixable", f.Fixable},
        {"message", f.Message}};
}

} // namespace

nlohmann::json FindingsJson(const std::vector<TFinding>& findings) {
    nlohmann::json list = nlohmann::json::array();
    for (const TFinding& f : findings)
        list.push_back(FindingJson(f));
    return list;
}

void PrintJson(const nlohmann::json& j) {
    std::cout << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

void PrintLines(const std::vector<TFinding>& findings) {
    for (const TFinding& f : findings)
        std::cout << Printable(f.File) << ": " << SeverityName(f.Severity) << " [" << f.Code << "] "
                  << Printable(FindingText(f)) << (f.Fixable ? " (--fix)" : "") << "\n";
}

} // namespace quillon::cli
