// The "Elevation Editor" driven as a user drives it: typing with Enter, pasting a spreadsheet
// block, loading and saving elevation files, and what OK and Cancel do to the topo grid.

#include "app/KVElevEditor.h"

#include "AppTestSupport.h"
#include "platform/gui/Clipboard.h"
#include "support/TestData.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kv {
namespace {

using test::TRecorder;

class KVElevEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::TestApplication();
        Dlg_ = std::make_unique<TKvxEditDlg>(nullptr, Recorder.Services());
    }

    // Runs the editor on the document; `user` acts inside the shown dialog and says OK or not.
    bool Run(const std::function<bool(TKvxEditDlg&)>& user, const TUnits& units = Meters)
    {
        Recorder.OnDialog = [&](QDialog& dialog) {
            dialog.show();
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            const bool ok = user(*Dlg_);
            dialog.hide();
            return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
        };
        return Dlg_->ShowElevationEditor(Doc, units);
    }

    QString Shown(const char* name) { return Dlg_->findChild<QLabel*>(QLatin1String(name))->text(); }
    void Click(const char* name) { QTest::mouseClick(Dlg_->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton); }
    QString Cell(int col, int row) { return QString::fromStdString(Dlg_->Sheet().CellText(col, row)); }
    QModelIndex Current() { return Dlg_->PointGrid().currentIndex(); }
    // Keys go where the user's would: to the cell editor while one is open, else to the table.
    static QWidget* Focus(QWidget* fallback)
    {
        QWidget* focus = QApplication::focusWidget();
        return focus ? focus : fallback;
    }
    static void Type(QWidget* view, const QString& text)
    {
        for (const QChar c : text)
            QTest::keyClicks(Focus(view), QString(c));
    }

    static constexpr TUnits Meters{false};
    static constexpr TUnits Feet{true};
    TRecorder Recorder;
    TTopoDocument Doc;
    std::unique_ptr<TKvxEditDlg> Dlg_;
};

TEST_F(KVElevEditorTest, TypingWithEnterFillsRowsAndOKMakesTheGrid)
{
    const bool ok = Run([&](TKvxEditDlg& dlg) {
        EXPECT_EQ(Shown("GridSizeDis"), "0,0");
        TPointGridView& view = dlg.PointGrid();
        view.setFocus();
        // Three cells across, Enter after each: the cursor walks right.
        for (const char* value : {"1", "2.5", "-3"}) {
            Type(&view, QLatin1String(value));
            QTest::keyClick(Focus(&view), Qt::Key_Return);
            QApplication::processEvents();
        }
        EXPECT_EQ(Current().column(), 3);
        EXPECT_EQ(Current().row(), 0);
        // Enter on a cell not being edited moves too.
        view.setCurrentIndex(view.model()->index(0, 0));
        QTest::keyClick(&view, Qt::Key_Down);
        Type(&view, QStringLiteral("4"));
        QTest::keyClick(Focus(&view), Qt::Key_Enter);
        QApplication::processEvents();
        EXPECT_EQ(Current().row(), 1);
        EXPECT_EQ(Current().column(), 1);
        EXPECT_EQ(Shown("GridSizeDis"), "3,2");
        return true;
    });
    ASSERT_TRUE(ok);
    EXPECT_TRUE(Doc.TopoLoaded);
    ASSERT_EQ(Doc.Grid.Cols(), 3);
    ASSERT_EQ(Doc.Grid.Rows(), 2);
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(1, 0), 2.5);
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(2, 0), -3.0);
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(0, 1), 4.0);
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(1, 1), 0.0); // inside the extent but empty
}

TEST_F(KVElevEditorTest, ValueStillBeingTypedCountsWhenOKIsClicked)
{
    const bool ok = Run([&](TKvxEditDlg& dlg) {
        dlg.PointGrid().setFocus();
        Type(&dlg.PointGrid(), QStringLiteral("42"));
        Click("OKBtn");
        return dlg.result() == QDialog::Accepted;
    });
    ASSERT_TRUE(ok);
    ASSERT_EQ(Doc.Grid.Cols(), 1);
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(0, 0), 42.0);
}

TEST_F(KVElevEditorTest, EnterOnTheLastColumnGoesToTheNextRow)
{
    Run([&](TKvxEditDlg& dlg) {
        TPointGridView& view = dlg.PointGrid();
        view.setFocus();
        view.setCurrentIndex(view.model()->index(4, SheetCols - 1));
        QTest::keyClick(&view, Qt::Key_Return);
        EXPECT_EQ(Current().row(), 5);
        EXPECT_EQ(Current().column(), 0);
        return false;
    });
}

TEST_F(KVElevEditorTest, ConfirmingKeepsTheWholeLargestGridInWorkingUnits)
{
    Doc.Grid.SetSize(TopoCapacity, TopoCapacity);
    for (int c = 0; c < TopoCapacity; ++c)
        for (int r = 0; r < TopoCapacity; ++r)
            Doc.Grid.Set(c, r, 100.0 + c - r);
    Doc.Spacing = {30.0, 10.0};
    const bool ok = Run(
        [&](TKvxEditDlg&) {
            EXPECT_EQ(Cell(0, 0), "328");
            EXPECT_EQ(Shown("GridSizeDis"), "1500,1500");
            return true;
        },
        Feet);
    ASSERT_TRUE(ok);
    ASSERT_EQ(Doc.Grid.Cols(), TopoCapacity);
    ASSERT_EQ(Doc.Grid.Rows(), TopoCapacity);
    // What the table showed (no decimals) comes back: 328 ft, about 99.974 m.
    EXPECT_NEAR(Doc.Grid.Get(0, 0), 328.0 / FeetPerMeter, 1e-9);
    EXPECT_NEAR(Doc.Grid.Get(TopoCapacity - 1, TopoCapacity - 1), 328.0 / FeetPerMeter, 1e-9);
    EXPECT_NEAR(Doc.Spacing.East, 30.0, 1e-3);
    EXPECT_NEAR(Doc.Spacing.North, 10.0, 1e-3);
}

TEST_F(KVElevEditorTest, PastedSpreadsheetBlockBecomesTheGridAndCancelKeepsTheOld)
{
    Doc.Grid.SetSize(2, 2);
    Doc.Grid.Set(0, 0, 7.0);
    PutClipboardText("1\t2\t3\r\n4\t5\t6\r\n");
    const bool cancelled = !Run([&](TKvxEditDlg&) {
        Click("PasteBtn");
        EXPECT_EQ(Cell(2, 1), "6.0");
        EXPECT_EQ(Shown("GridSizeDis"), "3,2");
        return false;
    });
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(Doc.Grid.Cols(), 2);
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(0, 0), 7.0);

    // The keys do what the buttons do.
    ASSERT_TRUE(Run([&](TKvxEditDlg& dlg) {
        QTest::keySequence(&dlg.PointGrid(), QKeySequence::Paste);
        QTest::keySequence(&dlg.PointGrid(), QKeySequence::Copy);
        return true;
    }));
    EXPECT_EQ(ReadClipboardText(), "1.0\t2.0\t3.0\r\n4.0\t5.0\t6.0\r\n");
    ASSERT_EQ(Doc.Grid.Cols(), 3);
    ASSERT_EQ(Doc.Grid.Rows(), 2);
    EXPECT_DOUBLE_EQ(Doc.Grid.Get(2, 1), 6.0);
}

TEST_F(KVElevEditorTest, SavedFileLoadsBackAndLoadingSetsTheSpacingAtOnce)
{
    const test::TTempDir folder;
    const QString file = QString::fromStdString((folder / "hill.elv").string());
    Doc.Grid.SetSize(2, 1);
    Doc.Grid.Set(0, 0, 100.0);
    Doc.Grid.Set(1, 0, 250.0);
    Doc.Spacing = {30.0, 20.0};
    Recorder.SaveAnswers << file;
    Run(
        [&](TKvxEditDlg&) {
            Click("WriteFileBtn");
            return false;
        },
        Feet);
    // The table showed 328 and 820 ft; the file holds metres.
    EXPECT_EQ(test::ReadFileText(folder / "hill.elv"), "2,1\r\n30.0,20.0\r\n0.0,0.0,31\r\n100.0,249.9\r\n");

    Doc = TTopoDocument{};
    Recorder.OpenAnswers << file;
    const bool ok = Run([&](TKvxEditDlg&) {
        Click("ReadFileBtn");
        EXPECT_EQ(Cell(1, 0), "249.9");
        EXPECT_EQ(Shown("GridSizeDis"), "2,1");
        return false; // cancelled: the spacing was taken all the same
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(Doc.Spacing, (TGroundSpacing{30.0, 20.0}));
    EXPECT_TRUE(Doc.Grid.Empty());
    EXPECT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join('\n').toStdString();
}

TEST_F(KVElevEditorTest, UnreadableFileIsReportedAndTheTableStays)
{
    const test::TTempDir folder;
    test::WriteFileText(folder / "bad.elv", "-5,3\r\n");
    Recorder.OpenAnswers << QString::fromStdString((folder / "bad.elv").string());
    Run([&](TKvxEditDlg& dlg) {
        dlg.Sheet().SetCellText(0, 0, "12");
        Click("ReadFileBtn");
        EXPECT_EQ(Cell(0, 0), "12");
        return false;
    });
    EXPECT_EQ(Recorder.Errors.size(), 1);
}

} // namespace
} // namespace kv
