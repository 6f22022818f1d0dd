#include "platform/gui/CursorShapes.h"
#include "GUITestApp.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace kv {
namespace {

TEST(CursorShapes, EachCursorHasItsQtShape)
{
    const std::pair<TCursor, Qt::CursorShape> cases[] = {
        {crDefault, Qt::ArrowCursor},      {crCross, Qt::CrossCursor},     {crSizeNWSE, Qt::SizeFDiagCursor},
        {crSizeNESW, Qt::SizeBDiagCursor}, {crSizeWE, Qt::SizeHorCursor},  {crSizeNS, Qt::SizeVerCursor},
        {crSizeAll, Qt::SizeAllCursor},    {crVSplit, Qt::SplitVCursor},   {crHourGlass, Qt::WaitCursor},
    };
    for (const auto& [cursor, shape] : cases)
        EXPECT_EQ(CursorShape(cursor), shape) << cursor;
}

TEST(CursorShapes, DefaultGivesTheWidgetItsParentsCursorBack)
{
    test::GUITestApp();
    QWidget parent;
    parent.setCursor(Qt::CrossCursor);
    auto* child = new QWidget(&parent);
    SetCursor(*child, crSizeAll);
    EXPECT_EQ(child->cursor().shape(), Qt::SizeAllCursor);
    SetCursor(*child, crDefault);
    EXPECT_FALSE(child->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(child->cursor().shape(), Qt::CrossCursor);
    {
        TWaitCursor busy;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace kv
