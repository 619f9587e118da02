#include "ModelWindow.h"

#include "core/CasePath.h"

namespace quillon {

void IModelWindow::ReportLoadFailure(const std::string& path, const std::string& reason) {
    SetStatus(FilePart(path) + ": " + reason);
}

} // namespace quillon
