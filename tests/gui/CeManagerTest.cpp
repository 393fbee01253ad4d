// The "CE Manager" page driven through its real widgets: the controls as the
// page offers them, clicks on CE list lines of a real level checked against
// the file's bytes, change pages, the "Element Changes" box, a CE without
// change pages, Save and Close, and the fit of every sub-page in the window.
#include "ce/CeBytes.h"
#include "gui/ce/CeManagerPage.h"
#include "ce/CeViews.h"
#include "gui/GuiFixture.h"
#include "gui/view/AtlasQt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <cstdio>

namespace vantrel::test {
namespace {

const char kLevel042[] = "levels/Tutorials/rnd_tutorial_niko_boehm/042.level";
const QString kLabelStart = QStringLiteral("Current Change Page =              of ");

QString Hex4(std::uint16_t v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", v);
    return QString::fromLatin1(buf);
}

// Three rows of three codes as the memo shows them: each code followed by a blank.
QString BlockText(const Bytes& b, std::size_t at)
{
    QStringList rows;
    for (std::size_t row = 0; row < 3; ++row) {
        QString line;
        for (std::size_t i = 0; i < 3; ++i) line += Hex4(WordAt(b, at + 6 * row + 2 * i)) + QLatin1Char(' ');
        rows << line;
    }
    return rows.join(QLatin1Char('\n'));
}

std::array<std::uint16_t, 9> BlockCodes(const Bytes& b, std::size_t at)
{
    std::array<std::uint16_t, 9> codes{};
    for (std::size_t i = 0; i < 9; ++i) codes[i] = WordAt(b, at + 2 * i);
    return codes;
}

// What the bound controls show for page p of the record at r, worked out
// from the bytes alone.
struct Shown {
    QString name;
    bool useGraphicOf = false;
    QString graphicOf;
    int pages = 0;
    QString explode;
    std::array<std::uint16_t, 9> explodeCodes{};
    // the change page
    bool canChange = false;
    QString changeTo;
    QString condEl;
    int delayFixed = 0;
    int delayRandom = 0;
    QString delayType;
    bool delayCheck = false;
    bool extCheck = false;
    QString ext;
    std::array<std::uint16_t, 9> extCodes{};
};

Shown FromBytes(const Bytes& b, std::size_t r, int page)
{
    Shown s;
    for (std::size_t i = r + 2; i < r + 32 && b[i] != 0; ++i) s.name += QLatin1Char(static_cast<char>(b[i]));
    s.useGraphicOf = b[r + 48] == 1;
    s.graphicOf = Hex4(WordAt(b, r + 49));
    s.pages = b[r + 42];
    s.explode = BlockText(b, r + 66);
    s.explodeCodes = BlockCodes(b, r + 66);
    const std::size_t q = r + 48 + 48 * static_cast<std::size_t>(page);
    s.canChange = b[q + 38] == 1;
    s.changeTo = Hex4(WordAt(b, q + 4));
    s.condEl = Hex4(WordAt(b, q + 12));
    s.delayFixed = std::min(999, int{WordAt(b, q + 6)});
    s.delayRandom = std::min(999, int{WordAt(b, q + 8)});
    s.delayType = WordAt(b, q + 10) == 50 ? "Seconds" : "Frames";
    s.delayCheck = (b[q + 3] & 1) != 0;
    s.extCheck = b[q + 15] == 1;
    s.ext = BlockText(b, q + 20);
    s.extCodes = BlockCodes(b, q + 20);
    return s;
}

QStringList Items(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

bool IsWhite(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
}

class CeManagerTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        main->show();
        main->Book()->setCurrentIndex(kCeManagerPage);
        QCoreApplication::processEvents();
    }

    QListWidget* List() { return Find<QListWidget>("CEMan_CEList"); }
    QSpinBox* Page() { return Find<QSpinBox>("CEMan_Adv_Page"); }
    QGroupBox* Group() { return Find<QGroupBox>("CEMan_Adv_ChangePage"); }
    QString Label() { return Find<QLabel>("CEMan_ChangePageLabel")->text(); }
    QString Text(const char* name) { return Find<QLineEdit>(name)->text(); }
    QString Memo(const char* name) { return Find<QPlainTextEdit>(name)->toPlainText(); }
    bool Checked(const char* name) { return Find<QCheckBox>(name)->isChecked(); }
    int Spin(const char* name) { return Find<QSpinBox>(name)->value(); }
    const QImage& Picture(const char* name) { return Find<ElementCodesImage>(name)->Picture(); }
    // The change page group is shown and enabled (as part of the page, which may itself be hidden).
    bool GroupShown() { return !Group()->isHidden() && Group()->isEnabled(); }

    void ClickLine(int row)
    {
        QListWidget* list = List();
        ASSERT_LT(row, list->count());
        list->scrollToItem(list->item(row));
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        ASSERT_EQ(list->currentRow(), row);
    }

    void PressKey(QWidget* w, Qt::Key key)
    {
        w->setFocus();
        QTest::keyClick(w, key);
    }

    // Every bound control shows s; the change page group follows canChange.
    void ExpectShows(const Shown& s, int page)
    {
        SCOPED_TRACE(s.name.toStdString() + " page " + std::to_string(page));
        EXPECT_EQ(Text("CEMan_Conf_Name"), s.name);
        EXPECT_EQ(Memo("CEMan_Conf_ExplodeCont"), s.explode);
        EXPECT_EQ(Checked("CEMan_Adv_GraphicOfCheck"), s.useGraphicOf);
        EXPECT_EQ(Text("CEMan_Adv_GraphicOf"), s.graphicOf);
        EXPECT_EQ(Label(), kLabelStart + QString::number(s.pages));
        EXPECT_EQ(Page()->minimum(), 1);
        EXPECT_EQ(Page()->maximum(), s.pages);
        EXPECT_EQ(Page()->value(), page);
        EXPECT_EQ(Page()->text(), QString::number(page));
        EXPECT_EQ(Checked("CEMan_Adv_CanChange"), s.canChange);
        EXPECT_EQ(GroupShown(), s.canChange);
        EXPECT_EQ(Text("CEMan_Adv_ChangeTo"), s.changeTo);
        EXPECT_EQ(Text("CEMan_Adv_ChangeCondEl"), s.condEl);
        EXPECT_EQ(Spin("CEMan_Adv_DelayFixed"), s.delayFixed);
        EXPECT_EQ(Spin("CEMan_Adv_DelayRandom"), s.delayRandom);
        EXPECT_EQ(Find<QComboBox>("CEMan_Adv_DelayType")->currentText(), s.delayType);
        EXPECT_EQ(Checked("CEMan_Adv_DelayCheck"), s.delayCheck);
        EXPECT_EQ(Checked("CEMan_Adv_ExtChangeCheck"), s.extCheck);
        EXPECT_EQ(Memo("CEMan_Adv_ExtChange"), s.ext);
        // Pictures: every cell of a block, and the single codes.
        const AtlasQt& atlas = BuiltInAtlasQt();
        for (int i = 0; i < 9; ++i) {
            const int x = 16 * (i % 3), y = 16 * (i / 3);
            EXPECT_EQ(Picture("CEMan_Conf_ExplodeContImg").copy(x, y, 16, 16), atlas.Tile(s.explodeCodes[i]))
                << "explode cell " << i;
            EXPECT_EQ(Picture("CEMan_Adv_ExtChangeImg").copy(x, y, 16, 16), atlas.Tile(s.extCodes[i]))
                << "extended change cell " << i;
        }
        EXPECT_EQ(Picture("CEMan_Adv_GraphicOfImg"), atlas.Tile(s.graphicOf.toUShort(nullptr, 16)));
        EXPECT_EQ(Picture("CEMan_Adv_ChangeToImg"), atlas.Tile(s.changeTo.toUShort(nullptr, 16)));
        EXPECT_EQ(Picture("CEMan_Adv_ChangeCondElImg"), atlas.Tile(s.condEl.toUShort(nullptr, 16)));
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    }
};

// --- the controls as the page offers them ---

TEST_F(CeManagerTest, TheInnerNotebookHasItsFourSubPages)
{
    auto* book = Find<QTabWidget>("CEMan__");
    ASSERT_EQ(book->count(), 4);
    const QStringList captions{"Information", "View configuration", "View advanced settings", "HEX Editing"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(book->tabText(i), captions[i]);
    // "HEX Editing" holds one line of notice and no control.
    QWidget* hex = book->widget(3);
    const auto labels = hex->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text(), "Manual hex editing of custom elements comes in a later version.");
    EXPECT_FALSE(labels[0]->text().contains(QLatin1Char('\n')));
    EXPECT_EQ(hex->findChildren<QWidget*>().size(), 1);
    // The import list exists, empty, in the "Import CEs" group of "Information".
    auto* imported = Find<QListWidget>("CEMan_Info_ImportedCEList");
    EXPECT_EQ(imported->count(), 0);
    EXPECT_TRUE(book->widget(0)->isAncestorOf(imported));
    EXPECT_EQ(Find<QGroupBox>("CEMan_Info_ImportGroup")->title(), "Import CEs");
}

TEST_F(CeManagerTest, UnboundControlsHoldTheirKindRangeValueAndItems)
{
    for (const CeUnboundControl& c : CeUnboundControls()) {
        SCOPED_TRACE(c.Name);
        const char* name = c.Name.c_str();
        QWidget* w = main->findChild<QWidget*>(QString::fromStdString(c.Name));
        ASSERT_NE(w, nullptr);
        switch (c.Kind) {
        case CeControlKind::CheckBox:
            ASSERT_NE(qobject_cast<QCheckBox*>(w), nullptr);
            EXPECT_EQ(Find<QCheckBox>(name)->text().toStdString(), c.Caption);
            EXPECT_EQ(Checked(name), c.Value != 0);
            break;
        case CeControlKind::DropDown: {
            auto* combo = qobject_cast<QComboBox*>(w);
            ASSERT_NE(combo, nullptr);
            EXPECT_FALSE(combo->isEditable());
            QStringList items;
            for (const std::string& item : c.Items) items << QString::fromStdString(item);
            EXPECT_EQ(Items(combo), items);
            EXPECT_EQ(combo->currentIndex(), c.Value);
            break;
        }
        case CeControlKind::SpinEdit: {
            auto* spin = qobject_cast<QSpinBox*>(w);
            ASSERT_NE(spin, nullptr);
            EXPECT_EQ(spin->minimum(), c.Min);
            EXPECT_EQ(spin->maximum(), c.Max);
            EXPECT_EQ(spin->value(), c.Value);
            break;
        }
        }
        // A drop-down list's or spin edit's caption is a label beside it on the same sub-page.
        if (c.Kind != CeControlKind::CheckBox && !c.Caption.empty()) {
            bool found = false;
            for (QLabel* label : w->parentWidget()->findChildren<QLabel*>())
                found = found || label->text().toStdString() == c.Caption;
            EXPECT_TRUE(found) << "no label \"" << c.Caption << "\"";
        }
    }
    // A few, as a user reads them.
    EXPECT_EQ(Find<QComboBox>("CEMan_Conf_CanMoveDirs")->currentText(), "All Directions");
    EXPECT_EQ(Find<QComboBox>("CEMan_Conf_MoveSpeed")->currentText(), "Normal (1 step per 9 frames)");
    EXPECT_EQ(Find<QComboBox>("CEMan_Adv_ChangeCondSide")->currentText(), "At Any Side");
    EXPECT_EQ(Spin("CEMan_Conf_MoveDelayFixed"), 65535);
    EXPECT_EQ(Find<QCheckBox>("CEMan_Conf_WalkPassCheck")->text(), "Player can ");
}

TEST_F(CeManagerTest, BoundControlsStartEmptyWithTheirDesignValues)
{
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(Find<QLineEdit>("CEMan_Conf_Name")->maxLength(), 30);
    for (const char* memo : {"CEMan_Conf_ExplodeCont", "CEMan_Adv_ExtChange"}) {
        auto* m = Find<QPlainTextEdit>(memo);
        EXPECT_FALSE(m->isEnabled()) << memo;
        const QFontMetrics fm(m->font());
        EXPECT_EQ(fm.horizontalAdvance("i"), fm.horizontalAdvance("W")) << memo << " has no fixed-pitch font";
        EXPECT_TRUE(m->toPlainText().isEmpty()) << memo;
    }
    const std::pair<const char*, QSize> images[] = {
        {"CEMan_Conf_ExplodeContImg", {48, 48}}, {"CEMan_Adv_GraphicOfImg", {16, 16}},
        {"CEMan_Adv_ChangeToImg", {16, 16}},     {"CEMan_Adv_ChangeCondElImg", {16, 16}},
        {"CEMan_Adv_ExtChangeImg", {48, 48}},
    };
    for (const auto& [name, size] : images) {
        EXPECT_EQ(Picture(name).size(), size) << name;
        EXPECT_TRUE(IsWhite(Picture(name))) << name;
    }
    const std::pair<const char*, const char*> boxes[] = {
        {"CEMan_Adv_GraphicOfCheck", "Use Graphic of"},
        {"CEMan_Adv_CanChange", "Element Changes"},
        {"CEMan_Adv_DelayCheck", "Delay                  + Random"},
        {"CEMan_Adv_ExtChangeCheck", "Use Extended Change Target"},
    };
    for (const auto& [name, caption] : boxes) {
        EXPECT_EQ(Find<QCheckBox>(name)->text(), caption) << name;
        EXPECT_FALSE(Checked(name)) << name;
    }
    EXPECT_EQ(Label(), kLabelStart + "16");
    EXPECT_EQ(Page()->minimum(), 1);
    EXPECT_EQ(Page()->maximum(), 16);
    EXPECT_EQ(Page()->value(), 1);
    for (const char* delay : {"CEMan_Adv_DelayFixed", "CEMan_Adv_DelayRandom"}) {
        EXPECT_EQ(Find<QSpinBox>(delay)->minimum(), 0);
        EXPECT_EQ(Find<QSpinBox>(delay)->maximum(), 999);
        EXPECT_EQ(Spin(delay), 0);
    }
    EXPECT_EQ(Items(Find<QComboBox>("CEMan_Adv_DelayType")), QStringList({"Frames", "Seconds"}));
    EXPECT_EQ(Find<QComboBox>("CEMan_Adv_DelayType")->currentIndex(), 0);
    EXPECT_TRUE(Group()->isHidden());
    EXPECT_FALSE(Group()->isEnabled());
    // The controls that show a change page live in its group.
    for (const char* name : {"CEMan_Adv_ChangeTo", "CEMan_Adv_ChangeToImg", "CEMan_Adv_DelayCheck",
                             "CEMan_Adv_DelayFixed", "CEMan_Adv_DelayRandom", "CEMan_Adv_DelayType",
                             "CEMan_Adv_ChangeCondEl", "CEMan_Adv_ChangeCondElImg", "CEMan_Adv_ExtChangeCheck",
                             "CEMan_Adv_ExtChange", "CEMan_Adv_ExtChangeImg"})
        EXPECT_TRUE(Group()->isAncestorOf(Find<QWidget>(name))) << name;
}

// --- a real level ---

class CeManager042 : public CeManagerTest {
protected:
    void SetUp() override
    {
        CeManagerTest::SetUp();
        if (CorpusMissing()) GTEST_SKIP() << "../shared/corpus is absent";
        path = CopyFromCorpus(kLevel042, dir);
        DirectLoad(path);
        ASSERT_EQ(List()->count(), 38);
        bytes = ReadBytes(path);
    }
    std::size_t Record(int line) { return static_cast<std::size_t>(main->Level().CePositions()[line]); }
    std::string path;
    Bytes bytes;
};

TEST_F(CeManager042, AClickOnALineShowsThatCeAsTheFileHoldsIt)
{
    // Each line in turn, without a reload: the first CE, one whose only page
    // does not change, an explode content of three kinds, the last CE.
    for (const int line : {0, 20, 34, 37, 1}) {
        ClickLine(line);
        ASSERT_EQ(bytes[Record(line) + 42], 1) << "every CE of 042.level has one page";
        ExpectShows(FromBytes(bytes, Record(line), 1), 1);
        EXPECT_EQ(ReadBytes(path), bytes) << "a click writes nothing";
    }
    // Spot checks written out, independent of the helper above.
    ClickLine(34);
    EXPECT_EQ(Text("CEMan_Conf_Name"), "four");
    EXPECT_EQ(Memo("CEMan_Conf_ExplodeCont"), "0168 0168 0168 \n000D 000D 000D \n0000 0188 0000 ");
    ClickLine(20);
    EXPECT_EQ(Text("CEMan_Conf_Name"), "Changer");
    EXPECT_FALSE(Checked("CEMan_Adv_CanChange"));
    EXPECT_TRUE(Group()->isHidden());
    ClickLine(0);
    EXPECT_EQ(Label(), kLabelStart + "1");
    EXPECT_EQ(Text("CEMan_Adv_GraphicOf"), "013C");
    EXPECT_EQ(Memo("CEMan_Adv_ExtChange"), "0000 0000 0000 \n0000 0168 0000 \n0000 0168 0000 ");
    EXPECT_FALSE(Find<QWidget>("CEMan_Notice")->isVisibleTo(main.get()));
}

TEST_F(CeManager042, TheKeyboardMovesThroughTheListAndFillsTheViews)
{
    ClickLine(33);
    PressKey(List(), Qt::Key_Down);
    EXPECT_EQ(List()->currentRow(), 34);
    EXPECT_EQ(Text("CEMan_Conf_Name"), "four");
    ExpectShows(FromBytes(bytes, Record(34), 1), 1);
}

// --- levels built byte by byte ---

PageSpec MakePage(std::uint32_t bits, std::uint16_t type, std::uint8_t canChange, std::uint16_t changeTo)
{
    PageSpec p;
    p.eventBits = bits;
    p.delayType = type;
    p.canChange = canChange;
    p.changeTo = changeTo;
    return p;
}

// CE 200 of three pages whose fields all differ, CE 7 without a page, CE 1 of one page.
Bytes ThreeCes()
{
    PageSpec p1 = MakePage(0x01, 50, 1, 360);
    p1.delayFixed = 1000;  // shows as 999
    p1.delayRandom = 12;
    p1.condElement = 80;
    p1.useExtChange = 1;
    p1.extChange = {1, 2, 3, 360, 0, 700, 84, 85, 86};
    PageSpec p2 = MakePage(0x03, 1, 0, 0x0102);
    p2.delayFixed = 5;
    PageSpec p3 = MakePage(0x02, 25, 1, 615);
    p3.delayRandom = 999;
    p3.condElement = 624;
    const CeSpec three{200, "Three pages", 1, 615, {0, 360, 0, 2, 3, 4, 624, 655, 1}, {p1, p2, p3}};
    const CeSpec none{7, "no pages", 1, 0x0010, {1, 1, 1, 1, 1, 1, 1, 1, 1}, {}};
    const CeSpec one{1, "one: with colon", 0, 0, {}, {MakePage(0, 0, 0, 0)}};
    return LevelWithChunks({Cus4Chunk(three), Cus4Chunk(none), Cus4Chunk(one)});
}

class CeManagerBuilt : public CeManagerTest {
protected:
    void SetUp() override
    {
        CeManagerTest::SetUp();
        bytes = ThreeCes();
        path = dir.Write("built.level", bytes);
        DirectLoad(path);
        ASSERT_EQ(List()->count(), 3);
        ASSERT_EQ(List()->item(0)->text(), "200: Three pages");
    }
    std::size_t Record(int line) { return static_cast<std::size_t>(main->Level().CePositions()[line]); }
    std::string path;
    Bytes bytes;
};

TEST_F(CeManagerBuilt, ACeOfThreePagesOpensOnPageThreeAndEveryPageCanBeShown)
{
    ClickLine(0);
    EXPECT_EQ(Label(), "Current Change Page =              of 3");
    EXPECT_EQ(Page()->minimum(), 1);
    EXPECT_EQ(Page()->maximum(), 3);
    ExpectShows(FromBytes(bytes, Record(0), 3), 3);
    EXPECT_EQ(Find<QComboBox>("CEMan_Adv_DelayType")->currentText(), "Frames");  // 25
    EXPECT_FALSE(Checked("CEMan_Adv_DelayCheck"));                                // 0x02

    // Down to page 2 with the keyboard: CanChange 0 hides the group, DelayType 1 is "Frames", 0x03 ticks the delay.
    PressKey(Page(), Qt::Key_Down);
    EXPECT_EQ(Page()->value(), 2);
    ExpectShows(FromBytes(bytes, Record(0), 2), 2);
    EXPECT_FALSE(Checked("CEMan_Adv_CanChange"));
    EXPECT_TRUE(Group()->isHidden());
    EXPECT_TRUE(Checked("CEMan_Adv_DelayCheck"));
    EXPECT_EQ(Text("CEMan_Adv_ChangeTo"), "0102");

    // Page 1: CanChange 1 shows the group again; 50 is "Seconds", a delay of 1000 shows as 999.
    PressKey(Page(), Qt::Key_Down);
    ExpectShows(FromBytes(bytes, Record(0), 1), 1);
    EXPECT_TRUE(GroupShown());
    EXPECT_EQ(Find<QComboBox>("CEMan_Adv_DelayType")->currentText(), "Seconds");
    EXPECT_EQ(Spin("CEMan_Adv_DelayFixed"), 999);
    EXPECT_TRUE(Checked("CEMan_Adv_DelayCheck"));
    EXPECT_EQ(Memo("CEMan_Adv_ExtChange"), "0001 0002 0003 \n0168 0000 02BC \n0054 0055 0056 ");
    // Code 700 has no picture in the atlas: its cell gets the no-picture tile.
    EXPECT_EQ(Picture("CEMan_Adv_ExtChangeImg").copy(32, 16, 16, 16), NoPictureTile());

    // The spin edit offers no page past the record's: up from 3 stays on 3.
    Page()->setValue(3);
    PressKey(Page(), Qt::Key_Up);
    EXPECT_EQ(Page()->value(), 3);
    ExpectShows(FromBytes(bytes, Record(0), 3), 3);
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(CeManagerBuilt, ElementChangesShowsTheGroupExactlyWhenTicked)
{
    ClickLine(0);
    Page()->setValue(2);  // CanChange 0
    auto* box = Find<QCheckBox>("CEMan_Adv_CanChange");
    Find<QTabWidget>("CEMan__")->setCurrentIndex(2);
    QCoreApplication::processEvents();
    for (const bool expected : {true, false, true}) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        EXPECT_EQ(box->isChecked(), expected);
        EXPECT_EQ(GroupShown(), expected);
        EXPECT_EQ(Group()->isVisible(), expected);
    }
    // The user's tick changes nothing in the file, and a page change shows the page's own value again.
    Page()->setValue(3);
    Page()->setValue(2);
    EXPECT_FALSE(box->isChecked());
    EXPECT_TRUE(Group()->isHidden());
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(CeManagerBuilt, ACeWithoutPagesOffersNoPageAndReadsNoneOfItsBytesAsOne)
{
    ClickLine(0);
    ClickLine(1);
    EXPECT_EQ(Text("CEMan_Conf_Name"), "no pages");
    EXPECT_EQ(Label(), "Current Change Page =              of 0");
    EXPECT_FALSE(Page()->isEnabled());
    EXPECT_EQ(Page()->minimum(), 0);
    EXPECT_EQ(Page()->maximum(), 0);
    EXPECT_EQ(Page()->text(), " ") << "the spin edit shows no page number";
    EXPECT_FALSE(Checked("CEMan_Adv_CanChange"));
    EXPECT_FALSE(Find<QCheckBox>("CEMan_Adv_CanChange")->isEnabled());
    EXPECT_TRUE(Group()->isHidden());
    // The change page controls are emptied, not left with CE 200's page.
    for (const char* edit : {"CEMan_Adv_ChangeTo", "CEMan_Adv_ChangeCondEl"}) EXPECT_TRUE(Text(edit).isEmpty());
    EXPECT_TRUE(Memo("CEMan_Adv_ExtChange").isEmpty());
    EXPECT_EQ(Spin("CEMan_Adv_DelayFixed"), 0);
    EXPECT_FALSE(Checked("CEMan_Adv_DelayCheck"));
    EXPECT_FALSE(Checked("CEMan_Adv_ExtChangeCheck"));
    for (const char* image : {"CEMan_Adv_ChangeToImg", "CEMan_Adv_ChangeCondElImg", "CEMan_Adv_ExtChangeImg"})
        EXPECT_TRUE(IsWhite(Picture(image))) << image;
    // The base block is shown all the same.
    EXPECT_TRUE(Checked("CEMan_Adv_GraphicOfCheck"));
    EXPECT_EQ(Text("CEMan_Adv_GraphicOf"), "0010");
    EXPECT_EQ(Memo("CEMan_Conf_ExplodeCont"), "0001 0001 0001 \n0001 0001 0001 \n0001 0001 0001 ");

    // The next CE with pages brings the spin edit back.
    ClickLine(2);
    EXPECT_TRUE(Page()->isEnabled());
    EXPECT_EQ(Page()->text(), "1");
    EXPECT_TRUE(Find<QCheckBox>("CEMan_Adv_CanChange")->isEnabled());
    ExpectShows(FromBytes(bytes, Record(2), 1), 1);
    EXPECT_EQ(Text("CEMan_Conf_Name"), "one: with colon") << "only the first \": \" separates";
}

TEST_F(CeManagerBuilt, TwoClicksOnDifferentCesShowTheSecondInEveryControl)
{
    ClickLine(0);
    Page()->setValue(1);  // the page with the most fields set
    ClickLine(2);
    ExpectShows(FromBytes(bytes, Record(2), 1), 1);
    ClickLine(0);
    ExpectShows(FromBytes(bytes, Record(0), 3), 3);
}

TEST_F(CeManagerBuilt, SaveAndCloseResetsThePage)
{
    ClickLine(0);
    Page()->setValue(1);
    Find<QListWidget>("CEMan_Info_ImportedCEList")->addItem("1:CE1-->2");
    const QImage explodePicture = Picture("CEMan_Conf_ExplodeContImg");
    const QImage changeToPicture = Picture("CEMan_Adv_ChangeToImg");
    ASSERT_TRUE(Checked("CEMan_Adv_GraphicOfCheck") && Checked("CEMan_Adv_ExtChangeCheck") &&
                Checked("CEMan_Adv_DelayCheck") && Spin("CEMan_Adv_DelayRandom") == 12 && GroupShown());

    Find<QAction>("File_SaveLevel")->trigger();
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(Find<QListWidget>("CEMan_Info_ImportedCEList")->count(), 0);
    EXPECT_FALSE(Checked("CEMan_Adv_CanChange"));
    EXPECT_TRUE(Group()->isHidden());
    for (const char* edit : {"CEMan_Conf_Name", "CEMan_Adv_GraphicOf", "CEMan_Adv_ChangeTo", "CEMan_Adv_ChangeCondEl"})
        EXPECT_TRUE(Text(edit).isEmpty()) << edit;
    for (const char* memo : {"CEMan_Conf_ExplodeCont", "CEMan_Adv_ExtChange"}) EXPECT_TRUE(Memo(memo).isEmpty()) << memo;
    for (const char* box : {"CEMan_Adv_GraphicOfCheck", "CEMan_Adv_ExtChangeCheck", "CEMan_Adv_DelayCheck"})
        EXPECT_FALSE(Checked(box)) << box;
    EXPECT_EQ(Page()->value(), 1);
    EXPECT_EQ(Find<QComboBox>("CEMan_Adv_DelayType")->currentIndex(), 0);
    EXPECT_EQ(Spin("CEMan_Adv_DelayFixed"), 0);
    EXPECT_EQ(Spin("CEMan_Adv_DelayRandom"), 0);
    // The label and the pictures keep what they showed.
    EXPECT_EQ(Label(), kLabelStart + "3");
    EXPECT_EQ(Picture("CEMan_Conf_ExplodeContImg"), explodePicture);
    EXPECT_EQ(Picture("CEMan_Adv_ChangeToImg"), changeToPicture);
    // With no level, a click or a page change fills nothing.
    main->CeManager()->CEMan_CEListClick();
    Page()->setValue(2);
    EXPECT_TRUE(Text("CEMan_Conf_Name").isEmpty());
    EXPECT_TRUE(Group()->isHidden());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CeManagerBuilt, SaveAndCloseAfterACeWithoutPagesSetsPageOneAgain)
{
    ClickLine(1);
    ASSERT_FALSE(Page()->isEnabled());
    main->File_SaveLevelClick();
    EXPECT_EQ(Page()->value(), 1);
    EXPECT_EQ(Page()->text(), "1");
    EXPECT_TRUE(Page()->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("CEMan_Adv_CanChange")->isEnabled());
}

TEST_F(CeManagerBuilt, EverySubPageFitsTheWindowWithNothingClippedOrOverlapping)
{
    ClickLine(0);
    Page()->setValue(1);  // the change page group shown
    auto* book = Find<QTabWidget>("CEMan__");
    QWidget* page = main->Book()->widget(kCeManagerPage);
    const QRect window = main->rect();
    // A field that stands over the blanks of its caption on purpose.
    const std::pair<QString, QString> overlays[] = {{"CEMan_Adv_Page", "CEMan_ChangePageLabel"},
                                                    {"CEMan_Adv_DelayFixed", "CEMan_Adv_DelayCheck"}};
    for (int sub = 0; sub < book->count(); ++sub) {
        book->setCurrentIndex(sub);
        QCoreApplication::processEvents();
        std::vector<QWidget*> shown;
        for (QWidget* w : page->findChildren<QWidget*>())
            if (w->isVisible() && w->objectName().startsWith("CEMan_") && w != book) shown.push_back(w);
        ASSERT_GT(shown.size(), 2u);
        for (QWidget* w : shown) {
            const std::string name = w->objectName().toStdString() + " on sub-page " + std::to_string(sub);
            const QRect r(w->mapTo(main.get(), QPoint(0, 0)), w->size());
            EXPECT_TRUE(window.contains(r)) << name;
            const QSize hint = w->minimumSizeHint();
            if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
                // A memo of three rows is made just as large as its rows.
                const QFontMetrics fm(memo->font());
                const QRect inside = memo->viewport()->contentsRect();
                EXPECT_GE(inside.width(), fm.horizontalAdvance("0000 0000 0000 ")) << name;
                EXPECT_GE(inside.height(), 3 * fm.lineSpacing()) << name;
            } else if (hint.isValid()) {
                EXPECT_GE(w->width(), hint.width()) << name;
                EXPECT_GE(w->height(), hint.height()) << name;
            }
            for (QWidget* other : shown) {
                if (other == w || w->isAncestorOf(other) || other->isAncestorOf(w)) continue;
                bool overlay = false;
                for (const auto& [a, b] : overlays)
                    overlay = overlay || (w->objectName() == a && other->objectName() == b) ||
                              (w->objectName() == b && other->objectName() == a);
                const QRect o(other->mapTo(main.get(), QPoint(0, 0)), other->size());
                if (!overlay) {
                    EXPECT_FALSE(r.intersects(o)) << name << " overlaps " << other->objectName().toStdString();
                }
            }
        }
    }
    // The fields over blanks lie inside their caption's run of blanks.
    auto* label = Find<QLabel>("CEMan_ChangePageLabel");
    const QFontMetrics fm(label->font());
    ASSERT_EQ(Page()->parentWidget(), label->parentWidget());
    const QRect spin = Page()->geometry().translated(-label->geometry().topLeft());
    EXPECT_GE(spin.left(), fm.horizontalAdvance("Current Change Page ="));
    EXPECT_LE(spin.right(), fm.horizontalAdvance("Current Change Page =              "));
    auto* delay = Find<QCheckBox>("CEMan_Adv_DelayCheck");
    auto* fixed = Find<QSpinBox>("CEMan_Adv_DelayFixed");
    ASSERT_EQ(fixed->parentWidget(), delay->parentWidget());
    const QFontMetrics dfm(delay->font());
    const QRect delayText(delay->geometry().right() - dfm.horizontalAdvance("+ Random") - 4, 0, 4, 1);
    EXPECT_LT(fixed->geometry().right(), delayText.left()) << "the delay spin edit covers \"+ Random\"";
}

}  // namespace
}  // namespace vantrel::test
