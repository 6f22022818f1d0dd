#pragma once
// "Overlay Options": the texture size and sharpness of the prepared picture, its colour format,
// and the contour lines' width and colour. The overlay page owns it and binds its buttons.

#include "overlay/KVOverlay.h"
#include "overlay/Resizebm.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kv {

class TOverlayDlg : public QDialog {
    Q_OBJECT

public:
    explicit TOverlayDlg(QWidget* parent = nullptr);

    // Fills "Sizing Options" with the sizes and selects one.
    void SetSizes(const std::vector<TOverlaySize>& sizes, int selected);
    // The selected size, or none when the list is empty.
    bool SelectedSize(TOverlaySize& size) const;
    TSharpness Sharpness() const;
    // The radio item for a format (4-bit "4bit", 8-bit "8bit", 32-bit "32bit", else "24bit").
    void ShowFormat(TPixelFormat format);
    TPixelFormat SelectedFormat() const;
    int LineWidth() const;
    void ShowLineColor(TColor color);

    QListWidget* SizeList = nullptr;
    QLabel* DisSize1 = nullptr;
    QLabel* DisSize2 = nullptr;
    QRadioButton* Sharp[3] = {};
    QPushButton* OverResizeBtn = nullptr;
    QRadioButton* Format[4] = {};
    QLabel* BaseFormatDis = nullptr;
    QLabel* CurFormatDis = nullptr;
    QPushButton* NewOverlayColorBtn = nullptr;
    QSpinBox* LineWidthSpin = nullptr;
    QPushButton* OverlayColorBtn = nullptr;
    QLabel* DisLineColor = nullptr;
    QCheckBox* OverMarkChk = nullptr;

private:
    std::vector<TOverlaySize> Sizes_;
};

} // namespace kv
