#include "app/KVChooseImage.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

namespace kv {

namespace {

constexpr std::array<const char*, ImageTypeCount> ImageTypeCaptions{"DEM Map", "Topo Map", "3D Terrain Model",
                                                                    "Overlay Screen"};

} // namespace

TChooseImageDlg::TChooseImageDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ChooseImageDlg"));
    setWindowTitle(QStringLiteral("Select Image"));

    auto* group = new QGroupBox(QStringLiteral("Image Type"), this);
    group->setObjectName(QStringLiteral("ImageRadio"));
    auto* groupLayout = new QVBoxLayout(group);
    ImageRadio_ = new QButtonGroup(this);
    for (int type = 0; type < ImageTypeCount; ++type) {
        auto* radio = new QRadioButton(QLatin1String(ImageTypeCaptions[size_t(type)]), group);
        radio->setObjectName(QStringLiteral("ImageRadio%1").arg(type));
        ImageRadio_->addButton(radio, type);
        groupLayout->addWidget(radio);
    }
    ImageRadio_->button(itDEMMap)->setChecked(true);

    auto* okBtn = new QPushButton(QStringLiteral("OK"), this);
    okBtn->setObjectName(QStringLiteral("OKBtn"));
    okBtn->setDefault(true);
    auto* cancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    cancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okBtn);
    buttons->addWidget(cancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

TImageType TChooseImageDlg::ImageType() const
{
    const int id = ImageRadio_->checkedId();
    return id >= 0 ? TImageType(id) : itDEMMap;
}

void TChooseImageDlg::SetImageType(TImageType type)
{
    ImageRadio_->button(type)->setChecked(true);
}

void TChooseImageDlg::SetAvailable(TImageType type, bool available)
{
    ImageRadio_->button(type)->setEnabled(available);
    if (Available(ImageType()))
        return;
    for (int other = 0; other < ImageTypeCount; ++other)
        if (ImageRadio_->button(other)->isEnabled()) {
            ImageRadio_->button(other)->setChecked(true);
            return;
        }
}

bool TChooseImageDlg::Available(TImageType type) const
{
    return ImageRadio_->button(type)->isEnabled();
}

} // namespace kv
