#include "BatchDialogs.h"

#include <iostream>

namespace quillon {

void TBatchDialogs::Print(std::string text) {
    // The window's texts end lines with CR LF.
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    std::cerr << text << "\n";
    ++Count;
}

TAnswer TBatchDialogs::AskYesNoCancel(const std::string& caption, const std::string& text) {
    Print(caption + ": " + text + " - answered No");
    return TAnswer::No;
}

bool TBatchDialogs::AskYesNo(const std::string& caption, const std::string& text) {
    Print(caption + ": " + text + " - answered No");
    return false;
}

void TBatchDialogs::ShowMessage(const std::string& text) {
    Print(text);
}

void TBatchDialogs::ShowError(const std::string& text) {
    Print(text);
}

} // namespace quillon
