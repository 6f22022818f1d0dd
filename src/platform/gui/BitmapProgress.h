#pragma once
// "Loading Bitmap": the small window that shows how far a picture has been decoded. It has no
// border icons, sits centred on the screen, 171 x 35 client pixels, and holds one progress bar
// from 0 to 100 that repaints at every report, since decoding keeps the event loop waiting.

#include <QDialog>

class QProgressBar;

namespace kv {

class TBitmapProgress : public QDialog {
public:
    enum TStage { bsStarting = 0, bsRunning = 1, bsEnding = 2 };

    explicit TBitmapProgress(QWidget* parent = nullptr);

    // Shows the window centred on the screen and lets the window system map it.
    void Open();
    // Starting puts the bar to 0, running to the percentage; every report repaints the bar.
    void Report(int stage, int percent);
    int Position() const;

private:
    QProgressBar* Bar_ = nullptr;
};

} // namespace kv
