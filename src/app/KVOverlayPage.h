#pragma once
// The "Overlay Editor" page: a picture loaded or pasted, prepared as a texture, the topo grid's
// contours drawn over it in a frame the user moves, stretches and turns with the buttons and the
// mouse, and "Apply Overlay", which drapes the picture over the terrain mesh. The logic lives in
// src/overlay; this page binds it to the controls.

#include "app/KVServices.h"
#include "mapview/TopoGrid.h"
#include "overlay/KVOverlay.h"
#include "overlay/OverlayApply.h"
#include "platform/Units.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace kv {

class TGLMesh;
class TOverlayDlg;
class TOverlayPaintBox;

// What the page needs from the main window.
struct TOverlayContext {
    std::function<const TTopoDocument*()> Topo; // the topo editor's grid; null while there is none
    std::function<TUnits()> Units;              // the working units
    std::function<TGLMesh*()> TerrainMesh;      // the mesh to drape; null or empty: nothing to apply
    std::function<void()> ShowOverlayPage;      // makes this page current
    std::function<void()> ShowModelPage;        // makes the "3D Model Editor" page current
    std::function<void()> TerrainChanged;       // the viewer repaints
    std::function<void(int percent)> Progress;  // the main window's progress bar (0 hides it)
    std::function<void(bool shown)> PictureChanged; // after each repaint: whether a picture shows
};

class TOverlayPage : public QWidget {
    Q_OBJECT

public:
    TOverlayPage(TAppServices services, TOverlayContext context, QWidget* parent = nullptr);
    ~TOverlayPage() override;

    TOverlayDocument& Document() { return Doc_; }
    // Where the topo grid comes from (the topo editor's document); null: none yet.
    void SetTopoSource(std::function<const TTopoDocument*()> topo) { Context_.Topo = std::move(topo); }
    TOverlayDlg& OptionsDlg() { return *OptionsDlg_; }

    // "Load Image": the chooser, "Reset Parameters?", then LoadOverlayFile.
    void LoadOverlayImage();
    // Reads the file (a bad one leaves the overlay as it was) and prepares it.
    void LoadOverlayFile(const QString& fileName, bool reset);
    // "Paste Image": the clipboard's picture, prepared with a reset.
    void PasteOverlayImage();
    // A picture from elsewhere (tests, the screenshot run), prepared with a reset.
    void SetOverlayPicture(const TBitmap& picture, const QString& fileName);
    // "Reset": the fit, no turn, repaint.
    void ResetOverlay();
    void Step(TOverlayStep step);
    // "Apply Overlay": the 3D page, the picture draped over the terrain mesh, a repaint.
    void ApplyOverlayToTerrain();
    // "Options": the dialog, modally.
    void ShowOptions();
    // Repaints the picture with the contours (the interval, invert and hide settings apply).
    void Repaint();
    // Enables "Apply Overlay" when there is a picture and a terrain mesh with faces.
    void UpdateApplyEnabled();
    // What the paint box shows now.
    const QImage& Picture() const { return Image_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PrepareOverlay(bool reset);
    void ResizeOverlay();
    void NewColorFormat();
    void ChooseLineColor();
    void UpdateReadouts();
    void MousePressed(int x, int y);
    void MouseMoved(int x, int y, bool leftDown);
    void MouseReleased();
    int32_t GridCols() const;
    int32_t GridRows() const;
    TOverlayGround Ground() const;

    TAppServices Services_;
    TOverlayContext Context_;
    TOverlayDocument Doc_;
    TBitmap Loaded_; // the picture as loaded, before resampling
    TBitmap Screen_;
    QImage Image_;
    bool Painting_ = false;
    bool PaintAgain_ = false;

    TOverlayDlg* OptionsDlg_ = nullptr;
    TOverlayPaintBox* OverPaintBox_ = nullptr;
    QScrollArea* OverScrollBox_ = nullptr;
    QGroupBox* GroupBox2_ = nullptr;
    QDoubleSpinBox* OverIncSpin_ = nullptr;
    QSpinBox* OverlayIntervalSpin_ = nullptr;
    QCheckBox* InvertChk_ = nullptr;
    QCheckBox* HideContourChk_ = nullptr;
    QPushButton* ApplyOverBtn_ = nullptr;
    QLabel* MouseDis_ = nullptr;
    QLabel* RotationDis_ = nullptr;
    QLabel* OriginDis_ = nullptr;
    QLabel* ScaleDis_ = nullptr;
};

} // namespace kv
