#include "app/KVOverlayPage.h"

#include "app/KVOverlayDlg.h"
#include "gl/GLMesh.h"
#include "imaging/ImageLib.h"
#include "overlay/OverlayMouse.h"
#include "overlay/OverlayPaint.h"
#include "platform/KVError.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/MessageQueue.h"
#include "platform/gui/QtBitmap.h"

#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kv {

// The picture with the contours; passes the mouse on to the page.
class TOverlayPaintBox : public QWidget {
public:
    explicit TOverlayPaintBox(const QImage& image, QWidget* parent) : QWidget(parent), Image_(image)
    {
        setObjectName(QStringLiteral("OverPaintBox"));
        setMouseTracking(true);
    }

    std::function<void(int, int)> Pressed;
    std::function<void(int, int, bool)> Moved;
    std::function<void()> Released;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!Image_.isNull())
            QPainter(this).drawImage(0, 0, Image_);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint p = event->position().toPoint();
        Pressed(p.x(), p.y());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint p = event->position().toPoint();
        Moved(p.x(), p.y(), event->buttons().testFlag(Qt::LeftButton));
    }
    void mouseReleaseEvent(QMouseEvent*) override { Released(); }

private:
    const QImage& Image_;
};

namespace {

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* Readout(QWidget* parent, QHBoxLayout* row, const char* caption, const char* name)
{
    row->addWidget(new QLabel(QLatin1String(caption), parent));
    auto* label = Named(new QLabel(parent), name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(44);
    row->addWidget(label);
    return label;
}

} // namespace

TOverlayPage::TOverlayPage(TAppServices services, TOverlayContext context, QWidget* parent)
    : QWidget(parent), Services_(std::move(services)), Context_(std::move(context))
{
    setObjectName(QStringLiteral("OverlayTabsheet"));
    OptionsDlg_ = new TOverlayDlg(this);

    auto* tools = new QHBoxLayout;
    auto* load = Named(new QPushButton(QStringLiteral("Load Image"), this), "LoadBtn");
    auto* paste = Named(new QPushButton(QStringLiteral("Paste Image"), this), "PasteBtn");
    auto* options = Named(new QPushButton(QStringLiteral("Options"), this), "OptsBtn");
    connect(load, &QPushButton::clicked, this,
            [this] { RunCommand(Services_.Messages, [this] { LoadOverlayImage(); }); });
    connect(paste, &QPushButton::clicked, this,
            [this] { RunCommand(Services_.Messages, [this] { PasteOverlayImage(); }); });
    connect(options, &QPushButton::clicked, this,
            [this] { RunCommand(Services_.Messages, [this] { ShowOptions(); }); });
    tools->addWidget(load);
    tools->addWidget(paste);
    tools->addWidget(options);
    tools->addStretch();

    GroupBox2_ = Named(new QGroupBox(QStringLiteral("Manipulate Contours"), this), "GroupBox2");
    auto* grid = new QGridLayout(GroupBox2_);
    struct TButton {
        const char* Name;
        const char* Caption;
        TOverlayStep Step;
        int Row, Col;
    };
    const TButton buttons[] = {
        {"OverlayPanLeftBtn", "Move Contours Left", osPanLeft, 0, 0},
        {"OverlayPanRightBtn", "Move Contours Right", osPanRight, 0, 1},
        {"OverlayPanUpBtn", "Move Contours Up", osPanUp, 0, 2},
        {"OverlayPanDownBtn", "Move Contours Down", osPanDown, 0, 3},
        {"OverlayZoomInBtn", "Expand Contours", osZoomIn, 1, 0},
        {"OverlayZoomOutBtn", "Shrink Contours", osZoomOut, 1, 1},
        {"OverlayRotRightBtn", "Rotate Right", osRotateRight, 1, 2},
        {"OverlayRotLeftBtn", "Rotate Left", osRotateLeft, 1, 3},
    };
    for (const TButton& b : buttons) {
        auto* button = Named(new QPushButton(QLatin1String(b.Caption), GroupBox2_), b.Name);
        // Held down, the button steps again and again.
        button->setAutoRepeat(true);
        button->setAutoRepeatDelay(400);
        button->setAutoRepeatInterval(100);
        const TOverlayStep step = b.Step;
        connect(button, &QPushButton::clicked, this,
                [this, step] { RunCommand(Services_.Messages, [this, step] { Step(step); }); });
        grid->addWidget(button, b.Row, b.Col);
    }
    OverIncSpin_ = Named(new QDoubleSpinBox(GroupBox2_), "OverIncSpin");
    OverIncSpin_->setRange(0.1, 99);
    OverIncSpin_->setSingleStep(0.1);
    OverIncSpin_->setDecimals(1);
    OverIncSpin_->setValue(5);
    OverIncSpin_->setSuffix(QStringLiteral(" %"));
    OverlayIntervalSpin_ = Named(new QSpinBox(GroupBox2_), "OverlayIntervalSpin");
    OverlayIntervalSpin_->setRange(1, 32000);
    OverlayIntervalSpin_->setSingleStep(5);
    OverlayIntervalSpin_->setValue(50);
    // The settings under the buttons, so that the page fits the window's start width.
    auto* settings = new QHBoxLayout;
    settings->addWidget(new QLabel(QStringLiteral("Increment"), GroupBox2_));
    settings->addWidget(OverIncSpin_);
    settings->addWidget(new QLabel(QStringLiteral("Contour Interval"), GroupBox2_));
    settings->addWidget(OverlayIntervalSpin_);
    auto* reset = Named(new QPushButton(QStringLiteral("Reset"), this), "ResetOverlayBtn");
    InvertChk_ = Named(new QCheckBox(QStringLiteral("Invert Image"), GroupBox2_), "InvertChk");
    HideContourChk_ = Named(new QCheckBox(QStringLiteral("Hide Contours"), GroupBox2_), "HideContourChk");
    ApplyOverBtn_ = Named(new QPushButton(QStringLiteral("Apply Overlay"), this), "ApplyOverBtn");
    settings->addWidget(InvertChk_);
    settings->addWidget(HideContourChk_);
    settings->addStretch();
    grid->addLayout(settings, 2, 0, 1, 4);
    tools->insertWidget(3, reset);
    tools->insertWidget(4, ApplyOverBtn_);
    connect(reset, &QPushButton::clicked, this, [this] { RunCommand(Services_.Messages, [this] { ResetOverlay(); }); });
    connect(ApplyOverBtn_, &QPushButton::clicked, this,
            [this] { RunCommand(Services_.Messages, [this] { ApplyOverlayToTerrain(); }); });
    const auto repaint = [this] { RunCommand(Services_.Messages, [this] { Repaint(); }); };
    connect(OverlayIntervalSpin_, &QSpinBox::valueChanged, this, repaint);
    connect(InvertChk_, &QCheckBox::toggled, this, repaint);
    connect(HideContourChk_, &QCheckBox::toggled, this, repaint);

    auto* readouts = new QHBoxLayout;
    MouseDis_ = Readout(this, readouts, " Mouse: ", "MouseDis");
    RotationDis_ = Readout(this, readouts, " Rotation: ", "RotationDis");
    OriginDis_ = Readout(this, readouts, " Origin:", "OriginDis");
    ScaleDis_ = Readout(this, readouts, " Scale:", "ScaleDis");
    MouseDis_->setMinimumWidth(64);
    OriginDis_->setMinimumWidth(110);
    ScaleDis_->setMinimumWidth(150);
    readouts->addStretch();

    OverScrollBox_ = Named(new QScrollArea(this), "OverScrollBox");
    OverPaintBox_ = new TOverlayPaintBox(Image_, OverScrollBox_);
    OverPaintBox_->resize(1, 1);
    OverScrollBox_->setWidget(OverPaintBox_);
    OverPaintBox_->Pressed = [this](int x, int y) { RunCommand(Services_.Messages, [&] { MousePressed(x, y); }); };
    OverPaintBox_->Moved = [this](int x, int y, bool left) {
        RunCommand(Services_.Messages, [&] { MouseMoved(x, y, left); });
    };
    OverPaintBox_->Released = [this] { RunCommand(Services_.Messages, [this] { MouseReleased(); }); };

    // The options dialog's buttons.
    connect(OptionsDlg_->OverResizeBtn, &QPushButton::clicked, this,
            [this] { RunCommand(Services_.Messages, [this] { ResizeOverlay(); }); });
    connect(OptionsDlg_->NewOverlayColorBtn, &QPushButton::clicked, this,
            [this] { RunCommand(Services_.Messages, [this] { NewColorFormat(); }); });
    connect(OptionsDlg_->OverlayColorBtn, &QPushButton::clicked, this,
            [this] { RunCommand(Services_.Messages, [this] { ChooseLineColor(); }); });
    connect(OptionsDlg_->LineWidthSpin, &QSpinBox::valueChanged, this, repaint);
    connect(OptionsDlg_->OverMarkChk, &QCheckBox::toggled, this, repaint);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(GroupBox2_);
    layout->addLayout(readouts);
    layout->addWidget(OverScrollBox_, 1);
    UpdateApplyEnabled();
}

TOverlayPage::~TOverlayPage() = default;

int32_t TOverlayPage::GridCols() const
{
    const TTopoDocument* topo = Context_.Topo ? Context_.Topo() : nullptr;
    return topo ? topo->Grid.Cols() : 0;
}

int32_t TOverlayPage::GridRows() const
{
    const TTopoDocument* topo = Context_.Topo ? Context_.Topo() : nullptr;
    return topo ? topo->Grid.Rows() : 0;
}

TOverlayGround TOverlayPage::Ground() const
{
    const TTopoDocument* topo = Context_.Topo ? Context_.Topo() : nullptr;
    TOverlayGround ground;
    if (topo) {
        ground.Cols = topo->Grid.Cols();
        ground.Rows = topo->Grid.Rows();
        ground.EastSpacing = topo->Spacing.East;
        ground.NorthSpacing = topo->Spacing.North;
    }
    ground.UnitFactor = Context_.Units ? Context_.Units().UnitFactor() : 1.0;
    return ground;
}

void TOverlayPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    const TUnits units = Context_.Units ? Context_.Units() : TUnits{};
    OverlayIntervalSpin_->setSuffix(QStringLiteral(" ") + QLatin1String(units.UnitSuffix()));
    UpdateApplyEnabled();
}

void TOverlayPage::UpdateApplyEnabled()
{
    TGLMesh* mesh = Context_.TerrainMesh ? Context_.TerrainMesh() : nullptr;
    ApplyOverBtn_->setEnabled(!Doc_.OverlayBitmap.Empty() && mesh != nullptr && mesh->FaceCount() > 0 &&
                              GridCols() > 0);
}

void TOverlayPage::LoadOverlayImage()
{
    TFileRequest request;
    request.Title = QStringLiteral("Open Bitmap Overlay Files");
    request.Filter = QStringLiteral("All (*.bmp *.jpg *.tif *.drg *.jpeg *.png *.gif *.tiff *.tga *.pcx *.lbm);;"
                                    "Bitmaps (*.bmp);;JPEG Files (*.jpg);;Tiff Files (*.tif);;DRG Files (*.drg)");
    request.Folder = QDir::currentPath();
    const QString file = Services_.Files.OpenFile ? Services_.Files.OpenFile(request) : QString();
    if (file.isEmpty())
        return;
    const bool reset = Services_.Messages.Confirm && Services_.Messages.Confirm(QStringLiteral("Reset Parameters?"));
    LoadOverlayFile(file, reset);
    QDir::setCurrent(QFileInfo(file).absolutePath());
}

void TOverlayPage::LoadOverlayFile(const QString& fileName, bool reset)
{
    TBitmap loaded;
    {
        QProgressDialog progress(QStringLiteral("Loading Bitmap"), QString(), 0, 100, this);
        progress.setWindowTitle(QStringLiteral("Loading Bitmap"));
        progress.setMinimumDuration(300);
        LoadImageFile(loaded, fileName.toStdString(),
                      [&progress](TProgressStage, int percent) { progress.setValue(percent); });
    }
    Loaded_ = std::move(loaded);
    TakeLoadedPicture(Doc_, Loaded_, fileName.toStdString(), reset);
    if (Context_.ShowOverlayPage)
        Context_.ShowOverlayPage();
    PrepareOverlay(reset);
}

void TOverlayPage::PasteOverlayImage()
{
    TBitmap pasted = ReadClipboardBitmap();
    SetOverlayPicture(pasted, QString());
}

void TOverlayPage::SetOverlayPicture(const TBitmap& picture, const QString& fileName)
{
    if (picture.Empty())
        throw EKorvelaError("The picture has no pixels.");
    Loaded_ = picture;
    TakeLoadedPicture(Doc_, Loaded_, fileName.toStdString(), true);
    PrepareOverlay(true);
}

void TOverlayPage::PrepareOverlay(bool reset)
{
    TOverlayDlg& dlg = *OptionsDlg_;
    if (reset) {
        dlg.BaseFormatDis->setText(QString::fromStdString(PixelFormatName(Doc_.LoadedFormat)));
        dlg.ShowFormat(Doc_.ChosenFormat);
    }
    dlg.DisSize1->setText(QString::fromStdString(OverlayDimensionsText(Loaded_.Width(), Loaded_.Height())));
    if (reset || dlg.SizeList->count() == 0) {
        const std::vector<TOverlaySize> sizes = OverlaySizeList(Loaded_.Width(), Loaded_.Height());
        dlg.SetSizes(sizes, DefaultOverlaySizeIndex(sizes, Loaded_.Width(), Loaded_.Height()));
    }
    TOverlaySize size;
    if (!dlg.SelectedSize(size))
        size = {Loaded_.Width(), Loaded_.Height()};
    const auto progress = [this](int percent) {
        if (Context_.Progress)
            Context_.Progress(percent);
    };
    Doc_.OverlayBitmap = ResampleAndPad(Loaded_, size, SharpnessFilter(dlg.Sharpness()), Doc_.ChosenFormat, progress);
    progress(0);
    dlg.CurFormatDis->setText(QString::fromStdString(PixelFormatName(Doc_.OverlayBitmap.PixelFormat())));
    dlg.DisSize2->setText(
        QString::fromStdString(OverlayDimensionsText(Doc_.OverlayBitmap.Width(), Doc_.OverlayBitmap.Height())));
    OverPaintBox_->resize(Doc_.OverlayBitmap.Width(), Doc_.OverlayBitmap.Height());
    if (reset)
        FitOverlay(Doc_, GridCols(), GridRows());
    Repaint();
    UpdateApplyEnabled();
}

void TOverlayPage::ResetOverlay()
{
    FitOverlay(Doc_, GridCols(), GridRows());
    Doc_.Rotation = 0.0;
    Repaint();
}

void TOverlayPage::ResizeOverlay()
{
    if (Context_.ShowOverlayPage)
        Context_.ShowOverlayPage();
    if (!Doc_.OverlayFileName.empty()) {
        TBitmap reloaded;
        LoadImageFile(reloaded, Doc_.OverlayFileName);
        Loaded_ = std::move(reloaded);
    }
    if (!Loaded_.Empty())
        PrepareOverlay(false);
    ResetOverlay();
}

void TOverlayPage::NewColorFormat()
{
    if (Context_.ShowOverlayPage)
        Context_.ShowOverlayPage();
    if (!Doc_.OverlayFileName.empty()) {
        Doc_.ChosenFormat = OptionsDlg_->SelectedFormat();
        TBitmap reloaded;
        LoadImageFile(reloaded, Doc_.OverlayFileName);
        Loaded_ = std::move(reloaded);
        PrepareOverlay(false);
    }
    ResetOverlay();
}

void TOverlayPage::ChooseLineColor()
{
    uint32_t color = Doc_.LineColor;
    if (Services_.ChooseColor && Services_.ChooseColor(color)) {
        Doc_.LineColor = color;
        OptionsDlg_->ShowLineColor(color);
        Repaint();
    }
}

void TOverlayPage::ShowOptions()
{
    if (Services_.RunDialog)
        Services_.RunDialog(*OptionsDlg_);
}

void TOverlayPage::Step(TOverlayStep step)
{
    OverlayStep(Doc_, step, OverIncSpin_->value());
    Repaint();
}

void TOverlayPage::Repaint()
{
    // Peeking the queue during the trace can deliver a click that asks for another repaint; it
    // runs when this one ends.
    if (Painting_) {
        PaintAgain_ = true;
        return;
    }
    Painting_ = true;
    try {
        do {
            PaintAgain_ = false;
            const TTopoDocument* topo = Context_.Topo ? Context_.Topo() : nullptr;
            TOverlayPaintOptions options;
            options.InvertImage = InvertChk_->isChecked();
            options.HideContours = HideContourChk_->isChecked();
            const TUnits units = Context_.Units ? Context_.Units() : TUnits{};
            options.IntervalMetres = OverlayIntervalSpin_->value() / units.UnitFactor();
            options.LineWidth = OptionsDlg_->LineWidth();
            PaintOverlay(Doc_, topo ? &topo->Grid : nullptr, Screen_, options,
                         [this] { return InputWaiting(ikKey | ikMouseButton | ikTimer, GroupBox2_); });
            Image_ = Screen_.Empty() ? QImage() : BitmapToQImage(Screen_);
        } while (PaintAgain_);
    } catch (...) {
        Painting_ = false;
        throw;
    }
    Painting_ = false;
    if (Context_.PictureChanged)
        Context_.PictureChanged(!Image_.isNull());
    OverPaintBox_->update();
    UpdateReadouts();
}

void TOverlayPage::UpdateReadouts()
{
    const TOverlayGround ground = Ground();
    const TOverlayReadouts readouts = OverlayReadouts(Doc_, ground.EastSpacing, ground.NorthSpacing, ground.UnitFactor);
    OriginDis_->setText(QString::fromStdString(readouts.Origin));
    if (readouts.HasScale) {
        ScaleDis_->setText(QString::fromStdString(readouts.Scale));
        RotationDis_->setText(QString::fromStdString(readouts.Rotation));
    }
}

void TOverlayPage::MousePressed(int x, int y)
{
    OverlayMouseDown(Doc_, x, y);
}

void TOverlayPage::MouseMoved(int x, int y, bool leftDown)
{
    MouseDis_->setText(QString::fromStdString(OverlayMouseText(x, y)));
    if (OverlayMouseMove(Doc_, x, y, leftDown, OverPaintBox_->width(), OverPaintBox_->height()))
        Repaint();
}

void TOverlayPage::MouseReleased()
{
    OverlayMouseUp(Doc_);
    Repaint();
}

void TOverlayPage::ApplyOverlayToTerrain()
{
    TGLMesh* mesh = Context_.TerrainMesh ? Context_.TerrainMesh() : nullptr;
    if (mesh == nullptr || mesh->FaceCount() == 0)
        throw EKorvelaError("There is no terrain to drape the overlay on; convert the topo grid to 3D first.");
    if (Context_.ShowModelPage)
        Context_.ShowModelPage();
    ApplyOverlay(Doc_, Ground(), *mesh);
    if (Context_.TerrainChanged)
        Context_.TerrainChanged();
}

} // namespace kv
