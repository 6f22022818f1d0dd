#include "glview/GLLightingDlg.h"

#include "glview/GLLightControls.h"
#include "glview/GLViewer.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace kv {

namespace {

QDoubleSpinBox* Spin(QWidget* parent, const QString& name, double low, double high, double step, int decimals = 2)
{
    auto* spin = new QDoubleSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setSingleStep(step);
    spin->setDecimals(decimals);
    return spin;
}

float& Component(Float4& f, int k)
{
    return k == 0 ? f.r : k == 1 ? f.g : k == 2 ? f.b : f.a;
}

} // namespace

TLightingDlg::TLightingDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LightingDlg"));
    setWindowTitle(QStringLiteral("Lighting"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);

    Lights_ = new QListWidget(this);
    Lights_->setObjectName(QStringLiteral("LightList"));
    for (int i = 0; i < TGLLightArray::Count; ++i) {
        auto* item = new QListWidgetItem(QStringLiteral("Light-%1").arg(i), Lights_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    Lights_->setMaximumWidth(110);
    connect(Lights_, &QListWidget::currentRowChanged, this, [this] { LoadLight(); });
    connect(Lights_, &QListWidget::itemChanged, this, [this] { StoreChecks(); });

    auto* pages = new QTabWidget(this);
    auto* individual = new QTabWidget;
    individual->setObjectName(QStringLiteral("IndividualSheet"));

    auto* typePage = new QWidget;
    auto* typeLayout = new QVBoxLayout(typePage);
    auto* typeGroup = new QGroupBox(QStringLiteral("Light Type"), typePage);
    auto* typeGroupLayout = new QHBoxLayout(typeGroup);
    const char* typeNames[] = {"Point", "Spot", "Directional"};
    for (int i = 0; i < 3; ++i) {
        Types_[i] = new QRadioButton(QLatin1String(typeNames[i]), typeGroup);
        Types_[i]->setObjectName(QLatin1String(typeNames[i]) + QStringLiteral("Btn"));
        connect(Types_[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                StoreLight();
        });
        typeGroupLayout->addWidget(Types_[i]);
    }
    typeLayout->addWidget(typeGroup);
    auto* typeForm = new QFormLayout;
    Cutoff_ = Spin(typePage, QStringLiteral("CutoffSpin"), 0, 90, 1, 1);
    typeForm->addRow(QStringLiteral("Cutoff"), Cutoff_);
    const char* attenuationNames[] = {"Constant", "Linear", "Quadratic"};
    for (int i = 0; i < 3; ++i) {
        Attenuation_[i] = Spin(typePage, QLatin1String(attenuationNames[i]) + QStringLiteral("Spin"), 0, 100, 0.1, 3);
        typeForm->addRow(QLatin1String(attenuationNames[i]), Attenuation_[i]);
    }
    typeLayout->addLayout(typeForm);
    auto* directions = new QHBoxLayout;
    const char* pickerNames[] = {"Spot Parameters", "Directional Params"};
    const char* pickerIds[] = {"SpotDirectionPicker", "DirectionPicker"};
    for (int i = 0; i < 2; ++i) {
        auto* group = new QGroupBox(QLatin1String(pickerNames[i]), typePage);
        auto* groupLayout = new QVBoxLayout(group);
        Pickers_[i] = new TDirectionPicker(group);
        Pickers_[i]->setObjectName(QLatin1String(pickerIds[i]));
        PositiveZ_[i] = new QCheckBox(QStringLiteral("+Z Side"), group);
        PositiveZ_[i]->setObjectName(QLatin1String(pickerIds[i]) + QStringLiteral("PositiveZ"));
        groupLayout->addWidget(Pickers_[i], 1);
        groupLayout->addWidget(PositiveZ_[i]);
        directions->addWidget(group);
        connect(Pickers_[i], &TDirectionPicker::DirectionPicked, this, [this] { StoreDirections(); });
        connect(PositiveZ_[i], &QCheckBox::toggled, this, [this, i](bool positive) {
            Vector3D d = Pickers_[i]->Direction();
            if ((d.z > 0) != positive) {
                // The same point of the disk on the other side of the sphere.
                d.z = d.z == 0 ? (positive ? 1e-9 : -1e-9) : -d.z;
                Pickers_[i]->SetDirection(d);
                StoreDirections();
            }
        });
    }
    typeLayout->addLayout(directions);
    typeLayout->addStretch();
    individual->addTab(typePage, QStringLiteral("Type"));

    auto* positionPage = new QWidget;
    auto* positionLayout = new QVBoxLayout(positionPage);
    auto* graphs = new QHBoxLayout;
    Graphs_[0] = new TPositionGraph(QStringLiteral("Position X/Y (Front)"), false, positionPage);
    Graphs_[0]->setObjectName(QStringLiteral("FrontGraph"));
    Graphs_[1] = new TPositionGraph(QStringLiteral("Position X/Z (Above)"), true, positionPage);
    Graphs_[1]->setObjectName(QStringLiteral("AboveGraph"));
    for (TPositionGraph* graph : Graphs_)
        graphs->addWidget(graph);
    positionLayout->addLayout(graphs, 1);
    auto* positionForm = new QFormLayout;
    positionLayout->addLayout(positionForm);
    const char* axes[] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        Position_[i] = Spin(positionPage, QStringLiteral("Pos%1Spin").arg(QLatin1String(axes[i])), -1000, 1000, 1);
        positionForm->addRow(QLatin1String(axes[i]), Position_[i]);
    }
    individual->addTab(positionPage, QStringLiteral("Position"));
    // The graphs set the position through the spins, which store it.
    connect(Graphs_[0], &TPositionGraph::MarkerDragged, this, [this](double x, double y) {
        Position_[0]->setValue(x);
        Position_[1]->setValue(y);
    });
    connect(Graphs_[1], &TPositionGraph::MarkerDragged, this, [this](double x, double z) {
        Position_[0]->setValue(x);
        Position_[2]->setValue(z);
    });

    auto* colorPage = new QWidget;
    auto* colorGrid = new QGridLayout(colorPage);
    const char* colorNames[] = {"Ambient", "Diffuse", "Specular"};
    const char* channels[] = {"Red", "Green", "Blue", "Alpha"};
    for (int k = 0; k < 4; ++k)
        colorGrid->addWidget(new QLabel(QLatin1String(channels[k]), colorPage), 0, k + 1);
    for (int c = 0; c < 3; ++c) {
        colorGrid->addWidget(new QLabel(QLatin1String(colorNames[c]), colorPage), c + 1, 0);
        for (int k = 0; k < 4; ++k) {
            Colors_[c][k] = Spin(colorPage, QLatin1String(colorNames[c]) + QLatin1String(channels[k]), 0, 1, 0.1);
            colorGrid->addWidget(Colors_[c][k], c + 1, k + 1);
        }
    }
    individual->addTab(colorPage, QStringLiteral("Color"));
    pages->addTab(individual, QStringLiteral("Individual"));

    auto* ambientPage = new QWidget;
    ambientPage->setObjectName(QStringLiteral("AmbientSheet"));
    auto* ambientLayout = new QVBoxLayout(ambientPage);
    Ambient_ = new QSlider(Qt::Horizontal, ambientPage);
    Ambient_->setObjectName(QStringLiteral("AmbientSlider"));
    Ambient_->setRange(0, 100);
    AmbientValue_ = new QLabel(ambientPage);
    AmbientValue_->setObjectName(QStringLiteral("AmbientDis"));
    auto* ambientReset = new QPushButton(QStringLiteral("Reset"), ambientPage);
    ambientReset->setObjectName(QStringLiteral("AmbientResetBtn"));
    ambientLayout->addWidget(Ambient_);
    ambientLayout->addWidget(AmbientValue_);
    ambientLayout->addWidget(ambientReset);
    ambientLayout->addStretch();
    connect(Ambient_, &QSlider::valueChanged, this, [this] { StoreAmbient(); });
    connect(ambientReset, &QPushButton::clicked, this, [this] { ResetAmbient(); });
    pages->addTab(ambientPage, QStringLiteral("Ambient"));

    const auto changed = [this] { StoreLight(); };
    for (QDoubleSpinBox* spin :
         {Cutoff_, Attenuation_[0], Attenuation_[1], Attenuation_[2], Position_[0], Position_[1], Position_[2]})
        connect(spin, &QDoubleSpinBox::valueChanged, this, changed);
    for (auto& row : Colors_)
        for (QDoubleSpinBox* spin : row)
            connect(spin, &QDoubleSpinBox::valueChanged, this, changed);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloseBtn"));
    QPushButton* resetAll = buttons->addButton(QStringLiteral("Reset All"), QDialogButtonBox::ResetRole);
    resetAll->setObjectName(QStringLiteral("ResetAllBtn"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(resetAll, &QPushButton::clicked, this, [this] { ResetAll(); });

    auto* body = new QHBoxLayout;
    body->addWidget(Lights_);
    body->addWidget(pages, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
}

int TLightingDlg::AmbientPosition(float ambient)
{
    return static_cast<int>(std::lround((static_cast<double>(ambient) + 2) * 25));
}

float TLightingDlg::AmbientOfPosition(int position)
{
    return static_cast<float>(position / 25.0 - 2);
}

void TLightingDlg::Show(TGLViewer& viewer)
{
    Viewer_ = &viewer;
    Loading_ = true;
    for (int i = 0; i < TGLLightArray::Count; ++i)
        Lights_->item(i)->setCheckState(viewer.Lights()[i].Enabled ? Qt::Checked : Qt::Unchecked);
    Lights_->setCurrentRow(0);
    Loading_ = false;
    LoadLight();
    show();
    raise();
}

void TLightingDlg::LoadLight()
{
    if (!Viewer_ || Lights_->currentRow() < 0)
        return;
    Loading_ = true;
    TGLLightSource& light = Viewer_->Lights()[Lights_->currentRow()];
    Position_[0]->setValue(light.LightPosition.r);
    Position_[1]->setValue(light.LightPosition.g);
    Position_[2]->setValue(light.LightPosition.b);
    Float4* colors[] = {&light.Ambient, &light.Diffuse, &light.Specular};
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 4; ++k)
            Colors_[c][k]->setValue(Component(*colors[c], k));
    Types_[light.LightType < 3 ? light.LightType : 0]->setChecked(true);
    Cutoff_->setValue(light.SpotCutoff);
    Attenuation_[0]->setValue(light.ConstantAttenuation);
    Attenuation_[1]->setValue(light.LinearAttenuation);
    Attenuation_[2]->setValue(light.QuadraticAttenuation);
    Pickers_[0]->SetDirection({-light.SpotDirection.x, light.SpotDirection.y, light.SpotDirection.z});
    Pickers_[1]->SetDirection({-light.Direction.r, light.Direction.g, light.Direction.b});
    for (int i = 0; i < 2; ++i)
        PositiveZ_[i]->setChecked(Pickers_[i]->Direction().z > 0);
    ShowPosition();
    const float ambient = Viewer_->NormalAmbient().r;
    Ambient_->setValue(AmbientPosition(ambient));
    AmbientValue_->setText(QString::number(ambient, 'f', 1));
    Loading_ = false;
}

void TLightingDlg::StoreLight()
{
    if (Loading_ || !Viewer_ || Lights_->currentRow() < 0)
        return;
    TGLLightSource& light = Viewer_->Lights()[Lights_->currentRow()];
    light.LightPosition = MakeFloat4(Position_[0]->value(), Position_[1]->value(), Position_[2]->value(), 1);
    Float4* colors[] = {&light.Ambient, &light.Diffuse, &light.Specular};
    for (int c = 0; c < 3; ++c)
        *colors[c] =
            MakeFloat4(Colors_[c][0]->value(), Colors_[c][1]->value(), Colors_[c][2]->value(), Colors_[c][3]->value());
    for (uint8_t i = 0; i < 3; ++i)
        if (Types_[i]->isChecked())
            light.LightType = i;
    light.SpotCutoff = static_cast<float>(Cutoff_->value());
    light.ConstantAttenuation = static_cast<float>(Attenuation_[0]->value());
    light.LinearAttenuation = static_cast<float>(Attenuation_[1]->value());
    light.QuadraticAttenuation = static_cast<float>(Attenuation_[2]->value());
    ShowPosition();
    Viewer_->update();
}

void TLightingDlg::ShowPosition()
{
    Graphs_[0]->SetMarker({Position_[0]->value(), Position_[1]->value()});
    Graphs_[1]->SetMarker({Position_[0]->value(), Position_[2]->value()});
}

void TLightingDlg::StoreDirections()
{
    if (Loading_ || !Viewer_ || Lights_->currentRow() < 0)
        return;
    TGLLightSource& light = Viewer_->Lights()[Lights_->currentRow()];
    const Vector3D spot = Pickers_[0]->Direction();
    light.SpotDirection = {static_cast<float>(-spot.x), static_cast<float>(spot.y), static_cast<float>(spot.z)};
    const Vector3D direction = Pickers_[1]->Direction();
    light.Direction = MakeFloat4(-direction.x, direction.y, direction.z, 0);
    Loading_ = true;
    for (int i = 0; i < 2; ++i)
        PositiveZ_[i]->setChecked(Pickers_[i]->Direction().z > 0);
    Loading_ = false;
    Viewer_->update();
}

void TLightingDlg::StoreChecks()
{
    if (Loading_ || !Viewer_)
        return;
    for (int i = 0; i < TGLLightArray::Count; ++i)
        Viewer_->Lights()[i].Enabled = Lights_->item(i)->checkState() == Qt::Checked;
    Viewer_->update();
}

void TLightingDlg::StoreAmbient()
{
    if (Loading_ || !Viewer_)
        return;
    const float v = AmbientOfPosition(Ambient_->value());
    Viewer_->SetNormalAmbient({v, v, v, v});
    AmbientValue_->setText(QString::number(v, 'f', 1));
}

void TLightingDlg::ResetAmbient()
{
    if (!Viewer_)
        return;
    Viewer_->SetNormalAmbient({0.1f, 0.1f, 0.1f, 0.1f});
    LoadLight();
}

void TLightingDlg::ResetAll()
{
    if (!Viewer_)
        return;
    for (int i = 0; i < TGLLightArray::Count; ++i)
        if (Viewer_->Lights()[i].Enabled)
            Viewer_->Lights()[i].Reset();
    LoadLight();
    Viewer_->update();
}

} // namespace kv
