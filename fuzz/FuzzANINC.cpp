// The animation script parser on arbitrary text: entries or a conversion error, nothing else.
#include "skeletal/AnimationScript.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quillon::TANINC script;
    try {
        script.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const quillon::ConversionError&) {
    }
    return 0;
}
