#include "app/KVOverlayDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv {

namespace {

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* Readout(QWidget* parent, const char* name)
{
    auto* label = Named(new QLabel(parent), name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(120);
    return label;
}

} // namespace

TOverlayDlg::TOverlayDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OverlayDlg"));
    setWindowTitle(QStringLiteral("Overlay Options"));
    auto* pages = new QTabWidget(this);

    auto* image = new QWidget;
    image->setObjectName(QStringLiteral("ImageSheet"));
    auto* sizing = new QGroupBox(QStringLiteral("Sizing Options"), image);
    SizeList = Named(new QListWidget(sizing), "SizeList");
    SizeList->setFont(QFont(QStringLiteral("Monospace")));
    (new QVBoxLayout(sizing))->addWidget(SizeList);
    auto* sizes = new QFormLayout;
    DisSize1 = Readout(image, "DisSize1");
    DisSize2 = Readout(image, "DisSize2");
    sizes->addRow(QStringLiteral("Base Size"), DisSize1);
    sizes->addRow(QStringLiteral("Current Size"), DisSize2);
    auto* sharp = Named(new QGroupBox(QStringLiteral("Sharpness Options"), image), "SharpGroup");
    auto* sharpLayout = new QVBoxLayout(sharp);
    const char* sharpNames[3] = {"Soft", "Medium", "Sharp"};
    for (int k = 0; k < 3; ++k) {
        Sharp[k] = new QRadioButton(QLatin1String(sharpNames[k]), sharp);
        Sharp[k]->setObjectName(QLatin1String(sharpNames[k]) + QStringLiteral("Radio"));
        sharpLayout->addWidget(Sharp[k]);
    }
    Sharp[1]->setChecked(true);
    OverResizeBtn = Named(new QPushButton(QStringLiteral("Apply New Size/Sharpness"), image), "OverResizeBtn");
    auto* imageLayout = new QHBoxLayout(image);
    imageLayout->addWidget(sizing, 1);
    auto* imageRight = new QVBoxLayout;
    imageRight->addLayout(sizes);
    imageRight->addWidget(sharp);
    imageRight->addWidget(OverResizeBtn);
    imageRight->addStretch();
    imageLayout->addLayout(imageRight);
    pages->addTab(image, QStringLiteral("Image"));

    auto* color = new QWidget;
    color->setObjectName(QStringLiteral("ColorSheet"));
    auto* formats = Named(new QGroupBox(QStringLiteral("Color Format Options"), color), "PixelFormatGrp");
    auto* formatLayout = new QVBoxLayout(formats);
    const char* formatNames[4] = {"4bit", "8bit", "24bit", "32bit"};
    for (int k = 0; k < 4; ++k) {
        Format[k] = new QRadioButton(QLatin1String(formatNames[k]), formats);
        Format[k]->setObjectName(QStringLiteral("Format") + QLatin1String(formatNames[k]));
        formatLayout->addWidget(Format[k]);
    }
    Format[2]->setChecked(true);
    auto* formatReadouts = new QFormLayout;
    BaseFormatDis = Readout(color, "BaseFormatDis");
    CurFormatDis = Readout(color, "CurFormatDis");
    formatReadouts->addRow(QStringLiteral("Original:"), BaseFormatDis);
    formatReadouts->addRow(QStringLiteral("Current: "), CurFormatDis);
    NewOverlayColorBtn = Named(new QPushButton(QStringLiteral("Apply New Color Format"), color), "NewOverlayColorBtn");
    auto* colorLayout = new QVBoxLayout(color);
    colorLayout->addWidget(formats);
    colorLayout->addLayout(formatReadouts);
    colorLayout->addWidget(NewOverlayColorBtn);
    colorLayout->addStretch();
    pages->addTab(color, QStringLiteral("Color"));

    auto* contours = new QWidget;
    contours->setObjectName(QStringLiteral("ContoursSheet"));
    LineWidthSpin = Named(new QSpinBox(contours), "LineWidthSpin");
    LineWidthSpin->setRange(1, 5);
    LineWidthSpin->setValue(1);
    OverlayColorBtn = Named(new QPushButton(QStringLiteral("Line Color"), contours), "OverlayColorBtn");
    DisLineColor = Named(new QLabel(contours), "DisLineColor");
    DisLineColor->setFixedSize(40, 20);
    DisLineColor->setAutoFillBackground(true);
    OverMarkChk = Named(new QCheckBox(QStringLiteral("Mark Points"), contours), "OverMarkChk");
    auto* contourLayout = new QFormLayout(contours);
    contourLayout->addRow(QStringLiteral("Line Width (pixels)"), LineWidthSpin);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(OverlayColorBtn);
    colorRow->addWidget(DisLineColor);
    contourLayout->addRow(colorRow);
    contourLayout->addRow(OverMarkChk);
    pages->addTab(contours, QStringLiteral("Contours"));

    auto* close = Named(new QPushButton(QStringLiteral("Close"), this), "CloseBtn");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    ShowLineColor(OverlayDefaultLineColor);
}

void TOverlayDlg::SetSizes(const std::vector<TOverlaySize>& sizes, int selected)
{
    Sizes_ = sizes;
    SizeList->clear();
    for (const TOverlaySize& size : sizes) {
        auto* item = new QListWidgetItem(QString::fromStdString(OverlaySizeText(size)), SizeList);
        item->setData(Qt::UserRole, size.Width * 65536 + size.Height); // the packed size
    }
    if (!sizes.empty())
        SizeList->setCurrentRow(selected >= 0 && selected < int(sizes.size()) ? selected : 0);
}

bool TOverlayDlg::SelectedSize(TOverlaySize& size) const
{
    const int row = SizeList->currentRow();
    if (row < 0 || row >= int(Sizes_.size()))
        return false;
    size = Sizes_[size_t(row)];
    return true;
}

TSharpness TOverlayDlg::Sharpness() const
{
    return Sharp[0]->isChecked() ? shSoft : Sharp[2]->isChecked() ? shSharp : shMedium;
}

void TOverlayDlg::ShowFormat(TPixelFormat format)
{
    const int index = format == pf4bit ? 0 : format == pf8bit ? 1 : format == pf32bit ? 3 : 2;
    Format[index]->setChecked(true);
}

TPixelFormat TOverlayDlg::SelectedFormat() const
{
    return Format[0]->isChecked()   ? pf4bit
           : Format[1]->isChecked() ? pf8bit
           : Format[3]->isChecked() ? pf32bit
                                    : pf24bit;
}

int TOverlayDlg::LineWidth() const
{
    return LineWidthSpin->value();
}

void TOverlayDlg::ShowLineColor(TColor color)
{
    QPalette palette = DisLineColor->palette();
    palette.setColor(QPalette::Window, QColor(RedOf(color), GreenOf(color), BlueOf(color)));
    DisLineColor->setPalette(palette);
}

} // namespace kv
