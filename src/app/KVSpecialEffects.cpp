#include "app/KVSpecialEffects.h"

#include "app/KVMapView.h"
#include "gl/GLMesh.h"
#include "terrain/TerrainColoring.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace kv {

// A colour bar the user edits: boundaries are dragged as on the map's bar; a press anywhere else
// selects a band and starts dragging its colour, which a release over another band of the same
// bar drops there.
class TEffectsBarView : public TColorBarView {
public:
    explicit TEffectsBarView(QWidget* parent) : TColorBarView(parent)
    {
        Bar().Adjustable = true;
        Bar().AdjustEnds = true;
        setMinimumSize(90, 220);
    }
    std::function<void()> OnPress;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const int y = int(event->position().y());
        Bar().MouseDown(y, height());
        DraggingColor_ = !Bar().DragLine().has_value();
        if (OnPress)
            OnPress();
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!DraggingColor_)
            Bar().MouseMove(int(event->position().y()), height());
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const int y = int(event->position().y());
        if (!DraggingColor_) {
            Bar().MouseUp(y, height(), event->modifiers() & Qt::ControlModifier);
            return;
        }
        DraggingColor_ = false;
        const std::optional<int32_t> band = Bar().BandAt(y, height());
        if (band && *band != Bar().Selected && Bar().Selected >= 0 && Bar().Selected < Bar().Count())
            Bar().SetEntryColor(*band, Bar().Entries()[size_t(Bar().Selected)].Color);
    }

private:
    bool DraggingColor_ = false;
};

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QLatin1String(caption), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QLabel* Panel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFrameShape(QFrame::StyledPanel);
    label->setMinimumWidth(40);
    label->setAutoFillBackground(true);
    return label;
}

} // namespace

TTerrainTextureDlg::TTerrainTextureDlg(QWidget* parent, const TAppServices& services)
    : QDialog(parent), Services_(services)
{
    setObjectName(QStringLiteral("TerrainTextureDlg"));
    setWindowTitle(QStringLiteral("Terrain Special Effects"));
    Pages_ = new QTabWidget(this);
    Pages_->setObjectName(QStringLiteral("EffectsPages"));
    Pages_->addTab(CreateDepthPage(), QStringLiteral("Depth"));
    Pages_->addTab(CreateSlopePage(), QStringLiteral("Slope"));
    Pages_->setCurrentIndex(0);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("CloseBtn"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages_);
    layout->addWidget(buttons);
    RefreshPanels();
}

TColorBar& TTerrainTextureDlg::DepthBar()
{
    return DepthBar_->Bar();
}

TColorBar& TTerrainTextureDlg::SlopeBar()
{
    return SlopeBar_->Bar();
}

QWidget* TTerrainTextureDlg::CreateDepthPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("DepthSheet"));
    DepthBar_ = new TEffectsBarView(page);
    DepthBar_->setObjectName(QStringLiteral("DepthBar"));
    ResetDepthBar(DepthBar_->Bar());
    DepthBar_->Bar().OnChangeSelect = [this](int32_t) { RefreshPanels(); };
    DepthBar_->OnPress = [this] { RefreshPanels(); };

    auto* actions = new QVBoxLayout;
    const auto add = [&](const char* name, const char* caption, auto slot) {
        QPushButton* button = Button(page, name, caption);
        connect(button, &QPushButton::clicked, this, slot);
        actions->addWidget(button);
    };
    add("TextureDepthBtn", "Color Depth", [this] { ColorDepth(); });
    add("ClrDepthBtn", "Color Faces", [this] { ColorFaces(); });
    add("DepthColorBtn", "Set Color", [this] { ChooseEntryColor(DepthBar_); });
    add("ResetDepthSpaceBtn", "Reset Spacing", [this] { DepthBar().SpaceEvenly(); });
    add("ResetDepthColorBtn", "Reset Colors", [this] {
        DepthBar().LoadPalette();
        RefreshPanels();
    });
    add("DepthGradientBtn", "Color Gradient", [this] {
        DepthBar().Gradient(0, DepthBar().Count());
        RefreshPanels();
    });
    add("EvenDepthBtn", "Space Evenly", [this] { DepthBar().SpreadEvenly(0, DepthBar().Count() - 1); });

    auto* mode = new QGroupBox(QStringLiteral("Color Mode"), page);
    mode->setObjectName(QStringLiteral("ColorModeRadio"));
    auto* modeLayout = new QHBoxLayout(mode);
    const char* modes[] = {"12", "24", "30"};
    for (int k = 0; k < 3; ++k) {
        auto* radio = new QRadioButton(QLatin1String(modes[k]), mode);
        radio->setObjectName(QStringLiteral("ColorMode") + QLatin1String(modes[k]));
        radio->setChecked(k == 1);
        connect(radio, &QRadioButton::clicked, this, [this, k] { SetColorCount(k); });
        modeLayout->addWidget(radio);
    }
    actions->addWidget(mode);
    auto* panels = new QHBoxLayout;
    panels->addWidget(Panel(page, "DisDepthInx"));
    panels->addWidget(Panel(page, "DisDepthColor"));
    actions->addLayout(panels);
    actions->addStretch();

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(DepthBar_, 1);
    layout->addLayout(actions);
    return page;
}

QWidget* TTerrainTextureDlg::CreateSlopePage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SlopeSheet"));
    SlopeBar_ = new TEffectsBarView(page);
    SlopeBar_->setObjectName(QStringLiteral("SlopeBar"));
    ResetSlopeBar(SlopeBar_->Bar());
    SlopeBar_->Bar().OnChangeSelect = [this](int32_t) { RefreshPanels(); };
    SlopeBar_->OnPress = [this] { RefreshPanels(); };

    auto* actions = new QVBoxLayout;
    const auto add = [&](const char* name, const char* caption, auto slot) {
        QPushButton* button = Button(page, name, caption);
        connect(button, &QPushButton::clicked, this, slot);
        actions->addWidget(button);
    };
    add("ColorBySlopeBtn", "Color By Slope", [this] { ColorBySlope(); });
    CntDis_ = Panel(page, "CntDis");
    actions->addWidget(CntDis_);
    add("SlopeColorBtn", "Set Color", [this] { ChooseEntryColor(SlopeBar_); });
    add("ResetSlopeSpaceBtn", "Reset Spacing", [this] { SlopeBar().SpaceEvenly(); });
    add("ResetSlopeColorsBtn", "Reset Colors", [this] {
        ResetSlopeBar(SlopeBar());
        RefreshPanels();
    });
    add("SlopeGradBtn", "Color Gradient", [this] {
        SlopeBar().Gradient(0, SlopeBar().Count());
        RefreshPanels();
    });
    add("EvenSlopeBtn", "Space Evenly", [this] { SlopeBar().SpreadEvenly(0, SlopeBar().Count() - 1); });
    auto* panels = new QHBoxLayout;
    panels->addWidget(Panel(page, "SlopeInxDis"));
    panels->addWidget(Panel(page, "SlopeColorDis"));
    actions->addLayout(panels);
    actions->addStretch();

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(SlopeBar_, 1);
    layout->addLayout(actions);
    return page;
}

void TTerrainTextureDlg::SetTarget(TGLMesh* terrain, std::function<void()> repaint)
{
    Terrain_ = terrain;
    RepaintView_ = std::move(repaint);
}

void TTerrainTextureDlg::Repaint()
{
    if (RepaintView_)
        RepaintView_();
}

void TTerrainTextureDlg::ColorDepth()
{
    if (!Terrain_)
        return;
    BuildDepthTexture(DepthBar(), DepthTexture_);
    ApplyDepthTexture(*Terrain_, DepthTexture_);
    Repaint();
}

void TTerrainTextureDlg::ColorFaces()
{
    if (!Terrain_)
        return;
    kv::ColorFaces(*Terrain_, DepthBar());
    Repaint();
}

void TTerrainTextureDlg::ColorBySlope()
{
    if (!Terrain_)
        return;
    kv::ColorBySlope(*Terrain_, SlopeBar(), [this](int32_t i) {
        CntDis_->setText(QString::number(i));
        CntDis_->repaint();
    });
    Repaint();
}

void TTerrainTextureDlg::SetColorCount(int mode)
{
    const TColorCount counts[] = {dc12, dc24, dc30};
    DepthBar().SetColorCount(counts[std::clamp(mode, 0, 2)]);
    RefreshPanels();
}

void TTerrainTextureDlg::ChooseEntryColor(TEffectsBarView* view)
{
    TColorBar& bar = view->Bar();
    if (bar.Selected < 0 || bar.Selected >= bar.Count())
        return;
    uint32_t color = bar.Entries()[size_t(bar.Selected)].Color;
    if (!Services_.ChooseColor || !Services_.ChooseColor(color))
        return;
    bar.SetEntryColor(bar.Selected, color);
    RefreshPanels();
}

void TTerrainTextureDlg::RefreshPanels()
{
    const auto show = [this](TColorBar& bar, const char* index, const char* colour) {
        // Entry 0 only marks the top of the bar: the panels keep what they showed.
        if (bar.Selected <= 0 || bar.Selected >= bar.Count())
            return;
        findChild<QLabel*>(QLatin1String(index))->setText(QString::number(bar.Selected));
        const uint32_t c = bar.Entries()[size_t(bar.Selected)].Color;
        QLabel* panel = findChild<QLabel*>(QLatin1String(colour));
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)));
        panel->setPalette(palette);
    };
    show(DepthBar(), "DisDepthInx", "DisDepthColor");
    show(SlopeBar(), "SlopeInxDis", "SlopeColorDis");
}

} // namespace kv
