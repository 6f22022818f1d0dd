#pragma once
// "Plotting Options": which of colour, shading and contours the map shows, the light direction
// and the shading contrast. The check boxes keep the rules of ClickPlotMode; a light button
// takes effect at once, even when the dialog is cancelled afterwards.

#include "mapview/PlotOptions.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QSpinBox;

namespace kv {

class TPlotOptsDlg : public QDialog {
public:
    // `onLight` receives every light direction the user picks while the dialog is open.
    TPlotOptsDlg(QWidget* parent, std::function<void(uint8_t direction)> onLight);

    // Shows the options.
    void LoadOptions(const TPlotOptions& options);
    // The modes, contrast and contour interval shown, over `options` (after OK).
    void StoreOptions(TPlotOptions& options) const;

    TPlotModes Modes() const;
    uint8_t LightDirection() const { return LightDirection_; }

    // The 50 x 50 sample of the shading at a contrast: a lit hill, shaded as the map shades.
    static QImage ContrastSample(int32_t contrast);

private:
    void ModeClicked(TPlotModeBox box);
    void SetLight(uint8_t direction);
    void ShowContrast(int contrast);

    std::function<void(uint8_t)> OnLight_;
    QCheckBox* ColoredChk_;
    QCheckBox* ShadedChk_;
    QCheckBox* ContourChk_;
    QLabel* DirectDis_;
    QSpinBox* ContrastSpin_;
    QLabel* ConDisplay_;
    QLabel* ConImage_;
    std::array<QLabel*, 7> ConImg_{};
    QSpinBox* IntervalSpin_;
    uint8_t LightDirection_ = ldNW;
};

} // namespace kv
