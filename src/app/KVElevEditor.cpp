#include "app/KVElevEditor.h"

#include "app/KVElevSheetModel.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/CursorShapes.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace kv {

namespace {

const QString ElvFilter = QStringLiteral("Elevation Data (*.elv);;All Files (*)");

std::filesystem::path ToPath(const QString& text)
{
    return std::filesystem::path(text.toStdString());
}

QDoubleSpinBox* ResolutionSpin(QWidget* parent, const char* name)
{
    auto* spin = new QDoubleSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setDecimals(3);
    spin->setRange(ElvSpacingMin, ElvSpacingMax);
    spin->setSingleStep(0.1);
    spin->setValue(10.0);
    return spin;
}

} // namespace

TPointGridView::TPointGridView(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("PointGrid"));
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    horizontalHeader()->setDefaultSectionSize(64);
    verticalHeader()->setDefaultSectionSize(22);
    // Fixed sizes: the view never measures the texts of 2 million cells.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void TPointGridView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // While a cell is edited the editor's own Enter commits it and closeEditor moves on.
        if (state() != QAbstractItemView::EditingState)
            MoveOnEnter();
        event->accept(); // never the dialog's default button
        return;
    }
    if (event->matches(QKeySequence::Copy) && OnCopy) {
        OnCopy();
        return;
    }
    if (event->matches(QKeySequence::Paste) && OnPaste) {
        OnPaste();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TPointGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Enter in an editor ends it with SubmitModelCache; Tab and Escape keep their usual moves.
    if (hint == QAbstractItemDelegate::SubmitModelCache) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        MoveOnEnter();
        return;
    }
    QTableView::closeEditor(editor, hint);
}

void TPointGridView::MoveOnEnter()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !model())
        return;
    const TSheetCell next = NextCellOnEnter({current.column(), current.row()});
    setCurrentIndex(model()->index(next.Row, next.Col));
}

TKvxEditDlg::TKvxEditDlg(QWidget* parent, TAppServices services, std::function<void(int context)> showHelp)
    : QDialog(parent), Services_(std::move(services))
{
    setObjectName(QStringLiteral("KvxEditDlg"));
    setWindowTitle(QStringLiteral("Elevation Editor"));

    Model_ = new TElevSheetModel(Sheet_, this);
    PointGrid_ = new TPointGridView(this);
    PointGrid_->setModel(Model_);
    connect(Model_, &TElevSheetModel::CellEdited, this, [this] { ShowSize(); });

    const auto button = [this](const char* name, const char* caption, const char* hint) {
        auto* b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        if (hint[0] != '\0')
            b->setToolTip(QLatin1String(hint));
        return b;
    };
    QPushButton* readBtn = button("ReadFileBtn", "Load", "Load Grid Data");
    QPushButton* writeBtn = button("WriteFileBtn", "Save", "Save Grid Data");
    QPushButton* copyBtn = button("CopyBtn", "Copy", "Copy From Grid");
    QPushButton* pasteBtn = button("PasteBtn", "Paste", "Paste To Grid");
    QPushButton* clearBtn = button("ClearGridBtn", "Clear", "");
    QPushButton* okBtn = button("OKBtn", "OK", "");
    QPushButton* cancelBtn = button("CancelBtn", "Cancel", "");
    QPushButton* helpBtn = button("HelpBtn", "Help", "");
    const auto command = [this](void (TKvxEditDlg::*handler)()) {
        return [this, handler] { RunCommand(Services_.Messages, [this, handler] { (this->*handler)(); }); };
    };
    connect(readBtn, &QPushButton::clicked, this, command(&TKvxEditDlg::ReadFile));
    connect(writeBtn, &QPushButton::clicked, this, command(&TKvxEditDlg::WriteFile));
    connect(copyBtn, &QPushButton::clicked, this, command(&TKvxEditDlg::CopyGrid));
    connect(pasteBtn, &QPushButton::clicked, this, command(&TKvxEditDlg::PasteGrid));
    connect(clearBtn, &QPushButton::clicked, this, command(&TKvxEditDlg::ClearGrid));
    PointGrid_->OnCopy = command(&TKvxEditDlg::CopyGrid);
    PointGrid_->OnPaste = command(&TKvxEditDlg::PasteGrid);
    connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpBtn, &QPushButton::clicked, this, [showHelp] {
        if (showHelp)
            showHelp(HelpContext);
    });

    EastResSpin_ = ResolutionSpin(this, "EastResSpin");
    NorthResSpin_ = ResolutionSpin(this, "NorthResSpin");
    GridSizeDis_ = new QLabel(this);
    GridSizeDis_->setObjectName(QStringLiteral("GridSizeDis"));
    GridSizeDis_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    UpdateConChk_ = new QCheckBox(QStringLiteral("Update Contour Intervals"), this);
    UpdateConChk_->setObjectName(QStringLiteral("UpdateConChk"));
    UpdateConChk_->setChecked(true);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("East Resolution"), EastResSpin_);
    fields->addRow(QStringLiteral("North Resolution"), NorthResSpin_);
    fields->addRow(QStringLiteral("Columns,Rows"), GridSizeDis_);
    fields->addRow(UpdateConChk_);

    auto* side = new QVBoxLayout;
    for (QPushButton* b : {readBtn, writeBtn, copyBtn, pasteBtn, clearBtn})
        side->addWidget(b);
    side->addLayout(fields);
    side->addStretch();
    for (QPushButton* b : {okBtn, cancelBtn, helpBtn})
        side->addWidget(b);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(PointGrid_, 1);
    layout->addLayout(side);
    resize(760, 480);
    ShowSize();
}

bool TKvxEditDlg::UpdateContourIntervals() const
{
    return UpdateConChk_->isChecked();
}

bool TKvxEditDlg::ShowElevationEditor(TTopoDocument& doc, const TUnits& units)
{
    Units_ = units;
    {
        TWaitCursor wait;
        Sheet_.FillFromGrid(doc.Grid, units.UnitFactor());
        SheetReplaced();
    }
    const QString suffix = QLatin1Char(' ') + QLatin1String(units.UnitSuffix());
    EastResSpin_->setSuffix(suffix);
    NorthResSpin_->setSuffix(suffix);
    ShowSpacing(doc.Spacing);
    PointGrid_->setCurrentIndex(Model_->index(0, 0));

    Doc_ = &doc;
    const bool confirmed = Services_.RunDialog(*this) == QDialog::Accepted;
    Doc_ = nullptr;
    if (!confirmed)
        return false;

    TWaitCursor wait;
    const double f = units.UnitFactor();
    doc.TopoLoaded = Sheet_.WriteToGrid(doc.Grid, f);
    doc.Spacing = {EastResSpin_->value() / f, NorthResSpin_->value() / f};
    return true;
}

void TKvxEditDlg::ClearGrid()
{
    Sheet_.Clear();
    SheetReplaced();
}

void TKvxEditDlg::CopyGrid()
{
    PutClipboardText(Sheet_.CopyText());
}

void TKvxEditDlg::PasteGrid()
{
    const std::string text = ReadClipboardText();
    if (text.empty())
        return;
    Sheet_.PasteText(text);
    SheetReplaced();
}

void TKvxEditDlg::ReadFile()
{
    TFileRequest request;
    request.Title = QStringLiteral("Load Grid Data");
    request.Filter = ElvFilter;
    request.DefaultExtension = QStringLiteral("elv");
    const QString fileName = Services_.Files.OpenFile(request);
    if (fileName.isEmpty())
        return;
    // The sheet shows what was read even when a later part of the file fails.
    struct TRefresh {
        TKvxEditDlg* Dlg;
        ~TRefresh() { Dlg->SheetReplaced(); }
    } refresh{this};
    const TElvHeader header = LoadElvFile(ToPath(fileName), Sheet_, Units_.UnitFactor());
    const TGroundSpacing spacing{header.EastSpacing, header.NorthSpacing};
    if (Doc_)
        Doc_->Spacing = spacing;
    ShowSpacing(spacing);
}

void TKvxEditDlg::WriteFile()
{
    TFileRequest request;
    request.Title = QStringLiteral("Save Grid Data");
    request.Filter = ElvFilter;
    request.DefaultExtension = QStringLiteral("elv");
    const QString fileName = Services_.Files.SaveFile(request);
    if (fileName.isEmpty())
        return;
    SaveElvFile(ToPath(fileName), Sheet_, EastResSpin_->value(), NorthResSpin_->value(), Units_.UnitFactor());
}

void TKvxEditDlg::SheetReplaced()
{
    Model_->SheetReplaced();
    ShowSize();
}

void TKvxEditDlg::ShowSize()
{
    GridSizeDis_->setText(QString::fromStdString(Sheet_.SizeText()));
}

void TKvxEditDlg::ShowSpacing(const TGroundSpacing& spacing)
{
    EastResSpin_->setValue(spacing.East * Units_.UnitFactor());
    NorthResSpin_->setValue(spacing.North * Units_.UnitFactor());
}

} // namespace kv
