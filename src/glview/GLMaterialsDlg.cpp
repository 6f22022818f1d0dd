#include "glview/GLMaterialsDlg.h"

#include "glview/GLViewer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace kv {

namespace {

// GL_ZERO, GL_ONE, GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
// GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA, GL_SRC_ALPHA_SATURATE.
constexpr std::array<uint32_t, 9> SourceFactors{0, 1, 0x0306, 0x0307, 0x0302, 0x0303, 0x0304, 0x0305, 0x0308};
// GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR, then as above.
constexpr std::array<uint32_t, 8> DestFactors{0, 1, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0305};

QSlider* Slider(QWidget* parent, const char* name, int value = 0)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QLatin1String(name));
    slider->setRange(0, 100);
    slider->setValue(value);
    return slider;
}

QListWidget* Choices(QWidget* parent, const char* name, std::initializer_list<const char*> items)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    for (const char* item : items)
        list->addItem(QLatin1String(item));
    list->setCurrentRow(0);
    return list;
}

} // namespace

float TMaterialsDlg::ShininessOfPosition(int position)
{
    return static_cast<float>(std::pow(128.0, position / 100.0) - 1);
}

int TMaterialsDlg::PositionOfShininess(float shininess)
{
    return static_cast<int>(std::lround(100 * std::log2(double(shininess) + 1) / std::log2(128.0)));
}

float TMaterialsDlg::SpecularOfPosition(int position)
{
    return static_cast<float>(std::pow(256.0, position / 100.0) - 1);
}

int TMaterialsDlg::PositionOfSpecular(float specular)
{
    return static_cast<int>(std::lround(100 * std::log2(double(specular) + 1) / std::log2(256.0)));
}

uint32_t TMaterialsDlg::BlendSourceOfIndex(int index)
{
    return SourceFactors.at(static_cast<size_t>(index));
}

uint32_t TMaterialsDlg::BlendDestOfIndex(int index)
{
    return DestFactors.at(static_cast<size_t>(index));
}

TMaterialsDlg::TMaterialsDlg(QWidget* parent, std::function<bool(uint32_t& color)> chooseColor)
    : QDialog(parent), ChooseColor_(std::move(chooseColor))
{
    setObjectName(QStringLiteral("MaterialsDlg"));
    setWindowTitle(QStringLiteral("Materials"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);

    Objects_ = new QListWidget(this);
    Objects_->setObjectName(QStringLiteral("SelectObjectList"));
    Objects_->setMaximumWidth(150);
    connect(Objects_, &QListWidget::currentRowChanged, this, [this] { LoadCurrent(); });

    auto* pages = new QTabWidget(this);
    auto* properties = new QWidget;
    auto* form = new QFormLayout(properties);
    auto* emissionRow = new QHBoxLayout;
    const char* channels[] = {"Red", "Green", "Blue"};
    for (int k = 0; k < 3; ++k) {
        Emission_[k] = new QDoubleSpinBox(properties);
        Emission_[k]->setObjectName(QStringLiteral("Emission%1Spin").arg(QLatin1String(channels[k])));
        Emission_[k]->setRange(0, 1);
        Emission_[k]->setSingleStep(0.1);
        Emission_[k]->setDecimals(2);
        connect(Emission_[k], &QDoubleSpinBox::valueChanged, this, [this] { StoreEmission(); });
        emissionRow->addWidget(Emission_[k]);
    }
    form->addRow(QStringLiteral("Emission"), emissionRow);
    Shininess_ = Slider(properties, "ShininessSlider");
    ShininessValue_ = new QLabel(properties);
    auto* shininessRow = new QHBoxLayout;
    shininessRow->addWidget(Shininess_);
    shininessRow->addWidget(ShininessValue_);
    form->addRow(QStringLiteral("Shininess"), shininessRow);
    connect(Shininess_, &QSlider::valueChanged, this, [this] { StoreShininess(); });
    Specular_ = Slider(properties, "SpecularSlider");
    SpecularValue_ = new QLabel(properties);
    auto* specularRow = new QHBoxLayout;
    specularRow->addWidget(Specular_);
    specularRow->addWidget(SpecularValue_);
    form->addRow(QStringLiteral("Specular"), specularRow);
    connect(Specular_, &QSlider::valueChanged, this, [this] { StoreSpecular(); });
    auto* colorGroup = new QGroupBox(QStringLiteral("Color"), properties);
    auto* colorLayout = new QHBoxLayout(colorGroup);
    SwatchLabel_ = new QLabel(colorGroup);
    SwatchLabel_->setObjectName(QStringLiteral("ColorSwatch"));
    SwatchLabel_->setFixedSize(32, 20);
    SwatchLabel_->setAutoFillBackground(true);
    auto* change = new QPushButton(QStringLiteral("Change"), colorGroup);
    change->setObjectName(QStringLiteral("ChangeColorBtn"));
    connect(change, &QPushButton::clicked, this, [this] { ChangeColor(); });
    colorLayout->addWidget(SwatchLabel_);
    colorLayout->addWidget(change);
    form->addRow(colorGroup);
    pages->addTab(properties, QStringLiteral("Object Properties"));

    auto* transparency = new QWidget;
    auto* transparencyLayout = new QVBoxLayout(transparency);
    Transparent_ = new QGroupBox(QStringLiteral("Transparent"), transparency);
    Transparent_->setObjectName(QStringLiteral("TransparentGroup"));
    Transparent_->setCheckable(true);
    Transparent_->setChecked(false);
    auto* transparentLayout = new QVBoxLayout(Transparent_);
    Transparency_ = Slider(Transparent_, "TransparencySlider", 50);
    BlendBackground_ = new QCheckBox(QStringLiteral("Blend Background"), Transparent_);
    BlendBackground_->setObjectName(QStringLiteral("BlendBackgroundChk"));
    DepthCheck_ = new QCheckBox(QStringLiteral("Depth Check"), Transparent_);
    DepthCheck_->setObjectName(QStringLiteral("DepthCheckChk"));
    User_ = new QCheckBox(QStringLiteral("User"), Transparent_);
    User_->setObjectName(QStringLiteral("UserChk"));
    SourcePixels_ = Choices(Transparent_, "SourcePixelsList",
                            {"Zero", "One", "Dest Color", "Dest Color-1", "Src Alpha", "Scrc Alpha-1", "Dest Alpha",
                             "Dest Alpha-1", "Src  Alpha Sat"});
    DestPixels_ =
        Choices(Transparent_, "DestPixelsList",
                {"Zero", "One", "Src Color", "Src Color-1", "Src Alpha", "Src Alpha-1", "Dest Alpha", "Dest Alpha-1"});
    transparentLayout->addWidget(new QLabel(QStringLiteral("Transparency"), Transparent_));
    transparentLayout->addWidget(Transparency_);
    transparentLayout->addWidget(BlendBackground_);
    transparentLayout->addWidget(DepthCheck_);
    transparentLayout->addWidget(User_);
    auto* factors = new QHBoxLayout;
    auto* source = new QVBoxLayout;
    source->addWidget(new QLabel(QStringLiteral("Source Pixels"), Transparent_));
    source->addWidget(SourcePixels_);
    auto* dest = new QVBoxLayout;
    dest->addWidget(new QLabel(QStringLiteral("Destination Pixels"), Transparent_));
    dest->addWidget(DestPixels_);
    factors->addLayout(source);
    factors->addLayout(dest);
    transparentLayout->addLayout(factors);
    transparencyLayout->addWidget(Transparent_);
    pages->addTab(transparency, QStringLiteral("Transparency"));
    const auto transparencyChanged = [this] { StoreTransparency(); };
    connect(Transparent_, &QGroupBox::toggled, this, transparencyChanged);
    connect(Transparency_, &QSlider::valueChanged, this, transparencyChanged);
    for (QCheckBox* box : {BlendBackground_, DepthCheck_, User_})
        connect(box, &QCheckBox::toggled, this, transparencyChanged);
    connect(SourcePixels_, &QListWidget::currentRowChanged, this, transparencyChanged);
    connect(DestPixels_, &QListWidget::currentRowChanged, this, transparencyChanged);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloseBtn"));
    QPushButton* reset = buttons->addButton(QStringLiteral("Reset"), QDialogButtonBox::ResetRole);
    reset->setObjectName(QStringLiteral("ResetBtn"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(reset, &QPushButton::clicked, this, [this] { Reset(); });

    auto* body = new QHBoxLayout;
    body->addWidget(Objects_);
    body->addWidget(pages, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
}

void TMaterialsDlg::Show(TGLViewer& viewer)
{
    Viewer_ = &viewer;
    Loading_ = true;
    Objects_->clear();
    for (int32_t i = 0; i < viewer.ObjectCount(); ++i) {
        const TGLObject* object = viewer.Object(i);
        auto* item = new QListWidgetItem(QString::fromStdString(object->Name()), Objects_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(object->Selected() ? Qt::Checked : Qt::Unchecked);
    }
    Loading_ = false;
    Objects_->setCurrentRow(Objects_->count() > 0 ? 0 : -1);
    LoadCurrent();
    show();
    raise();
}

template <typename F> void TMaterialsDlg::ForChecked(F&& apply)
{
    if (Loading_ || !Viewer_)
        return;
    for (int i = 0; i < Objects_->count() && i < Viewer_->ObjectCount(); ++i)
        if (Objects_->item(i)->checkState() == Qt::Checked)
            if (auto* renderer = dynamic_cast<TGLRenderer*>(Viewer_->Object(i)))
                apply(*renderer);
    Viewer_->update();
}

void TMaterialsDlg::LoadCurrent()
{
    const int row = Objects_->currentRow();
    if (Loading_ || !Viewer_ || row < 0 || row >= Viewer_->ObjectCount())
        return;
    const auto* renderer = dynamic_cast<const TGLRenderer*>(Viewer_->Object(row));
    if (!renderer)
        return;
    Loading_ = true;
    Emission_[0]->setValue(renderer->LightEmission.r);
    Emission_[1]->setValue(renderer->LightEmission.g);
    Emission_[2]->setValue(renderer->LightEmission.b);
    Specular_->setValue(PositionOfSpecular(renderer->LightSpecular.r));
    SpecularValue_->setText(QString::number(renderer->LightSpecular.r, 'f', 1));
    Shininess_->setValue(PositionOfShininess(renderer->LightShininess));
    ShininessValue_->setText(QString::number(renderer->LightShininess, 'f', 1));
    Transparent_->setChecked(renderer->DoAlphaBlend);
    BlendBackground_->setChecked(renderer->BlendBackground);
    DepthCheck_->setChecked(renderer->TransparentDepth);
    Transparency_->setValue(static_cast<int>(std::lround(renderer->Transparency)));
    Swatch_ = renderer->GetColor();
    SwatchLabel_->setStyleSheet(QStringLiteral("background: rgb(%1, %2, %3);")
                                    .arg(Swatch_ & 0xFF)
                                    .arg((Swatch_ >> 8) & 0xFF)
                                    .arg((Swatch_ >> 16) & 0xFF));
    Loading_ = false;
}

void TMaterialsDlg::StoreEmission()
{
    const Float4 emission = MakeFloat4(Emission_[0]->value(), Emission_[1]->value(), Emission_[2]->value(), 1);
    ForChecked([&](TGLRenderer& r) { r.LightEmission = emission; });
}

void TMaterialsDlg::StoreShininess()
{
    const float shininess = ShininessOfPosition(Shininess_->value());
    ShininessValue_->setText(QString::number(shininess, 'f', 1));
    ForChecked([&](TGLRenderer& r) { r.LightShininess = shininess; });
}

void TMaterialsDlg::StoreSpecular()
{
    const float x = SpecularOfPosition(Specular_->value());
    SpecularValue_->setText(QString::number(x, 'f', 1));
    ForChecked([&](TGLRenderer& r) { r.LightSpecular = {x, x, x, x}; });
}

void TMaterialsDlg::StoreTransparency()
{
    const int source = std::max(0, SourcePixels_->currentRow());
    const int dest = std::max(0, DestPixels_->currentRow());
    ForChecked([&](TGLRenderer& r) {
        r.Transparency = Transparency_->value();
        r.DoAlphaBlend = Transparent_->isChecked();
        r.TransparentDepth = DepthCheck_->isChecked();
        r.BlendBackground = BlendBackground_->isChecked();
        r.UserBlend = User_->isChecked();
        r.BlendSource = BlendSourceOfIndex(source);
        r.BlendDest = BlendDestOfIndex(dest);
    });
}

void TMaterialsDlg::ChangeColor()
{
    uint32_t color = Swatch_;
    if (!ChooseColor_ || !ChooseColor_(color))
        return;
    Swatch_ = color;
    SwatchLabel_->setStyleSheet(QStringLiteral("background: rgb(%1, %2, %3);")
                                    .arg(color & 0xFF)
                                    .arg((color >> 8) & 0xFF)
                                    .arg((color >> 16) & 0xFF));
    ForChecked([&](TGLRenderer& r) { r.SetColor(color); });
}

void TMaterialsDlg::Reset()
{
    if (!Viewer_)
        return;
    Viewer_->Lights().Reset();
    Viewer_->SetNormalAmbient({0.1f, 0.1f, 0.1f, 0.1f});
    ForChecked([](TGLRenderer& r) {
        r.LightEmission = {0, 0, 0, 0};
        r.LightSpecular = {0.5f, 0.5f, 0.5f, 1};
        r.LightShininess = 10;
    });
    LoadCurrent();
}

} // namespace kv
