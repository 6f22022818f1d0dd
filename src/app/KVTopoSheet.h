#pragma once
// The "Topo Editor" page: the topo grid drawn as contours in TopoImage with its own selection
// box, the viewing options, the readouts under the mouse and the crop. The drawing runs on the
// user-interface thread; it processes pending events every few rows so the window stays alive,
// and a key press, mouse button or timer tick waiting in the queue stops it after the current
// row (the input stays queued and is delivered afterwards).

#include "app/KVServices.h"
#include "mapview/Colorbar.h"
#include "mapview/TopoGrid.h"
#include "platform/Units.h"

#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>

class QCheckBox;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QScrollArea;
class QSpinBox;
class QToolButton;

namespace kv {

class TDEMImageView;

class TTopoSheet : public QWidget {
    Q_OBJECT

public:
    // Makes one of the window's tool buttons (bound to its command) on a parent.
    using TToolButtonMaker = std::function<QToolButton*(QWidget* parent, const char* command)>;

    // `bar` colours the contours (the map's colour bar, in working units); `units` gives the
    // working units at each moment.
    TTopoSheet(const TMessageSink& messages, const TColorBar& bar, std::function<TUnits()> units,
               const TToolButtonMaker& toolButton, QWidget* parent = nullptr);
    ~TTopoSheet() override;

    TTopoDocument& Document() { return *Doc_; }
    const TTopoDocument& Document() const { return *Doc_; }
    TDEMImageView& TopoImage() { return *TopoImage_; }

    // "Edit" on the map page: copies the map selection (map pixels) into the topo grid. An empty
    // selection shows the "No Terrain Selected" message and changes nothing (false); otherwise
    // `showPage` brings this page up, the grid is loaded (a selection beyond the grid's capacity
    // is clipped with a message), the spacing fitted and the picture drawn.
    bool LoadSelection(const TDEMArray& dem, const TRect& selection, const std::function<void()>& showPage);

    // "Update": draws the picture anew. Ignored while a drawing runs or nothing is loaded; false
    // when the drawing was stopped by waiting input.
    bool UpdateTopoView();
    // "CropTo Box": the grid cut to the cells under the selection box, then drawn.
    void CropToBox();
    // After the elevation table or the filter wrote the grid: the grid's range, optionally a new
    // interval, the whole grid selected, the spacing fitted, then drawn.
    void RefreshAfterEdit(bool updateInterval);
    // True when the grid holds cells; otherwise the "No Terrain Loaded" error message and false.
    bool TopoTerrainLoaded();
    // The working units changed: the interval field shows the interval in the new units.
    void UnitsChanged();

    bool Busy() const { return Busy_; }
    // The rows of cells (and of point marks) the current or last drawing finished.
    int RowsDrawn() const { return RowsDrawn_.load(); }

private:
    void CreateControls(const TToolButtonMaker& toolButton);
    void ShowOptions();
    void OptionChanged();
    void ShowReadouts(int x, int y);
    void ShowSize();
    bool AbortRequested();
    QSize FitArea() const;

    TMessageSink Messages_;
    const TColorBar& Bar_;
    std::function<TUnits()> Units_;
    std::unique_ptr<TTopoDocument> Doc_;
    bool Busy_ = false;
    bool ShowingOptions_ = false;
    std::atomic<int> RowsDrawn_{0};

    QFrame* Panel10_ = nullptr;
    QSpinBox* SpaceSpin_ = nullptr;
    QDoubleSpinBox* ContourSpinEdit_ = nullptr;
    QCheckBox* MarkPointChk_ = nullptr;
    QCheckBox* ColorDepthChk_ = nullptr;
    QCheckBox* AutoUpdateChk_ = nullptr;
    QScrollArea* ScrollBox1_ = nullptr;
    TDEMImageView* TopoImage_ = nullptr;
    QLabel* PointDis_ = nullptr;
    QLabel* ElevDis_ = nullptr;
    QLabel* LocationDis_ = nullptr;
    QLabel* SizeDis_ = nullptr;
};

} // namespace kv
