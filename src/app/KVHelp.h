#pragma once
// The help window: the program's help pages (built into the program) with their contents and
// a keyword index.

#include <QString>
#include <QWidget>

#include <span>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace kv {

struct THelpKeyword {
    const char* Keyword;
    const char* Page; // page name, optionally with "#anchor"
};

// The keyword index, alphabetical without regard to case.
std::span<const THelpKeyword> HelpKeywords();

// The page (and anchor) of a help context number: 3 DEM information, 5 working units,
// 7 defect report, 8 merge; any other number gives the contents page.
QString HelpPageForContext(int context);

// "qrc:/help/<page>": where the built-in help pages live.
QString HelpURL(const QString& page);

class THelpWindow : public QWidget {
public:
    explicit THelpWindow(QWidget* parent = nullptr);

    // "&Contents": the contents page.
    void ShowContents();
    // "Key Word Search": the keyword index filtered by `keyword` (all keywords when empty).
    void ShowKeywordSearch(const QString& keyword);
    // The help button of a dialog.
    void ShowContext(int context);

    // The page shown ("index.html", "merge.html"...).
    QString CurrentPage() const;

private:
    void ShowPage(const QString& page);
    void FilterKeywords(const QString& text);

    QLineEdit* KeywordEdit_;
    QListWidget* KeywordList_;
    QTextBrowser* Browser_;
};

} // namespace kv
