#include "app/KVMain.h"

#include "app/KVCapture.h"
#include "app/KVConvertProgress.h"
#include "app/KVDEMInfoDlg.h"
#include "app/KVDEMMergeDlg.h"
#include "app/KVDemFilter.h"
#include "app/KVElevEditor.h"
#include "app/KVEnvironDlg.h"
#include "app/KVHelp.h"
#include "app/KVImageLib.h"
#include "app/KVMapView.h"
#include "app/KVMeshOps.h"
#include "app/KVPlotOptsDlg.h"
#include "app/KVTopoSheet.h"
#include "app/KVSceneSettings.h"
#include "app/KVSpecialEffects.h"
#include "dem/KVDEMInfo.h"
#include "dem/KVDemReader.h"
#include "gdalio/GeoTIFFWriter.h"
#include "gdalio/KVElevationFile.h"
#include "glview/GLLightingDlg.h"
#include "glview/GLMaterialsDlg.h"
#include "glview/GLTextureDraw.h"
#include "glview/GLViewer.h"
#include "mapview/MapCoords.h"
#include "platform/gui/CursorShapes.h"
#include "platform/KVError.h"
#include "platform/MemoryStatus.h"
#include "terrain/KVOpenGL.h"

#include <QAction>
#include <QDir>
#include <QDoubleSpinBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string_view>

namespace kv {

namespace {

// Caption (UTF-8) and hint of every command; the enabling rule is in KVCommands. The 3D page's
// buttons show symbols and explain themselves by their hints.
struct TCommandText {
    const char* Name;
    const char* Caption;
    const char* Hint;
    bool Checkable = false;
};

constexpr std::array CommandTexts{
    TCommandText{"OpenDemFile1", "&Open Dem File...", ""},
    TCommandText{"LoadTerrainFile1", "&Load Terrain File...", ""},
    TCommandText{"SaveTerrainFile1", "&Save Terrain File...", ""},
    TCommandText{"LoadXFile1", "Load &X File...", ""},
    TCommandText{"SaveXFile1", "S&ave X File...", ""},
    TCommandText{"ExportModel1", "Export Model...", "Export the meshes for other 3D programs (glTF, OBJ, PLY, X)"},
    TCommandText{"SaveImage1", "Save Image As &Bitmap...", ""},
    TCommandText{"PrintImage1", "&Print Image...", ""},
    TCommandText{"ExportGeoTIFF1", "Export &GeoTIFF...", "Save the elevation grid as a GeoTIFF"},
    TCommandText{"SoccerBall1", "&Soccer Ball", ""},
    TCommandText{"Torus1", "&Torus", ""},
    TCommandText{"Exit1", "Exit", ""},
    TCommandText{"CopyImage1", "&Copy Image", ""},
    TCommandText{"SetTerrainColor1", "Set &Terrain Color...", ""},
    TCommandText{"SetBaseColor1", "Set &Base Color...", ""},
    TCommandText{"ArmAVICapture1", "&Arm AVI Capture...", ""},
    TCommandText{"Options2", "&Plot Options...", ""},
    TCommandText{"DemInfo1", "&Dem Info...", ""},
    TCommandText{"DemErrorInfo1", "Dem &Error Info...", ""},
    TCommandText{"SpecialEffects1", "Special Effects...", ""},
    TCommandText{"SceneSettings1", "&Scene Settings...", ""},
    TCommandText{"Lighting1", "&Lighting...", ""},
    TCommandText{"Materials1", "Materials...", ""},
    TCommandText{"EnvironmentOptions1", "&Environment Options...", ""},
    TCommandText{"CaptureOptions1", "&Capture Options...", ""},
    TCommandText{"SaveUserDefaults1", "S&ave User Defaults", ""},
    TCommandText{"MergeDEMFiles1", "&Merge DEM Files...", ""},
    TCommandText{"Contents1", "&Contents", ""},
    TCommandText{"KeyWordSearch1", "Key Word Search", ""},
    TCommandText{"ReReadBtn", "Redraw", "Redraw Image"},
    TCommandText{"TopoEditBtn", "Edit", "Edit Selected"},
    TCommandText{"SetBoxBtn", "Reset Box", "Reset Selection Box"},
    TCommandText{"ClipArrayBtn", "CropTo Box", ""},
    TCommandText{"EditGridBtn", " Edit Grid", "Manual Edit"},
    TCommandText{"ConvertBtn", "Convert 3D", "Convert To 3D Mesh"},
    TCommandText{"FilterBtn", "Filter", "Filter Data"},
    TCommandText{"UpdateBtn", "Update", ""},
    TCommandText{"ZoomInBtn", "+", "Zoom In"},
    TCommandText{"ZoomOutBtn", "−", ""},
    TCommandText{"PanLeftBtn", "←", "Pan Left"},
    TCommandText{"PanRightBtn", "→", "Pan Right"},
    TCommandText{"PanUpBtn", "↑", "Pan Up"},
    TCommandText{"PanDownBtn", "↓", "Pan Down"},
    TCommandText{"YawRightBtn", "↻", "Yaw Right"},
    TCommandText{"YawLeftBtn", "↺", "Yaw Left"},
    TCommandText{"PitchUpBtn", "⇑", "Pitch Up"},
    TCommandText{"PitchDownBtn", "⇓", "Pitch Down"},
    TCommandText{"ResetScaleBtn", "1:1", "Reset Scale"},
    TCommandText{"AnimateBtn", "Animate", "Animate", true},
    TCommandText{"StopBtn", "Stop", "Stop Rotations"},
    TCommandText{"CaptureBtn", "Capture", "Start/Stop Capture", true},
};

// "&1 a&b.dem" -> "&1 a&&b.dem": the number keeps its access key, the name shows its "&".
QString MenuCaption(const std::string& caption)
{
    const QString text = QString::fromStdString(caption);
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return QString(text).replace(QLatin1String("&"), QLatin1String("&&"));
    return text.left(blank + 1) + text.mid(blank + 1).replace(QLatin1String("&"), QLatin1String("&&"));
}

} // namespace

struct TForm1::TReadResult {
    TDEMArray Grid;
    std::exception_ptr Error;
};

TForm1::TForm1(TMainOptions options) : Document_(options.SettingsFolder), CommandLineFile_(options.CommandLineFile)
{
    Services_ = options.Services ? *options.Services : DesktopServices(this);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QLatin1String(ApplicationTitle));

    CreateCommands();
    CreateMenus();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    MainPageControl_ = new QTabWidget(central);
    MainPageControl_->setObjectName(QStringLiteral("MainPageControl"));
    MainPageControl_->addTab(CreateDEMSheet(), QStringLiteral("DEM Reader"));
    MainPageControl_->addTab(CreateTopoSheet(), QStringLiteral("Topo Editor"));
    MainPageControl_->addTab(CreateDirectXSheet(), QStringLiteral("3D Model Editor"));
    MainPageControl_->addTab(CreateOverlaySheet(), QStringLiteral("Overlay Editor"));
    MainPageControl_->setCurrentIndex(0);
    layout->addWidget(MainPageControl_, 1);

    auto* progressPanel = new QWidget(central);
    progressPanel->setObjectName(QStringLiteral("ProgressPanel"));
    auto* progressLayout = new QVBoxLayout(progressPanel);
    progressLayout->setContentsMargins(2, 2, 2, 2);
    ProgressBar1_ = new QProgressBar(progressPanel);
    ProgressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1_->setRange(0, 100);
    ProgressBar1_->setValue(0);
    ProgressBar1_->setMaximumHeight(14);
    ProgressBar1_->setTextVisible(false);
    progressLayout->addWidget(ProgressBar1_);
    layout->addWidget(progressPanel);
    setCentralWidget(central);

    // The dialogs live as long as the window, in the order the program creates them.
    const auto showHelp = [this](int context) { ShowHelpContext(context); };
    // A light button takes effect at once, whether the dialog is confirmed or not.
    PlotOptsDlg_ = new TPlotOptsDlg(this, [this](uint8_t light) { Document_.PlotOptions().LightDirection = light; });
    EnvironDlg_ = new TEnvironDlg(this, showHelp);
    KvxEditDlg_ = new TKvxEditDlg(this, Services_, showHelp);
    DemErrorDlg_ = new TDemErrorDlg(this, showHelp);
    MergeDlg_ = new TMergeDlg(this, Services_, showHelp);
    SceneSetDlg_ = new TSceneSetDlg(this);
    FilterDlg_ = new TFilterDlg(this, Services_);
    DemInfoDlg_ = new TDemInfoDlg(this, showHelp);
    LightingDlg_ = new TLightingDlg(this);
    MaterialsDlg_ = new TMaterialsDlg(
        this, [this](uint32_t& color) { return Services_.ChooseColor && Services_.ChooseColor(color); });
    connect(SceneSetDlg_, &TSceneSetDlg::FogChanged, this, [this] { ApplyFogSettings(); });
    connect(SceneSetDlg_, &TSceneSetDlg::FogColorClicked, this, [this] { ChooseFogColor(); });
    connect(SceneSetDlg_, &TSceneSetDlg::BackgroundColorClicked, this, [this] { ChooseBackgroundColor(); });
    connect(SceneSetDlg_, &TSceneSetDlg::BackgroundImageClicked, this, [this] { ChooseBackgroundImage(); });
    CaptureDlg_ = new TCaptureDlg(this, showHelp);
    HelpWindow_ = new THelpWindow(this);
    CreateImageOutput();
    TrnMeshDlg_ = new TTrnMeshDlg(this);
    connect(TrnMeshDlg_, &TTrnMeshDlg::HelpClicked, this, [this] { ShowHelpContext(10); });
    TrnProgressDlg_ = new TTrnProgressDlg(this);
    TerrainTextureDlg_ = new TTerrainTextureDlg(this, Services_);

    // Stored settings replace the built-in defaults, then the units apply and the list is read.
    Document_.LoadStartSettings();
    ApplyUnits();
    RebuildReopenMenu();
    UpdateCommands();

    resize(640, 478);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TForm1::~TForm1()
{
    // A movie still being recorded is finished, not dropped with the window.
    if (Capture_.Active()) {
        try {
            Capture_.Stop();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "%s\n", error.what());
        }
    }
    if (ReadThread_) {
        ReadThread_->wait();
        delete ReadThread_;
    }
    Document_.SaveRecent();
}

QAction* TForm1::Command(const char* name) const
{
    return findChild<QAction*>(QLatin1String(name));
}

void TForm1::CreateCommands()
{
    for (const TCommandText& text : CommandTexts) {
        auto* action = new QAction(QString::fromUtf8(text.Caption), this);
        action->setObjectName(QLatin1String(text.Name));
        if (*text.Hint) {
            action->setToolTip(QLatin1String(text.Hint));
            action->setStatusTip(QLatin1String(text.Hint));
        }
        action->setCheckable(text.Checkable);
    }
    Bind("OpenDemFile1", &TForm1::ChooseDEMFile);
    connect(Command("Exit1"), &QAction::triggered, this, &QWidget::close);
    Bind("DemInfo1", &TForm1::ShowDemInfo);
    connect(Command("Options2"), &QAction::triggered, this,
            [this] { RunCommand(Services_.Messages, [this] { ShowPlotOptions(); }); });
    Bind("ReReadBtn", &TForm1::RedrawImage);
    Bind("TopoEditBtn", &TForm1::TopoEdit);
    connect(Command("ClipArrayBtn"), &QAction::triggered, this,
            [this] { RunCommand(Services_.Messages, [this] { TopoSheet_->CropToBox(); }); });
    connect(Command("UpdateBtn"), &QAction::triggered, this,
            [this] { RunCommand(Services_.Messages, [this] { TopoSheet_->UpdateTopoView(); }); });
    Bind("EditGridBtn", &TForm1::EditTopoGrid);
    Bind("FilterBtn", &TForm1::FilterTopoGrid);
    Bind("ConvertBtn", &TForm1::ConvertTopoGrid);
    Bind("SetBoxBtn", &TForm1::ResetBox);
    Bind("ExportGeoTIFF1", &TForm1::ExportGeoTIFF);
    Bind("DemErrorInfo1", &TForm1::ShowDemErrors);
    Bind("EnvironmentOptions1", &TForm1::ShowEnvironmentOptions);
    Bind("SaveUserDefaults1", &TForm1::SaveUserDefaults);
    Bind("MergeDEMFiles1", &TForm1::ShowMergeDlg);
    Bind("SaveImage1", &TForm1::SaveImage);
    Bind("CopyImage1", &TForm1::CopyImage);
    Bind("PrintImage1", &TForm1::PrintImage);
    for (const char* name : {"ZoomInBtn", "ZoomOutBtn", "PanLeftBtn", "PanRightBtn", "PanUpBtn", "PanDownBtn",
                             "YawRightBtn", "YawLeftBtn", "PitchUpBtn", "PitchDownBtn", "ResetScaleBtn"})
        connect(Command(name), &QAction::triggered, this,
                [this, name] { RunCommand(Services_.Messages, [this, name] { Navigate(name); }); });
    connect(Command("AnimateBtn"), &QAction::toggled, this, [this](bool down) {
        if (down)
            AnimationTimer_->start();
        else
            AnimationTimer_->stop();
    });
    connect(Command("StopBtn"), &QAction::triggered, this, [this] {
        AnimationTimer_->stop();
        Command("AnimateBtn")->setChecked(false);
    });
    connect(Command("SoccerBall1"), &QAction::triggered, this, [this] { ShowTestObject(stSoccerBall); });
    connect(Command("Torus1"), &QAction::triggered, this, [this] { ShowTestObject(stTorus); });
    Bind("SceneSettings1", &TForm1::ShowSceneSettings);
    Bind("SetTerrainColor1", &TForm1::SetTerrainColor);
    Bind("Lighting1", &TForm1::ShowLighting);
    Bind("Materials1", &TForm1::ShowMaterials);
    Bind("SetBaseColor1", &TForm1::SetBaseColor);
    Bind("ArmAVICapture1", &TForm1::ArmAVICapture);
    Bind("CaptureOptions1", &TForm1::ShowCaptureOptions);
    connect(Command("CaptureBtn"), &QAction::triggered, this,
            [this](bool down) { RunCommand(Services_.Messages, [this, down] { CaptureBtnClick(down); }); });
    Bind("SpecialEffects1", &TForm1::ShowSpecialEffects);
    Bind("LoadTerrainFile1", &TForm1::ChooseTerrainFileToLoad);
    Bind("SaveTerrainFile1", &TForm1::SaveTerrainFile);
    Bind("LoadXFile1", &TForm1::ChooseXFileToLoad);
    Bind("SaveXFile1", &TForm1::SaveXFile);
    Bind("ExportModel1", &TForm1::ExportModelFile);
    connect(Command("Contents1"), &QAction::triggered, this,
            [this] { RunCommand(Services_.Messages, [this] { HelpWindow_->ShowContents(); }); });
    connect(Command("KeyWordSearch1"), &QAction::triggered, this,
            [this] { RunCommand(Services_.Messages, [this] { HelpWindow_->ShowKeywordSearch(QString()); }); });
}

void TForm1::Bind(const char* command, void (TForm1::*handler)())
{
    connect(Command(command), &QAction::triggered, this,
            [this, handler] { RunCommand(Services_.Messages, [this, handler] { (this->*handler)(); }); });
}

void TForm1::CreateMenus()
{
    const auto addMenu = [this](const char* name, const char* caption) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        return menu;
    };
    const auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names)
            if (*name == '-')
                menu->addSeparator();
            else
                menu->addAction(Command(name));
    };

    QMenu* file = addMenu("File1", "&File");
    add(file, {"OpenDemFile1"});
    ReopenMenu_ = file->addMenu(QStringLiteral("&Reopen"));
    ReopenMenu_->setObjectName(QStringLiteral("Reopen1"));
    ReopenMenu_->menuAction()->setObjectName(QStringLiteral("Reopen1"));
    add(file, {"-", "LoadTerrainFile1", "SaveTerrainFile1", "-", "LoadXFile1", "SaveXFile1", "ExportModel1", "-", "SaveImage1",
               "PrintImage1", "ExportGeoTIFF1", "-"});
    QMenu* testObjects = file->addMenu(QStringLiteral("&Test Objects"));
    testObjects->setObjectName(QStringLiteral("TestObjects1"));
    testObjects->menuAction()->setObjectName(QStringLiteral("TestObjects1"));
    add(testObjects, {"SoccerBall1", "Torus1"});
    add(file, {"-", "Exit1"});

    add(addMenu("Edit1", "&Edit"), {"CopyImage1", "-", "SetTerrainColor1", "SetBaseColor1", "-", "ArmAVICapture1"});
    add(addMenu("DEM1", "DEM"), {"Options2", "-", "DemInfo1", "DemErrorInfo1"});
    add(addMenu("Terrain1", "&Terrain"), {"SpecialEffects1"});
    add(addMenu("Options1", "&Options"), {"SceneSettings1", "Lighting1", "Materials1", "-", "EnvironmentOptions1",
                                          "CaptureOptions1", "-", "SaveUserDefaults1"});
    add(addMenu("Tools1", "&Tools"), {"MergeDEMFiles1"});
    add(addMenu("Help1", "&Help"), {"Contents1", "KeyWordSearch1"});
}

QToolButton* TForm1::ToolButton(QWidget* parent, const char* command)
{
    auto* button = new QToolButton(parent);
    button->setDefaultAction(Command(command));
    button->setObjectName(QLatin1String(command));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

void TForm1::UpdateCommands()
{
    TDocumentState state = Document_.State();
    state.CaptureArmed = !ArmedCaptureFile_.empty();
    for (const TCommandInfo& command : MainCommands())
        if (QAction* action = findChild<QAction*>(QLatin1String(command.Name.data(), command.Name.size())))
            action->setEnabled(CommandEnabled(command, state));
}

void TForm1::ShowCaption()
{
    setWindowTitle(QString::fromStdString(Document_.Caption()));
}

void TForm1::RebuildReopenMenu()
{
    ReopenMenu_->clear();
    const std::vector<std::string>& entries = Document_.Recent.Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        QAction* item = ReopenMenu_->addAction(MenuCaption(Document_.Recent.Caption(i)));
        item->setObjectName(QStringLiteral("ReopenItem%1").arg(i));
        const QString path = QString::fromStdString(entries[i]);
        item->setData(path);
        connect(item, &QAction::triggered, this, [this, path] { OpenDEMFile(path); });
    }
}

void TForm1::ApplyUnits()
{
    const QString suffix = QLatin1Char(' ') + QLatin1String(Document_.Units().UnitSuffix());
    for (const char* name : {"ContourSpinEdit", "OverlayIntervalSpin"})
        if (auto* spin = findChild<QDoubleSpinBox*>(QLatin1String(name)))
            spin->setSuffix(suffix);
    TopoSheet_->UnitsChanged();
}

// Start-up and the first activation.

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A window manager may never activate the window (a virtual display has none); the
    // first showing counts as the first activation then.
    if (FirstActivation_)
        QTimer::singleShot(0, this, [this] { FirstActivate(); });
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && FirstActivation_)
        QTimer::singleShot(0, this, [this] { FirstActivate(); });
}

void TForm1::FirstActivate()
{
    if (!FirstActivation_)
        return;
    FirstActivation_ = false;
    RunCommand(Services_.Messages, [this] { CreateTerrainObjects(); });
    RunCommand(Services_.Messages, [this] { OpenCommandLineFile(); });
}

void TForm1::OpenCommandLineFile()
{
    if (CommandLineFile_.isEmpty())
        return;
    const QFileInfo info(CommandLineFile_);
    if (!info.isFile())
        return;
    QDir::setCurrent(info.absolutePath());
    switch (CommandLineKind(info.absoluteFilePath().toStdString())) {
    case ckDEM:
        OpenDEMFile(info.absoluteFilePath());
        break;
    case ckTerrainFile:
        LoadTerrainFile(info.absoluteFilePath());
        break;
    case ckXFile:
        LoadXFile(info.absoluteFilePath(), false);
        break;
    case ckNone:
        break;
    }
}

// The open flow.

void TForm1::ChooseDEMFile()
{
    const QString path =
        Services_.Files.OpenFile({QStringLiteral("Open Digital Elevation Model Files"),
                                  QStringLiteral("DEM Data (*.DEM *.dem);;SDTS CEL File (????CEL?.ddf ????CEL?.DDF);;"
                                                 "GeoTIFF (*.tif *.tiff *.TIF *.TIFF);;SRTM Height File (*.hgt *.HGT);;"
                                                 "ASCII Grid (*.asc *.ASC);;All Files(*)"),
                                  QDir::currentPath(), QStringLiteral("*.DEM"), QStringLiteral("DEM")});
    if (!path.isEmpty())
        OpenDEMFile(path);
}

void TForm1::OpenDEMFile(const QString& fileName)
{
    if (Document_.State().Opening)
        return; // one read at a time; the commands that start one are disabled meanwhile
    RunCommand(Services_.Messages, [&] {
        MainPageControl_->setCurrentIndex(0);
        // The working folder changes below, so a relative name must not be read relative to it.
        const std::string path = QFileInfo(fileName).absoluteFilePath().toStdString();
        try {
            Document_.BeginOpen(path);
        } catch (...) {
            ShowCaption();
            RebuildReopenMenu();
            throw;
        }
        ShowCaption();
        RebuildReopenMenu();
        ErrorDis_->clear();
        UpdateCommands();
        repaint();
        if (Document_.PlotOptions().ImageContourInterval == 0)
            Document_.PlotOptions().ImageContourInterval = 1;
        ShowPlotOptions(); // confirmed or not, the file is read

        auto result = std::make_shared<TReadResult>();
        ReadThread_ = QThread::create([result, path] {
            try {
                LoadElevationFile(path, result->Grid);
            } catch (...) {
                result->Error = std::current_exception();
            }
        });
        connect(ReadThread_, &QThread::finished, this, [this, result] {
            ReadThread_->deleteLater();
            ReadThread_ = nullptr;
            FinishRead(*result);
        });
        ProgressBar1_->setRange(0, 0); // a read reports no percentage: the bar runs busy
        ReadThread_->start();
    });
}

void TForm1::FinishRead(TReadResult& result)
{
    ProgressBar1_->setRange(0, 100);
    ProgressBar1_->setValue(0);
    if (result.Error) {
        Document_.FailOpen();
        UpdateCommands();
        RunCommand(Services_.Messages, [&] { std::rethrow_exception(result.Error); });
        emit OpenFinished(false);
        return;
    }
    Document_.FinishOpen(std::move(result.Grid));
    UpdateColorBarRange();
    TSelectionBox& box = DEMImage_->OverClipBox();
    box.Hide();
    DrawMap();
    const TDEMInfo& info = Document_.CurrentDEM.Info;
    QString defects = QString::fromStdString(info.ErrorCount > 0 ? info.ErrorText : std::string());
    defects.replace(QLatin1String("\r\n"), QLatin1String("  ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    ErrorDis_->setText(defects.trimmed());
    ErrorDis_->setToolTip(QString::fromStdString(info.ErrorText).trimmed());
    box.SetRectIfChanged(Document_.FullImageRect);
    box.Show();
    DEMImage_->Refresh();
    Document_.DemSelection = box.Rect();
    UpdateSelectionSize();
    UpdateCornerLabels();
    ShowDocumentSummary();
    UpdateCommands();
    emit OpenFinished(true);
}

bool TForm1::WaitForOpen(int timeoutMs)
{
    if (!Document_.State().Opening)
        return true;
    QEventLoop loop;
    connect(this, &TForm1::OpenFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return !Document_.State().Opening;
}

// The other commands.

void TForm1::ShowEnvironmentOptions()
{
    EnvironDlg_->SetUnits(Document_.Units());
    if (Services_.RunDialog(*EnvironDlg_) != QDialog::Accepted)
        return;
    Document_.SetUnits(EnvironDlg_->Units());
    ApplyUnits();
    if (Document_.State().DEMLoaded) {
        UpdateCornerLabels();
        UpdateColorBarRange();
    }
    ShowDocumentSummary();
}

bool TForm1::ShowPlotOptions()
{
    PlotOptsDlg_->LoadOptions(Document_.PlotOptions());
    if (Services_.RunDialog(*PlotOptsDlg_) != QDialog::Accepted)
        return false;
    TPlotOptions options = Document_.PlotOptions();
    PlotOptsDlg_->StoreOptions(options);
    Document_.SetPlotOptions(options);
    return true;
}

void TForm1::RedrawImage()
{
    if (Document_.CurrentDEM.Cols() == 0 || Document_.CurrentDEM.Rows() == 0)
        return;
    if (!ShowPlotOptions())
        return;
    TSelectionBox& box = DEMImage_->OverClipBox();
    box.Hide();
    DrawMap();
    box.Show();
    DEMImage_->Refresh();
}

void TForm1::ResetBox()
{
    TSelectionBox& box = DEMImage_->OverClipBox();
    box.SetRectIfChanged(Document_.FullImageRect);
    DEMImage_->Refresh();
    Document_.DemSelection = box.Rect();
}

void TForm1::ExportGeoTIFF()
{
    const QString base = QFileInfo(QString::fromStdString(Document_.FileName())).completeBaseName();
    const QString path = Services_.Files.SaveFile(
        {QStringLiteral("Export GeoTIFF"), QStringLiteral("GeoTIFF (*.tif *.tiff);;All Files(*)"), QDir::currentPath(),
         base + QStringLiteral(".tif"), QStringLiteral("tif")});
    if (path.isEmpty())
        return;
    SaveGeoTIFFFile(Document_.CurrentDEM, path.toStdString());
}

// The map view.

void TForm1::DrawMap()
{
    const TDEMArray& dem = Document_.CurrentDEM;
    DrawElevationImage(DEMImage_->Picture(), dem, Document_.PlotOptions(), ColorBar1_->Bar(), Document_.Units(),
                       ImageState_);
    ColorSpacing_ = (dem.Info.DataMax - dem.Info.DataMin) / 15.0;
    DEMImage_->PictureChanged();
}

void TForm1::SetLabel(const char* name, const std::string& text)
{
    if (auto* label = findChild<QLabel*>(QLatin1String(name)))
        label->setText(QString::fromStdString(text));
}

void TForm1::UpdateCornerLabels()
{
    const QScrollBar* horz = DEMScrollBox_->horizontalScrollBar();
    const QScrollBar* vert = DEMScrollBox_->verticalScrollBar();
    const int clientHeight = DEMScrollBox_->viewport()->height();
    TScrollState scroll;
    scroll.Width = DEMScrollBox_->width();
    scroll.Height = DEMScrollBox_->height();
    scroll.HorzPosition = horz->value();
    // The range is the whole picture's height, so range - position - client height is the
    // part of the picture below the visible area.
    scroll.VertRange = vert->maximum() + clientHeight;
    scroll.VertPosition = vert->value();
    scroll.ClientHeight = clientHeight;
    const TCornerLabels labels = CornerLabels(Document_.CurrentDEM.Info, scroll, Document_.Units());
    SetLabel("SWEastDis", labels.SWEast);
    SetLabel("SWNorthDis", labels.SWNorth);
    SetLabel("NWEastDis", labels.NWEast);
    SetLabel("NWNorthDis", labels.NWNorth);
    SetLabel("NEEastDis", labels.NEEast);
    SetLabel("NENorthDis", labels.NENorth);
    SetLabel("SEEastDis", labels.SEEast);
    SetLabel("SENorthDis", labels.SENorth);
}

void TForm1::UpdateColorBarRange()
{
    const TBarRange range = ColorBarRange(Document_.CurrentDEM.Info, Document_.Units());
    ColorBar1_->Bar().SetRange(range.Top, range.Bottom);
    ColorBar1_->update();
}

void TForm1::UpdateSelectionSize()
{
    SetLabel("PointsDis", SelectionSizeText(Document_.DemSelection));
}

void TForm1::ShowCursor(int x, int y)
{
    if (!Document_.State().DEMLoaded)
        return;
    const TCursorReadout readout = CursorReadout(Document_.CurrentDEM.Info, x, y, Document_.Units());
    SetLabel("CursorEastDis", readout.East);
    SetLabel("CursorNorthDis", readout.North);
}

void TForm1::TopoEdit()
{
    TopoSheet_->LoadSelection(Document_.CurrentDEM, Document_.DemSelection, [this] { ShowPage(1); });
    if (!TopoSheet_->Document().Grid.Empty())
        OfferTopoPicture([this] { return TopoSheet_->TopoImage().Picture(); });
}

void TForm1::EditTopoGrid()
{
    if (!KvxEditDlg_->ShowElevationEditor(TopoSheet_->Document(), Document_.Units()))
        return;
    TWaitCursor wait;
    TopoSheet_->RefreshAfterEdit(KvxEditDlg_->UpdateContourIntervals());
    ShowPage(1);
}

// The filter dialog refuses an empty topo grid itself, with the same message.
void TForm1::FilterTopoGrid()
{
    FilterDlg_->ShowFilter(TopoSheet_->Document());
}

void TForm1::ConvertTopoGrid()
{
    if (!TopoSheet_->TopoTerrainLoaded())
        return;
    RunConversion(TopoSheet_->Document());
}

void TForm1::ShowDemInfo()
{
    DemInfoDlg_->SetLines(DEMInfoLines(Document_.CurrentDEM.Info, ColorSpacing_, Document_.Units()));
    Services_.RunDialog(*DemInfoDlg_);
}

void TForm1::ShowDemErrors()
{
    DemErrorDlg_->SetLines(DEMErrorLines(Document_.CurrentDEM.Info));
    Services_.RunDialog(*DemErrorDlg_);
}

void TForm1::ShowMergeDlg()
{
    Services_.RunDialog(*MergeDlg_);
}

void TForm1::SaveUserDefaults()
{
    Document_.SaveUserDefaults();
}

void TForm1::ShowHelpContext(int context)
{
    RunCommand(Services_.Messages, [&] { HelpWindow_->ShowContext(context); });
}

} // namespace kv

namespace kv {

void TForm1::ShowPage(int index)
{
    MainPageControl_->setCurrentIndex(index);
}

// The "3D Model Editor" page.

void TForm1::Navigate(const char* command)
{
    TGLObject& frame = GLViewer_->BaseFrame();
    const double inc = IncSpin_->value();
    const std::string_view name(command);
    if (name == "ZoomInBtn" || name == "ZoomOutBtn") {
        const TGLObject* mesh = GLViewer_->FirstMesh();
        const double s = frame.ScaleFactor(mesh ? *mesh : frame);
        frame.Move(0, 0, name == "ZoomInBtn" ? inc / s : -inc / s);
    } else if (name.starts_with("Pan")) {
        const double v = inc / frame.ScaleFactor(frame);
        if (name == "PanLeftBtn")
            frame.Move(v, 0, 0);
        else if (name == "PanRightBtn")
            frame.Move(-v, 0, 0);
        else if (name == "PanUpBtn")
            frame.Move(0, -v, 0);
        else
            frame.Move(0, v, 0);
    } else if (name == "YawRightBtn") {
        frame.RotateBy(0, -inc, 0);
    } else if (name == "YawLeftBtn") {
        frame.RotateBy(0, inc, 0);
    } else if (name == "PitchUpBtn") {
        frame.RotateBy(-inc, 0, 0);
    } else if (name == "PitchDownBtn") {
        frame.RotateBy(inc, 0, 0);
    } else if (name == "ResetScaleBtn") {
        frame.Reset();
    }
    GLViewer_->update();
}

void TForm1::UpdateViewStatistics()
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    const auto whole = [&](double value) {
        return locale.toString(std::isfinite(value) ? static_cast<qlonglong>(std::llround(value)) : 0LL);
    };
    const auto oneDecimal = [](double value) { return QString::number(value, 'f', 1); };
    const auto set = [this](const char* name, const QString& text) {
        if (auto* label = findChild<QLabel*>(QLatin1String(name)))
            label->setText(text);
    };
    const TGLObject& frame = GLViewer_->BaseFrame();
    set("DisPosX", oneDecimal(frame.Position.x));
    set("DisPosY", oneDecimal(frame.Position.y));
    set("DisPosZ", oneDecimal(frame.Position.z));
    const Vector3D euler = QuaternionToEuler(frame.Orientation);
    set("YawDis", oneDecimal(euler.y));
    set("PitchDis", oneDecimal(euler.x));
    set("RollDis", oneDecimal(euler.z));
    const auto triangles = static_cast<double>(GLViewer_->TriangleCount());
    const double frameTime = GLViewer_->FrameTime();
    set("TriangleDis", whole(triangles));
    set("FPSDis", whole(GLViewer_->FPS()));
    set("TPSDis", whole(frameTime > 0 ? triangles / frameTime : 0));
}

void TForm1::ShowTestObject(TSceneType type)
{
    MainPageControl_->setCurrentIndex(2);
    GLViewer_->SetSceneType(type);
    GLViewer_->SetShowDefaultScene(false);
    GLViewer_->SetShowDefaultScene(true);
    GLViewer_->update();
}

void TForm1::CreateTerrainObjects()
{
    // The overlay bitmap joins here with the overlay editor; the depth texture lives in the
    // colouring dialog.
    const TTerrainObjects objects = kv::CreateTerrainObjects(GLViewer_->BaseFrame());
    TerrainMesh_ = objects.Terrain;
    BaseMesh_ = objects.Base;
    // The viewer shows its figure in the first mesh, which is now the terrain mesh.
    GLViewer_->RebuildDefaultScene();
    GLViewer_->update();
}

void TForm1::ChooseMeshColor(TGLMesh* mesh)
{
    if (!mesh)
        return;
    uint32_t color = mesh->GetColor();
    if (!Services_.ChooseColor || !Services_.ChooseColor(color))
        return;
    mesh->SetColor(color);
    GLViewer_->update();
}

void TForm1::SetTerrainColor()
{
    ChooseMeshColor(TerrainMesh_);
}

void TForm1::SetBaseColor()
{
    ChooseMeshColor(BaseMesh_);
}

void TForm1::SetShading(int mode)
{
    for (TGLMesh* mesh : {TerrainMesh_, BaseMesh_})
        if (mesh)
            mesh->SetRenderMode(static_cast<uint8_t>(mode));
    GLViewer_->SetWireFrameLight(mode == 0);
    const char* items[] = {"WireBtn", "FlatBtn", "SmoothBtn"};
    if (auto* radio = findChild<QRadioButton*>(QLatin1String(items[std::clamp(mode, 0, 2)])))
        radio->setChecked(true);
    GLViewer_->update();
}

void TForm1::ShowSceneSettings()
{
    SceneSetDlg_->ResetControls();
    Services_.RunDialog(*SceneSetDlg_);
}

void TForm1::ShowLighting()
{
    LightingDlg_->Show(*GLViewer_);
}

void TForm1::ShowMaterials()
{
    MaterialsDlg_->Show(*GLViewer_);
}

void TForm1::ApplyFogSettings()
{
    const TFogSettings settings = SceneSetDlg_->Fog();
    TGLFog& fog = GLViewer_->Fog();
    fog.SetFogMode(settings.Mode);
    fog.SetFogStart(settings.Start);
    fog.SetFogEnd(settings.End);
    fog.SetDensity(settings.Density);
    fog.SetEnabled(settings.Enabled);
    GLViewer_->update();
}

void TForm1::ChooseBackgroundColor()
{
    uint32_t color = GLViewer_->ScreenColor();
    if (Services_.ChooseColor && Services_.ChooseColor(color))
        GLViewer_->SetScreenColor(color);
}

void TForm1::ChooseBackgroundImage()
{
    RunCommand(Services_.Messages, [this] {
        const QString path = Services_.Files.OpenFile(
            {QStringLiteral("Open Bitmap Image"), QStringLiteral("Bitmaps (*.bmp);;All Files (*)"), QDir::currentPath(),
             QStringLiteral("*.bmp"), QStringLiteral("bmp")});
        if (path.isEmpty())
            return;
        TGLBackTexture& back = GLViewer_->BackTexture();
        LoadTextureFile(back, path.toStdString(), true);
        back.Enabled = true;
        GLViewer_->update();
    });
}

void TForm1::ChooseFogColor()
{
    uint32_t color = GLViewer_->Fog().FogColor();
    if (!Services_.ChooseColor || !Services_.ChooseColor(color))
        return;
    GLViewer_->Fog().SetFogColor(color);
    ApplyFogSettings();
}

bool TForm1::RunConversion(const TTopoDocument& topo)
{
    if (Converting_ || !TerrainMesh_ || !BaseMesh_)
        return false;
    if (!TopoTerrainLoaded(topo)) {
        Services_.Messages.Error(QString::fromLatin1(NoTerrainLoadedMessage).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        return false;
    }
    TrnMeshDlg_->SetGrid(topo.Grid.Cols(), topo.Grid.Rows(), double(AvailableMemoryBytes()));
    if (Services_.RunDialog(*TrnMeshDlg_) != QDialog::Accepted)
        return false;
    ShowPage(2);
    // The overlay editor's contour interval follows the topo editor's when that page exists.

    TTerrainSource source;
    source.Grid = &topo.Grid;
    source.EastSpacing = topo.Spacing.East;
    source.NorthSpacing = topo.Spacing.North;
    source.ElevationToMetres = Document_.CurrentDEM.Info.ElevUnits == ucFeet ? MetersPerFoot : 1.0;
    source.UnitFactor = Document_.Units().UnitFactor();

    // The conversion keeps the event loop blocked: the progress window repaints its labels
    // itself, and the flag turns away any command that would start a second conversion.
    Converting_ = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    TrnProgressDlg_->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const auto finish = [this] {
        TrnProgressDlg_->hide();
        QGuiApplication::restoreOverrideCursor();
        Converting_ = false;
    };
    try {
        TConvertProgress progress;
        progress.Action = [this](const std::string& text) { TrnProgressDlg_->SetAction(QString::fromStdString(text)); };
        progress.Point = [this](const std::string& text) { TrnProgressDlg_->SetPoint(QString::fromStdString(text)); };
        progress.ResetScene = [this] {
            // The test figure no longer takes the terrain mesh.
            GLViewer_->SetShowDefaultScene(false);
            GLViewer_->BaseFrame().Reset();
        };
        ConvertTerrain(source, TrnMeshDlg_->Settings(), *TerrainMesh_, *BaseMesh_, progress);
        GLViewer_->FitToView();
        GLViewer_->update();
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return true;
}

TTopoDocument& TForm1::TopoDocument()
{
    return TopoSheet_->Document();
}

bool TForm1::ConvertSelection(const TRect& box)
{
    Document_.DemSelection = box;
    DEMImage_->OverClipBox().SetRect(box);
    TopoEdit();
    if (TopoSheet_->Document().Grid.Empty())
        return false;
    return RunConversion(TopoSheet_->Document());
}

void TForm1::ShowSpecialEffects()
{
    if (!TerrainMesh_)
        return;
    TerrainTextureDlg_->SetTarget(TerrainMesh_, [this] { GLViewer_->update(); });
    Services_.RunDialog(*TerrainTextureDlg_);
}

} // namespace kv
