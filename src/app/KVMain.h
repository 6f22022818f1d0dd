#pragma once
// The main window: four pages, the menus, the progress bar, and the commands that drive the
// document. The window keeps little logic of its own: the document (KVDocument), the enabling
// rule (KVCommands) and the dialogs' forms do the work; every command runs through RunCommand
// so that no error ever reaches Qt's event loop.

#include "app/KVDocument.h"
#include "app/KVServices.h"
#include "capture/CaptureThrottle.h"
#include "capture/avilib.h"
#include "gl/GLTestFigures.h"
#include "mapview/DEMImage.h"
#include "mapview/TopoGrid.h"
#include "scenefiles/SceneProgress.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QScrollArea;
class QTabWidget;
class QThread;
class QDoubleSpinBox;
class QTimer;
class QToolButton;

namespace kv {

class TCaptureDlg;
class TColorBarView;
class TDEMImageView;
class TDemErrorDlg;
class TDemInfoDlg;
class TEnvironDlg;
class TFilterDlg;
class TKvxEditDlg;
class TGLBaseFrame;
class TGLMesh;
class TLightingDlg;
class TMaterialsDlg;
class TGLViewer;
class TImageOutput;
class TSceneSetDlg;
class TTopoSheet;
class THelpWindow;
class TMergeDlg;
class TOverlayPage;
class TTerrainTextureDlg;
class TTrnMeshDlg;
class TTrnProgressDlg;
class TPlotOptsDlg;

struct TMainOptions {
    std::filesystem::path SettingsFolder; // where "Korvela.ini" and "XKorvela.ini" live
    QString CommandLineFile;              // the first command-line argument, or empty
    std::optional<TAppServices> Services; // default: the desktop's dialogs and message boxes
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(TMainOptions options);
    ~TForm1() override;

    TDocument& Document() { return Document_; }
    const TAppServices& Services() const { return Services_; }

    // "&Open Dem File...": the file chooser, then OpenDEMFile.
    void ChooseDEMFile();
    // The open flow. The file is read on a worker thread while the progress bar runs; the
    // window stays responsive and OpenFinished reports the end.
    void OpenDEMFile(const QString& fileName);
    // Waits (running the event loop) until no file is being read; false on timeout.
    bool WaitForOpen(int timeoutMs);
    // Runs once, at the first activation: the file named on the command line.
    void FirstActivate();

    void ShowEnvironmentOptions();
    // "&Plot Options...": true when the user confirmed the dialog.
    bool ShowPlotOptions();
    // "Redraw": the plot options, then a new drawing of the map on OK.
    void RedrawImage();
    // "Reset Box": the selection back over the whole map.
    void ResetBox();
    // "Export GeoTIFF...": the current grid as a GeoTIFF.
    void ExportGeoTIFF();
    void ShowDemInfo();
    void ShowDemErrors();
    void ShowMergeDlg();
    void SaveUserDefaults();
    void ShowHelpContext(int context);
    THelpWindow& HelpWindow() { return *HelpWindow_; }

    // The "Topo Editor" page.
    TTopoSheet& TopoSheet() { return *TopoSheet_; }
    // "Edit" on the map page: the map selection into the topo editor, whose page comes up.
    void TopoEdit();
    // " Edit Grid", "Filter" and "Convert 3D" on the topo editor's page.
    void EditTopoGrid();
    void FilterTopoGrid();
    void ConvertTopoGrid();

    // Makes page `index` of the page control current (0 "DEM Reader" ... 3 "Overlay Editor").
    void ShowPage(int index);

    // The "3D Model Editor" page.
    TGLViewer& GLViewer() { return *GLViewer_; }
    QTimer& AnimationTimer() { return *AnimationTimer_; }
    // "&Test Objects": the 3D page with the figure of that type.
    void ShowTestObject(TSceneType type);
    // "Shading": render mode 0 wire, 1 flat, 2 smooth of the scene's meshes; wire turns the
    // viewer's wire-frame light on.
    void SetShading(int mode);
    void ShowSceneSettings();
    // "Set &Terrain Color...", "Set &Base Color...": the colour chooser preset to the mesh's colour.
    void SetTerrainColor();
    void SetBaseColor();
    // The two meshes of the terrain, created at the first activation; null before.
    TGLMesh* TerrainMesh() const { return TerrainMesh_; }
    TGLMesh* BaseMesh() const { return BaseMesh_; }
    TSceneSetDlg& SceneSetDlg() { return *SceneSetDlg_; }
    // "Convert 3D": the conversion settings for the topo grid, then on "Process File" the 3D page
    // with the grid converted into the terrain and base meshes, fitted into the view. The topo
    // editor's button calls it. An empty grid shows the "No Terrain Loaded" error; a call while a
    // conversion runs does nothing. True when a conversion ran to its end.
    bool RunConversion(const TTopoDocument& topo);
    bool Converting() const { return Converting_; }
    // The map's selection box (picture pixels) copied into the topo document as "Edit" copies it,
    // then RunConversion: the --screenshot --box route.
    bool ConvertSelection(const TRect& box);
    // The topo editor's document (what "Edit" copied).
    TTopoDocument& TopoDocument();
    TTrnMeshDlg& TrnMeshDlg() { return *TrnMeshDlg_; }
    TTrnProgressDlg& TrnProgressDlg() { return *TrnProgressDlg_; }
    // "Special Effects...": the terrain colouring dialog, modal.
    void ShowSpecialEffects();
    TTerrainTextureDlg& TerrainTextureDlg() { return *TerrainTextureDlg_; }
    // "&Lighting...": the modeless lighting dialog on the viewer.
    void ShowLighting();
    TLightingDlg& LightingDlg() { return *LightingDlg_; }
    // "Materials...": the modeless materials dialog on the viewer's objects.
    void ShowMaterials();
    TMaterialsDlg& MaterialsDlg() { return *MaterialsDlg_; }

    // "&Arm AVI Capture...": chooses the movie file and enables the capture button.
    void ArmAVICapture();
    // "&Capture Options...".
    void ShowCaptureOptions();
    TCaptureDlg& CaptureDlg() { return *CaptureDlg_; }
    // The capture button pressed (start) or released (stop; a new file must be armed).
    void CaptureBtnClick(bool down);
    bool CaptureActive() const { return Capture_.Active(); }
    int32_t CapturedFrames() const { return CaptureThrottle_.FrameCount(); }
    // The "Overlay Editor" page.
    TOverlayPage& OverlayPage() { return *OverlayPage_; }
    // "&Load Terrain File...": both terrain meshes emptied, the base frame reset, the file's
    // objects appended with rendering suspended, the terrain mesh smoothed, the scene fitted to
    // the view on the 3D page; progress on the progress bar.
    void LoadTerrainFile(const QString& fileName);
    // "Load &X File..." the same way with the X file reader, whose meshes refill the terrain and
    // base meshes first. From the command line (prepare false) the file is read straight into
    // the scene: no progress, no reset, no smoothing, no page change.
    void LoadXFile(const QString& fileName, bool prepare);
    void ChooseTerrainFileToLoad();
    void SaveTerrainFile();
    void ChooseXFileToLoad();
    void SaveXFile();
    // "Export Model...": the meshes as .glb, .obj, .ply or .x by the chosen name.
    void ExportModelFile();

    TEnvironDlg& EnvironDlg() { return *EnvironDlg_; }
    // The topo editor's " Edit Grid" and "Filter" dialogs (ShowElevationEditor, ShowFilter).
    TKvxEditDlg& KvxEditDlg() { return *KvxEditDlg_; }
    TFilterDlg& FilterDlg() { return *FilterDlg_; }
    TDemInfoDlg& DemInfoDlg() { return *DemInfoDlg_; }
    TDemErrorDlg& DemErrorDlg() { return *DemErrorDlg_; }
    TMergeDlg& MergeDlg() { return *MergeDlg_; }
    TPlotOptsDlg& PlotOptsDlg() { return *PlotOptsDlg_; }
    TDEMImageView& DEMImage() { return *DEMImage_; }
    TColorBarView& ColorBar() { return *ColorBar1_; }

    // "Save Image As &Bitmap...", "&Copy Image", "&Print Image...": the picture of a page chosen
    // in "Select Image". The map and the 3D view offer theirs; the topo and overlay pages add
    // theirs with ImageOutput().SetGrabber.
    TImageOutput& ImageOutput() { return *ImageOutput_; }
    // The "Topo Editor" page's picture (the whole of it for every command), taken after the page
    // was made current and repainted; an empty function withdraws it.
    void OfferTopoPicture(std::function<TBitmap()> picture);
    // The overlay page's picture for the image commands, while one shows.
    void OfferOverlayPicture(bool shown);
    void SaveImage();
    void CopyImage();
    void PrintImage();

    // Applies the enabling rule of KVCommands to every command.
    void UpdateCommands();

signals:
    void OpenFinished(bool succeeded);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct TReadResult;

    void CreateCommands();
    void CreateMenus();
    QWidget* CreateDEMSheet();
    QWidget* CreateTopoSheet();
    QWidget* CreateDirectXSheet();
    QWidget* CreateOverlaySheet();
    QAction* Command(const char* name) const;
    QToolButton* ToolButton(QWidget* parent, const char* command);
    void Bind(const char* command, void (TForm1::*handler)());

    void OpenCommandLineFile();
    void FinishRead(TReadResult& result);
    void ShowCaption();
    void RebuildReopenMenu();
    void ApplyUnits();
    void ShowDocumentSummary();
    void DrawMap();
    void UpdateCornerLabels();
    void UpdateColorBarRange();
    void UpdateSelectionSize();
    void ShowCursor(int x, int y);
    void SetLabel(const char* name, const std::string& text);
    void Navigate(const char* command);
    void UpdateViewStatistics();
    void ApplyFogSettings();
    void ChooseBackgroundColor();
    void ChooseBackgroundImage();
    void ChooseFogColor();
    void CreateTerrainObjects();
    void ChooseMeshColor(TGLMesh* mesh);
    void OfferCaptureFrame();
    void EndCapture(const QString& message);
    uint32_t CaptureNow() const;
    void CreateImageOutput();
    TProgressCallback ProgressToBar();
    void ReadIntoScene(const std::function<void(TGLBaseFrame&)>& read, bool prepare, bool resetAfterRead);

    TDocument Document_;
    TAppServices Services_;
    QString CommandLineFile_;
    bool FirstActivation_ = true;
    QThread* ReadThread_ = nullptr;

    QTabWidget* MainPageControl_ = nullptr;
    QProgressBar* ProgressBar1_ = nullptr;
    QMenu* ReopenMenu_ = nullptr;
    QLabel* ErrorDis_ = nullptr;
    QScrollArea* DEMScrollBox_ = nullptr;
    TDEMImageView* DEMImage_ = nullptr;
    TColorBarView* ColorBar1_ = nullptr;
    TTopoSheet* TopoSheet_ = nullptr;
    TDEMImageState ImageState_;
    double ColorSpacing_ = 0.0; // band spacing of the last drawing, in the grid's unit

    TPlotOptsDlg* PlotOptsDlg_ = nullptr;
    TEnvironDlg* EnvironDlg_ = nullptr;
    TKvxEditDlg* KvxEditDlg_ = nullptr;
    TFilterDlg* FilterDlg_ = nullptr;
    TDemErrorDlg* DemErrorDlg_ = nullptr;
    TMergeDlg* MergeDlg_ = nullptr;
    TDemInfoDlg* DemInfoDlg_ = nullptr;
    THelpWindow* HelpWindow_ = nullptr;
    TSceneSetDlg* SceneSetDlg_ = nullptr;
    TLightingDlg* LightingDlg_ = nullptr;
    TMaterialsDlg* MaterialsDlg_ = nullptr;
    TCaptureDlg* CaptureDlg_ = nullptr;

    std::filesystem::path ArmedCaptureFile_; // empty: no capture armed
    TVideoCapture Capture_;
    TCaptureThrottle CaptureThrottle_;
    bool CaptureLimited_ = false;
    QElapsedTimer CaptureClock_;
    TBitmap CapturePicture_; // the viewer's last picture, reused from frame to frame
    std::unique_ptr<TImageOutput> ImageOutput_;
    TTrnMeshDlg* TrnMeshDlg_ = nullptr;
    TTrnProgressDlg* TrnProgressDlg_ = nullptr;
    TTerrainTextureDlg* TerrainTextureDlg_ = nullptr;
    bool Converting_ = false;

    TGLViewer* GLViewer_ = nullptr;
    QTimer* AnimationTimer_ = nullptr;
    QDoubleSpinBox* IncSpin_ = nullptr;
    TGLMesh* TerrainMesh_ = nullptr;
    TGLMesh* BaseMesh_ = nullptr;
    TOverlayPage* OverlayPage_ = nullptr;
};

} // namespace kv
