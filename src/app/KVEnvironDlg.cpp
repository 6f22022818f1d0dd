#include "app/KVEnvironDlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kv {

TEnvironDlg::TEnvironDlg(QWidget* parent, std::function<void(int context)> showHelp) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnvironDlg"));
    setWindowTitle(QStringLiteral("Environment Options"));

    auto* group = new QGroupBox(QStringLiteral("Working Units"), this);
    group->setObjectName(QStringLiteral("WorkingUnitsGroup"));
    FeetBtn_ = new QRadioButton(QStringLiteral("Feet"), group);
    FeetBtn_->setObjectName(QStringLiteral("FeetBtn"));
    MetersBtn_ = new QRadioButton(QStringLiteral("Meters"), group);
    MetersBtn_->setObjectName(QStringLiteral("MetersBtn"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(FeetBtn_);
    groupLayout->addWidget(MetersBtn_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [showHelp] {
        if (showHelp)
            showHelp(HelpContext);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    SetUnits(TUnits{});
}

void TEnvironDlg::SetUnits(TUnits units)
{
    (units.UseFeet ? FeetBtn_ : MetersBtn_)->setChecked(true);
}

TUnits TEnvironDlg::Units() const
{
    return TUnits{FeetBtn_->isChecked()};
}

} // namespace kv
