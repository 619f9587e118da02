#include "ModelWindow.h"

#include "core/CasePath.h"

namespace quillon {

void IModelWindow::ReportLoadFailure(const std::string& path, const std::string& reason) {
    SetStatus(FilePart(path) + ": " + reason);
}

std::string IModelWindow::ApplyDefaultSkin(const std::string& skinFile, const std::string& loaded) {
    if (skinFile.empty() || !DefaultSkinOnLoad() || !LoadSkin(skinFile, false))
        return loaded;
    return loaded + ", skin " + FilePart(skinFile) + " applied";
}

} // namespace quillon
