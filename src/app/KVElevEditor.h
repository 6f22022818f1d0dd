#pragma once
// "Elevation Editor": the topo grid's elevations as a table in working units. The user types,
// pastes a block copied from a spreadsheet, loads or saves an elevation file (*.elv) and sets the
// ground resolution; OK replaces the topo grid with the table's block. The table is as large as
// the topo grid's capacity, so confirming never cuts the grid.
//
// The form only binds controls to the sheet of mapview/ElevationSheet, which holds the rules.

#include "app/KVServices.h"
#include "mapview/ElevationSheet.h"
#include "mapview/TopoGrid.h"
#include "platform/Units.h"

#include <QDialog>
#include <QTableView>

#include <functional>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;

namespace kv {

class TElevSheetModel;

// The sheet's view (PointGrid): Enter moves to the next column, from the last column to the
// first of the next row, whether or not a cell is being edited. The copy and paste keys do what
// the "Copy" and "Paste" buttons do.
class TPointGridView : public QTableView {
public:
    explicit TPointGridView(QWidget* parent);

    std::function<void()> OnCopy;
    std::function<void()> OnPaste;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void MoveOnEnter();
};

class TKvxEditDlg : public QDialog {
public:
    static constexpr int HelpContext = 1;

    TKvxEditDlg(QWidget* parent, TAppServices services, std::function<void(int context)> showHelp = {});

    // Fills the table from the topo grid, shows the dialog modally and, on OK, replaces the grid
    // and its ground spacing with the table's. Returns whether OK was pressed. The caller then
    // refreshes the topo editor (RefreshAfterEdit with UpdateContourIntervals()).
    bool ShowElevationEditor(TTopoDocument& doc, const TUnits& units);

    // "Update Contour Intervals".
    bool UpdateContourIntervals() const;

    TElevationSheet& Sheet() { return Sheet_; }
    TPointGridView& PointGrid() { return *PointGrid_; }

    // The buttons' work, for the buttons and for tests.
    void ClearGrid();
    void CopyGrid();
    void PasteGrid();
    void ReadFile();
    void WriteFile();

private:
    void SheetReplaced();
    void ShowSize();
    void ShowSpacing(const TGroundSpacing& spacing);

    TAppServices Services_;
    TElevationSheet Sheet_;
    TElevSheetModel* Model_;
    TPointGridView* PointGrid_;
    QLabel* GridSizeDis_;
    QDoubleSpinBox* EastResSpin_;
    QDoubleSpinBox* NorthResSpin_;
    QCheckBox* UpdateConChk_;
    // Only while the dialog runs: loading a file changes the document's spacing at once.
    TTopoDocument* Doc_ = nullptr;
    TUnits Units_;
};

} // namespace kv
