// The editing operations of the MD3 model (placeholders until the operations land).
#include "MD3.h"

namespace quillon {

namespace {
TEditResult NotYet() {
    return TEditResult::Refused("This operation is not available yet");
}
} // namespace

void TMD3::FlipX() {}
void TMD3::FlipY() {}
void TMD3::FlipZ() {}
void TMD3::FlipNormals() {}
TEditResult TMD3::WeldVertices(int, float) {
    return NotYet();
}
TEditResult TMD3::SmoothSurface(int) {
    return NotYet();
}
TEditResult TMD3::Scale(float) {
    return NotYet();
}
TEditResult TMD3::MoveOriginToTag(uint32_t) {
    return NotYet();
}
std::string TMD3::PivotName(uint32_t) const {
    return "origin";
}
void TMD3::InvertTagAxisX() {}
void TMD3::InvertTagAxisY() {}
void TMD3::InvertTagAxisZ() {}
void TMD3::SwapTagAxesXY() {}
void TMD3::SwapTagAxesXZ() {}
void TMD3::SwapTagAxesYZ() {}
void TMD3::AddTag(const TMD3Tag&) {}
TEditResult TMD3::AddTagByHand(std::string_view, TVector) {
    return NotYet();
}
TEditResult TMD3::AddTagsFromFile(const std::string&) {
    return NotYet();
}
TEditResult TMD3::AddFirstFrameFromFile(const std::string&) {
    return NotYet();
}
TEditResult TMD3::AddAllFramesFromFile(const std::string&) {
    return NotYet();
}
TEditResult TMD3::AddFirstFramesFromFiles(std::vector<std::string>) {
    return NotYet();
}
TEditResult TMD3::DeleteFrame(uint32_t) {
    return NotYet();
}

} // namespace quillon
