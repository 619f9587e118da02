// The main window's start-up, settings and closing: the installation check and the settings file
// at construction, the first showing (game folder applied or asked for), the view switches that
// mirror the settings, and the settings written back when the window closes.
#include "Form1.h"

#include "ArchiveLock.h"
#include "ColorSwatch.h"
#include "FormatNumbers.h"
#include "MainMenu.h"
#include "SettingsBar.h"
#include "TagsTab.h"
#include "ViewTab.h"
#include "core/CasePath.h"
#include "core/FileError.h"
#include "gamedata/AppFolders.h"
#include "gamedata/GameFolder.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include <filesystem>

namespace quillon {

namespace {
const char* const MissingTexturesMessage =
    "This application is not installed correctly.\r\nCopy the .exe and the subdirectory "
    "\"textures\" into its own directory";
const char* const GameInUseMessage =
    "The game-files are already in use by another application.\r\nThis tool will halt..";

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}
} // namespace

void TForm1::StartUp(const std::string& executablePath) {
    QLocale::setDefault(QLocale::c());
    const TAppFolders folders = TAppFolders::ForExecutable(executablePath);
    State.ApplicationFolder = folders.AppFolder;
    State.TemporaryFolder = folders.TmpFolder;
    State.ScreenshotFolder = folders.ScreenshotFolder;
    Resolver.Folders = folders;
    Resolver.Status = [this](const std::string& text) { SetStatus(text); };
    State.SettingsPath =
        folders.SettingsFolder + std::filesystem::path(executablePath).stem().string() + ".ini";
    if (!IsInstalledCorrectly()) {
        UserDialogs.ShowMessage(MissingTexturesMessage);
        RequestQuit(1);
    }

    State.Settings = TSettings::Read(State.SettingsPath);
    ApplySettingsToControls();
    if (IsGameArchiveInUse()) {
        UserDialogs.ShowMessage(GameInUseMessage);
        RequestQuit(1);
        return;
    }

    try {
        folders.CreateTempFolders();
    } catch (const FileError& error) {
        UserDialogs.ShowError(error.what());
    }
    State.ModelKind = TModelKind::None;
    RebuildShaderList();
    State.CurrentFrame = 0;

    ApplyTabSet(TModelKind::None);
    tabTags->gbAddTags->show();
    tabTags->bTagFilename->setEnabled(false);
    ApplyMenuState(TModelKind::None);
    Menu->menuViewSkycolors->setEnabled(!State.Settings.SkyBoxEnabled);

    State.TextureSearchFolders = {State.ApplicationFolder + "textures/BG/",
                                  State.ApplicationFolder + "textures/", State.ApplicationFolder,
                                  State.TemporaryFolder};
}

bool TForm1::IsInstalledCorrectly() const {
    return IsFolder(State.ApplicationFolder + "textures");
}

bool TForm1::IsGameArchiveInUse() const {
    if (State.Settings.GameDir.empty())
        return false;
    const std::string archive =
        FindFileIgnoringCase(WithTrailingSlash(State.Settings.GameDir) + "etmain/pak0.pk3");
    return !archive.empty() && IsHeldByAnotherProcess(archive);
}

void TForm1::RequestQuit(int code) {
    StartupQuitCode = code;
}

void TForm1::ApplySettingsToControls() {
    const TSettings& s = State.Settings;
    SettingsBar->leGameDir->setText(QString::fromStdString(s.GameDir));
    Menu->CheckGamma(s.Gamma);
    Menu->actionViewShowalphapreview->setChecked(s.AlphaTexturePreview);
    Menu->actionViewShowskeleton->setChecked(s.ShowSkeleton);
    Menu->actionViewShowtags->setChecked(s.ShowTags);
    Menu->actionViewLighting->setChecked(s.Lighting);
    Menu->actionViewCenterModel->setChecked(s.CenterModel);
    Menu->menuViewShowskybox->setChecked(s.SkyBoxEnabled);
    Menu->actionTexturingDefaultSkin->setChecked(s.DefaultSkinOnLoad);
    // toggled() only fires on a change: bring the twins and the flags in step either way.
    SettingsBar->cbAlphaPreview->setChecked(s.AlphaTexturePreview);
    SettingsBar->cbShowSkeleton->setChecked(s.ShowSkeleton);
    SettingsBar->cbShowTags->setChecked(s.ShowTags);
    SettingsBar->cbLightingEnabled->setChecked(s.Lighting);
    SettingsBar->cbCenterModel->setChecked(s.CenterModel);
    State.Settings = s;
    ShowSkyColorSwatches();
}

void TForm1::ConnectViewSwitches() {
    struct TSwitch {
        QAction* Item;
        QCheckBox* Twin;
        bool TSettings::*Flag;
        std::function<void(bool on)> Then; // what the switch changes besides the frame
    };
    const TSwitch switches[] = {
        {Menu->actionViewShowalphapreview, SettingsBar->cbAlphaPreview,
         &TSettings::AlphaTexturePreview, [this](bool) { RefreshTexturePreview(); }},
        {Menu->actionViewShowskeleton, SettingsBar->cbShowSkeleton, &TSettings::ShowSkeleton, {}},
        {Menu->actionViewShowtags, SettingsBar->cbShowTags, &TSettings::ShowTags, {}},
        {Menu->actionViewLighting, SettingsBar->cbLightingEnabled, &TSettings::Lighting, {}},
        {Menu->actionViewCenterModel, SettingsBar->cbCenterModel, &TSettings::CenterModel,
         [this](bool on) {
             if (on)
                 ResetView();
         }},
    };
    for (const TSwitch& s : switches) {
        connect(s.Item, &QAction::toggled, this, [this, s](bool on) {
            s.Twin->setChecked(on);
            State.Settings.*s.Flag = on;
            if (s.Then)
                s.Then(on);
            DrawView();
        });
        connect(s.Twin, &QCheckBox::toggled, s.Item, &QAction::setChecked);
        Menu->MarkAvailable(s.Item);
    }
    connect(SettingsBar->cbShowNormals, &QCheckBox::toggled, this, &TForm1::DrawView);
    connect(Menu->menuViewShowskybox, &QAction::toggled, this, [this](bool on) {
        State.Settings.SkyBoxEnabled = on;
        Menu->menuViewSkycolors->setEnabled(!on);
        DrawView();
    });
    Menu->MarkAvailable(Menu->menuViewShowskybox);
    connect(Menu->menuViewSkycolortop, &QAction::triggered, this,
            [this] { SelectSkyColor(State.Settings.ColorTop); });
    connect(Menu->menuViewSkycolorbottom, &QAction::triggered, this,
            [this] { SelectSkyColor(State.Settings.ColorBottom); });
    Menu->MarkAvailable(Menu->menuViewSkycolortop);
    Menu->MarkAvailable(Menu->menuViewSkycolorbottom);
    connect(Menu->GammaItems, &QActionGroup::triggered, this, &TForm1::ChooseGamma);
    for (QAction* item : Menu->GammaItems->actions())
        Menu->MarkAvailable(item);
    connect(Menu->actionTexturingDefaultSkin, &QAction::toggled, this,
            [this](bool on) { State.Settings.DefaultSkinOnLoad = on; });
    Menu->MarkAvailable(Menu->actionTexturingDefaultSkin);
    // The menu item and the check box mirror each other; the flag is only stored.
    connect(Menu->actionSettingsCleanup, &QAction::toggled, SettingsBar->cbCleanUp,
            &QCheckBox::setChecked);
    connect(SettingsBar->cbCleanUp, &QCheckBox::toggled, this, [this](bool on) {
        Menu->actionSettingsCleanup->setChecked(on);
        State.Settings.Cleanup = on;
    });
}

void TForm1::SelectSkyColor(uint32_t& color) {
    if (const auto chosen = UserDialogs.PickColor(color)) {
        color = *chosen;
        ShowSkyColorSwatches();
        DrawView();
    }
}

void TForm1::ShowSkyColorSwatches() {
    Menu->menuViewSkycolortop->setIcon(ColorSwatch(State.Settings.ColorTop));
    Menu->menuViewSkycolorbottom->setIcon(ColorSwatch(State.Settings.ColorBottom));
}

void TForm1::ChooseGamma(QAction* item) {
    State.Settings.Gamma = Menu->GammaOf(item);
    ReloadTextures();
    SetStatus("Software Gamma set to: " + FormatFloat(State.Settings.Gamma));
}

void TForm1::ChooseGameFolder() {
    const auto chosen = UserDialogs.PickFolder("Select the path of the game");
    if (!chosen || chosen->empty())
        return;
    const std::string folder = TGameFolder::FromChosenPath(*chosen);
    if (!TGameFolder::IsValid(folder))
        return;
    State.Settings.GameDir = folder;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ApplyGameFolder();
    QApplication::restoreOverrideCursor();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!Shown) {
        Shown = true;
        RunCommand([this] { FirstShow(); });
    }
}

void TForm1::FirstShow() {
    if (!State.Settings.GameDir.empty()) {
        OpenOnGameFolder();
    } else {
        ChooseGameFolder();
        ShowHelp();
    }
    DrawView();
}

void TForm1::OpenOnGameFolder() {
    ApplyGameFolder();
    ApplyTabSet(State.ModelKind);
    pcTabs->setCurrentWidget(tabView);
}

bool TForm1::StartWithoutWindow(const std::string& gameDir) {
    if (!gameDir.empty()) {
        if (!TGameFolder::IsValid(WithTrailingSlash(gameDir)))
            return false;
        State.Settings.GameDir = gameDir;
    }
    Shown = true;
    if (State.Settings.GameDir.empty()) {
        ApplyTabSet(State.ModelKind);
        pcTabs->setCurrentWidget(tabView);
    } else {
        OpenOnGameFolder();
    }
    return true;
}

void TForm1::closeEvent(QCloseEvent* event) {
    WriteSettings();
    QMainWindow::closeEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        !QCoreApplication::closingDown())
        DrawView();
}

void TForm1::WriteSettings() {
    State.Settings.Cleanup = Menu->actionSettingsCleanup->isChecked();
    try {
        Resolver.Folders.CreateSettingsFolder();
        if (!State.Settings.Write(State.SettingsPath))
            UserDialogs.ShowError("The settings could not be written to " + State.SettingsPath);
    } catch (const FileError& error) {
        UserDialogs.ShowError(error.what());
    }
}

} // namespace quillon
