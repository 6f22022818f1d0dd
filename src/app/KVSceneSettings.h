#pragma once
// "Scene Settings": the background colour and picture, and the fog. A form only: it reports what
// the user asked for, and the main window applies it to the viewer. Its fog controls start at the
// form's defaults each time it is shown, not at the fog's current state.

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QDoubleSpinBox;
class QRadioButton;

namespace kv {

struct TFogSettings {
    uint8_t Mode = 0; // 0 linear, 1 exp, 2 exp2
    double Density = 1.0;
    double Start = 0.0;
    double End = 10.0;
    bool Enabled = false;
    bool operator==(const TFogSettings&) const = default;
};

class TSceneSetDlg : public QDialog {
    Q_OBJECT

public:
    explicit TSceneSetDlg(QWidget* parent);

    // The form's defaults: linear, density 1, start 0, end 10, fog off. Fires nothing.
    void ResetControls();
    TFogSettings Fog() const;

signals:
    void FogChanged();
    void FogColorClicked();
    void BackgroundColorClicked();
    void BackgroundImageClicked();
    void HelpClicked();

private:
    QRadioButton* Modes_[3] = {};
    QDoubleSpinBox* Density_ = nullptr;
    QDoubleSpinBox* Start_ = nullptr;
    QDoubleSpinBox* End_ = nullptr;
    QCheckBox* EnableFog_ = nullptr;
    bool Loading_ = false;
};

} // namespace kv
