// Small constructors for the controls every panel uses, so each gets its object name (by which
// tests and the 3D view find it) in one place.
#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace quillon {

QLineEdit* ReadOnlyField(const char* name, QWidget* parent);
QLineEdit* EditField(const char* name, QWidget* parent, const QString& text = {});
QComboBox* ListBox(const char* name, QWidget* parent);
QCheckBox* CheckBox(const char* name, const QString& caption, QWidget* parent);

} // namespace quillon
