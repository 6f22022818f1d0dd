#include "app/KVHelp.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <array>

namespace kv {

namespace {

// In the order the index lists them (alphabetical, ignoring case).
constexpr std::array Keywords{
    THelpKeyword{"3D model editor", "pages.html#model"},
    THelpKeyword{"AVI capture", "capture.html"},
    THelpKeyword{"colour bar", "map.html#colorbar"},
    THelpKeyword{"contour lines", "plot-options.html"},
    THelpKeyword{"Convert 3D", "terrain.html"},
    THelpKeyword{"coordinates", "map.html#coordinates"},
    THelpKeyword{"defect report", "dem-info.html#errors"},
    THelpKeyword{"DEM information", "dem-info.html"},
    THelpKeyword{"elevation editor", "elevation-editor.html"},
    THelpKeyword{"elevation files", "elevation-editor.html#files"},
    THelpKeyword{"feet", "units.html"},
    THelpKeyword{"merge", "merge.html"},
    THelpKeyword{"meters", "units.html"},
    THelpKeyword{"movie", "capture.html"},
    THelpKeyword{"opening a DEM", "opening.html"},
    THelpKeyword{"overlay editor", "pages.html#overlay"},
    THelpKeyword{"pan factor", "merge.html#pan"},
    THelpKeyword{"plot options", "plot-options.html"},
    THelpKeyword{"recent files", "opening.html#recent"},
    THelpKeyword{"SDTS", "opening.html#sdts"},
    THelpKeyword{"selection box", "selection.html"},
    THelpKeyword{"shaded relief", "plot-options.html"},
    THelpKeyword{"special effects", "terrain.html#effects"},
    THelpKeyword{"STL", "terrain.html#print"},
    THelpKeyword{"topo editor", "pages.html#topo"},
    THelpKeyword{"units", "units.html"},
    THelpKeyword{"user defaults", "units.html#defaults"},
};

} // namespace

std::span<const THelpKeyword> HelpKeywords()
{
    return Keywords;
}

QString HelpPageForContext(int context)
{
    switch (context) {
    case 1:
        return QStringLiteral("elevation-editor.html");
    case 3:
        return QStringLiteral("dem-info.html");
    case 5:
        return QStringLiteral("units.html");
    case 6:
        return QStringLiteral("capture.html#options");
    case 7:
        return QStringLiteral("dem-info.html#errors");
    case 8:
        return QStringLiteral("merge.html");
    case 10:
        return QStringLiteral("terrain.html");
    default:
        return QStringLiteral("index.html");
    }
}

QString HelpURL(const QString& page)
{
    return QStringLiteral("qrc:/help/") + page;
}

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Korvela3D Help"));

    auto* index = new QWidget(this);
    KeywordEdit_ = new QLineEdit(index);
    KeywordEdit_->setObjectName(QStringLiteral("KeywordEdit"));
    KeywordEdit_->setPlaceholderText(QStringLiteral("Type a keyword"));
    KeywordList_ = new QListWidget(index);
    KeywordList_->setObjectName(QStringLiteral("KeywordList"));
    for (const THelpKeyword& keyword : Keywords) {
        auto* item = new QListWidgetItem(QLatin1String(keyword.Keyword), KeywordList_);
        item->setData(Qt::UserRole, QLatin1String(keyword.Page));
    }
    auto* indexLayout = new QVBoxLayout(index);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    indexLayout->addWidget(new QLabel(QStringLiteral("Key Word Search"), index));
    indexLayout->addWidget(KeywordEdit_);
    indexLayout->addWidget(KeywordList_);

    Browser_ = new QTextBrowser(this);
    Browser_->setObjectName(QStringLiteral("HelpBrowser"));
    Browser_->setOpenExternalLinks(false);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(index);
    splitter->addWidget(Browser_);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    connect(KeywordEdit_, &QLineEdit::textChanged, this, [this](const QString& text) { FilterKeywords(text); });
    connect(KeywordEdit_, &QLineEdit::returnPressed, this, [this] {
        for (int row = 0; row < KeywordList_->count(); ++row)
            if (!KeywordList_->item(row)->isHidden()) {
                ShowPage(KeywordList_->item(row)->data(Qt::UserRole).toString());
                return;
            }
    });
    connect(KeywordList_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
    connect(KeywordList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
    resize(760, 520);
}

void THelpWindow::ShowPage(const QString& page)
{
    Browser_->setSource(QUrl(HelpURL(page)));
    show();
    raise();
    activateWindow();
}

void THelpWindow::FilterKeywords(const QString& text)
{
    for (int row = 0; row < KeywordList_->count(); ++row) {
        QListWidgetItem* item = KeywordList_->item(row);
        item->setHidden(!item->text().contains(text, Qt::CaseInsensitive));
    }
}

void THelpWindow::ShowContents()
{
    ShowPage(QStringLiteral("index.html"));
}

void THelpWindow::ShowKeywordSearch(const QString& keyword)
{
    KeywordEdit_->setText(keyword);
    FilterKeywords(keyword);
    if (Browser_->source().isEmpty())
        ShowPage(QStringLiteral("index.html"));
    show();
    raise();
    KeywordEdit_->setFocus();
}

void THelpWindow::ShowContext(int context)
{
    ShowPage(HelpPageForContext(context));
}

QString THelpWindow::CurrentPage() const
{
    return Browser_->source().fileName();
}

} // namespace kv
