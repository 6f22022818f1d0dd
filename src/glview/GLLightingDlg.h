#pragma once
// "Lighting": the viewer's eight lights and its ambient level, edited in place. Modeless and on
// top; every change repaints the viewer. The direction pickers show a light's spot direction and
// its direction with x negated (they look at the eye from the scene); the position graphs plot
// the position seen from the front (x, y) and from above (x, z).

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QSlider;

namespace kv {

class TGLViewer;
class TDirectionPicker;
class TPositionGraph;

class TLightingDlg : public QDialog {
    Q_OBJECT

public:
    explicit TLightingDlg(QWidget* parent);

    // Selects "Light-0", copies the enabled flags to the check marks, loads the light, shows.
    void Show(TGLViewer& viewer);
    // The slider position of an ambient level: round((v + 2) * 25).
    static int AmbientPosition(float ambient);
    // The ambient level of a slider position: position / 25 - 2.
    static float AmbientOfPosition(int position);
    // "Reset All": every enabled light back to its defaults.
    void ResetAll();

private:
    void LoadLight();
    void StoreLight();
    void StoreChecks();
    void StoreAmbient();
    void ResetAmbient();
    void StoreDirections();
    void ShowPosition();

    TGLViewer* Viewer_ = nullptr;
    bool Loading_ = false;
    QListWidget* Lights_ = nullptr;
    QRadioButton* Types_[3] = {};
    QDoubleSpinBox* Cutoff_ = nullptr;
    QDoubleSpinBox* Attenuation_[3] = {};
    QDoubleSpinBox* Position_[3] = {};
    QDoubleSpinBox* Colors_[3][4] = {}; // ambient, diffuse, specular by red, green, blue, alpha
    TDirectionPicker* Pickers_[2] = {}; // "Spot Parameters", "Directional Params"
    QCheckBox* PositiveZ_[2] = {};
    TPositionGraph* Graphs_[2] = {}; // front (x, y), above (x, z)
    QSlider* Ambient_ = nullptr;
    QLabel* AmbientValue_ = nullptr;
};

} // namespace kv
