// The element palette window driven through its real controls: the
// atlas, the title and hint as the pointer moves, the click, and "Check It".
#include "gui/GuiFixture.h"
#include "gui/TileCompare.h"
#include "gui/palette/PaletteWindow.h"
#include "gui/view/AtlasQt.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace vantrel::test {
namespace {

class PaletteTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        form = std::make_unique<PaletteWindow>(main->Document());
    }

    // A control of the palette by name.
    template <typename W>
    W* Find(const char* name)
    {
        W* w = form->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << "no control named " << name;
        return w;
    }
    QWidget* El() { return Find<QWidget>("El"); }
    QLabel* El2() { return Find<QLabel>("El2"); }
    QLineEdit* CheckElId() { return Find<QLineEdit>("CheckElId"); }
    QImage El2Picture() { return El2()->pixmap().toImage(); }

    void Show()
    {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    static QPoint InTile(int col, int row) { return {16 * (col - 1) + 5, 16 * (row - 1) + 11}; }
    void Check(const QString& entry)
    {
        CheckElId()->setText(entry);
        QTest::mouseClick(Find<QPushButton>("DoCheck"), Qt::LeftButton);
    }

    std::unique_ptr<PaletteWindow> form;
};

TEST_F(PaletteTest, StartsHiddenWithTheAtlasAndAnEmptyTile)
{
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Element View") << "a title for people from the start";
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "a fixed border";
    // Wide enough for the atlas and for the longest title the window shows.
    EXPECT_GE(form->width(), QFontMetrics(form->font()).horizontalAdvance("Element id 999 ($03E7)") + 100);
    // The atlas on top, whole; under it the id box, Check It and the tile, in that order, none cut off.
    form->show();
    QCoreApplication::processEvents();
    const QRect el = El()->geometry(), id = CheckElId()->geometry(), check = Find<QPushButton>("DoCheck")->geometry(),
                tile = El2()->geometry();
    EXPECT_EQ(el.size(), QSize(256, 368));
    EXPECT_EQ(el.top(), 0);
    for (const QRect& r : {id, check, tile}) {
        EXPECT_GT(r.top(), el.bottom()) << "under the atlas";
        EXPECT_TRUE(form->rect().contains(r)) << "inside the window";
    }
    EXPECT_LT(id.right(), check.left());
    EXPECT_LT(check.right(), tile.left());
    EXPECT_EQ(tile.size(), QSize(16, 16));
    EXPECT_GE(check.width(), Find<QPushButton>("DoCheck")->sizeHint().width());
    form->hide();
    EXPECT_TRUE(El2()->pixmap().isNull());
    EXPECT_EQ(CheckElId()->text(), "000");
    EXPECT_EQ(CheckElId()->maxLength(), 4);
    EXPECT_EQ(Find<QPushButton>("DoCheck")->text(), "Check It");
    EXPECT_EQ(El()->grab().toImage().convertToFormat(QImage::Format_RGB32), BuiltInAtlasQt().Atlas());
    EXPECT_EQ(form->PaletteCode(), 0);
    EXPECT_EQ(form->PaletteIdText(), "");
    EXPECT_TRUE(ui.messages.empty());
}

struct MoveCase {
    int col;
    int row;
    std::uint16_t code;
    const char* title;
    const char* hint;
    const char* moving;  // the title while the pointer is over the tile
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << "tile (" << c.col << ", " << c.row << ")"; }

class PointerOverTile : public PaletteTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(PointerOverTile, HintNamesTheElementAndAClickSelectsIt)
{
    const MoveCase& c = GetParam();
    Show();
    QTest::mouseMove(El(), InTile(c.col, c.row));
    EXPECT_EQ(form->PaletteCode(), c.code);
    EXPECT_EQ(form->windowTitle(), c.moving) << "the title follows the pointer";
    EXPECT_EQ(El()->toolTip(), c.hint);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(El(), &leave);
    EXPECT_EQ(form->windowTitle(), "Element View") << "nothing selected yet";
    QTest::mouseMove(El(), InTile(c.col, c.row));

    QTest::mouseClick(El(), Qt::LeftButton, {}, InTile(c.col, c.row));
    EXPECT_EQ(form->windowTitle(), c.title);
    EXPECT_EQ(main->Document().SelectedElement(), c.code) << "painting writes it";
    QTest::mouseMove(El(), InTile(c.col == 1 ? 2 : 1, 1));
    QApplication::sendEvent(El(), &leave);
    EXPECT_EQ(form->windowTitle(), c.title) << "off the atlas, the title names the selected element again";
    const QString id = QString::fromLatin1(c.hint).mid(8, 3);
    EXPECT_EQ(CheckElId()->text(), id);
    // El2 shows the very tile under the pointer.
    EXPECT_EQ(El2Picture().convertToFormat(QImage::Format_RGB32),
              BuiltInAtlasQt().Atlas().copy(16 * (c.col - 1), 16 * (c.row - 1), 16, 16));

    // "Check It" on that text shows the same tile.
    El2()->clear();
    QTest::mouseClick(Find<QPushButton>("DoCheck"), Qt::LeftButton);
    EXPECT_EQ(form->PaletteCode(), c.code);
    EXPECT_TRUE(HoldsTile(El2Picture(), {0, 0}, BuiltInAtlasQt().Atlas().copy(16 * (c.col - 1), 16 * (c.row - 1), 16, 16)));
    EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Tiles, PointerOverTile,
                         ::testing::Values(
                             MoveCase{1, 1, 1, "Element id 001 ($0001): Sand", "Element 001: Sand", "Element id 001 ($01)"},
                             MoveCase{6, 1, 6, "Element id 006 ($0006): Emerald", "Element 006: Emerald", "Element id 006 ($06)"},
                             MoveCase{16, 22, 352, "Element id 352 ($0160): Tube (left & down)",
                                      "Element 352: Tube (left & down)", "Element id 352 ($160)"},
                             MoveCase{9, 23, 616, "Element id 616 ($0268): Key 1 (EM style)", "Element 616: Key 1 (EM style)",
                                      "Element id 616 ($268)"},
                             MoveCase{7, 23, 359, "Element id 359 ($0167): -", "Element 359: -", "Element id 359 ($167)"},
                             MoveCase{8, 23, 360, "Element id 360 ($0168): Custom element 1",
                                      "Element 360: Custom element 1", "Element id 360 ($168)"},
                             MoveCase{16, 23, 623, "Element id 623 ($026F): Mail envelope 4",
                                      "Element 623: Mail envelope 4", "Element id 623 ($26F)"},
                             MoveCase{2, 14, 0, "Element id 000 ($0000): Empty space", "Element 000: Empty space",
                                      "Element id 000 ($00)"}),
                         [](const auto& info) { return std::to_string(info.param.code); });

TEST_F(PaletteTest, OtherButtonsTakeNothing)
{
    Show();
    QTest::mouseMove(El(), InTile(3, 3));
    QTest::mouseClick(El(), Qt::RightButton, {}, InTile(3, 3));
    EXPECT_EQ(CheckElId()->text(), "000");
    EXPECT_TRUE(El2()->pixmap().isNull());
}

TEST_F(PaletteTest, CheckItReadsFourCharactersAsHexadecimalAndThreeAsDecimal)
{
    struct Case {
        const char* entry;
        const char* title;
        std::uint16_t code;
        std::uint16_t painted;  // the element painting writes afterwards
        const char* meaning;    // under the id box
    };
    const Case cases[] = {
        {"0168", "Element id 360 ($0168): Custom element 1", 360, 360,
         "\"0168\" is read as hexadecimal: 360, Custom element 1"},
        {"360", "Element id 360 ($0168): Custom element 1", 360, 360, "\"360\" is read as decimal: 360, Custom element 1"},
        // A code that names no element is shown, and never becomes the element painted.
        {"1234", "Element id 4660 ($1234): no element of the game", 4660, 360,
         "\"1234\" is read as hexadecimal: 4660, which names no element of the game and cannot be painted"},
        {"99", "Element id 000 ($0000): Empty space", 0, 0,
         "\"99\" has fewer than 3 characters and is read as 000, Empty space"},
        {"0300", "Element id 768 ($0300): no element of the game", 768, 0,
         "\"0300\" is read as hexadecimal: 768, which names no element of the game and cannot be painted"},
        {"006", "Element id 006 ($0006): Emerald", 6, 6, "\"006\" is read as decimal: 6, Emerald"},
    };
    for (const Case& c : cases) {
        Check(QString::fromLatin1(c.entry));
        EXPECT_EQ(form->windowTitle(), c.title) << c.entry;
        EXPECT_EQ(form->PaletteCode(), c.code) << c.entry;
        EXPECT_EQ(CheckElId()->text(), c.entry) << "the entry stays as typed";
        EXPECT_TRUE(HoldsTile(El2Picture(), {0, 0}, BuiltInAtlasQt().Tile(c.code))) << c.entry;
        EXPECT_EQ(main->Document().SelectedElement(), c.painted) << c.entry;
        EXPECT_EQ(Find<QLabel>("CheckElIdMeaning")->text(), c.meaning);
    }
    // Codes without a picture show the no-picture tile, never a piece of the atlas.
    Check("1234");
    EXPECT_TRUE(HoldsTile(El2Picture(), {0, 0}, NoPictureTile()));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PaletteTest, AnEntryThatIsNoNumberShowsTheErrorAndChangesNothing)
{
    Check("360");
    const QImage tile = El2Picture();
    for (const char* entry : {"12G", "zz00"}) {
        Check(QString::fromLatin1(entry));
        EXPECT_EQ(form->windowTitle(), "Element id 360 ($0168): Custom element 1") << entry;
        EXPECT_EQ(El2Picture(), tile) << entry;
        EXPECT_EQ(form->PaletteCode(), 360) << entry;
    }
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"'12G' is not a valid decimal number",
                                                     "'zz00' is not a valid hexadecimal number"}));
}

TEST_F(PaletteTest, ClosingOnlyHidesAndElementViewShowsItAgainAsItWas)
{
    main->SetPaletteWindow(form.get());
    Check("0168");
    main->findChild<QAction*>(QStringLiteral("Tool_ElementView"))->trigger();
    EXPECT_TRUE(form->isVisible());
    form->close();
    EXPECT_FALSE(form->isVisible());
    main->findChild<QAction*>(QStringLiteral("Tool_ElementView"))->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Element id 360 ($0168): Custom element 1");
    EXPECT_EQ(CheckElId()->text(), "0168");
    EXPECT_TRUE(HoldsTile(El2Picture(), {0, 0}, BuiltInAtlasQt().Tile(360)));
}

}  // namespace
}  // namespace vantrel::test
