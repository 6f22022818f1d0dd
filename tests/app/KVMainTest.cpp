// The main window driven as a user drives it: by the objectNames of its commands and widgets.

#include "app/KVMain.h"

#include "AppTestSupport.h"
#include "app/KVDEMInfoDlg.h"
#include "app/KVDEMMergeDlg.h"
#include "app/KVEnvironDlg.h"
#include "app/KVHelp.h"
#include "dem/DEMWriter.h"
#include "support/DEMFixtures.h"
#include "platform/INIFile.h"
#include "platform/KVError.h"
#include "support/TestData.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace kv {
namespace {

using test::TRecorder;
using test::TTempDir;

const QString SampleFile = QString::fromStdString((test::SamplesDir() / "jacksboro.dem").string());

class KVMainTest : public ::testing::Test {
protected:
    void SetUp() override { test::TestApplication(); }
    void TearDown() override { std::filesystem::current_path(StartFolder); }

    TForm1& Form(const QString& commandLineFile = QString())
    {
        TMainOptions options;
        options.SettingsFolder = Settings.Path();
        options.CommandLineFile = commandLineFile;
        options.Services = Recorder.Services();
        Form_ = std::make_unique<TForm1>(std::move(options));
        return *Form_;
    }
    void CloseForm() { Form_.reset(); }

    template <typename T> T* Find(const char* name) const
    {
        T* child = Form_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QAction* Command(const char* name) const { return Find<QAction>(name); }
    bool Enabled(const char* name) const { return Command(name)->isEnabled(); }

    void Open(const QString& fileName)
    {
        Form_->OpenDEMFile(fileName);
        ASSERT_TRUE(Form_->WaitForOpen(60000));
    }
    QStringList ReopenCaptions() const
    {
        QStringList captions;
        for (QAction* item : Find<QMenu>("Reopen1")->actions())
            captions << item->text();
        return captions;
    }

    std::filesystem::path StartFolder = std::filesystem::current_path();
    TTempDir Settings;
    TTempDir Files;
    TRecorder Recorder;
    std::unique_ptr<TForm1> Form_;
};

TEST_F(KVMainTest, StartUpState)
{
    TForm1& form = Form();
    EXPECT_EQ(form.windowTitle(), "Korvela3D");
    EXPECT_EQ(form.size(), QSize(640, 478));

    auto* pages = Find<QTabWidget>("MainPageControl");
    ASSERT_EQ(pages->count(), 4);
    const char* captions[] = {"DEM Reader", "Topo Editor", "3D Model Editor", "Overlay Editor"};
    const char* sheets[] = {"DEMSheet", "TopoSheet", "DirectXSheet", "OverlayTabsheet"};
    for (int page = 0; page < 4; ++page) {
        EXPECT_EQ(pages->tabText(page), captions[page]);
        EXPECT_EQ(pages->widget(page)->objectName(), sheets[page]);
        EXPECT_TRUE(pages->isTabEnabled(page));
    }
    EXPECT_EQ(pages->currentIndex(), 0);

    for (const char* name : {"ReReadBtn", "TopoEditBtn", "SetBoxBtn", "SaveImage1", "PrintImage1", "CaptureBtn"})
        EXPECT_FALSE(Enabled(name)) << name;
    for (const char* name : {"OpenDemFile1", "Reopen1", "DemInfo1", "DemErrorInfo1", "EnvironmentOptions1",
                             "SaveUserDefaults1", "MergeDEMFiles1", "Contents1", "KeyWordSearch1", "Exit1",
                             "TestObjects1", "SoccerBall1", "Torus1", "SceneSettings1", "ZoomInBtn", "PitchDownBtn",
                             "ResetScaleBtn", "AnimateBtn", "StopBtn", "SetTerrainColor1", "SetBaseColor1", "Lighting1", "Materials1"})
        EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_TRUE(ReopenCaptions().isEmpty());

    auto* progress = Find<QProgressBar>("ProgressBar1");
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 100);
}

TEST_F(KVMainTest, EveryCommandHasOneActionAndEveryActionIsACommand)
{
    TForm1& form = Form();
    for (const TCommandInfo& command : MainCommands()) {
        const QString name = QString::fromLatin1(command.Name.data(), command.Name.size());
        EXPECT_EQ(form.findChildren<QAction*>(name).size(), 1) << command.Name;
    }
    for (QAction* action : form.findChildren<QAction*>()) {
        const QString name = action->objectName();
        if (!name.isEmpty() && !name.startsWith("ReopenItem") && (!action->menu() || name == "Reopen1")) {
            EXPECT_NE(FindCommand(name.toStdString()), nullptr) << name.toStdString();
        }
    }
}

TEST_F(KVMainTest, MenusShowTheirItemsInOrder)
{
    Form();
    const struct {
        const char* Menu;
        const char* Title;
        QStringList Items; // "-" for a separator
    } menus[] = {
        {"File1", "&File", {"&Open Dem File...", "&Reopen", "-", "&Load Terrain File...", "&Save Terrain File...",
                            "-", "Load &X File...", "S&ave X File...", "Export Model...", "-", "Save Image As &Bitmap...",
                            "&Print Image...", "Export &GeoTIFF...", "-", "&Test Objects", "-", "Exit"}},
        {"Edit1", "&Edit", {"&Copy Image", "-", "Set &Terrain Color...", "Set &Base Color...", "-",
                            "&Arm AVI Capture..."}},
        {"DEM1", "DEM", {"&Plot Options...", "-", "&Dem Info...", "Dem &Error Info..."}},
        {"Terrain1", "&Terrain", {"Special Effects..."}},
        {"Options1", "&Options", {"&Scene Settings...", "&Lighting...", "Materials...", "-",
                                  "&Environment Options...", "&Capture Options...", "-", "S&ave User Defaults"}},
        {"Tools1", "&Tools", {"&Merge DEM Files..."}},
        {"Help1", "&Help", {"&Contents", "Key Word Search"}},
        {"TestObjects1", "&Test Objects", {"&Soccer Ball", "&Torus"}},
    };
    for (const auto& row : menus) {
        SCOPED_TRACE(row.Menu);
        auto* menu = Find<QMenu>(row.Menu);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title(), row.Title);
        QStringList items;
        for (QAction* action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        EXPECT_EQ(items, row.Items);
    }
}

TEST_F(KVMainTest, PageControlsCarryTheirHintsDefaultsAndRanges)
{
    Form();
    const struct {
        const char* Name;
        const char* Hint;
    } hints[] = {
        {"ReReadBtn", "Redraw Image"}, {"TopoEditBtn", "Edit Selected"}, {"SetBoxBtn", "Reset Selection Box"},
        {"EditGridBtn", "Manual Edit"}, {"ConvertBtn", "Convert To 3D Mesh"}, {"FilterBtn", "Filter Data"},
        {"ZoomInBtn", "Zoom In"},       {"PanLeftBtn", "Pan Left"},          {"PitchDownBtn", "Pitch Down"},
        {"StopBtn", "Stop Rotations"},  {"CaptureBtn", "Start/Stop Capture"}, {"AnimateBtn", "Animate"},
    };
    for (const auto& row : hints)
        EXPECT_EQ(Find<QToolButton>(row.Name)->toolTip(), row.Hint) << row.Name;

    auto* space = Find<QSpinBox>("SpaceSpin");
    EXPECT_EQ(std::tuple(space->minimum(), space->maximum(), space->value()), std::tuple(1, 500, 5));
    auto* contour = Find<QDoubleSpinBox>("ContourSpinEdit");
    EXPECT_EQ(std::tuple(contour->minimum(), contour->maximum(), contour->singleStep(), contour->value()),
              std::tuple(0.1, 1000.0, 5.0, 246.06)); // 75 m in the working unit
    EXPECT_EQ(contour->suffix(), " Ft.");
    auto* increment = Find<QDoubleSpinBox>("IncSpin");
    EXPECT_EQ(std::tuple(increment->minimum(), increment->maximum(), increment->singleStep(), increment->value()),
              std::tuple(0.0, 100.0, 0.5, 5.0));
    EXPECT_TRUE(Find<QRadioButton>("SmoothBtn")->isChecked());
    EXPECT_TRUE(Command("AnimateBtn")->isCheckable());
    EXPECT_TRUE(Find<QToolButton>("ZoomInBtn")->autoRepeat());
    EXPECT_EQ(Find<QToolButton>("ZoomInBtn")->autoRepeatDelay(), 400);
    EXPECT_EQ(Find<QToolButton>("ZoomInBtn")->autoRepeatInterval(), 100);
}

TEST_F(KVMainTest, OpenSampleThroughTheFileChooser)
{
    TForm1& form = Form();
    Recorder.OpenAnswers << SampleFile;
    Command("OpenDemFile1")->trigger();
    EXPECT_EQ(Recorder.FileRequests, QStringList{"Open Digital Elevation Model Files"});

    // The file is read off the user-interface thread: the window shows the reading state.
    EXPECT_TRUE(form.Document().State().Opening);
    EXPECT_FALSE(Enabled("OpenDemFile1"));
    EXPECT_FALSE(Enabled("Reopen1"));
    EXPECT_EQ(Find<QProgressBar>("ProgressBar1")->maximum(), 0) << "busy bar";
    EXPECT_EQ(form.windowTitle(), "jacksboro.dem - Korvela3D");

    ASSERT_TRUE(form.WaitForOpen(60000));
    EXPECT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join("\n").toStdString();
    EXPECT_TRUE(form.Document().State().DEMLoaded);
    EXPECT_EQ(form.Document().CurrentDEM.Cols(), 403);
    EXPECT_EQ(form.Document().CurrentDEM.Rows(), 343);
    EXPECT_TRUE(Enabled("OpenDemFile1"));
    EXPECT_EQ(Find<QProgressBar>("ProgressBar1")->maximum(), 100);
    EXPECT_EQ(ReopenCaptions(), QStringList{"&1 jacksboro.dem"});
    EXPECT_EQ(Find<QLabel>("ErrorDis")->text(), "");
    EXPECT_EQ(QDir::currentPath(), QFileInfo(SampleFile).absolutePath());

    // The map commands that work are on, the image output among them.
    for (const char* name : {"ReReadBtn", "SetBoxBtn", "Options2", "ExportGeoTIFF1", "TopoEditBtn", "SaveImage1",
                             "PrintImage1"})
        EXPECT_TRUE(Enabled(name)) << name;
}

TEST_F(KVMainTest, RecentFilesKeepOneEntryPerFileAndAreWrittenAtClose)
{
    // A relative name is opened (and remembered) as the full path.
    std::filesystem::current_path(test::SamplesDir());
    const std::string other = (Files / "other.dem").string();
    test::WriteFileText(other, "not a DEM");
    {
        Form();
        Open("jacksboro.dem");
        Open(QString::fromStdString(other));
        Open(SampleFile);
        EXPECT_EQ(ReopenCaptions(), (QStringList{"&1 jacksboro.dem", "&2 other.dem"}));

        // A click on an entry opens it and moves it to the top.
        Find<QAction>("ReopenItem1")->trigger();
        ASSERT_TRUE(Form_->WaitForOpen(60000));
        EXPECT_EQ(Form_->windowTitle(), "other.dem - Korvela3D");
        EXPECT_EQ(ReopenCaptions(), (QStringList{"&1 other.dem", "&2 jacksboro.dem"}));
        CloseForm();
    }
    const TINIFile ini = TINIFile::Load(Settings / "XKorvela.ini");
    EXPECT_EQ(ini.ReadInteger("History", "Count", 0), 2);
    EXPECT_EQ(ini.ReadString("History", "Path0", ""), other);
    EXPECT_EQ(ini.ReadString("History", "Path1", ""), QFileInfo(SampleFile).absoluteFilePath().toStdString());
}

TEST_F(KVMainTest, FailedOpenShowsTheErrorAndKeepsMapCommandsOff)
{
    TForm1& form = Form();
    Open(SampleFile);
    const QString missing = QString::fromStdString((Files / "missing.dem").string());
    Open(missing);
    ASSERT_EQ(Recorder.Errors.size(), 1);
    EXPECT_TRUE(Recorder.Errors[0].contains("missing.dem")) << Recorder.Errors[0].toStdString();
    EXPECT_EQ(form.windowTitle(), "missing.dem - Korvela3D");
    EXPECT_FALSE(form.Document().State().DEMLoaded);
    EXPECT_TRUE(Enabled("OpenDemFile1"));
    EXPECT_EQ(ReopenCaptions(), (QStringList{"&1 missing.dem", "&2 jacksboro.dem"}));
}

TEST_F(KVMainTest, DefectSummaryFollowsTheLastOpen)
{
    TDEMArray geo = test::MakeSampleDEM(3, 20);
    geo.Info.GroundRef = 0;
    geo.Info.Corners = {}; // read with fixed corners: a defect
    geo.Info.Resolution = {180.0, 180.0, 1.0};
    const std::filesystem::path defective = Files / "defective.dem";
    test::WriteFileText(defective, test::WithLineBreaks(FormatDEMText(geo), "\r\n"));

    TForm1& form = Form();
    Open(QString::fromStdString(defective.string()));
    EXPECT_TRUE(form.Document().State().DEMLoaded);
    EXPECT_EQ(Find<QLabel>("ErrorDis")->text(), "Embedded Carriage Returns: 3  Invalid Corners: 1");
    Recorder.OnDialog = [](QDialog&) { return int(QDialog::Accepted); };
    Command("DemErrorInfo1")->trigger();
    EXPECT_EQ(form.DemErrorDlg().Lines(),
              (std::vector<std::string>{"Embedded Carriage Returns: 3", "Invalid Corners: 1"}));

    Open(SampleFile);
    EXPECT_EQ(Find<QLabel>("ErrorDis")->text(), "");
    Command("DemErrorInfo1")->trigger();
    EXPECT_TRUE(form.DemErrorDlg().Lines().empty());
}

TEST_F(KVMainTest, CommandLineFileOpensAtTheFirstActivationOnly)
{
    TForm1& form = Form(SampleFile);
    form.FirstActivate();
    ASSERT_TRUE(form.WaitForOpen(60000));
    EXPECT_EQ(form.windowTitle(), "jacksboro.dem - Korvela3D");

    Open(QString::fromStdString((Files / "missing.dem").string()));
    form.FirstActivate();
    EXPECT_EQ(form.windowTitle(), "missing.dem - Korvela3D");
}

TEST_F(KVMainTest, CommandLineFilesThatDoNotOpenAsDEMs)
{
    const struct {
        const char* Name;
        const char* Contents; // nullptr: the file does not exist
        QStringList Errors;
    } rows[] = {
        {"missing.dem", nullptr, {}},
        {"notes.TXT", "text", {}},
        {"scene.txml", "<OpenGLXML/>", {"The scene file's root element OpenGLXML holds no frame"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::filesystem::path path = Files / row.Name;
        if (row.Contents)
            test::WriteFileText(path, row.Contents);
        Recorder.Informations.clear();
        Recorder.Errors.clear();
        TForm1& form = Form(QString::fromStdString(path.string()));
        form.FirstActivate();
        EXPECT_EQ(form.windowTitle(), "Korvela3D");
        EXPECT_FALSE(form.Document().State().Opening);
        EXPECT_TRUE(Recorder.Informations.isEmpty());
        EXPECT_EQ(Recorder.Errors, row.Errors);
    }
}

TEST_F(KVMainTest, UnitsChangeThroughTheEnvironmentOptions)
{
    TForm1& form = Form();
    Open(SampleFile);
    const struct {
        const char* Name;
        const char* Choice;
        bool Accept;
        bool FeetAfter;
        const char* Suffix;
    } rows[] = {
        {"meters, OK", "MetersBtn", true, false, " M."},
        {"feet, cancelled", "FeetBtn", false, false, " M."},
        {"feet, OK", "FeetBtn", true, true, " Ft."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const bool feetBefore = form.Document().Units().UseFeet;
        Recorder.OnDialog = [&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Environment Options");
            EXPECT_EQ(dialog.findChild<QRadioButton*>("FeetBtn")->isChecked(), feetBefore);
            dialog.findChild<QRadioButton*>(row.Choice)->click();
            return row.Accept ? int(QDialog::Accepted) : int(QDialog::Rejected);
        };
        Command("EnvironmentOptions1")->trigger();
        EXPECT_EQ(form.Document().Units().UseFeet, row.FeetAfter);
        EXPECT_EQ(Find<QDoubleSpinBox>("ContourSpinEdit")->suffix(), row.Suffix);
        EXPECT_TRUE(Find<QWidget>("DEMImage")->toolTip().contains(QString(row.Suffix).trimmed()));
    }

    // The information dialog shows its elevations in the working units.
    Recorder.OnDialog = [](QDialog&) { return int(QDialog::Accepted); };
    Command("DemInfo1")->trigger();
    const std::vector<std::string> lines = form.DemInfoDlg().Lines();
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[2], "High Point: 3530 Ft.");
}

TEST_F(KVMainTest, SaveUserDefaultsWritesTheUnits)
{
    Form();
    Recorder.OnDialog = [](QDialog& dialog) {
        dialog.findChild<QRadioButton*>("MetersBtn")->click();
        return int(QDialog::Accepted);
    };
    Command("EnvironmentOptions1")->trigger();
    EXPECT_FALSE(std::filesystem::exists(Settings / "Korvela.ini")) << "nothing is written unasked";
    Command("SaveUserDefaults1")->trigger();
    EXPECT_TRUE(Recorder.Errors.isEmpty());
    const TINIFile ini = TINIFile::Load(Settings / "Korvela.ini");
    EXPECT_EQ(ini.ReadString("Units", "Feet", ""), "0");
    EXPECT_EQ(ini.ReadString("Plot", "Contrast", ""), "3");
}

TEST_F(KVMainTest, InformationDialogsBeforeAnyOpen)
{
    TForm1& form = Form();
    Recorder.OnDialog = [](QDialog&) { return int(QDialog::Accepted); };
    Command("DemInfo1")->trigger();
    const std::vector<std::string> lines = form.DemInfoDlg().Lines();
    ASSERT_GT(lines.size(), 12u);
    EXPECT_EQ(form.DemInfoDlg().windowTitle(), "DEM Information");
    EXPECT_EQ(lines[0], "Map Name: ");
    EXPECT_EQ(lines[1], "Columns: 0");
    EXPECT_EQ(lines[10], "Ground Units: Radians");
    Command("DemErrorInfo1")->trigger();
    EXPECT_EQ(form.DemErrorDlg().windowTitle(), "DEM Error Information");
    EXPECT_TRUE(form.DemErrorDlg().Lines().empty());
}

struct TRefusalCase {
    const char* Name;
    TMergeDirection Direction;
    bool FirstExists;
    bool SecondExists;
    const char* Notice;
};

const TRefusalCase RefusalCases[] = {
    {"west missing", mdWestEast, false, true, "Invalid West File"},
    {"both missing", mdWestEast, false, false, "Invalid West File"},
    {"east missing", mdWestEast, true, false, "Invalid East File"},
    {"south missing", mdSouthNorth, false, true, "Invalid South File"},
    {"north missing", mdSouthNorth, true, false, "Invalid North File"},
};

TEST_F(KVMainTest, MergeRefusesMissingInputs)
{
    Form();
    const QString existing = SampleFile;
    const QString missing = QString::fromStdString((Files / "missing.dem").string());
    for (const TRefusalCase& row : RefusalCases) {
        SCOPED_TRACE(row.Name);
        Recorder.Informations.clear();
        Recorder.FileRequests.clear();
        Recorder.OnDialog = [&](QDialog& dialog) {
            auto& merge = dynamic_cast<TMergeDlg&>(dialog);
            EXPECT_EQ(merge.windowTitle(), "Merge DEM Files");
            const bool westEast = row.Direction == mdWestEast;
            dialog.findChild<QLineEdit*>(westEast ? "WestEdit" : "SouthEdit")->setText(row.FirstExists ? existing : missing);
            dialog.findChild<QLineEdit*>(westEast ? "EastEdit" : "NorthEdit")->setText(row.SecondExists ? existing : missing);
            dialog.findChild<QPushButton*>(westEast ? "WestEastBtn" : "SouthNorthBtn")->click();
            return int(QDialog::Rejected);
        };
        Command("MergeDEMFiles1")->trigger();
        EXPECT_EQ(Recorder.Informations, QStringList{row.Notice});
        EXPECT_TRUE(Recorder.FileRequests.isEmpty()) << "no output file is asked for";
    }
}

TEST_F(KVMainTest, MergeAsksBeforeJoiningDistantFilesAndRunsTheGauge)
{
    TForm1& form = Form();
    TMergeDlg& merge = form.MergeDlg();
    EXPECT_EQ(merge.Page(), mdSouthNorth) << "the dialog opens on the north-south page";
    auto* pan = merge.findChild<QDoubleSpinBox*>("WEPanSpin");
    EXPECT_EQ(std::tuple(pan->minimum(), pan->maximum(), pan->singleStep(), pan->decimals(), pan->value()),
              std::tuple(0.0, 1.0, 0.01, 2, 0.5));

    // The sample side by side with itself: the corners that should meet are far apart.
    const std::filesystem::path output = Files / "merged.dem";
    merge.SetRequest({mdWestEast, SampleFile, SampleFile, 0.5});
    for (const bool answer : {false, true}) {
        SCOPED_TRACE(answer ? "Yes" : "No");
        Recorder.ConfirmAnswer = answer;
        Recorder.Questions.clear();
        Recorder.SaveAnswers << QString::fromStdString(output.string());
        merge.findChild<QPushButton*>("WestEastBtn")->click();
        ASSERT_EQ(Recorder.Questions.size(), 1);
        EXPECT_TRUE(Recorder.Questions[0].startsWith("DEM Files Are "));
        EXPECT_TRUE(Recorder.Questions[0].endsWith(" Meters Appart\nMerge Anyway?"));
        EXPECT_EQ(std::filesystem::exists(output), answer);
        EXPECT_EQ(merge.findChild<QProgressBar*>("MergeGauge")->value(), 0);
    }
    EXPECT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join("\n").toStdString();
}

TEST_F(KVMainTest, HelpOpensThePageOfEachContext)
{
    TForm1& form = Form();
    Command("Contents1")->trigger();
    EXPECT_TRUE(form.HelpWindow().isVisible());
    EXPECT_EQ(form.HelpWindow().CurrentPage(), "index.html");

    form.EnvironDlg().findChild<QPushButton*>("HelpBtn")->click();
    EXPECT_EQ(form.HelpWindow().CurrentPage(), "units.html");
    form.MergeDlg().findChild<QPushButton*>("HelpBtn")->click();
    EXPECT_EQ(form.HelpWindow().CurrentPage(), "merge.html");
    form.DemErrorDlg().findChild<QPushButton*>("HelpBtn")->click();
    EXPECT_EQ(form.HelpWindow().CurrentPage(), "dem-info.html");

    form.HelpWindow().findChild<QLineEdit*>("KeywordEdit")->setText("unit");
    Command("KeyWordSearch1")->trigger();
    EXPECT_EQ(form.HelpWindow().findChild<QLineEdit*>("KeywordEdit")->text(), "") << "an empty keyword";
}

TEST(KVHelpTest, EveryKeywordContextAndLinkNamesAnExistingPage)
{
    QStringList targets;
    for (const THelpKeyword& keyword : HelpKeywords())
        targets << QString::fromLatin1(keyword.Page);
    for (const int context : {1, 3, 5, 6, 7, 8, 0})
        targets << HelpPageForContext(context);
    QDir pages(QStringLiteral(":/help"));
    const QStringList files = pages.entryList({"*.html"});
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        QFile page(pages.filePath(file));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(page.readAll());
        static const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
        for (auto match = link.globalMatch(text); match.hasNext();)
            targets << match.next().captured(1);
    }
    for (const QString& target : targets) {
        const QString name = target.section(QLatin1Char('#'), 0, 0);
        EXPECT_TRUE(QFile::exists(":/help/" + name)) << target.toStdString();
        const QString anchor = target.section(QLatin1Char('#'), 1);
        if (!anchor.isEmpty()) {
            QFile page(":/help/" + name);
            ASSERT_TRUE(page.open(QIODevice::ReadOnly));
            EXPECT_TRUE(page.readAll().contains(("name=\"" + anchor + "\"").toUtf8())) << target.toStdString();
        }
    }
}

TEST(KVServicesTest, NoExceptionEscapesACommand)
{
    const struct {
        const char* Name;
        std::function<void()> Command;
        const char* Message;
    } rows[] = {
        {"program error", [] { throw EKorvelaError("Cannot open file x.dem"); }, "Cannot open file x.dem"},
        {"out of memory", [] { throw std::bad_alloc(); }, "Out of memory."},
        {"library error", [] { throw std::runtime_error("stoi"); }, "stoi"},
        {"anything else", [] { throw 42; }, "An unknown error occurred."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        QStringList errors;
        TMessageSink messages;
        messages.Error = [&](const QString& text) { errors << text; };
        bool succeeded = true;
        EXPECT_NO_THROW(succeeded = RunCommand(messages, row.Command));
        EXPECT_FALSE(succeeded);
        EXPECT_EQ(errors, QStringList{row.Message});
    }
    TMessageSink throwing;
    throwing.Error = [](const QString&) { throw std::runtime_error("the box failed too"); };
    EXPECT_NO_THROW(RunCommand(throwing, [] { throw 1; }));
    EXPECT_TRUE(RunCommand(throwing, [] {}));
}

} // namespace
} // namespace kv

namespace kv {
namespace {

// The program as a user starts it: it opens the sample, paints and writes its picture.
TEST(KVStartupTest, ScreenshotOfTheProgramOnTheSample)
{
    test::TestApplication();
    TTempDir folder;
    const QString picture = QString::fromStdString((folder / "window.png").string());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder.Path().string()));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KV_APP_PATH), {"--screenshot", picture, SampleFile});
    ASSERT_TRUE(program.waitForFinished(120000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    const QImage image(picture);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(640, 478));
    const TINIFile ini = TINIFile::Load(folder / "Korvela3D" / "XKorvela.ini");
    EXPECT_EQ(ini.ReadString("History", "Path0", ""), QFileInfo(SampleFile).absoluteFilePath().toStdString());
}

} // namespace
} // namespace kv

namespace kv {
namespace {

TEST(KVHelpTest, KeywordsAreAlphabetical)
{
    QString previous;
    for (const THelpKeyword& keyword : HelpKeywords()) {
        const QString current = QString::fromLatin1(keyword.Keyword);
        EXPECT_LT(previous.compare(current, Qt::CaseInsensitive), 0) << keyword.Keyword;
        previous = current;
    }
}

} // namespace
} // namespace kv
