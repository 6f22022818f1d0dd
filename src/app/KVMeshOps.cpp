#include "app/KVMeshOps.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kv {

TTrnMeshDlg::TTrnMeshDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TrnMeshDlg"));
    setWindowTitle(QStringLiteral("Terrain Mesh Conversion Settings"));

    auto* settings = new QFormLayout;
    MagSpin_ = new QDoubleSpinBox(this);
    MagSpin_->setObjectName(QStringLiteral("MagSpin"));
    MagSpin_->setRange(TerrainExaggerationMin, TerrainExaggerationMax);
    MagSpin_->setSingleStep(0.5);
    MagSpin_->setDecimals(2);
    settings->addRow(QStringLiteral("Vertical Exageration"), MagSpin_);
    SqrLimitSpin_ = new QSpinBox(this);
    SqrLimitSpin_->setObjectName(QStringLiteral("SqrLimitSpin"));
    SqrLimitSpin_->setRange(TerrainBudgetMinK, TerrainBudgetMaxK);
    SqrLimitSpin_->setSuffix(QStringLiteral(" K."));
    settings->addRow(QStringLiteral("Maximum Polygons"), SqrLimitSpin_);
    DrawBaseChk_ = new QCheckBox(QStringLiteral("Draw Base"), this);
    DrawBaseChk_->setObjectName(QStringLiteral("DrawBaseChk"));
    settings->addRow(DrawBaseChk_);
    HeightSpin_ = new QSpinBox(this);
    HeightSpin_->setObjectName(QStringLiteral("HeightSpin"));
    HeightSpin_->setRange(0, 100);
    HeightSpin_->setSuffix(QStringLiteral(" %"));
    settings->addRow(QStringLiteral("Base Height (%)"), HeightSpin_);

    auto* panels = new QGroupBox(QStringLiteral("Mesh Information"), this);
    auto* info = new QFormLayout(panels);
    const auto panel = [&](const char* name, const char* label) {
        auto* value = new QLabel(panels);
        value->setObjectName(QLatin1String(name));
        value->setFrameShape(QFrame::StyledPanel);
        info->addRow(QLatin1String(label), value);
    };
    panel("ArraySizeDis", "Size");
    panel("FacesDis", "Faces");
    panel("VertexDis", "Vertices");
    panel("NormalsDis", "Normals");
    panel("MeshSizeDis", "Memory Required");
    panel("MemSizeDis", "Available Memory");
    panel("ResolutionDis", "Resolution");
    MessDis_ = new QLabel(this);
    MessDis_->setObjectName(QStringLiteral("MessDis"));
    MessDis_->setStyleSheet(QStringLiteral("color: red"));
    MessDis_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Process File"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    QPushButton* help = buttons->addButton(QDialogButtonBox::Help);
    help->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &TTrnMeshDlg::HelpClicked);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(settings);
    layout->addWidget(panels);
    layout->addWidget(MessDis_);
    layout->addWidget(buttons);

    SetSettings({});
    // The budget and the base change what is built; the exaggeration and the height do not.
    connect(SqrLimitSpin_, &QSpinBox::valueChanged, this, [this] { RefreshInformation(); });
    connect(DrawBaseChk_, &QCheckBox::clicked, this, [this] { RefreshInformation(); });
}

void TTrnMeshDlg::SetGrid(int32_t cols, int32_t rows, double availableBytes)
{
    Cols_ = cols;
    Rows_ = rows;
    AvailableBytes_ = availableBytes;
    RefreshInformation();
}

TTerrainSettings TTrnMeshDlg::Settings() const
{
    TTerrainSettings settings;
    settings.Exaggeration = MagSpin_->value();
    settings.BudgetK = SqrLimitSpin_->value();
    settings.DrawBase = DrawBaseChk_->isChecked();
    settings.BaseHeightPercent = HeightSpin_->value();
    return settings;
}

void TTrnMeshDlg::SetSettings(const TTerrainSettings& settings)
{
    MagSpin_->setValue(settings.Exaggeration);
    SqrLimitSpin_->setValue(settings.BudgetK);
    DrawBaseChk_->setChecked(settings.DrawBase);
    HeightSpin_->setValue(int(settings.BaseHeightPercent));
    RefreshInformation();
}

void TTrnMeshDlg::RefreshInformation()
{
    Information_ = MeshInformation(Cols_, Rows_, SqrLimitSpin_->value(), AvailableBytes_);
    const auto set = [this](const char* name, const std::string& text) {
        if (auto* label = findChild<QLabel*>(QLatin1String(name)))
            label->setText(QString::fromStdString(text));
    };
    set("ArraySizeDis", Information_.ArraySizeText);
    set("FacesDis", Information_.FacesText);
    set("VertexDis", Information_.VertexText);
    set("NormalsDis", Information_.NormalsText);
    set("MeshSizeDis", Information_.MeshSizeText);
    set("MemSizeDis", Information_.MemSizeText);
    set("ResolutionDis", Information_.ResolutionText);
    set("MessDis", Information_.Message);
}

} // namespace kv
