#include "app/KVCapture.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kv {

namespace {

QSpinBox* SpinBox(QWidget* parent, const char* name, int minimum, int maximum, int step)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(minimum, maximum);
    spin->setSingleStep(step);
    return spin;
}

} // namespace

TCaptureDlg::TCaptureDlg(QWidget* parent, std::function<void(int context)> showHelp) : QDialog(parent)
{
    setObjectName(QStringLiteral("CaptureDlg"));
    setWindowTitle(QStringLiteral("AVI Capture Options"));

    // A frame rate below 1 would make the interval between frames and the movie's length
    // divide by zero: the spin edit stops at 1.
    FPSSpin_ = SpinBox(this, "FPSSpin", 1, 1000, 1);
    CompressSpin_ = SpinBox(this, "CompressSpin", 0, 100, 1);
    CompressSpin_->setSuffix(QStringLiteral(" %"));
    LimitChk_ = new QCheckBox(QStringLiteral("Limit Movie Size"), this);
    LimitChk_->setObjectName(QStringLiteral("LimitChk"));
    MaxFramesSpin_ = SpinBox(this, "MaxFramesSpin", 1, 100000, 10);
    DisTime_ = new QLabel(this);
    DisTime_->setObjectName(QStringLiteral("DisTime"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Frames Per Sec."), FPSSpin_);
    form->addRow(QStringLiteral("Compression"), CompressSpin_);
    form->addRow(LimitChk_);
    form->addRow(QStringLiteral("Max Frames"), MaxFramesSpin_);
    form->addRow(QStringLiteral(" Time:"), DisTime_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CloseBtn"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [showHelp] {
        if (showHelp)
            showHelp(HelpContext);
    });
    for (QSpinBox* spin : {FPSSpin_, MaxFramesSpin_})
        connect(spin, &QSpinBox::valueChanged, this, [this] { MaxFramesSpinChange(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    SetOptions(TCaptureOptions{});
}

void TCaptureDlg::SetOptions(const TCaptureOptions& options)
{
    FPSSpin_->setValue(options.FramesPerSec);
    CompressSpin_->setValue(options.Compression);
    LimitChk_->setChecked(options.LimitMovieSize);
    MaxFramesSpin_->setValue(options.MaxFrames);
    MaxFramesSpinChange();
}

TCaptureOptions TCaptureDlg::Options() const
{
    return TCaptureOptions{FPSSpin_->value(), CompressSpin_->value(), LimitChk_->isChecked(), MaxFramesSpin_->value()};
}

void TCaptureDlg::MaxFramesSpinChange()
{
    DisTime_->setText(QString::fromStdString(MovieTimeText(MaxFramesSpin_->value(), FPSSpin_->value())));
}

} // namespace kv
