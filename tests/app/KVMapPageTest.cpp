// The "DEM Reader" page driven as a user drives it: the map, its colour bar, the selection box
// under the mouse, the coordinate readouts and the plot options.

#include "app/KVMain.h"

#include "AppTestSupport.h"
#include "app/KVDEMInfoDlg.h"
#include "app/KVEnvironDlg.h"
#include "app/KVMapView.h"
#include "app/KVPlotOptsDlg.h"
#include "dem/KVDEMInfo.h"
#include "gdalio/KVElevationFile.h"
#include "mapview/MapCoords.h"
#include "platform/gui/QtBitmap.h"
#include "support/TestData.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include <memory>

namespace kv {
namespace {

using test::TRecorder;
using test::TTempDir;

const QString SampleFile = QString::fromStdString((test::SamplesDir() / "jacksboro.dem").string());

class KVMapPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::TestApplication();
        TMainOptions options;
        options.SettingsFolder = Settings.Path();
        options.Services = Recorder.Services();
        Form_ = std::make_unique<TForm1>(std::move(options));
    }
    void TearDown() override
    {
        Form_.reset();
        std::filesystem::current_path(StartFolder);
    }

    TForm1& Form() { return *Form_; }
    template <typename T> T* Find(const char* name) const
    {
        T* child = Form_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QString Text(const char* name) const { return Find<QLabel>(name)->text(); }
    void OpenSample()
    {
        Form_->OpenDEMFile(SampleFile);
        ASSERT_TRUE(Form_->WaitForOpen(60000));
        ASSERT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join("\n").toStdString();
    }
    // A mouse event on the map, as the windowing system delivers it.
    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButtons buttons)
    {
        TDEMImageView& image = Form_->DEMImage();
        const QPointF local(x, y);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, image.mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&image, &event);
    }
    void Drag(QPoint from, QPoint to)
    {
        Mouse(QEvent::MouseButtonPress, from.x(), from.y(), Qt::LeftButton);
        Mouse(QEvent::MouseMove, (from.x() + to.x()) / 2, (from.y() + to.y()) / 2, Qt::LeftButton);
        Mouse(QEvent::MouseMove, to.x(), to.y(), Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, to.x(), to.y(), Qt::NoButton);
    }

    std::filesystem::path StartFolder = std::filesystem::current_path();
    TTempDir Settings;
    TTempDir Files;
    TRecorder Recorder;
    std::unique_ptr<TForm1> Form_;
};

TEST_F(KVMapPageTest, OpeningTheSampleShowsTheMapWithBarAndSelection)
{
    int dialogs = 0;
    Recorder.OnDialog = [&](QDialog& dialog) {
        ++dialogs;
        EXPECT_EQ(dialog.windowTitle(), "Plotting Options");
        return int(QDialog::Rejected); // cancelling still opens the file
    };
    OpenSample();
    EXPECT_EQ(dialogs, 1) << "the plot options come before the read";

    const TDEMArray& dem = Form().Document().CurrentDEM;
    const TDEMInfo& info = dem.Info;
    TDEMImageView& image = Form().DEMImage();
    EXPECT_EQ(image.size(), QSize(dem.Cols() + 4, dem.Rows() + 4));

    const TBarRange range = ColorBarRange(info, Form().Document().Units());
    EXPECT_EQ(Form().ColorBar().Bar().Top(), range.Top);
    EXPECT_EQ(Form().ColorBar().Bar().Bottom(), range.Bottom);
    EXPECT_LT(range.Bottom, range.Top);

    const TRect whole{0, 0, dem.Cols(), dem.Rows()};
    EXPECT_EQ(Form().Document().FullImageRect, whole);
    EXPECT_EQ(Form().Document().DemSelection, whole);
    EXPECT_EQ(image.OverClipBox().Rect(), whole);
    EXPECT_TRUE(image.OverClipBox().Active());
    EXPECT_EQ(Text("PointsDis"),
              QStringLiteral("%1,%2:%3").arg(dem.Cols()).arg(dem.Rows()).arg(dem.Cols() * dem.Rows()));
    for (const char* name : {"SWEastDis", "NWEastDis", "NEEastDis", "SEEastDis"})
        EXPECT_TRUE(Text(name).endsWith(" E") && Text(name).size() > 2) << name << ": " << Text(name).toStdString();
    for (const char* name : {"SWNorthDis", "NWNorthDis", "NENorthDis", "SENorthDis"})
        EXPECT_TRUE(Text(name).endsWith(" N") && Text(name).size() > 2) << name << ": " << Text(name).toStdString();

    // The box is drawn into the picture: somewhere along its edge the picture differs.
    const QImage withBox = image.ToImage();
    image.OverClipBox().Hide();
    const QImage hidden = image.ToImage();
    EXPECT_NE(withBox, hidden);
    image.OverClipBox().Show();
    EXPECT_EQ(image.ToImage(), withBox);

    // The screen shows the picture itself, box included.
    const QImage screen = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(screen, withBox.convertToFormat(QImage::Format_RGB32));

    // "DEM Information" gives the colour spacing of this drawing: (1076 - 236) / 15 = 56 m.
    ASSERT_EQ(info.DataMin, 236);
    ASSERT_EQ(info.DataMax, 1076);
    Recorder.OnDialog = [](QDialog&) { return int(QDialog::Accepted); };
    Find<QAction>("DemInfo1")->trigger();
    const std::vector<std::string> lines = Form().DemInfoDlg().Lines();
    const std::vector<std::string> expected = DEMInfoLines(info, 56.0, Form().Document().Units());
    ASSERT_EQ(lines.size(), expected.size());
    int spacingLines = 0;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].starts_with("Color Spacing:")) {
            ++spacingLines;
            EXPECT_EQ(lines[i], expected[i]);
            EXPECT_NE(lines[i], DEMInfoLines(info, 0.0, Form().Document().Units())[i]);
        }
    EXPECT_EQ(spacingLines, 1);
}

// The window's map, with the selection hidden, is the command-line tool's picture, pixel for pixel.
TEST_F(KVMapPageTest, WindowMapEqualsTheCommandLineMap)
{
    OpenSample(); // the plot options dialog cancelled: the built-in options
    TDEMImageView& image = Form().DEMImage();
    image.OverClipBox().Hide();
    const QImage window = image.ToImage().convertToFormat(QImage::Format_RGB32);

    const QString png = QString::fromStdString((Files.Path() / "map.png").string());
    QProcess cli;
    cli.start(QStringLiteral(KV_CLI_PATH),
              {QStringLiteral("map"), SampleFile, png, QStringLiteral("--colored"), QStringLiteral("--contoured"),
               QStringLiteral("--contrast"), QStringLiteral("3"), QStringLiteral("--light"), QStringLiteral("NW"),
               Form().Document().Units().UseFeet ? QStringLiteral("--feet") : QStringLiteral("--meters")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QImage printed = QImage(png).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(printed.size(), window.size());
    int differing = 0;
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            differing += window.pixel(x, y) != printed.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(KVMapPageTest, DraggingTheSelectionUpdatesRectangleReadoutsAndResetBox)
{
    OpenSample();
    const TDEMArray& dem = Form().Document().CurrentDEM;
    TSelectionBox& box = Form().DEMImage().OverClipBox();

    const TRect whole{0, 0, dem.Cols(), dem.Rows()};
    const struct {
        const char* Name;
        TRect Start;
        QPoint From, To;
        TRect Expected;
    } rows[] = {
        {"bottom-right handle pulled in", whole, {dem.Cols(), dem.Rows()}, {200, 150}, {0, 0, 200, 150}},
        {"top-left handle pulled in", whole, {0, 0}, {50, 40}, {50, 40, dem.Cols(), dem.Rows()}},
        {"a new box drawn backwards", {0, 0, 100, 100}, {300, 250}, {200, 150}, {200, 150, 300, 250}},
        {"the inside moved", {0, 0, 100, 100}, {50, 50}, {80, 90}, {30, 40, 130, 140}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        box.SetRect(row.Start);
        Drag(row.From, row.To);
        EXPECT_EQ(box.Rect(), row.Expected);
        EXPECT_EQ(Form().Document().DemSelection, box.Rect());
        EXPECT_EQ(Text("PointsDis").toStdString(), SelectionSizeText(box.Rect()));
        const TCursorReadout readout = CursorReadout(dem.Info, row.To.x(), row.To.y(), Form().Document().Units());
        EXPECT_EQ(Text("CursorEastDis").toStdString(), readout.East);
        EXPECT_EQ(Text("CursorNorthDis").toStdString(), readout.North);
    }

    // "Reset Box" puts the box back over the whole map.
    Drag({dem.Cols(), dem.Rows()}, {100, 100});
    Find<QAction>("SetBoxBtn")->trigger();
    EXPECT_EQ(box.Rect(), (TRect{0, 0, dem.Cols(), dem.Rows()}));
    EXPECT_EQ(Form().Document().DemSelection, box.Rect());
}

TEST_F(KVMapPageTest, PlotOptionsCheckBoxesKeepTheirRules)
{
    TPlotOptsDlg& dialog = Form().PlotOptsDlg();
    const struct {
        TPlotModes Start;
        const char* Click;
        TPlotModes Expected;
    } rows[] = {
        {{true, false, false}, "ColoredChk", {false, false, true}}, // nothing left: contours
        {{false, true, false}, "ShadedChk", {true, false, false}},  // nothing left: colour
        {{false, false, true}, "ContourChk", {true, false, false}}, // nothing left: colour
        {{false, true, true}, "ColoredChk", {true, false, true}},   // colour excludes shading
        {{true, false, true}, "ShadedChk", {false, true, true}},    // shading excludes colour
        {{true, false, false}, "ContourChk", {true, false, true}},  // contours add freely
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Click);
        TPlotOptions options;
        options.Colored = row.Start.Colored;
        options.Shaded = row.Start.Shaded;
        options.Contoured = row.Start.Contoured;
        dialog.LoadOptions(options);
        dialog.findChild<QCheckBox*>(row.Click)->click();
        EXPECT_EQ(dialog.Modes(), row.Expected);
    }
}

TEST_F(KVMapPageTest, PlotOptionsContrastLightAndRedraw)
{
    OpenSample();
    TPlotOptsDlg& dialog = Form().PlotOptsDlg();
    auto* spin = dialog.findChild<QSpinBox*>("ContrastSpin");
    for (int contrast = 0; contrast <= 6; ++contrast) {
        spin->setValue(contrast);
        EXPECT_EQ(dialog.findChild<QLabel*>("ConDisplay")->text(), ContrastName(contrast));
        const QImage shown = dialog.findChild<QLabel*>("ConImage")->pixmap().toImage();
        EXPECT_EQ(shown, TPlotOptsDlg::ContrastSample(contrast).convertToFormat(shown.format()));
    }
    // The samples differ: a darker contrast darkens the shaded side.
    EXPECT_NE(TPlotOptsDlg::ContrastSample(0), TPlotOptsDlg::ContrastSample(6));

    // A light button takes effect at once; a cancelled "Redraw" draws nothing.
    const QImage before = Form().DEMImage().ToImage();
    Recorder.OnDialog = [](QDialog& shown) {
        shown.findChild<QPushButton*>("SEastBtn")->click();
        EXPECT_EQ(shown.findChild<QLabel*>("DirectDis")->text(), "SE");
        shown.findChild<QCheckBox*>("ShadedChk")->click();
        return int(QDialog::Rejected);
    };
    Find<QAction>("ReReadBtn")->trigger();
    EXPECT_EQ(Form().Document().PlotOptions().LightDirection, ldSE);
    EXPECT_FALSE(Form().Document().PlotOptions().Shaded);
    EXPECT_EQ(Form().DEMImage().ToImage(), before);

    // Confirmed: the map is drawn shaded, so every cell inside the map is a grey.
    Recorder.OnDialog = [](QDialog& shown) {
        shown.findChild<QCheckBox*>("ShadedChk")->click();
        return int(QDialog::Accepted);
    };
    Find<QAction>("ReReadBtn")->trigger();
    EXPECT_TRUE(Form().Document().PlotOptions().Shaded);
    EXPECT_FALSE(Form().Document().PlotOptions().Colored);
    TDEMImageView& image = Form().DEMImage();
    image.OverClipBox().Hide();
    const QImage shaded = image.ToImage();
    EXPECT_NE(shaded, before);
    int coloured = 0;
    for (int y = 10; y < shaded.height() - 10; y += 7)
        for (int x = 10; x < shaded.width() - 10; x += 7) {
            const QRgb pixel = shaded.pixel(x, y);
            coloured += !(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel));
        }
    EXPECT_EQ(coloured, 0);
}

TEST_F(KVMapPageTest, UnitsChangeRefreshesBarAndLabels)
{
    OpenSample();
    const TDEMInfo& info = Form().Document().CurrentDEM.Info;
    ASSERT_EQ(info.GroundRef, 0) << "the sample is a geographic grid";
    Form().show(); // the bar gets the height its labels need
    QApplication::processEvents();
    std::vector<QImage> bars;
    for (const bool feet : {false, true}) {
        SCOPED_TRACE(feet ? "feet" : "meters");
        Recorder.OnDialog = [&](QDialog& dialog) {
            dialog.findChild<QRadioButton*>(feet ? "FeetBtn" : "MetersBtn")->click();
            return int(QDialog::Accepted);
        };
        Find<QAction>("EnvironmentOptions1")->trigger();
        const TBarRange range = ColorBarRange(info, TUnits{feet});
        EXPECT_EQ(Form().ColorBar().Bar().Top(), range.Top);
        EXPECT_EQ(Form().ColorBar().Bar().Bottom(), range.Bottom);
        bars.push_back(Form().ColorBar().ToImage());
        // Geographic corners are degrees, minutes and seconds in either unit.
        EXPECT_TRUE(Text("SWEastDis").contains(QChar(0xB0)) && Text("SWEastDis").endsWith(" E"))
            << Text("SWEastDis").toStdString();
        EXPECT_TRUE(Text("NENorthDis").contains(QChar(0xB0)) && Text("NENorthDis").endsWith(" N"));
    }
    EXPECT_NE(ColorBarRange(info, TUnits{true}), ColorBarRange(info, TUnits{false}));
    EXPECT_NE(bars[0], bars[1]) << "the bar's labels follow the units";
}

// Damaged copies of the sample opened through the window: each either opens and shows its map
// or reports one error, and the window stays usable either way.
TEST_F(KVMapPageTest, DamagedFilesOpenOrFailCleanly)
{
    std::ifstream in((test::SamplesDir() / "jacksboro.dem").string(), std::ios::binary);
    const std::string sample((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = sample;
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos)
            text.replace(at, from.size(), to);
        return text;
    };
    const struct {
        const char* Name;
        std::string Content;
    } rows[] = {
        {"header only", sample.substr(0, 1024)},
        {"cut in the first profile", sample.substr(0, 3000)},
        {"cut half way", sample.substr(0, sample.size() / 2)},
        {"zero x resolution", replaced("03.000000D+003.000000D+00", "00.000000D+003.000000D+00")},
        {"huge column count", replaced("     1   403", "     1999999")},
        {"no columns", replaced("     1   403", "     1     0")},
        {"huge elevation in a profile", replaced("   236", "999999")},
        {"garbage corners", replaced("-3.038880000000000D+05", "-9.999999999999999D+99")},
    };
    int opened = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::filesystem::path path = Files.Path() / "damaged.dem";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << row.Content;
        Recorder.Errors.clear();
        Form().OpenDEMFile(QString::fromStdString(path.string()));
        ASSERT_TRUE(Form().WaitForOpen(60000));
        const TDEMArray& dem = Form().Document().CurrentDEM;
        if (Form().Document().State().DEMLoaded) {
            ++opened;
            EXPECT_TRUE(Recorder.Errors.isEmpty());
            EXPECT_EQ(Form().DEMImage().size(), QSize(dem.Cols() + 4, dem.Rows() + 4));
            EXPECT_EQ(Form().Document().DemSelection, (TRect{0, 0, dem.Cols(), dem.Rows()}));
        } else {
            EXPECT_EQ(Recorder.Errors.size(), 1);
            EXPECT_FALSE(Find<QAction>("ReReadBtn")->isEnabled());
        }
    }
    EXPECT_GT(opened, 0) << "some damage is tolerated";
    // The window still opens a good file afterwards.
    Recorder.Errors.clear();
    OpenSample();
    EXPECT_TRUE(Find<QAction>("ReReadBtn")->isEnabled());
}

// "Export GeoTIFF..." writes the open grid; reading the file back gives the same cells.
TEST_F(KVMapPageTest, ExportGeoTIFFWritesTheGrid)
{
    EXPECT_FALSE(Find<QAction>("ExportGeoTIFF1")->isEnabled()) << "nothing to export before a file is open";
    OpenSample();
    const std::filesystem::path path = Files.Path() / "sample.tif";
    Recorder.SaveAnswers << QString::fromStdString(path.string());
    Find<QAction>("ExportGeoTIFF1")->trigger();
    ASSERT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join("\n").toStdString();
    TDEMArray back;
    LoadElevationFile(path, back);
    const TDEMArray& dem = Form().Document().CurrentDEM;
    ASSERT_EQ(back.Cols(), dem.Cols());
    ASSERT_EQ(back.Rows(), dem.Rows());
    int differing = 0;
    for (int32_t x = 0; x < dem.Cols(); ++x)
        for (int32_t y = 0; y < dem.Rows(); ++y)
            differing += back.GetValue(x, y) != dem.GetValue(x, y);
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace kv
