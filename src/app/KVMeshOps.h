#pragma once
// "Terrain Mesh Conversion Settings": the conversion's settings and what they will build (sizes,
// memory required, available memory). A form only: the main window runs the conversion. The
// dialog keeps its last values while the program runs.

#include "terrain/KVMesh.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

namespace kv {

class TTrnMeshDlg : public QDialog {
    Q_OBJECT

public:
    explicit TTrnMeshDlg(QWidget* parent);

    // The grid the information panels describe, and the memory the machine has free.
    void SetGrid(int32_t cols, int32_t rows, double availableBytes);
    TTerrainSettings Settings() const;
    void SetSettings(const TTerrainSettings& settings);
    // The figures the panels show now.
    const TMeshInformation& Information() const { return Information_; }

signals:
    void HelpClicked();

private:
    void RefreshInformation();

    QDoubleSpinBox* MagSpin_ = nullptr;
    QSpinBox* SqrLimitSpin_ = nullptr;
    QCheckBox* DrawBaseChk_ = nullptr;
    QSpinBox* HeightSpin_ = nullptr;
    QLabel* MessDis_ = nullptr;
    int32_t Cols_ = 0;
    int32_t Rows_ = 0;
    double AvailableBytes_ = 0;
    TMeshInformation Information_;
};

} // namespace kv
