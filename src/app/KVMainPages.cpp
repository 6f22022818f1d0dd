// The four pages of the main window.

#include "app/KVMain.h"

#include "app/KVMapView.h"
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

// The honest notice on a page whose part of the program is not built yet.
QLabel* NotBuiltNote(QWidget* parent, const QString& text)
{
    QLabel* note = Label(parent, "NotBuiltNote", text);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignCenter);
    note->setStyleSheet(QStringLiteral("color: palette(mid); padding: 12px;"));
    return note;
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
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TopoSheet"));

    auto* tools = new QHBoxLayout;
    for (const char* name : {"ClipArrayBtn", "EditGridBtn", "ConvertBtn", "FilterBtn"})
        tools->addWidget(ToolButton(sheet, name));
    tools->addStretch();

    auto* options = new QGroupBox(QStringLiteral("Viewing Options"), sheet);
    options->setObjectName(QStringLiteral("ViewingOptionsGroup"));
    auto* grid = new QGridLayout(options);
    auto* space = new QSpinBox(options);
    space->setObjectName(QStringLiteral("SpaceSpin"));
    space->setRange(1, 500);
    space->setValue(5);
    grid->addWidget(new QLabel(QStringLiteral("Zoom/Spacing"), options), 0, 0);
    grid->addWidget(space, 0, 1);
    const auto check = [&](const char* name, const char* caption, bool on, int column) {
        auto* box = new QCheckBox(QLatin1String(caption), options);
        box->setObjectName(QLatin1String(name));
        box->setChecked(on);
        grid->addWidget(box, 0, column);
    };
    check("MarkPointChk", "Mark Points", false, 2);
    check("ColorDepthChk", "Color-By-Elevation", true, 3);
    check("AutoUpdateChk", "Auto Update", true, 4);
    grid->setColumnStretch(5, 1);
    auto* contour = new QDoubleSpinBox(options);
    contour->setObjectName(QStringLiteral("ContourSpinEdit"));
    contour->setRange(0.1, 1000.0);
    contour->setSingleStep(5.0);
    contour->setDecimals(1);
    contour->setValue(75.0);
    grid->addWidget(new QLabel(QStringLiteral("Contour Interval"), options), 1, 0);
    grid->addWidget(contour, 1, 1);
    grid->addWidget(ToolButton(options, "UpdateBtn"), 1, 2);

    auto* readouts = new QHBoxLayout;
    AddReadout(readouts, sheet, "Point:", {"PointDis"});
    AddReadout(readouts, sheet, " Elevation:", {"ElevationDis"});
    AddReadout(readouts, sheet, " Location: ", {"LocationDis"});
    AddReadout(readouts, sheet, " Size:", {"SizeDis"});
    readouts->addStretch();

    auto* layout = new QVBoxLayout(sheet);
    layout->addLayout(tools);
    layout->addWidget(options);
    layout->addWidget(NotBuiltNote(sheet, QStringLiteral("The topographic editor is not part of this version yet.")), 1);
    layout->addLayout(readouts);
    options->setEnabled(false);
    return sheet;
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
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("OverlayTabsheet"));
    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(NotBuiltNote(sheet, QStringLiteral("The overlay editor is not part of this version yet.")));
    return sheet;
}

} // namespace kv
