#pragma once
// "Filter Data": the step-ratio profile of the topo grid along one direction as a graph, and
// "Smooth Data", a three-point running mean along that direction, applied to the grid in place
// at each press. The work is mapview/TopoFilter's; the form binds it to its controls.

#include "app/KVServices.h"
#include "mapview/TopoFilter.h"
#include "mapview/TopoGrid.h"

#include <QDialog>

class QButtonGroup;
class QLabel;

namespace kv {

class TGraphBox;

class TFilterDlg : public QDialog {
public:
    TFilterDlg(QWidget* parent, TAppServices services);

    // Refuses an empty topo grid with NoTerrainLoadedMessage; otherwise graphs the profile and
    // shows the dialog modally. Returns whether the grid was smoothed (the topo editor then
    // shows the change at its next redraw).
    bool ShowFilter(TTopoDocument& doc);

    TFilterDirection Direction() const;
    void SetDirection(TFilterDirection direction);
    // "Smooth Data": one pass in the chosen direction, then the new profile.
    void SmoothData();
    TGraphBox& GraphBox() { return *GraphBox1_; }

private:
    void ShowProfile();

    TAppServices Services_;
    QButtonGroup* DirectionRadio_;
    TGraphBox* GraphBox1_;
    QLabel* DisCursor_;
    TTopoDocument* Doc_ = nullptr; // only while the dialog runs
    bool Smoothed_ = false;
};

} // namespace kv
