#pragma once
// "AVI Capture Options": the frame rate, compression and frame limit of the next capture. The
// window's capture commands (arm, the capture button, a frame after each redraw) are TForm1's,
// in KVCapture.cpp.

#include "capture/CaptureThrottle.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QSpinBox;

namespace kv {

class TCaptureDlg : public QDialog {
public:
    // `showHelp` receives the dialog's help context.
    TCaptureDlg(QWidget* parent, std::function<void(int context)> showHelp);

    void SetOptions(const TCaptureOptions& options);
    TCaptureOptions Options() const;

    // Shows the movie's length at the frame limit in DisTime.
    void MaxFramesSpinChange();

    static constexpr int HelpContext = 6;

private:
    QSpinBox* FPSSpin_;
    QSpinBox* CompressSpin_;
    QCheckBox* LimitChk_;
    QSpinBox* MaxFramesSpin_;
    QLabel* DisTime_;
};

} // namespace kv
