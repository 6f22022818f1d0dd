#pragma once
// "Merge DEM Files": joins two neighbouring USGS DEM files, west and east or south and north.
// The form collects the files and the pan factor; the merge itself is MergeWestEast or
// MergeSouthNorth of the DEM library.

#include "app/KVServices.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

class QDoubleSpinBox;
class QLineEdit;
class QProgressBar;
class QTabWidget;

namespace kv {

enum TMergeDirection : uint8_t { mdWestEast = 0, mdSouthNorth = 1 };

struct TMergeRequest {
    TMergeDirection Direction = mdSouthNorth;
    QString First;  // west or south file
    QString Second; // east or north file
    double Pan = 0.5;
};

// The notice that refuses a merge before it starts: "Invalid West File" when the first file
// of a west-east merge does not exist, then "Invalid East File", "Invalid South File",
// "Invalid North File"; empty when both files exist.
QString MergeRefusal(TMergeDirection direction, const std::filesystem::path& first,
                     const std::filesystem::path& second);

class TMergeDlg : public QDialog {
public:
    static constexpr int HelpContext = 8;

    TMergeDlg(QWidget* parent, TAppServices services, std::function<void(int context)> showHelp);

    // The fields of one page.
    TMergeRequest Request(TMergeDirection direction) const;
    void SetRequest(const TMergeRequest& request);
    // The page shown ("Merge North-South" when the dialog opens).
    TMergeDirection Page() const;
    void SetPage(TMergeDirection direction);

    // The "Merge" button of a page: refuses missing inputs, asks for the output file, merges
    // with the gauge running. Errors are shown; none escapes.
    void Merge(TMergeDirection direction);

private:
    void Browse(QLineEdit* edit, const QString& title);
    void SetGauge(int position, int maximum);

    TAppServices Services_;
    QTabWidget* Pages_;
    std::array<QLineEdit*, 2> FirstEdit_{};
    std::array<QLineEdit*, 2> SecondEdit_{};
    std::array<QDoubleSpinBox*, 2> PanSpin_{};
    QProgressBar* Gauge_;
};

} // namespace kv
