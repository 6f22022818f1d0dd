#include "app/KVDEMMergeDlg.h"

#include "dem/KVDEMMerge.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <system_error>

namespace kv {

namespace {

bool IsExistingFile(const std::filesystem::path& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

std::filesystem::path ToPath(const QString& text)
{
    return std::filesystem::path(text.toStdString());
}

// The names of one page's widgets and labels.
struct TMergePageNames {
    const char* Sheet;
    const char* Caption;
    const char* FirstEdit;
    const char* FirstLabel;
    const char* SecondEdit;
    const char* SecondLabel;
    const char* PanSpin;
    const char* MergeBtn;
};

constexpr std::array<TMergePageNames, 2> PageNames{{
    {"WestEastSheet", "Merge West-East", "WestEdit", "West", "EastEdit", "East", "WEPanSpin", "WestEastBtn"},
    {"NorthSouthSheet", "Merge North-South", "SouthEdit", "South", "NorthEdit", "North", "SNPanSpin",
     "SouthNorthBtn"},
}};

} // namespace

QString MergeRefusal(TMergeDirection direction, const std::filesystem::path& first,
                     const std::filesystem::path& second)
{
    const TMergePageNames& names = PageNames[direction];
    if (!IsExistingFile(first))
        return QStringLiteral("Invalid %1 File").arg(QLatin1String(names.FirstLabel));
    if (!IsExistingFile(second))
        return QStringLiteral("Invalid %1 File").arg(QLatin1String(names.SecondLabel));
    return {};
}

TMergeDlg::TMergeDlg(QWidget* parent, TAppServices services, std::function<void(int context)> showHelp)
    : QDialog(parent), Services_(std::move(services))
{
    setObjectName(QStringLiteral("MergeDlg"));
    setWindowTitle(QStringLiteral("Merge DEM Files"));

    Pages_ = new QTabWidget(this);
    Pages_->setObjectName(QStringLiteral("MergePages"));
    for (int page = 0; page < 2; ++page) {
        const TMergePageNames& names = PageNames[static_cast<size_t>(page)];
        auto* sheet = new QWidget(Pages_);
        sheet->setObjectName(QLatin1String(names.Sheet));
        auto* form = new QFormLayout(sheet);

        const auto addFileRow = [&](const char* editName, const char* label) {
            auto* edit = new QLineEdit(sheet);
            edit->setObjectName(QLatin1String(editName));
            auto* browse = new QPushButton(QStringLiteral("Browse"), sheet);
            browse->setObjectName(QString::fromLatin1(editName).replace(QLatin1String("Edit"), QLatin1String("BrowseBtn")));
            const QString title = QStringLiteral("Select %1 File").arg(QLatin1String(label));
            connect(browse, &QPushButton::clicked, this, [this, edit, title] { Browse(edit, title); });
            auto* row = new QHBoxLayout;
            row->addWidget(edit, 1);
            row->addWidget(browse);
            form->addRow(QStringLiteral("%1 File").arg(QLatin1String(label)), row);
            return edit;
        };
        FirstEdit_[static_cast<size_t>(page)] = addFileRow(names.FirstEdit, names.FirstLabel);
        SecondEdit_[static_cast<size_t>(page)] = addFileRow(names.SecondEdit, names.SecondLabel);

        auto* pan = new QDoubleSpinBox(sheet);
        pan->setObjectName(QLatin1String(names.PanSpin));
        pan->setRange(0.0, 1.0);
        pan->setSingleStep(0.01);
        pan->setDecimals(2);
        pan->setValue(0.5);
        form->addRow(QStringLiteral("Pan Factor"), pan);
        PanSpin_[static_cast<size_t>(page)] = pan;

        auto* merge = new QPushButton(QStringLiteral("Merge"), sheet);
        merge->setObjectName(QLatin1String(names.MergeBtn));
        const auto direction = static_cast<TMergeDirection>(page);
        connect(merge, &QPushButton::clicked, this, [this, direction] { Merge(direction); });
        form->addRow(QString(), merge);

        Pages_->addTab(sheet, QLatin1String(names.Caption));
    }

    Gauge_ = new QProgressBar(this);
    Gauge_->setObjectName(QStringLiteral("MergeGauge"));
    Gauge_->setRange(0, 100);
    Gauge_->setValue(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CloseBtn"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [showHelp] {
        if (showHelp)
            showHelp(HelpContext);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages_);
    layout->addWidget(Gauge_);
    layout->addWidget(buttons);
    SetPage(mdSouthNorth);
    resize(520, 260);
}

TMergeRequest TMergeDlg::Request(TMergeDirection direction) const
{
    return {direction, FirstEdit_[direction]->text(), SecondEdit_[direction]->text(), PanSpin_[direction]->value()};
}

void TMergeDlg::SetRequest(const TMergeRequest& request)
{
    FirstEdit_[request.Direction]->setText(request.First);
    SecondEdit_[request.Direction]->setText(request.Second);
    PanSpin_[request.Direction]->setValue(request.Pan);
}

TMergeDirection TMergeDlg::Page() const
{
    return static_cast<TMergeDirection>(Pages_->currentIndex());
}

void TMergeDlg::SetPage(TMergeDirection direction)
{
    Pages_->setCurrentIndex(direction);
}

void TMergeDlg::Browse(QLineEdit* edit, const QString& title)
{
    RunCommand(Services_.Messages, [&] {
        const QString path = Services_.Files.OpenFile(
            {title, QStringLiteral("DEM Data (*.DEM *.dem);;All Files (*)"), QDir::currentPath(), QStringLiteral("*.*"),
             QString()});
        if (!path.isEmpty())
            edit->setText(path);
    });
}

void TMergeDlg::SetGauge(int position, int maximum)
{
    Gauge_->setRange(0, maximum > 0 ? maximum : 100);
    Gauge_->setValue(position);
    Gauge_->repaint();
    // Lets the window repaint while the merge runs; the user's input waits until it is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMergeDlg::Merge(TMergeDirection direction)
{
    RunCommand(Services_.Messages, [&] {
        const TMergeRequest request = Request(direction);
        const QString refusal = MergeRefusal(direction, ToPath(request.First), ToPath(request.Second));
        if (!refusal.isEmpty()) {
            Services_.Messages.Information(refusal);
            return;
        }
        const QString output = Services_.Files.SaveFile(
            {QStringLiteral("Save Merged DEM File"), QStringLiteral("Data Files (*.DEM *.dem);;All Files (*)"),
             QDir::currentPath(), QStringLiteral("*.DEM"), QStringLiteral("DEM")});
        if (output.isEmpty())
            return;

        TMergeCallbacks callbacks;
        callbacks.Confirm = [this](const std::string& question) {
            return Services_.Messages.Confirm(QString::fromStdString(question).replace(QLatin1String("\r\n"),
                                                                                       QLatin1String("\n")));
        };
        callbacks.Progress = [this](int position, int maximum) { SetGauge(position, maximum); };
        struct TGaugeReset {
            TMergeDlg* Dlg;
            ~TGaugeReset() { Dlg->SetGauge(0, 100); }
        } gaugeReset{this};
        if (direction == mdWestEast)
            MergeWestEast(ToPath(request.First), ToPath(request.Second), ToPath(output), request.Pan, callbacks);
        else
            MergeSouthNorth(ToPath(request.First), ToPath(request.Second), ToPath(output), request.Pan, callbacks);
    });
}

} // namespace kv
