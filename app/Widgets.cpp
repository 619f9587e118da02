#include "Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace quillon {

QLineEdit* ReadOnlyField(const char* name, QWidget* parent) {
    QLineEdit* field = EditField(name, parent);
    field->setReadOnly(true);
    return field;
}

QLineEdit* EditField(const char* name, QWidget* parent, const QString& text) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    return field;
}

QComboBox* ListBox(const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    return box;
}

QCheckBox* CheckBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

} // namespace quillon
