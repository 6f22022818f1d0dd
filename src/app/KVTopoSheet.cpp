#include "app/KVTopoSheet.h"

#include "app/KVMapView.h"
#include "mapview/TopoContours.h"
#include "platform/gui/MessageQueue.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace kv {

namespace {

// The picture's size before anything was drawn, which the first spacing fit uses when the page
// has not been laid out yet.
constexpr int StartImageWidth = 569;
constexpr int StartImageHeight = 329;

QLabel* Readout(QHBoxLayout* row, QWidget* parent, const char* caption, const char* name)
{
    row->addWidget(new QLabel(QLatin1String(caption), parent));
    auto* value = new QLabel(parent);
    value->setObjectName(QLatin1String(name));
    value->setMinimumWidth(64);
    row->addWidget(value);
    return value;
}

} // namespace

TTopoSheet::TTopoSheet(const TMessageSink& messages, const TColorBar& bar, std::function<TUnits()> units,
                       const TToolButtonMaker& toolButton, QWidget* parent)
    : QWidget(parent), Messages_(messages), Bar_(bar), Units_(std::move(units)), Doc_(std::make_unique<TTopoDocument>())
{
    setObjectName(QStringLiteral("TopoSheet"));
    CreateControls(toolButton);
    SetTopoInterval(*Doc_, Doc_->TopoInterval, Units_());
    ShowOptions();
}

TTopoSheet::~TTopoSheet() = default;

void TTopoSheet::CreateControls(const TToolButtonMaker& toolButton)
{
    auto* tools = new QHBoxLayout;
    for (const char* name : {"ClipArrayBtn", "EditGridBtn", "ConvertBtn", "FilterBtn"})
        tools->addWidget(toolButton(this, name));
    tools->addStretch();

    // Panel10: the viewing options and the Update button. A click here stops a running drawing
    // (the click waits in the queue) before it changes an option.
    Panel10_ = new QFrame(this);
    Panel10_->setObjectName(QStringLiteral("Panel10"));
    auto* panelLayout = new QHBoxLayout(Panel10_);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    auto* options = new QGroupBox(QStringLiteral("Viewing Options"), Panel10_);
    options->setObjectName(QStringLiteral("ViewingOptions"));
    auto* grid = new QGridLayout(options);
    SpaceSpin_ = new QSpinBox(options);
    SpaceSpin_->setObjectName(QStringLiteral("SpaceSpin"));
    SpaceSpin_->setRange(TopoSpacingMin, TopoSpacingMax);
    grid->addWidget(new QLabel(QStringLiteral("Zoom/Spacing"), options), 0, 0);
    grid->addWidget(SpaceSpin_, 0, 1);
    ContourSpinEdit_ = new QDoubleSpinBox(options);
    ContourSpinEdit_->setObjectName(QStringLiteral("ContourSpinEdit"));
    ContourSpinEdit_->setRange(TopoIntervalMin, TopoIntervalMax);
    ContourSpinEdit_->setSingleStep(5.0);
    ContourSpinEdit_->setDecimals(2);
    ContourSpinEdit_->setKeyboardTracking(false);
    grid->addWidget(new QLabel(QStringLiteral("Contour Interval"), options), 1, 0);
    grid->addWidget(ContourSpinEdit_, 1, 1);
    const auto check = [&](const char* name, const char* caption, int row, int column) {
        auto* box = new QCheckBox(QLatin1String(caption), options);
        box->setObjectName(QLatin1String(name));
        grid->addWidget(box, row, column);
        return box;
    };
    MarkPointChk_ = check("MarkPointChk", "Mark Points", 0, 2);
    ColorDepthChk_ = check("ColorDepthChk", "Color-By-Elevation", 1, 2);
    AutoUpdateChk_ = check("AutoUpdateChk", "Auto Update", 0, 3);
    panelLayout->addWidget(options);
    panelLayout->addWidget(toolButton(Panel10_, "UpdateBtn"), 0, Qt::AlignBottom);
    panelLayout->addStretch();

    ScrollBox1_ = new QScrollArea(this);
    ScrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1_->setWidgetResizable(false);
    TopoImage_ = new TDEMImageView(ScrollBox1_, QStringLiteral("TopoImage"));
    TopoImage_->Picture().SetPixelFormat(pf32bit);
    TopoImage_->OverClipBox().SetDrawingSurface(&TopoImage_->Picture());
    ScrollBox1_->setWidget(TopoImage_);

    auto* readouts = new QHBoxLayout;
    PointDis_ = Readout(readouts, this, "Point:", "PointDis");
    ElevDis_ = Readout(readouts, this, " Elevation:", "ElevDis");
    LocationDis_ = Readout(readouts, this, " Location: ", "LocationDis");
    SizeDis_ = Readout(readouts, this, " Size:", "SizeDis");
    readouts->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(Panel10_);
    layout->addWidget(ScrollBox1_, 1);
    layout->addLayout(readouts);

    connect(SpaceSpin_, &QSpinBox::valueChanged, this, [this](int value) {
        Doc_->TopoSpacing = value;
        OptionChanged();
    });
    connect(ContourSpinEdit_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        Doc_->TopoInterval = value / Units_().UnitFactor();
        OptionChanged();
    });
    connect(MarkPointChk_, &QCheckBox::toggled, this, [this](bool on) {
        Doc_->MarkPoints = on;
        OptionChanged();
    });
    connect(ColorDepthChk_, &QCheckBox::toggled, this, [this](bool on) {
        Doc_->ColorByElevation = on;
        OptionChanged();
    });
    connect(AutoUpdateChk_, &QCheckBox::toggled, this, [this](bool on) { Doc_->AutoUpdate = on; });
    connect(TopoImage_, &TDEMImageView::CursorMoved, this, &TTopoSheet::ShowReadouts);
    connect(TopoImage_, &TDEMImageView::MouseAction, this, [this] { ShowSize(); });
}

void TTopoSheet::ShowOptions()
{
    // The fields show the document; their change signals are not the user's.
    ShowingOptions_ = true;
    SpaceSpin_->setValue(Doc_->TopoSpacing);
    ContourSpinEdit_->setValue(Doc_->TopoInterval * Units_().UnitFactor());
    MarkPointChk_->setChecked(Doc_->MarkPoints);
    ColorDepthChk_->setChecked(Doc_->ColorByElevation);
    AutoUpdateChk_->setChecked(Doc_->AutoUpdate);
    ShowingOptions_ = false;
}

void TTopoSheet::OptionChanged()
{
    if (!ShowingOptions_ && Doc_->AutoUpdate)
        RunCommand(Messages_, [this] { UpdateTopoView(); });
}

void TTopoSheet::UnitsChanged()
{
    const QSignalBlocker blocker(ContourSpinEdit_);
    ContourSpinEdit_->setValue(SetTopoInterval(*Doc_, Doc_->TopoInterval, Units_()));
}

QSize TTopoSheet::FitArea() const
{
    // The grid is fitted into the visible part of the scrolling window once the page has been
    // laid out; the picture's last size would keep a small first drawing small forever.
    const QWidget* view = ScrollBox1_->viewport();
    if (view->width() > 1 && view->height() > 1 && window()->isVisible())
        return view->size();
    const TBitmap& picture = TopoImage_->Picture();
    if (!picture.Empty())
        return {picture.Width(), picture.Height()};
    return {StartImageWidth, StartImageHeight};
}

bool TTopoSheet::LoadSelection(const TDEMArray& dem, const TRect& selection, const std::function<void()>& showPage)
{
    if (Busy_)
        return false; // the grid must not change under a running drawing
    // The copy checks the selection before it touches the document, so an empty selection or
    // one beside the map leaves the page as it was.
    const TLoadOutcome outcome = kv::LoadSelection(*Doc_, dem, selection, Units_());
    if (outcome == loNothingSelected) {
        Messages_.Information(QLatin1String(NoTerrainSelectedMessage));
        return false;
    }
    if (showPage)
        showPage();
    if (outcome == loClipped)
        Messages_.Information(QLatin1String(SelectionClippedMessage));
    const QSize area = FitArea();
    FitSpacing(*Doc_, area.width(), area.height());
    ShowOptions();
    TSelectionBox& box = TopoImage_->OverClipBox();
    box.Hide();
    box.SetRect({0, 0, 0, 0});
    UpdateTopoView();
    ShowSize();
    return true;
}

bool TTopoSheet::AbortRequested()
{
    ++RowsDrawn_;
    // A key press, a mouse click or a timer tick meant for this window stops the drawing and
    // is delivered afterwards. A mouse release (the end of the click that started the drawing)
    // only ends the capture; key releases and mouse moves go on waiting.
    for (const TWaitingInput& input : WaitingInput(window())) {
        switch (input.Type) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Timer:
            return true;
        case QEvent::MouseButtonRelease:
            ReleaseCapture();
            break;
        default:
            break;
        }
    }
    return false;
}

bool TTopoSheet::UpdateTopoView()
{
    if (Busy_ || !Doc_->TopoLoaded || !kv::TopoTerrainLoaded(*Doc_))
        return true;
    Busy_ = true;
    RowsDrawn_ = 0;
    TSelectionBox& box = TopoImage_->OverClipBox();
    box.Hide();
    bool finished = false;
    try {
        TBitmap& picture = TopoImage_->Picture();
        picture.SetPixelFormat(pf32bit);
        finished = DrawTopo(
            *Doc_, picture, &Bar_, Units_().UnitFactor(), [this] { return AbortRequested(); },
            // Only the picture so far is shown here: the abort test after every row already runs
            // the queue with input held back, while a plain processing of events here would
            // deliver (and so lose) the very key press or click that should stop the drawing.
            [this] { TopoImage_->PictureChanged(); });
    } catch (...) {
        TopoImage_->PictureChanged();
        box.Show();
        TopoImage_->Refresh();
        Busy_ = false;
        throw;
    }
    TopoImage_->PictureChanged();
    box.Show();
    TopoImage_->Refresh();
    Busy_ = false;
    return finished;
}

void TTopoSheet::CropToBox()
{
    if (Busy_ || !Doc_->TopoLoaded)
        return;
    TSelectionBox& box = TopoImage_->OverClipBox();
    if (!kv::CropToBox(*Doc_, box.Rect()))
        return;
    box.Hide();
    box.SetRect({0, 0, 0, 0});
    UpdateTopoView();
    ShowSize();
}

void TTopoSheet::RefreshAfterEdit(bool updateInterval)
{
    if (Busy_)
        return;
    const QSize area = FitArea();
    kv::RefreshAfterEdit(*Doc_, updateInterval, Units_(), area.width(), area.height());
    ShowOptions();
    UpdateTopoView();
}

bool TTopoSheet::TopoTerrainLoaded()
{
    if (kv::TopoTerrainLoaded(*Doc_))
        return true;
    Messages_.Error(QLatin1String(NoTerrainLoadedMessage));
    return false;
}

void TTopoSheet::ShowReadouts(int x, int y)
{
    if (!Doc_->TopoLoaded)
        return;
    const TTopoReadout readout = TopoReadouts(*Doc_, x, y, Units_());
    PointDis_->setText(QString::fromStdString(readout.Point));
    LocationDis_->setText(QString::fromStdString(readout.Location));
    ElevDis_->setText(QString::fromStdString(readout.Elevation));
}

void TTopoSheet::ShowSize()
{
    if (!Doc_->TopoLoaded)
        return;
    const TRect cells = BoxCells(*Doc_, TopoImage_->OverClipBox().Rect());
    Doc_->TopoSelection = cells;
    SizeDis_->setText(QString::fromStdString(TopoSizeText(cells)));
}

} // namespace kv
