#include "EditOperations.h"

namespace quillon::cli {

const std::vector<EditOperation>& MD3EditOperations() {
    static const std::vector<EditOperation> operations = {};
    return operations;
}

} // namespace quillon::cli
