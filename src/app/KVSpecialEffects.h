#pragma once
// "Terrain Special Effects": recolours the terrain mesh by height ("Color Faces"), by slope
// ("Color By Slope") or wraps it in a height-ramp texture ("Color Depth"), with the colours of
// two bars the user edits here: boundaries dragged, colours set, blended or dragged from one
// band onto another. The work is done by terrain/TerrainColoring; this is the form.

#include "app/KVServices.h"
#include "platform/Bitmap.h"

#include <QDialog>

#include <functional>

class QLabel;
class QTabWidget;

namespace kv {

class TColorBar;
class TEffectsBarView;
class TGLMesh;

class TTerrainTextureDlg : public QDialog {
    Q_OBJECT

public:
    TTerrainTextureDlg(QWidget* parent, const TAppServices& services);

    // The mesh the buttons act on and how the 3D view repaints.
    void SetTarget(TGLMesh* terrain, std::function<void()> repaint);

    TColorBar& DepthBar();
    TColorBar& SlopeBar();
    const TBitmap& DepthTexture() const { return DepthTexture_; }

    // The buttons' actions.
    void ColorDepth();
    void ColorFaces();
    void ColorBySlope();
    void SetColorCount(int mode); // 0 "12", 1 "24", 2 "30"

private:
    QWidget* CreateDepthPage();
    QWidget* CreateSlopePage();
    void ChooseEntryColor(TEffectsBarView* view);
    void RefreshPanels();
    void Repaint();

    const TAppServices& Services_;
    TGLMesh* Terrain_ = nullptr;
    std::function<void()> RepaintView_;
    TBitmap DepthTexture_;
    QTabWidget* Pages_ = nullptr;
    TEffectsBarView* DepthBar_ = nullptr;
    TEffectsBarView* SlopeBar_ = nullptr;
    QLabel* CntDis_ = nullptr;
};

} // namespace kv
