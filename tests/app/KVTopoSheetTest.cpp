// The "Topo Editor" page driven as a user drives it: a selection on the map, "Edit", the viewing
// options, the readouts under the mouse, a key press or click during a long drawing, the crop.

#include "app/KVTopoSheet.h"

#include "AppTestSupport.h"
#include "app/KVMain.h"
#include "app/KVMapView.h"
#include "mapview/MapCoords.h"
#include "platform/gui/QtBitmap.h"
#include "support/TestData.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace kv {
namespace {

using test::TRecorder;
using test::TTempDir;

const QString SampleFile = QString::fromStdString((test::SamplesDir() / "jacksboro.dem").string());

// Counts the events of one type that reach an object.
class TEventCounter : public QObject {
public:
    explicit TEventCounter(QEvent::Type type) : type_(type) {}
    int Count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == type_)
            ++Count;
        return false;
    }

private:
    QEvent::Type type_;
};

class KVTopoSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::TestApplication();
        TMainOptions options;
        options.SettingsFolder = Settings.Path();
        options.Services = Recorder.Services();
        Form_ = std::make_unique<TForm1>(std::move(options));
        Form_->show();
        Form_->FirstActivate();
        Form_->OpenDEMFile(SampleFile);
        ASSERT_TRUE(Form_->WaitForOpen(60000));
        ASSERT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join("\n").toStdString();
    }
    void TearDown() override
    {
        Form_.reset();
        std::filesystem::current_path(StartFolder);
    }

    TForm1& Form() { return *Form_; }
    TTopoSheet& Sheet() { return Form_->TopoSheet(); }
    const TTopoDocument& Topo() { return Form_->TopoSheet().Document(); }
    template <typename T> T* Find(const char* name) const
    {
        T* child = Form_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QString Text(const char* name) const { return Find<QLabel>(name)->text(); }
    int CurrentPage() const { return Find<QTabWidget>("MainPageControl")->currentIndex(); }

    static void Mouse(QWidget& target, QEvent::Type type, int x, int y, Qt::MouseButtons buttons)
    {
        const QPointF local(x, y);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, target.mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&target, &event);
    }
    static void Drag(QWidget& target, QPoint from, QPoint to)
    {
        Mouse(target, QEvent::MouseButtonPress, from.x(), from.y(), Qt::LeftButton);
        Mouse(target, QEvent::MouseMove, to.x(), to.y(), Qt::LeftButton);
        Mouse(target, QEvent::MouseButtonRelease, to.x(), to.y(), Qt::NoButton);
    }
    // The user pulls the corners of the map's selection box (which starts over the whole map)
    // to (left, top) and (right, bottom), then presses "Edit".
    void EditOnMap(QPoint topLeft, QPoint bottomRight)
    {
        const TDEMArray& dem = Form_->Document().CurrentDEM;
        Drag(Form_->DEMImage(), {0, 0}, topLeft);
        Drag(Form_->DEMImage(), {dem.Cols(), dem.Rows()}, bottomRight);
        ASSERT_EQ(Form_->Document().DemSelection, (TRect{topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()}));
        Find<QAction>("TopoEditBtn")->trigger();
    }
    // The topo picture without its selection box.
    QImage TopoPicture()
    {
        TSelectionBox& box = Sheet().TopoImage().OverClipBox();
        box.Hide();
        QImage image = Sheet().TopoImage().ToImage().convertToFormat(QImage::Format_RGB32);
        box.Show();
        return image;
    }

    std::filesystem::path StartFolder = std::filesystem::current_path();
    TTempDir Settings;
    TTempDir Files;
    TRecorder Recorder;
    std::unique_ptr<TForm1> Form_;
};

// "Edit" copies the map selection, the page comes up and draws; the options redraw at once, and
// the page's picture is the command-line tool's picture of the same box, pixel for pixel.
TEST_F(KVTopoSheetTest, EditDrawsTheSelectionAndOptionsRedrawLikeTheCommandLine)
{
    EditOnMap({50, 40}, {350, 300});
    ASSERT_TRUE(Recorder.Informations.isEmpty()) << Recorder.Informations.join("\n").toStdString();
    EXPECT_EQ(CurrentPage(), 1);
    ASSERT_EQ(Topo().Grid.Cols(), 300);
    ASSERT_EQ(Topo().Grid.Rows(), 260);
    // The north-west cell of the topo grid is the map's pixel (50, 40): grid row rows - 40.
    const TDEMArray& dem = Form().Document().CurrentDEM;
    EXPECT_EQ(Topo().Grid.Get(0, 0), dem.GetValue(50, dem.Rows() - 40));
    EXPECT_EQ(Topo().Grid.Get(299, 259), dem.GetValue(349, dem.Rows() - 299));

    auto* space = Find<QSpinBox>("SpaceSpin");
    auto* interval = Find<QDoubleSpinBox>("ContourSpinEdit");
    EXPECT_EQ(space->value(), Topo().TopoSpacing);
    // (1076 - 236) / 15 = 56 m, rounded up to 60 m, shown in feet (the settings' default units).
    EXPECT_DOUBLE_EQ(interval->value(), 196.85);
    EXPECT_EQ(interval->suffix(), " Ft.");
    EXPECT_EQ(Sheet().TopoImage().Picture().Width(), Topo().TopoSpacing * 300);

    space->setValue(2);
    interval->setValue(82.5);
    EXPECT_EQ(Topo().TopoSpacing, 2);
    EXPECT_DOUBLE_EQ(Topo().TopoInterval, 82.5 / FeetPerMeter);
    const QImage window = TopoPicture();
    ASSERT_EQ(window.size(), QSize(600, 520));

    const QString png = QString::fromStdString((Files.Path() / "topo.png").string());
    QProcess cli;
    cli.start(QStringLiteral(KV_CLI_PATH),
              {QStringLiteral("contours"), SampleFile, png, QStringLiteral("--box"), QStringLiteral("50,40,350,300"),
               QStringLiteral("--zoom"), QStringLiteral("2"), QStringLiteral("--interval"), QStringLiteral("82.5"),
               QStringLiteral("--feet")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QImage printed = QImage(png).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(printed.size(), window.size());
    int differing = 0;
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            differing += window.pixel(x, y) != printed.pixel(x, y);
    EXPECT_EQ(differing, 0);

    // Auto Update off: options wait for "Update".
    Find<QCheckBox>("AutoUpdateChk")->setChecked(false);
    Find<QCheckBox>("ColorDepthChk")->setChecked(false);
    EXPECT_EQ(TopoPicture(), window);
    Find<QAction>("UpdateBtn")->trigger();
    const QImage plain = TopoPicture();
    int white = 0, other = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb pixel = plain.pixel(x, y) & 0xFFFFFF;
            white += pixel == 0xFFFFFF;
            other += pixel != 0xFFFFFF && pixel != 0;
        }
    EXPECT_GT(white, 1000) << "without colours the lines are white on black";
    EXPECT_EQ(other, 0);
}

// Over a geographic grid the readouts show the ground position the map shows over the same cell
// (offsets in metres turned back into arc-seconds) and the cell's elevation.
TEST_F(KVTopoSheetTest, ReadoutsMatchTheMapOverTheSameCell)
{
    EditOnMap({100, 60}, {300, 200});
    Find<QSpinBox>("SpaceSpin")->setValue(4);
    const TDEMArray& dem = Form().Document().CurrentDEM;
    const TUnits units = Form().Document().Units();
    TDEMImageView& image = Sheet().TopoImage();
    const struct {
        int Col, Row;
    } cells[] = {{0, 0}, {7, 3}, {120, 90}, {199, 139}};
    for (const auto& cell : cells) {
        SCOPED_TRACE(testing::Message() << cell.Col << ", " << cell.Row);
        Mouse(image, QEvent::MouseMove, cell.Col * 4, cell.Row * 4, Qt::NoButton);
        const TCursorReadout map = CursorReadout(dem.Info, 100 + cell.Col, 60 + cell.Row, units);
        EXPECT_EQ(Text("LocationDis").toStdString(),
                  map.East.substr(0, map.East.size() - 2) + "E, " + map.North.substr(0, map.North.size() - 2) + "N ");
        EXPECT_EQ(Text("PointDis"), QStringLiteral("%1.0, %2.0 ").arg(cell.Col).arg(cell.Row));
        const double feet = dem.GetValue(100 + cell.Col, dem.Rows() - 60 - cell.Row) * FeetPerMeter;
        const QString elevation =
            cell.Col == 199 || cell.Row == 139 ? QStringLiteral("0.0 Ft. ") : QString::number(feet, 'f', 1) + " Ft. ";
        EXPECT_EQ(Text("ElevDis"), elevation);
    }
}

// A key press, a click or a timer tick during a long drawing stops it after the row it is in;
// the window went on processing events meanwhile, and the input is delivered afterwards.
TEST_F(KVTopoSheetTest, WaitingInputStopsALongDrawingWithinARow)
{
    EditOnMap({0, 0}, {403, 343});
    Find<QCheckBox>("AutoUpdateChk")->setChecked(false);
    Find<QSpinBox>("SpaceSpin")->setValue(1);
    Find<QDoubleSpinBox>("ContourSpinEdit")->setValue(0.1); // a level every 3 cm: a long drawing
    const int rows = Topo().Grid.Rows() - 1;
    QWidget* panel = Find<QFrame>("Panel10");
    QWidget* focus = Find<QSpinBox>("SpaceSpin");
    focus->setFocus();

    const struct {
        const char* Name;
        QEvent::Type Type;
        QObject* Target;
        std::function<QEvent*()> Make;
    } inputs[] = {
        {"key press", QEvent::KeyPress, focus,
         [] { return new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier); }},
        {"click on the options", QEvent::MouseButtonPress, panel,
         [] {
             return new QMouseEvent(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                                    Qt::LeftButton, Qt::NoModifier);
         }},
    };
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.Name);
        TEventCounter counter(input.Type);
        input.Target->installEventFilter(&counter);
        std::atomic<int> postedAt{-1};
        std::atomic<bool> deliveredWhileBusy{false};
        // Another thread plays the user: when 20 rows are done, a posted call (which the drawing
        // must let through) and then the input.
        std::thread user([&] {
            // The count starts anew with the drawing; the last drawing left it above 20.
            while (Sheet().RowsDrawn() >= 20)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            while (Sheet().RowsDrawn() < 20)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
            QMetaObject::invokeMethod(
                &Sheet(), [&] { deliveredWhileBusy = Sheet().Busy(); }, Qt::QueuedConnection);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            QCoreApplication::postEvent(input.Target, input.Make());
            // Read after posting: every check that starts later sees the input.
            postedAt = Sheet().RowsDrawn();
        });
        const bool finished = Sheet().UpdateTopoView();
        user.join();
        EXPECT_FALSE(finished);
        EXPECT_TRUE(deliveredWhileBusy);
        ASSERT_GE(postedAt, 20);
        EXPECT_LT(postedAt, rows) << "the drawing was too short for the test";
        EXPECT_LE(Sheet().RowsDrawn() - postedAt, 1) << "stopped after the row it was in";
        EXPECT_FALSE(Sheet().Busy());
        EXPECT_EQ(counter.Count, 0);
        QApplication::processEvents();
        EXPECT_EQ(counter.Count, 1) << "the input stays queued and arrives after the drawing";
        input.Target->removeEventFilter(&counter);
    }

    // A timer's tick stops it as well.
    QTimer tick(&Form());
    tick.setInterval(30);
    tick.start();
    EXPECT_FALSE(Sheet().UpdateTopoView());
    EXPECT_LT(Sheet().RowsDrawn(), rows);
    tick.stop();
    QApplication::processEvents();
    // Undisturbed, it finishes.
    Find<QDoubleSpinBox>("ContourSpinEdit")->setValue(50);
    EXPECT_TRUE(Sheet().UpdateTopoView());
    EXPECT_EQ(Sheet().RowsDrawn(), rows);
}

// A box drawn on the topo picture, then "CropTo Box": the grid keeps the cells under the box,
// corners included, and the readouts keep the ground positions of the cells.
TEST_F(KVTopoSheetTest, CropKeepsTheCellsUnderTheBoxAndTheirPositions)
{
    EditOnMap({20, 30}, {220, 180});
    Find<QSpinBox>("SpaceSpin")->setValue(5);
    const TTopoGrid before = Topo().Grid;
    TDEMImageView& image = Sheet().TopoImage();
    Mouse(image, QEvent::MouseMove, 53, 27, Qt::NoButton);
    const QString location = Text("LocationDis");
    const QString elevation = Text("ElevDis");

    Drag(image, {53, 27}, {152, 88});
    EXPECT_EQ(Text("SizeDis"), QString::number((30 - 10) * (17 - 5)));
    Find<QAction>("ClipArrayBtn")->trigger();
    // Cells (10, 5) .. (30, 17).
    ASSERT_EQ(Topo().Grid.Cols(), 21);
    ASSERT_EQ(Topo().Grid.Rows(), 13);
    for (int32_t c = 0; c < 21; ++c)
        for (int32_t r = 0; r < 13; ++r)
            ASSERT_EQ(Topo().Grid.Get(c, r), before.Get(10 + c, 5 + r)) << c << ", " << r;
    EXPECT_EQ(image.Picture().Width(), 5 * 21);
    Mouse(image, QEvent::MouseMove, 3, 2, Qt::NoButton);
    EXPECT_EQ(Text("LocationDis"), location);
    EXPECT_EQ(Text("ElevDis"), elevation);
}

TEST_F(KVTopoSheetTest, EmptySelectionAndEmptyGridAreRefusedWithTheirMessages)
{
    EXPECT_FALSE(Sheet().TopoTerrainLoaded());
    EXPECT_EQ(Recorder.Errors, QStringList{"No Terrain Loaded Into Topo Editor\r\nSelect Terrain From DEM Reader"});
    for (const char* name : {"EditGridBtn", "FilterBtn"})
        EXPECT_TRUE(Find<QAction>(name)->isEnabled()) << name;

    EditOnMap({100, 100}, {100, 200});
    EXPECT_EQ(Recorder.Informations, QStringList{"No Terrain Selected!\r\nUse mouse to select an area."});
    EXPECT_EQ(CurrentPage(), 0);
    EXPECT_EQ(Topo().Grid.Cols(), 0);
    EXPECT_FALSE(Sheet().TopoTerrainLoaded());

    // Once loaded, an empty selection leaves the grid and the options as they were.
    Form().ResetBox();
    EditOnMap({10, 10}, {60, 50});
    ASSERT_EQ(Topo().Grid.Cols(), 50);
    Find<QSpinBox>("SpaceSpin")->setValue(3);
    Form().ShowPage(0);
    Form().ResetBox();
    EditOnMap({30, 30}, {80, 30});
    EXPECT_EQ(Recorder.Informations.size(), 2);
    EXPECT_EQ(CurrentPage(), 0);
    EXPECT_EQ(Topo().Grid.Cols(), 50);
    EXPECT_EQ(Topo().Grid.Rows(), 40);
    EXPECT_EQ(Topo().TopoSpacing, 3);
    EXPECT_TRUE(Sheet().TopoTerrainLoaded());
}

} // namespace
} // namespace kv
