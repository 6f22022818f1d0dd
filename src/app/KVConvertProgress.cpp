#include "app/KVConvertProgress.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

namespace kv {

TTrnProgressDlg::TTrnProgressDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TrnProgressDlg"));
    setWindowTitle(QStringLiteral("Converting Terrain Data To DirectX Mesh"));
    setModal(false);
    const auto panel = [this](const char* caption, const char* name, QLabel*& label) {
        auto* box = new QGroupBox(QLatin1String(caption), this);
        label = new QLabel(box);
        label->setObjectName(QLatin1String(name));
        label->setMinimumWidth(200);
        auto* layout = new QHBoxLayout(box);
        layout->addWidget(label);
        return box;
    };
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(panel(" Actions:", "ActionDis", ActionDis_), 2);
    layout->addWidget(panel(" #:", "PointDis", PointDis_), 1);
}

void TTrnProgressDlg::SetAction(const QString& text)
{
    ActionDis_->setText(text);
    ActionDis_->repaint();
}

void TTrnProgressDlg::SetPoint(const QString& text)
{
    PointDis_->setText(text);
    PointDis_->repaint();
}

} // namespace kv
