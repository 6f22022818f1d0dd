// The four pages of the main window.

#include "app/KVMain.h"

#include "app/KVMapView.h"
#include "app/KVTopoSheet.h"
#include "app/KVOverlayPage.h"
#include "dem/DEMLib.h"
#include "glview/GLViewer.h"
#include "platform/Units.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv {

namespace {

QLabel* Label(QWidget* parent, const char* name, const QString& text = QString())
{
    auto* label = new QLabel(text, parent);
    if (*name)
        label->setObjectName(QLatin1String(name));
    return label;
}

// A row of readouts: a caption followed by its value labels.
void AddReadout(QHBoxLayout* row, QWidget* parent, const char* caption, std::initializer_list<const char*> names)
{
    row->addWidget(Label(parent, "", QLatin1String(caption)));
    for (const char* name : names) {
        QLabel* value = Label(parent, name);
        value->setMinimumWidth(48);
        row->addWidget(value);
    }
}

} // namespace

QWidget* TForm1::CreateDEMSheet()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("DEMSheet"));

    auto* tools = new QHBoxLayout;
    tools->addWidget(ToolButton(sheet, "ReReadBtn"));
    tools->addWidget(ToolButton(sheet, "TopoEditBtn"));
    ErrorDis_ = Label(sheet, "ErrorDis");
    ErrorDis_->setFrameShape(QFrame::Panel);
    ErrorDis_->setFrameShadow(QFrame::Sunken);
    ErrorDis_->setMinimumWidth(120);
    tools->addWidget(ErrorDis_, 1);
    tools->addWidget(ToolButton(sheet, "SetBoxBtn"));

    auto* depthPanel = new QFrame(sheet);
    depthPanel->setObjectName(QStringLiteral("DepthPanel"));
    depthPanel->setFrameShape(QFrame::StyledPanel);
    depthPanel->setFixedWidth(64);
    ColorBar1_ = new TColorBarView(depthPanel);
    auto* depthLayout = new QVBoxLayout(depthPanel);
    depthLayout->setContentsMargins(2, 2, 2, 2);
    depthLayout->addWidget(ColorBar1_);

    auto* top = new QHBoxLayout;
    AddReadout(top, sheet, "", {"NWNorthDis", "NWEastDis"});
    top->addStretch();
    AddReadout(top, sheet, " Cursor:", {"CursorEastDis", "CursorNorthDis"});
    top->addStretch();
    AddReadout(top, sheet, "", {"NENorthDis", "NEEastDis"});

    auto* scroll = new QScrollArea(sheet);
    DEMScrollBox_ = scroll;
    scroll->setObjectName(QStringLiteral("DEMScrollBox"));
    QPalette white = scroll->palette();
    white.setColor(QPalette::Window, Qt::white);
    scroll->viewport()->setPalette(white);
    scroll->viewport()->setAutoFillBackground(true);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll->setWidgetResizable(false);
    DEMImage_ = new TDEMImageView(scroll);
    scroll->setWidget(DEMImage_);
    connect(DEMImage_, &TDEMImageView::CursorMoved, this, &TForm1::ShowCursor);
    connect(DEMImage_, &TDEMImageView::MouseAction, this, [this] {
        Document_.DemSelection = DEMImage_->OverClipBox().Rect();
        UpdateSelectionSize();
    });
    for (QScrollBar* bar : {scroll->horizontalScrollBar(), scroll->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (Document_.State().DEMLoaded)
                UpdateCornerLabels();
        });

    auto* bottom = new QHBoxLayout;
    AddReadout(bottom, sheet, "", {"SWNorthDis", "SWEastDis"});
    bottom->addStretch();
    AddReadout(bottom, sheet, " Points:", {"PointsDis"});
    bottom->addStretch();
    AddReadout(bottom, sheet, "", {"SENorthDis", "SEEastDis"});

    auto* mapColumn = new QVBoxLayout;
    mapColumn->addLayout(top);
    mapColumn->addWidget(scroll, 1);
    mapColumn->addLayout(bottom);
    auto* body = new QHBoxLayout;
    body->addWidget(depthPanel);
    body->addLayout(mapColumn, 1);

    auto* layout = new QVBoxLayout(sheet);
    layout->addLayout(tools);
    layout->addLayout(body, 1);
    ShowDocumentSummary();
    return sheet;
}

void TForm1::ShowDocumentSummary()
{
    // The map itself is the summary of the document; the tool tip names the grid.
    if (!DEMImage_ || !Document_.State().DEMLoaded)
        return;
    const TDEMArray& dem = Document_.CurrentDEM;
    const TUnits units = Document_.Units();
    const auto elevation = [&](double value) {
        return QString::fromStdString(FormatElevation(ElevationInMeters(dem.Info, value), 8, 0, units)).trimmed();
    };
    DEMImage_->setToolTip(QStringLiteral("%1: %2 columns x %3 rows, elevations %4 to %5")
                              .arg(QFileInfo(QString::fromStdString(Document_.FileName())).fileName())
                              .arg(dem.Cols())
                              .arg(dem.Rows())
                              .arg(elevation(dem.Info.DataMin), elevation(dem.Info.DataMax)));
}

QWidget* TForm1::CreateTopoSheet()
{
    TopoSheet_ = new TTopoSheet(
        Services_.Messages, ColorBar1_->Bar(), [this] { return Document_.Units(); },
        [this](QWidget* parent, const char* command) { return ToolButton(parent, command); });
    return TopoSheet_;
}

QWidget* TForm1::CreateDirectXSheet()
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("DirectXSheet"));

    auto* tools = new QHBoxLayout;
    for (const char* name : {"ZoomInBtn", "ZoomOutBtn", "PanLeftBtn", "PanRightBtn", "PanUpBtn", "PanDownBtn",
                             "YawRightBtn", "YawLeftBtn", "PitchUpBtn", "PitchDownBtn"}) {
        QToolButton* button = ToolButton(sheet, name);
        button->setAutoRepeat(true);
        button->setAutoRepeatDelay(400);
        button->setAutoRepeatInterval(100);
        tools->addWidget(button);
    }
    for (const char* name : {"ResetScaleBtn", "AnimateBtn", "StopBtn", "CaptureBtn"})
        tools->addWidget(ToolButton(sheet, name));

    auto* settings = new QHBoxLayout;
    IncSpin_ = new QDoubleSpinBox(sheet);
    IncSpin_->setObjectName(QStringLiteral("IncSpin"));
    IncSpin_->setToolTip(QStringLiteral("Increment"));
    IncSpin_->setRange(0.0, 100.0);
    IncSpin_->setSingleStep(0.5);
    IncSpin_->setDecimals(1);
    IncSpin_->setValue(5.0);
    settings->addWidget(IncSpin_);
    auto* shading = new QGroupBox(QStringLiteral("Shading"), sheet);
    shading->setObjectName(QStringLiteral("ShadingGroup"));
    auto* shadingLayout = new QHBoxLayout(shading);
    const char* shadingItems[] = {"Wire", "Flat", "Smooth"};
    for (int mode = 0; mode < 3; ++mode) {
        auto* radio = new QRadioButton(QLatin1String(shadingItems[mode]), shading);
        radio->setObjectName(QLatin1String(shadingItems[mode]) + QStringLiteral("Btn"));
        radio->setChecked(mode == 2);
        connect(radio, &QRadioButton::clicked, this, [this, mode] { SetShading(mode); });
        shadingLayout->addWidget(radio);
    }
    settings->addWidget(shading);
    AddReadout(settings, sheet, " Position:", {"DisPosX", "DisPosY", "DisPosZ"});
    settings->addStretch();
    settings->addWidget(ToolButton(sheet, "ExportModel1"));

    auto* statistics = new QHBoxLayout;
    AddReadout(statistics, sheet, " Rotation:", {"YawDis", "PitchDis", "RollDis"});
    AddReadout(statistics, sheet, " Tris:", {"TriangleDis"});
    AddReadout(statistics, sheet, " TPS:", {"TPSDis"});
    AddReadout(statistics, sheet, " FPS:", {"FPSDis"});
    statistics->addStretch();

    GLViewer_ = new TGLViewer(sheet);
    GLViewer_->SetShowDefaultScene(true);
    GLViewer_->setMinimumSize(64, 64);
    connect(GLViewer_, &TGLViewer::Change, this, &TForm1::UpdateViewStatistics);
    // A capture takes its frames after renders only (Change also follows changes of the scene).
    connect(GLViewer_, &TGLViewer::DisplayChange, this, &TForm1::OfferCaptureFrame);
    connect(GLViewer_, &TGLViewer::MousePressed, this, [this](int x, int y, unsigned) {
        GLViewer_->BaseFrame().MouseDown(x, y);
    });
    connect(GLViewer_, &TGLViewer::MouseMoved, this, [this](int x, int y, unsigned shift) {
        RunCommand(Services_.Messages, [&] {
            TGLObject& frame = GLViewer_->BaseFrame();
            frame.MouseMove(shift, x, y, frame);
            GLViewer_->update();
        });
    });

    AnimationTimer_ = new QTimer(this);
    AnimationTimer_->setObjectName(QStringLiteral("AnimationTimer"));
    AnimationTimer_->setInterval(10);
    connect(AnimationTimer_, &QTimer::timeout, this, [this] {
        if (!RunCommand(Services_.Messages, [this] { GLViewer_->BaseFrame().AnimateStep(); }))
            AnimationTimer_->stop();
        GLViewer_->update();
    });

    auto* layout = new QVBoxLayout(sheet);
    layout->addLayout(tools);
    layout->addLayout(settings);
    layout->addLayout(statistics);
    layout->addWidget(GLViewer_, 1);
    return sheet;
}

QWidget* TForm1::CreateOverlaySheet()
{
    TOverlayContext context;
    context.Topo = [this] { return static_cast<const TTopoDocument*>(&TopoSheet_->Document()); };
    context.Units = [this] { return Document_.Units(); };
    context.TerrainMesh = [this] { return TerrainMesh_; };
    context.ShowOverlayPage = [this] { ShowPage(3); };
    context.ShowModelPage = [this] { ShowPage(2); };
    context.TerrainChanged = [this] { GLViewer_->update(); };
    context.Progress = [this](int percent) { ProgressBar1_->setValue(percent); };
    context.PictureChanged = [this](bool shown) { OfferOverlayPicture(shown); };
    OverlayPage_ = new TOverlayPage(Services_, std::move(context));
    return OverlayPage_;
}

} // namespace kv
