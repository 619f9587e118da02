// Every question the window asks the user goes through IDialogs: file dialogs, input boxes,
// message boxes, the colour and the folder dialog. The program shows Qt's dialogs (TQtDialogs);
// tests script the answers. A file dialog is a long-lived description, as the window keeps
// its dialogs between uses: the chosen file name and filter index stay for the next showing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

struct TFileDialog {
    enum class TKind { Open, OpenMany, Save };
    TKind Kind = TKind::Open;
    std::string Title;
    // Pairs of description and patterns: "Quake 3 model  (.MD3)|*.MD3|...", patterns joined by
    // ";".
    std::string Filter;
    std::string DefaultExt; // with the dot: ".MD3"
    int FilterIndex = 1;    // counts from 1
    std::string FileName;
    std::string InitialDir;         // where the dialog starts when no file name is preset
    std::vector<std::string> Files; // the choice of an OpenMany dialog
    bool OverwritePrompt = false;
};

enum class TAnswer { Yes, No, Cancel };

// One showing of the archive browser. Mode 3 lets the user pick the map archive first, starting
// in `MapArchiveFolder`; the other modes list the game archive.
struct TArchiveBrowse {
    int Mode = 0;
    std::string GameArchive;
    std::vector<std::string> GameArchives; // every archive of the game, for the player folders
    std::string MapArchiveFolder;          // empty: the dialog's own choice
};

// What the browser leaves behind, also when it was cancelled: every showing empties the map
// archive path and the selected folder, and a click on a member sets the folder.
struct TArchiveChoice {
    bool Ok = false;
    std::string MemberPath;     // folder + file name ("/"-separated); empty unless a member
    std::string SelectedFolder; // the folder of the member last clicked
    std::string ArchivePath;    // mode 3: the map archive chosen
};

class IDialogs {
public:
    virtual ~IDialogs() = default;

    // True on OK: FileName (and Files, and FilterIndex) then hold the choice.
    virtual bool Execute(TFileDialog& dialog) = 0;
    // The typed text on OK, nothing on Cancel.
    virtual std::optional<std::string>
    InputQuery(const std::string& title, const std::string& prompt, const std::string& initial) = 0;
    virtual TAnswer AskYesNoCancel(const std::string& caption, const std::string& text) = 0;
    // A confirmation with Yes and No only; true for Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    // The general error report for a command that failed with an error.
    virtual void ShowError(const std::string& text) = 0;
    // Colours are red in bits 0-7, green 8-15, blue 16-23.
    virtual std::optional<uint32_t> PickColor(uint32_t initial) = 0;
    virtual std::optional<std::string> PickFolder(const std::string& prompt) = 0;
    // Shows the archive browser. Throws FileError when the archive cannot be read.
    virtual TArchiveChoice BrowseArchive(const TArchiveBrowse& browse) = 0;
    // A list of lines under `caption`; the line the user double-clicked (which closes the
    // list), none when it was closed otherwise.
    virtual std::optional<size_t> ShowList(const std::string& caption,
                                           const std::vector<std::string>& lines) = 0;
};

} // namespace quillon
