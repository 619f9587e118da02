#include "GeneralTab.h"

#include "PanelText.h"
#include "Widgets.h"
#include "core/MD3.h"
#include "skeletal/MDM.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstring>

namespace quillon {

TGeneralTab::TGeneralTab(QWidget* parent)
    : QWidget(parent), leName(ReadOnlyField("leName", this)),
      leIdent(ReadOnlyField("leIdent", this)), leVersion(ReadOnlyField("leVersion", this)),
      leHeaderName(ReadOnlyField("leHeaderName", this)), leFlags(ReadOnlyField("leFlags", this)) {
    setObjectName("tabGeneral");
    auto* layout = new QVBoxLayout(this);
    auto* name = new QFormLayout;
    name->addRow("Name", leName);
    layout->addLayout(name);
    auto* header = new QGroupBox("Header", this);
    header->setObjectName("gbHeader");
    auto* form = new QFormLayout(header);
    form->addRow("Ident", leIdent);
    form->addRow("Version", leVersion);
    form->addRow("Name", leHeaderName);
    form->addRow("Flags", leFlags);
    layout->addWidget(header);
    layout->addStretch();
}

void TGeneralTab::Fill(const TMD3& md3) {
    const THeader& h = md3.Header;
    leIdent->setText(IdentText(h.ident));
    leVersion->setText(QString::number(h.version));
    leHeaderName->setText(QString::fromStdString(NameToString(h.name)));
    leFlags->setText(FlagsText(h.flags));
}

void TGeneralTab::Fill(const TMDM& mesh) {
    const TMDMHeaderRecord& h = mesh.Header;
    uint32_t ident = 0;
    std::memcpy(&ident, h.ident, sizeof ident);
    leIdent->setText(IdentText(ident));
    leVersion->setText(QString::number(h.version));
    leHeaderName->setText(QString::fromStdString(NameToString(h.name)));
    leFlags->clear();
}

void TGeneralTab::Clear() {
    for (QLineEdit* field : {leName, leIdent, leVersion, leHeaderName, leFlags})
        field->clear();
}

} // namespace quillon
