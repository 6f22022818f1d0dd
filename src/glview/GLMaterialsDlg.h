#pragma once
// "Materials": emission, specular, shininess, colour and transparency of the scene's objects,
// edited in place on every checked object that is a renderer. Modeless and on top; every change
// repaints the viewer. The check marks are not written back to the objects' Selected flags.

#include <QDialog>

#include <cstdint>
#include <functional>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QSlider;

namespace kv {

class TGLRenderer;
class TGLViewer;

class TMaterialsDlg : public QDialog {
    Q_OBJECT

public:
    // `chooseColor` runs the colour chooser from a start colour; false when cancelled.
    TMaterialsDlg(QWidget* parent, std::function<bool(uint32_t& color)> chooseColor);

    // Lists the base frame's objects, checked by their Selected flags, and shows the first.
    void Show(TGLViewer& viewer);

    // Slider positions and the values they stand for.
    static float ShininessOfPosition(int position); // 128^(p/100) - 1
    static int PositionOfShininess(float shininess);
    static float SpecularOfPosition(int position); // 256^(p/100) - 1
    static int PositionOfSpecular(float specular);
    // The OpenGL blend factors of the "Source Pixels" and "Destination Pixels" items.
    static uint32_t BlendSourceOfIndex(int index);
    static uint32_t BlendDestOfIndex(int index);

private:
    template <typename F> void ForChecked(F&& apply);
    void LoadCurrent();
    void StoreEmission();
    void StoreShininess();
    void StoreSpecular();
    void StoreTransparency();
    void ChangeColor();
    void Reset();

    std::function<bool(uint32_t&)> ChooseColor_;
    TGLViewer* Viewer_ = nullptr;
    bool Loading_ = false;
    uint32_t Swatch_ = 0xFFFFFF;
    QListWidget* Objects_ = nullptr;
    QDoubleSpinBox* Emission_[3] = {};
    QSlider* Shininess_ = nullptr;
    QLabel* ShininessValue_ = nullptr;
    QSlider* Specular_ = nullptr;
    QLabel* SpecularValue_ = nullptr;
    QLabel* SwatchLabel_ = nullptr;
    QGroupBox* Transparent_ = nullptr;
    QSlider* Transparency_ = nullptr;
    QCheckBox* BlendBackground_ = nullptr;
    QCheckBox* DepthCheck_ = nullptr;
    QCheckBox* User_ = nullptr;
    QListWidget* SourcePixels_ = nullptr;
    QListWidget* DestPixels_ = nullptr;
};

} // namespace kv
