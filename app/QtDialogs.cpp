#include "QtDialogs.h"

#include "dlgPK3.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QVBoxLayout>

namespace quillon {

namespace {
QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// "Quake 3 model  (.MD3)|*.MD3" becomes "Quake 3 model  (.MD3) (*.MD3 *.md3)": the game's files
// come in either case, and Linux file names are case-sensitive.
QStringList NameFilters(const std::string& filter) {
    const QStringList parts = Q(filter).split('|');
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            patterns << pattern;
            if (pattern.toLower() != pattern)
                patterns << pattern.toLower();
        }
        result << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return result;
}

QFileDialog::FileMode ModeOf(TFileDialog::TKind kind) {
    switch (kind) {
    case TFileDialog::TKind::OpenMany:
        return QFileDialog::ExistingFiles;
    case TFileDialog::TKind::Save:
        return QFileDialog::AnyFile;
    default:
        return QFileDialog::ExistingFile;
    }
}
} // namespace

// The browser has no parent widget: it outlives the main window, which is destroyed first.
TQtDialogs::TQtDialogs(QWidget* parent)
    : Parent(parent), Browser(std::make_unique<TdlgPK3>(*this)) {}

TQtDialogs::~TQtDialogs() = default;

void TQtDialogs::SetParent(QWidget* parent) {
    Parent = parent;
}

TArchiveChoice TQtDialogs::BrowseArchive(const TArchiveBrowse& browse) {
    return Browser->Browse(browse);
}

bool TQtDialogs::Execute(TFileDialog& dialog) {
    QFileDialog box(Parent, Q(dialog.Title));
    const QStringList filters = NameFilters(dialog.Filter);
    box.setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        box.selectNameFilter(filters[dialog.FilterIndex - 1]);
    box.setFileMode(ModeOf(dialog.Kind));
    box.setAcceptMode(dialog.Kind == TFileDialog::TKind::Save ? QFileDialog::AcceptSave
                                                              : QFileDialog::AcceptOpen);
    box.setOption(QFileDialog::DontConfirmOverwrite, !dialog.OverwritePrompt);
    if (!dialog.DefaultExt.empty())
        box.setDefaultSuffix(Q(dialog.DefaultExt).mid(1));
    if (!dialog.FileName.empty())
        box.selectFile(Q(dialog.FileName));
    else if (!dialog.InitialDir.empty())
        box.setDirectory(Q(dialog.InitialDir));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return false;
    dialog.Files.clear();
    for (const QString& file : box.selectedFiles())
        dialog.Files.push_back(file.toStdString());
    dialog.FileName = dialog.Files.front();
    dialog.FilterIndex = static_cast<int>(filters.indexOf(box.selectedNameFilter())) + 1;
    return true;
}

std::optional<std::string> TQtDialogs::InputQuery(const std::string& title,
                                                  const std::string& prompt,
                                                  const std::string& initial) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(Parent, Q(title), Q(prompt), QLineEdit::Normal, Q(initial), &ok);
    if (!ok)
        return std::nullopt;
    return text.toStdString();
}

TAnswer TQtDialogs::AskYesNoCancel(const std::string& caption, const std::string& text) {
    switch (QMessageBox::question(Parent, Q(caption), Q(text),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

bool TQtDialogs::AskYesNo(const std::string& caption, const std::string& text) {
    return QMessageBox::question(Parent, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void TQtDialogs::ShowMessage(const std::string& text) {
    QMessageBox::information(Parent, QApplication::applicationName(), Q(text));
}

void TQtDialogs::ShowError(const std::string& text) {
    QMessageBox::critical(Parent, QApplication::applicationName(), Q(text));
}

std::optional<uint32_t> TQtDialogs::PickColor(uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(
        QColor(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF), Parent);
    if (!chosen.isValid())
        return std::nullopt;
    return uint32_t(chosen.red()) | uint32_t(chosen.green()) << 8 | uint32_t(chosen.blue()) << 16;
}

std::optional<size_t> TQtDialogs::ShowList(const std::string& caption,
                                           const std::vector<std::string>& lines) {
    QDialog box(Parent);
    box.setWindowTitle(Q(caption));
    box.resize(720, 360);
    auto* list = new QListWidget(&box);
    list->setObjectName("lbList");
    for (const std::string& line : lines)
        list->addItem(Q(line));
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, &box);
    QObject::connect(close, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &box, &QDialog::accept);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(list);
    layout->addWidget(close);
    if (box.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return size_t(list->currentRow());
}

std::optional<std::string> TQtDialogs::PickFolder(const std::string& prompt) {
    const QString folder = QFileDialog::getExistingDirectory(Parent, Q(prompt), QDir::homePath());
    if (folder.isEmpty())
        return std::nullopt;
    return folder.toStdString();
}

} // namespace quillon
