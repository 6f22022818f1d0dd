#include "app/KVPlotOptsDlg.h"

#include "mapview/DEMImage.h"
#include "platform/Units.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace kv {

namespace {

struct TLightButton {
    const char* Name;
    uint8_t Direction;
    int Row;
    int Column;
};

constexpr std::array LightButtons{
    TLightButton{"NorthBtn", ldN, 0, 1},  TLightButton{"SouthBtn", ldS, 2, 1},  TLightButton{"EastBtn", ldE, 1, 2},
    TLightButton{"WestBtn", ldW, 1, 0},   TLightButton{"NEastBtn", ldNE, 0, 2}, TLightButton{"NWestBtn", ldNW, 0, 0},
    TLightButton{"SEastBtn", ldSE, 2, 2}, TLightButton{"SWestBtn", ldSW, 2, 0},
};

} // namespace

QImage TPlotOptsDlg::ContrastSample(int32_t contrast)
{
    constexpr int size = 50;
    const auto height = [](int x, int y) {
        const double r2 = (x - 25.0) * (x - 25.0) + (y - 25.0) * (y - 25.0);
        return static_cast<int64_t>(std::lround(60.0 * std::exp(-r2 / 160.0)));
    };
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int64_t difference = ShadeDifference(ldNW, height(x, y), height(x, y + 1), height(x - 1, y),
                                                       height(x - 1, y - 1), height(x - 1, y + 1));
            const int grey = ShadeGrey(contrast, difference);
            image.setPixel(x, y, qRgb(grey, grey, grey));
        }
    return image;
}

TPlotOptsDlg::TPlotOptsDlg(QWidget* parent, std::function<void(uint8_t direction)> onLight)
    : QDialog(parent), OnLight_(std::move(onLight))
{
    setObjectName(QStringLiteral("PlotOptsDlg"));
    setWindowTitle(QStringLiteral("Plotting Options"));

    auto* modes = new QGroupBox(QStringLiteral("Plot"), this);
    modes->setObjectName(QStringLiteral("PlotGroup"));
    auto* modesLayout = new QVBoxLayout(modes);
    const auto check = [&](const char* name, const char* caption, TPlotModeBox box) {
        auto* chk = new QCheckBox(QLatin1String(caption), modes);
        chk->setObjectName(QLatin1String(name));
        connect(chk, &QCheckBox::clicked, this, [this, box] { ModeClicked(box); });
        modesLayout->addWidget(chk);
        return chk;
    };
    ColoredChk_ = check("ColoredChk", "Color By Elevation", mbColored);
    ShadedChk_ = check("ShadedChk", "Shaded Relief", mbShaded);
    ContourChk_ = check("ContourChk", "Contour Elevations", mbContoured);
    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(new QLabel(QStringLiteral("Contour Interval"), modes));
    IntervalSpin_ = new QSpinBox(modes);
    IntervalSpin_->setObjectName(QStringLiteral("IntervalSpin"));
    IntervalSpin_->setRange(1, 100000);
    IntervalSpin_->setSuffix(QStringLiteral(" Ft."));
    IntervalSpin_->setToolTip(QStringLiteral("Every drawing chooses its own interval from the elevation range."));
    intervalRow->addWidget(IntervalSpin_);
    modesLayout->addLayout(intervalRow);

    auto* light = new QGroupBox(QStringLiteral("Light Direction"), this);
    light->setObjectName(QStringLiteral("LightGroup"));
    auto* lightLayout = new QGridLayout(light);
    for (const TLightButton& item : LightButtons) {
        auto* button = new QPushButton(QLatin1String(LightDirectionName(item.Direction)), light);
        button->setObjectName(QLatin1String(item.Name));
        button->setFixedWidth(36);
        const uint8_t direction = item.Direction;
        connect(button, &QPushButton::clicked, this, [this, direction] { SetLight(direction); });
        lightLayout->addWidget(button, item.Row, item.Column);
    }
    DirectDis_ = new QLabel(light);
    DirectDis_->setObjectName(QStringLiteral("DirectDis"));
    DirectDis_->setAlignment(Qt::AlignCenter);
    lightLayout->addWidget(DirectDis_, 1, 1);

    auto* contrast = new QGroupBox(QStringLiteral("Contrast"), this);
    contrast->setObjectName(QStringLiteral("ContrastGroup"));
    auto* contrastLayout = new QGridLayout(contrast);
    ContrastSpin_ = new QSpinBox(contrast);
    ContrastSpin_->setObjectName(QStringLiteral("ContrastSpin"));
    ContrastSpin_->setRange(0, 6);
    ConDisplay_ = new QLabel(contrast);
    ConDisplay_->setObjectName(QStringLiteral("ConDisplay"));
    ConDisplay_->setMinimumWidth(90);
    ConImage_ = new QLabel(contrast);
    ConImage_->setObjectName(QStringLiteral("ConImage"));
    ConImage_->setFixedSize(50, 50);
    for (int i = 0; i < 7; ++i) {
        ConImg_[i] = new QLabel(contrast);
        ConImg_[i]->setObjectName(QStringLiteral("ConImg%1").arg(i + 1));
        ConImg_[i]->setPixmap(QPixmap::fromImage(ContrastSample(i)));
        ConImg_[i]->hide();
    }
    contrastLayout->addWidget(ContrastSpin_, 0, 0);
    contrastLayout->addWidget(ConDisplay_, 1, 0);
    contrastLayout->addWidget(ConImage_, 0, 1, 2, 1);
    connect(ContrastSpin_, &QSpinBox::valueChanged, this, &TPlotOptsDlg::ShowContrast);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(modes);
    top->addWidget(light);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(contrast);
    layout->addWidget(buttons);
    LoadOptions(TPlotOptions{});
}

void TPlotOptsDlg::LoadOptions(const TPlotOptions& options)
{
    ColoredChk_->setChecked(options.Colored);
    ShadedChk_->setChecked(options.Shaded);
    ContourChk_->setChecked(options.Contoured);
    LightDirection_ = options.LightDirection;
    DirectDis_->setText(QLatin1String(LightDirectionName(LightDirection_)));
    IntervalSpin_->setValue(static_cast<int>(options.ImageContourInterval * FeetPerMeter));
    // A contrast the spin box cannot show (a damaged settings file) shows as its stand-in.
    const int contrast = EffectiveContrast(options.Contrast);
    ContrastSpin_->setValue(contrast);
    ShowContrast(contrast);
}

void TPlotOptsDlg::StoreOptions(TPlotOptions& options) const
{
    const TPlotModes modes = Modes();
    options.Colored = modes.Colored;
    options.Shaded = modes.Shaded;
    options.Contoured = modes.Contoured;
    options.Contrast = ContrastSpin_->value();
    options.ImageContourInterval = static_cast<int32_t>(std::lround(IntervalSpin_->value() * MetersPerFoot));
}

TPlotModes TPlotOptsDlg::Modes() const
{
    return {ColoredChk_->isChecked(), ShadedChk_->isChecked(), ContourChk_->isChecked()};
}

void TPlotOptsDlg::ModeClicked(TPlotModeBox box)
{
    const TPlotModes modes = ClickPlotMode(Modes(), box);
    ColoredChk_->setChecked(modes.Colored);
    ShadedChk_->setChecked(modes.Shaded);
    ContourChk_->setChecked(modes.Contoured);
}

void TPlotOptsDlg::SetLight(uint8_t direction)
{
    LightDirection_ = direction;
    DirectDis_->setText(QLatin1String(LightDirectionName(direction)));
    if (OnLight_)
        OnLight_(direction);
}

void TPlotOptsDlg::ShowContrast(int contrast)
{
    ConDisplay_->setText(QLatin1String(ContrastName(contrast)));
    ConImage_->setPixmap(ConImg_[EffectiveContrast(contrast)]->pixmap());
}

} // namespace kv
