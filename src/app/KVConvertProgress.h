#pragma once
// "Converting Terrain Data To DirectX Mesh": the small window that shows the conversion's steps.
// Each label repaints itself at once, without the event loop, so that it shows while the
// conversion keeps the loop blocked and no other command can start meanwhile.

#include <QDialog>

class QLabel;

namespace kv {

class TTrnProgressDlg : public QDialog {
    Q_OBJECT

public:
    explicit TTrnProgressDlg(QWidget* parent);

    void SetAction(const QString& text);
    void SetPoint(const QString& text);

private:
    QLabel* ActionDis_ = nullptr;
    QLabel* PointDis_ = nullptr;
};

} // namespace kv
