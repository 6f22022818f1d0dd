#include "app/KVSceneSettings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kv {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QLatin1String(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QDoubleSpinBox* Spin(QWidget* parent, const char* name, double low, double high, double step)
{
    auto* spin = new QDoubleSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(low, high);
    spin->setSingleStep(step);
    spin->setDecimals(2);
    return spin;
}

} // namespace

TSceneSetDlg::TSceneSetDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SceneSetDlg"));
    setWindowTitle(QStringLiteral("Scene Settings"));
    auto* pages = new QTabWidget(this);

    auto* general = new QWidget;
    general->setObjectName(QStringLiteral("GeneralSheet"));
    auto* generalLayout = new QVBoxLayout(general);
    QPushButton* backColor = Button(general, "BackColorBtn", "Set Background Color");
    QPushButton* backImage = Button(general, "BackImageBtn", "Set Background Image");
    generalLayout->addWidget(backColor);
    generalLayout->addWidget(backImage);
    generalLayout->addStretch();
    connect(backColor, &QPushButton::clicked, this, &TSceneSetDlg::BackgroundColorClicked);
    connect(backImage, &QPushButton::clicked, this, &TSceneSetDlg::BackgroundImageClicked);
    pages->addTab(general, QStringLiteral("General"));

    auto* fog = new QWidget;
    fog->setObjectName(QStringLiteral("FogSheet"));
    auto* fogLayout = new QVBoxLayout(fog);
    auto* modeGroup = new QGroupBox(QStringLiteral("Fog Mode"), fog);
    modeGroup->setObjectName(QStringLiteral("FogModeGroup"));
    auto* modeLayout = new QVBoxLayout(modeGroup);
    auto* modes = new QButtonGroup(this);
    const char* modeNames[] = {"LinearBtn", "ExpBtn", "Exp2Btn"};
    const char* modeCaptions[] = {"Linear", "Exp", "Exp2"};
    for (int i = 0; i < 3; ++i) {
        Modes_[i] = new QRadioButton(QLatin1String(modeCaptions[i]), modeGroup);
        Modes_[i]->setObjectName(QLatin1String(modeNames[i]));
        modes->addButton(Modes_[i], i);
        modeLayout->addWidget(Modes_[i]);
    }
    fogLayout->addWidget(modeGroup);
    auto* form = new QFormLayout;
    Density_ = Spin(fog, "DensitySpin", 0, 1, 0.05);
    Start_ = Spin(fog, "StartSpin", -100000, 100000, 1);
    End_ = Spin(fog, "EndSpin", -100000, 100000, 1);
    form->addRow(QStringLiteral("Density (Exp Only)"), Density_);
    form->addRow(QStringLiteral("Start"), Start_);
    form->addRow(QStringLiteral("End"), End_);
    fogLayout->addLayout(form);
    EnableFog_ = new QCheckBox(QStringLiteral("Enable Fog"), fog);
    EnableFog_->setObjectName(QStringLiteral("EnableFogChk"));
    fogLayout->addWidget(EnableFog_);
    QPushButton* fogColor = Button(fog, "FogColorBtn", "Fog Color");
    fogLayout->addWidget(fogColor);
    connect(fogColor, &QPushButton::clicked, this, &TSceneSetDlg::FogColorClicked);
    pages->addTab(fog, QStringLiteral("Fog"));

    const auto changed = [this] {
        if (!Loading_)
            emit FogChanged();
    };
    connect(modes, &QButtonGroup::idClicked, this, changed);
    for (QDoubleSpinBox* spin : {Density_, Start_, End_})
        connect(spin, &QDoubleSpinBox::valueChanged, this, changed);
    connect(EnableFog_, &QCheckBox::toggled, this, changed);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &TSceneSetDlg::HelpClicked);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);
    ResetControls();
}

void TSceneSetDlg::ResetControls()
{
    Loading_ = true;
    Modes_[0]->setChecked(true);
    Density_->setValue(1.0);
    Start_->setValue(0.0);
    End_->setValue(10.0);
    EnableFog_->setChecked(false);
    Loading_ = false;
}

TFogSettings TSceneSetDlg::Fog() const
{
    TFogSettings fog;
    for (uint8_t i = 0; i < 3; ++i)
        if (Modes_[i]->isChecked())
            fog.Mode = i;
    fog.Density = Density_->value();
    fog.Start = Start_->value();
    fog.End = End_->value();
    fog.Enabled = EnableFog_->isChecked();
    return fog;
}

} // namespace kv
