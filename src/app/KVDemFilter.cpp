#include "app/KVDemFilter.h"

#include "controls/GraphBox.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kv {

TFilterDlg::TFilterDlg(QWidget* parent, TAppServices services) : QDialog(parent), Services_(std::move(services))
{
    setObjectName(QStringLiteral("FilterDlg"));
    setWindowTitle(QStringLiteral("Filter Data"));

    auto* directionBox = new QGroupBox(QStringLiteral("Direction"), this);
    directionBox->setObjectName(QStringLiteral("DirectionRadio"));
    auto* directionLayout = new QVBoxLayout(directionBox);
    DirectionRadio_ = new QButtonGroup(this);
    for (int item = 0; item < 2; ++item) {
        auto* radio = new QRadioButton(item == 0 ? QStringLiteral("West-East") : QStringLiteral("Sourth-North"),
                                       directionBox);
        radio->setObjectName(item == 0 ? QStringLiteral("WestEastRadio") : QStringLiteral("SouthNorthRadio"));
        DirectionRadio_->addButton(radio, item);
        directionLayout->addWidget(radio);
    }
    DirectionRadio_->button(fdWestEast)->setChecked(true);
    connect(DirectionRadio_, &QButtonGroup::idClicked, this, [this] { ShowProfile(); });

    GraphBox1_ = new TGraphBox(this);
    GraphBox1_->setObjectName(QStringLiteral("GraphBox1"));
    GraphBox1_->setMinimumSize(480, 260);
    DisCursor_ = new QLabel(this);
    DisCursor_->setObjectName(QStringLiteral("DisCursor"));
    DisCursor_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    DisCursor_->setMinimumWidth(120);
    connect(GraphBox1_, &TGraphBox::GraphMouseMove, this,
            [this](double x, double y) { DisCursor_->setText(QString::fromStdString(GraphCursorText(x, y))); });

    auto* smoothBtn = new QPushButton(QStringLiteral("Smooth Data"), this);
    smoothBtn->setObjectName(QStringLiteral("SmoothBtn"));
    smoothBtn->setAutoDefault(false);
    connect(smoothBtn, &QPushButton::clicked, this,
            [this] { RunCommand(Services_.Messages, [this] { SmoothData(); }); });
    auto* closeBtn = new QPushButton(QStringLiteral("Close"), this);
    closeBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(closeBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(directionBox);
    side->addWidget(smoothBtn);
    side->addWidget(DisCursor_);
    side->addStretch();
    side->addWidget(closeBtn);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(GraphBox1_, 1);
    layout->addLayout(side);
}

TFilterDirection TFilterDlg::Direction() const
{
    return DirectionRadio_->checkedId() == fdSouthNorth ? fdSouthNorth : fdWestEast;
}

void TFilterDlg::SetDirection(TFilterDirection direction)
{
    DirectionRadio_->button(direction)->setChecked(true);
    ShowProfile();
}

bool TFilterDlg::ShowFilter(TTopoDocument& doc)
{
    if (!TopoTerrainLoaded(doc)) {
        Services_.Messages.Error(QLatin1String(NoTerrainLoadedMessage));
        return false;
    }
    Doc_ = &doc;
    Smoothed_ = false;
    ShowProfile();
    Services_.RunDialog(*this);
    Doc_ = nullptr;
    return Smoothed_;
}

void TFilterDlg::SmoothData()
{
    if (!Doc_)
        return;
    SmoothTopo(Doc_->Grid, Direction());
    Smoothed_ = true;
    ShowProfile();
}

void TFilterDlg::ShowProfile()
{
    GraphBox1_->Clear();
    if (!Doc_)
        return;
    const TStepRatioGraph graph = StepRatioGraph(Doc_->Grid, Direction());
    GraphBox1_->SetXAxis(0.0, graph.XMax, graph.XGridLines);
    // The range runs up to the highest entry too, so that a stripe above the usual range still shows.
    double highest = graph.YMax;
    if (!graph.Values.empty())
        highest = std::max(highest, double(*std::max_element(graph.Values.begin(), graph.Values.end())));
    GraphBox1_->FitYAxis(graph.YMin, highest);
    TGraphSeries series;
    series.Color = QColor(255, 0, 0);
    series.LineWidth = 1;
    series.Points.reserve(graph.Values.size());
    for (size_t i = 0; i < graph.Values.size(); ++i)
        series.Points.emplace_back(double(i), double(graph.Values[i]));
    GraphBox1_->AddSeries(std::move(series));
}

} // namespace kv
