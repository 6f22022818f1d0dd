#pragma once
// "Environment Options": the working units.

#include "platform/Units.h"

#include <QDialog>

#include <functional>

class QRadioButton;

namespace kv {

class TEnvironDlg : public QDialog {
public:
    // `showHelp` receives the dialog's help context.
    TEnvironDlg(QWidget* parent, std::function<void(int context)> showHelp);

    void SetUnits(TUnits units);
    TUnits Units() const;

    static constexpr int HelpContext = 5;

private:
    QRadioButton* FeetBtn_;
    QRadioButton* MetersBtn_;
};

} // namespace kv
