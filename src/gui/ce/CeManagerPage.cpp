#include "gui/ce/CeManagerPage.h"

#include "base/ElementTable.h"
#include "base/PathText.h"
#include "gui/base/NamedWidget.h"
#include "tell/Tell.h"

#include "ce/CeViews.h"
#include "level/Loader.h"
#include "gui/level/LevelDocumentQt.h"
#include "gui/base/QtText.h"
#include "gui/view/AtlasQt.h"
#include "view/Tiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace vantrel {

namespace {

constexpr int kListWidth = 190;       // the CE list column
constexpr int kCodeEditChars = 4;     // a code shows as four hex digits
constexpr int kBlockMemoColumns = 15; // "0000 0000 0000 "
constexpr int kBlockMemoLines = 3;
constexpr int kSmallImage = kTileSize;
constexpr int kBlockImage = 3 * kTileSize;  // a 3 x 3 block of tiles
constexpr int kFieldGap = 2;          // room left and right of a field that stands over blanks
constexpr char kHexNotice[] = "Manual hex editing of custom elements comes in a later version.";

QString Text(const std::string& s)
{
    return FromLatin1(s);
}

const CeUnboundControl& UnboundRow(const char* name)
{
    for (const CeUnboundControl& c : CeUnboundControls())
        if (c.Name == name) return c;
    throw std::logic_error(std::string("no unbound control ") + name);
}

// An unbound control as the table gives it: kind, caption, items, range and value.
QWidget* MakeUnbound(const CeUnboundControl& c)
{
    QWidget* w = nullptr;
    switch (c.Kind) {
    case CeControlKind::CheckBox: {
        auto* box = new QCheckBox(Text(c.Caption));
        box->setChecked(c.Value != 0);
        w = box;
        break;
    }
    case CeControlKind::DropDown: {
        auto* combo = new QComboBox;
        for (const std::string& item : c.Items) combo->addItem(Text(item));
        combo->setCurrentIndex(c.Value);
        w = combo;
        break;
    }
    case CeControlKind::SpinEdit: {
        auto* spin = new QSpinBox;
        spin->setRange(c.Min, c.Max);
        spin->setValue(c.Value);
        w = spin;
        break;
    }
    }
    w->setObjectName(Text(c.Name));
    return w;
}

// The unbound controls of one sub-page (names that start with prefix), made
// from the table and placed by name.
class UnboundSet {
public:
    explicit UnboundSet(const std::string& prefix)
    {
        for (const CeUnboundControl& c : CeUnboundControls())
            if (c.Name.rfind(prefix, 0) == 0) widgets_[c.Name] = MakeUnbound(c);
    }
    QWidget* operator[](const char* name) const { return widgets_.at(name); }
    // The label beside a drop-down list or spin edit.
    static QLabel* Caption(const char* name) { return new QLabel(Text(UnboundRow(name).Caption)); }

private:
    std::map<std::string, QWidget*> widgets_;
};

// A row of widgets, left-aligned.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, bool stretch = true)
{
    auto* row = new QHBoxLayout;
    for (QWidget* w : widgets) row->addWidget(w);
    if (stretch) row->addStretch(1);
    return row;
}

QLineEdit* CodeEdit(const char* name)
{
    auto* edit = Named(new QLineEdit, name);
    const QFontMetrics fm(edit->font());
    edit->setFixedWidth(fm.horizontalAdvance(QString(kCodeEditChars + 1, QLatin1Char('D'))) + 12);
    return edit;
}

// A disabled memo of fixed-pitch font that holds exactly three rows of three codes.
QPlainTextEdit* BlockMemo(const char* name)
{
    auto* memo = Named(new QPlainTextEdit, name);
    memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setEnabled(false);
    const QFontMetrics fm(memo->font());
    const int frame = 2 * memo->frameWidth() + 2 * static_cast<int>(memo->document()->documentMargin());
    memo->setFixedSize(fm.horizontalAdvance(QString(kBlockMemoColumns, QLatin1Char('0'))) + frame + 2,
                       fm.lineSpacing() * kBlockMemoLines + frame + 2);
    return memo;
}

// The memo's three lines; an empty memo when there is no line to show.
QString MemoLines(const std::array<std::string, 3>& lines)
{
    if (std::all_of(lines.begin(), lines.end(), [](const std::string& line) { return line.empty(); })) return {};
    QStringList text;
    for (const std::string& line : lines) text << Text(line);
    return text.join(QLatin1Char('\n'));
}

// The first run of at least three blanks in text: its start and length.
std::pair<int, int> BlankRun(const QString& text)
{
    const int start = static_cast<int>(text.indexOf(QStringLiteral("   ")));
    int end = start;
    while (end < text.size() && text[end] == QLatin1Char(' ')) ++end;
    return {start, end - start};
}

// A caption whose run of blanks holds another control: the label or check
// box shows its text byte for byte, and field stands over the blanks. Where
// the blanks of the widget's font are too narrow for the field, the blanks
// of that caption are widened (word spacing), the text stays the same.
// textLeft is where the widget starts drawing its text; sizingText is the
// widest text the caption will show.
QWidget* CaptionWithField(QWidget* caption, int textLeft, const QString& sizingText, QWidget* field)
{
    auto* box = new QWidget;
    caption->setParent(box);
    field->setParent(box);
    const auto [start, blanks] = BlankRun(sizingText);
    QFont font = caption->font();
    const int needed = field->sizeHint().width() + 2 * kFieldGap;
    const int have = QFontMetrics(font).horizontalAdvance(QString(blanks, QLatin1Char(' ')));
    if (have < needed) {
        font.setWordSpacing(std::ceil(static_cast<double>(needed - have) / blanks));
        caption->setFont(font);
    }
    const QFontMetrics fm(font);
    const int left = textLeft + fm.horizontalAdvance(sizingText.left(start)) + kFieldGap;
    const int width = fm.horizontalAdvance(sizingText.mid(start, blanks)) - 2 * kFieldGap;
    const int height = std::max(caption->sizeHint().height(), field->sizeHint().height());
    const int captionWidth = std::max(textLeft + fm.horizontalAdvance(sizingText) + 4, caption->sizeHint().width());
    caption->setGeometry(0, (height - caption->sizeHint().height()) / 2, captionWidth,
                         caption->sizeHint().height());
    field->setGeometry(left, (height - field->sizeHint().height()) / 2, width, field->sizeHint().height());
    field->raise();
    box->setFixedSize(captionWidth, height);
    return box;
}

int CheckBoxTextLeft(QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    option.rect = QRect(QPoint(0, 0), box->sizeHint());
    return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).left();
}

constexpr char kRecordTip[] = "Read-only: what the custom element's record in the level holds.";
constexpr char kNotReadTip[] =
    "Read-only: this setting is not read from the record; it shows the level editor's default.";
constexpr char kCanChangeTip[] =
    "Ticked when the change page says the element changes. A tick here only shows or hides the page's settings "
    "below; nothing is written.";

// Keeps the mouse and the keys from changing a control that only shows.
class ShowOnly : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

// A control that shows a value and takes no change: an edit or spin box
// read-only, a check box or drop-down list deaf to the mouse and the keys,
// each with the background of the window and a hint that says so.
void ShowOnlyControl(QWidget* w, const char* tip, QObject* filter)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setReadOnly(true);
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
        spin->setReadOnly(true);
    } else {
        w->installEventFilter(filter);
        w->setFocusPolicy(Qt::NoFocus);
    }
    QPalette look = w->palette();
    look.setColor(QPalette::Base, look.color(QPalette::Window));
    look.setColor(QPalette::Button, look.color(QPalette::Window));
    w->setPalette(look);
    w->setToolTip(QString::fromLatin1(tip));
}

// An unbound control back to the value the table gives it.
void ShowUnboundValue(QWidget* w, const CeUnboundControl& c)
{
    if (auto* box = qobject_cast<QCheckBox*>(w)) box->setChecked(c.Value != 0);
    else if (auto* combo = qobject_cast<QComboBox*>(w)) combo->setCurrentIndex(c.Value);
    else if (auto* spin = qobject_cast<QSpinBox*>(w)) spin->setValue(c.Value);
}

}  // namespace

// --- pictures of element codes ---

ElementCodesImage::ElementCodesImage(int width, int height, const char* name)
    : picture_(width, height, QImage::Format_RGB32)
{
    setObjectName(QString::fromLatin1(name));
    picture_.fill(Qt::white);
    setFixedSize(width, height);
}

void ElementCodesImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void DrawElementCodes(const std::string& text, ElementCodesImage& image)
{
    QImage& picture = image.Picture();
    picture.fill(Qt::white);
    const std::vector<TileCode> tiles = ElementCodesToDraw(text);
    QStringList names;  // the hint: each element's code and name, a row of the preview a line
    if (!tiles.empty()) {
        const AtlasQt& sheet = BuiltInAtlasQt();
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        int row = tiles.front().Row;
        QString line;
        for (const TileCode& tile : tiles) {
            painter.drawImage(tile.Rect.left, tile.Rect.top, sheet.Tile(tile.Code));
            if (tile.Row != row) {
                names << line;
                line.clear();
                row = tile.Row;
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(", ")) + FromLatin1(ElementLabel(tile.Code));
        }
        names << line;
    }
    image.setToolTip(names.join(QLatin1Char('\n')));
    image.update();
}

int FitListScrollWidth(QListWidget* list)
{
    const QFontMetricsF fm(list->font());
    // Beside its text a line has the style's margins on both sides of the
    // text and, when it can be ticked, of the check box.
    const int margin = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    const int checkBox = list->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list) + margin;
    int widest = 0;
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        const int check = item->data(Qt::CheckStateRole).isValid() ? checkBox : 0;
        const int text = static_cast<int>(std::ceil(fm.horizontalAdvance(item->text())));
        widest = std::max(widest, text + margin + check);
    }
    const int extent = widest;
    // The view scrolls over the width of its items: every line is as wide as the extent.
    for (int i = 0; i < list->count(); ++i) {
        const int height = list->sizeHintForRow(i);
        list->item(i)->setSizeHint(QSize(extent, height));
    }
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setProperty("horizontalExtent", extent);
    return extent;
}

// --- CEMan_CEList ---

CeCheckList::CeCheckList()
{
    setObjectName(QStringLiteral("CEMan_CEList"));
}

void CeCheckList::keyPressEvent(QKeyEvent* event)
{
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before) emit keyboardRowChanged();
}

// --- the page ---

CeManagerPage::CeManagerPage(LevelDocumentQt& doc) : doc_(doc)
{
    ceList_ = new CeCheckList;
    ceList_->setFixedWidth(kListWidth);
    notice_ = Named(new QLabel, "CEMan_Notice");
    notice_->setWordWrap(true);
    notice_->setFixedWidth(kListWidth);
    notice_->hide();
    auto* exportButton = Named(new QPushButton(tr("Export Selected to a .vce file")), "CEMan_ExportBtn");
    exportButton->setFixedWidth(kListWidth);
    auto* left = new QVBoxLayout;
    left->addWidget(ceList_, 1);
    left->addWidget(notice_);
    left->addWidget(exportButton);

    layout_ = new QHBoxLayout(this);
    layout_->addLayout(left);

    connect(ceList_, &QListWidget::itemClicked, this, [this] { CEMan_CEListClick(); });
    connect(ceList_, &CeCheckList::keyboardRowChanged, this, [this] { CEMan_CEListClick(); });
    connect(&doc_, &LevelDocumentQt::loaded, this, [this](const LoadReport& report) { ShowLoad(report); });
    connect(&doc_, &LevelDocumentQt::closed, this, &CeManagerPage::Reset);
    connect(exportButton, &QPushButton::clicked, this, [this] { CEMan_ExportBtnClick(); });
    // Built after a load, the page lists that load's CEs.
    if (!doc_.Doc().LoadsSinceClose().empty()) ShowLoad(doc_.Doc().LoadsSinceClose().back());
}

void CeManagerPage::ShowLoad(const LoadReport& report)
{
    // Nothing of the previous level's views stays, pictures included; nor does
    // an import meant for it, unless the same level was only read again (an undo).
    ResetViews();
    ClearPictures();
    if (!report.Reread) {
        import_.Clear();
        if (SubPagesBuilt()) importedList_->clear();
    }
    SetCeList(report.CeList);
    for (int line = 0; line < ceList_->count(); ++line)
        if (IsCusxLine(doc_.Level(), line)) {
            ShowNotice(kCusxNotice);
            return;
        }
}

void CeManagerPage::EnsureSubPages()
{
    if (SubPagesBuilt()) return;
    book_ = Named(new QTabWidget, "CEMan__");
    book_->addTab(BuildInformation(), tr("Information"));
    book_->addTab(BuildConfiguration(), tr("View configuration"));
    book_->addTab(BuildAdvanced(), tr("View advanced settings"));
    book_->addTab(BuildHexEditing(), tr("HEX Editing"));
    layout_->addWidget(book_, 1);
    book_->show();  // at once, not at the next turn of the event loop: a handler may run before it
    connect(page_, &QSpinBox::valueChanged, this, [this] { CEMan_Adv_PageChange(); });
    connect(canChange_, &QCheckBox::toggled, this, [this] { CEMan_Adv_CanChangeClick(); });
    // The views show the record: nothing typed or ticked in them could reach the level.
    auto* showOnly = new ShowOnly(this);
    for (QWidget* w : std::initializer_list<QWidget*>{name_, graphicOfCheck_, graphicOf_, changeTo_, changeCondEl_,
                                                      delayCheck_, delayFixed_, delayRandom_, delayType_,
                                                      extChangeCheck_})
        ShowOnlyControl(w, kRecordTip, showOnly);
    for (const CeUnboundControl& c : CeUnboundControls())
        if (auto* w = findChild<QWidget*>(QString::fromStdString(c.Name))) ShowOnlyControl(w, kNotReadTip, showOnly);
    canChange_->setToolTip(QString::fromLatin1(kCanChangeTip));
}

void CeManagerPage::showEvent(QShowEvent* event)
{
    EnsureSubPages();
    QWidget::showEvent(event);
}

QWidget* CeManagerPage::BuildInformation()
{
    auto* group = Named(new QGroupBox(tr("Import CEs")), "CEMan_Info_ImportGroup");
    auto* load = Named(new QPushButton(tr("Load .vce file to Import")), "CEMan_Info_LoadVCE");
    importedList_ = Named(new QListWidget, "CEMan_Info_ImportedCEList");
    auto* importAt = importAt_ = Named(new QSpinBox, "CEMan_Info_ImportAt");
    importAt->setRange(1, kCeCount);
    importAt->setValue(1);
    auto* setPos = Named(new QPushButton(tr("Set Pos")), "CEMan_Info_SetImportPos");
    auto* incDecValue = incDecValue_ = Named(new QSpinBox, "CEMan_Info_IncDecAllValue");
    incDecValue->setRange(-50, 50);
    incDecValue->setValue(0);
    auto* incDec = Named(new QPushButton(tr("Inc/Dec All")), "CEMan_Info_IncDecAll");
    auto* finish = Named(new QPushButton(tr("Finish Import")), "CEMan_Info_FinishImport");
    connect(load, &QPushButton::clicked, this, [this] { CEMan_Info_LoadVCEClick(); });
    connect(importedList_, &QListWidget::itemClicked, this, [this] { CEMan_Info_ImportedCEListClick(); });
    connect(setPos, &QPushButton::clicked, this, [this] { CEMan_Info_SetImportPosClick(); });
    connect(incDec, &QPushButton::clicked, this, [this] { CEMan_Info_IncDecAllClick(); });
    connect(finish, &QPushButton::clicked, this, [this] { CEMan_Info_FinishImportClick(); });

    auto* buttons = new QGridLayout;
    buttons->addWidget(load, 0, 0, 1, 2);
    buttons->addWidget(importAt, 1, 0);
    buttons->addWidget(setPos, 1, 1);
    buttons->addWidget(incDecValue, 2, 0);
    buttons->addWidget(incDec, 2, 1);
    buttons->addWidget(finish, 3, 0, 1, 2);
    // The bytes of each chunk go into the log; boxes of them only when asked for.
    showDetails_ = Named(new QCheckBox(tr("Show details")), "CEMan_Info_ShowDetails");
    buttons->addWidget(showDetails_, 4, 0, 1, 2);
    buttons->setRowStretch(5, 1);
    auto* inner = new QHBoxLayout(group);
    inner->addWidget(importedList_, 1);
    inner->addLayout(buttons);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addWidget(BuildStoredEntries());
    return page;
}

QWidget* CeManagerPage::BuildConfiguration()
{
    const UnboundSet u("CEMan_Conf_");
    name_ = Named(new QLineEdit, "CEMan_Conf_Name");
    name_->setMaxLength(kCeNameEditMaxLength);
    explodeCont_ = BlockMemo("CEMan_Conf_ExplodeCont");
    explodeContImg_ = new ElementCodesImage(kBlockImage, kBlockImage, "CEMan_Conf_ExplodeContImg");

    auto* left = new QVBoxLayout;
    left->addLayout(Row({u["CEMan_Conf_WalkPassCheck"], u["CEMan_Conf_WalkPass"], u["CEMan_Conf_WalkPassMode"]}));
    left->addLayout(Row({u["CEMan_Conf_DigColPushCheckBox"], u["CEMan_Conf_DigColPush"]}));
    left->addLayout(Row({UnboundSet::Caption("CEMan_Conf_Score"), u["CEMan_Conf_Score"],
                         UnboundSet::Caption("CEMan_Conf_Count"), u["CEMan_Conf_Count"]}));
    left->addLayout(Row({UnboundSet::Caption("CEMan_Conf_PushDelayFixed"), u["CEMan_Conf_PushDelayFixed"],
                         UnboundSet::Caption("CEMan_Conf_PushDelayRand"), u["CEMan_Conf_PushDelayRand"]}));
    left->addLayout(Row({u["CEMan_Conf_CanMove"], u["CEMan_Conf_CanMoveDirs"]}));
    left->addLayout(Row({UnboundSet::Caption("CEMan_Conf_MoveStartDir"), u["CEMan_Conf_MoveStartDir"]}));
    left->addLayout(Row({UnboundSet::Caption("CEMan_Conf_MoveDelayFixed"), u["CEMan_Conf_MoveDelayFixed"],
                         UnboundSet::Caption("CEMan_Conf_MoveDelayRand"), u["CEMan_Conf_MoveDelayRand"]}));
    left->addWidget(UnboundSet::Caption("CEMan_Conf_MoveSpeed"));
    left->addLayout(Row({u["CEMan_Conf_MoveSpeed"]}));
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(u["CEMan_Conf_CanFall"]);
    right->addLayout(Row({u["CEMan_Conf_CanSmash"], u["CEMan_Conf_CanSmashWhat"]}));
    right->addLayout(Row({u["CEMan_Conf_Slippery"], u["CEMan_Conf_SlipperyTo"]}));
    right->addLayout(Row({u["CEMan_Conf_DeadlyWhenCheck"], u["CEMan_Conf_DeadlyWhen"]}));
    right->addLayout(Row({u["CEMan_Conf_ExplodeCheck"], u["CEMan_Conf_ExplodeMode"]}));
    right->addLayout(
        Row({u["CEMan_Conf_ExplodeFire"], u["CEMan_Conf_ExplodeSmashed"], u["CEMan_Conf_ExplodeImpact"]}));
    right->addWidget(new QLabel(tr("Explode To Content:")));
    right->addLayout(Row({explodeCont_, explodeContImg_}));
    right->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(Row({new QLabel(tr("Name:")), name_}, false));
    layout->addLayout(columns, 1);
    return page;
}

QWidget* CeManagerPage::BuildAdvanced()
{
    graphicOfCheck_ = Named(new QCheckBox(tr("Use Graphic of")), "CEMan_Adv_GraphicOfCheck");
    graphicOf_ = CodeEdit("CEMan_Adv_GraphicOf");
    graphicOfImg_ = new ElementCodesImage(kSmallImage, kSmallImage, "CEMan_Adv_GraphicOfImg");

    page_ = Named(new QSpinBox, "CEMan_Adv_Page");
    page_->setRange(0, 255);  // sized for every page count a record can hold
    pageLabel_ = Named(new QLabel, "CEMan_ChangePageLabel");
    const QString widestLabel = Text(ChangePageLabel(255));
    pageLabel_->setText(widestLabel);
    QWidget* pageRow = CaptionWithField(pageLabel_, 0, widestLabel, page_);
    pageLabel_->setText(Text(ChangePageLabel(kPageSpinDesignMax)));
    page_->setRange(1, kPageSpinDesignMax);
    page_->setValue(1);

    canChange_ = Named(new QCheckBox(tr("Element Changes")), "CEMan_Adv_CanChange");

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(Row({graphicOfCheck_, graphicOf_, graphicOfImg_}));
    layout->addWidget(pageRow);
    layout->addWidget(canChange_);
    layout->addWidget(BuildChangePageGroup());
    layout->addStretch(1);
    return page;
}

QGroupBox* CeManagerPage::BuildChangePageGroup()
{
    const UnboundSet u("CEMan_Adv_");
    changePage_ = Named(new QGroupBox(tr("Change Page")), "CEMan_Adv_ChangePage");
    changeTo_ = CodeEdit("CEMan_Adv_ChangeTo");
    changeToImg_ = new ElementCodesImage(kSmallImage, kSmallImage, "CEMan_Adv_ChangeToImg");
    changeCondEl_ = CodeEdit("CEMan_Adv_ChangeCondEl");
    changeCondElImg_ = new ElementCodesImage(kSmallImage, kSmallImage, "CEMan_Adv_ChangeCondElImg");

    const QString delayCaption = QStringLiteral("Delay                  + Random");
    delayCheck_ = Named(new QCheckBox(delayCaption), "CEMan_Adv_DelayCheck");
    delayFixed_ = Named(new QSpinBox, "CEMan_Adv_DelayFixed");
    delayRandom_ = Named(new QSpinBox, "CEMan_Adv_DelayRandom");
    for (QSpinBox* spin : {delayFixed_, delayRandom_}) spin->setRange(0, kDelaySpinMax);
    delayType_ = Named(new QComboBox, "CEMan_Adv_DelayType");
    for (const std::string& item : kDelayTypeItems) delayType_->addItem(Text(item));
    QWidget* delayRow = CaptionWithField(delayCheck_, CheckBoxTextLeft(delayCheck_), delayCaption, delayFixed_);

    extChangeCheck_ = Named(new QCheckBox(tr("Use Extended Change Target")), "CEMan_Adv_ExtChangeCheck");
    extChange_ = BlockMemo("CEMan_Adv_ExtChange");
    extChangeImg_ = new ElementCodesImage(kBlockImage, kBlockImage, "CEMan_Adv_ExtChangeImg");

    auto* replace = new QVBoxLayout;
    replace->addLayout(
        Row({UnboundSet::Caption("CEMan_Adv_ExtChangeReplaceCond"), u["CEMan_Adv_ExtChangeReplaceCond"]}));
    replace->addWidget(u["CEMan_Adv_ExtChangeRandCheck"]);
    replace->addStretch(1);
    auto* extRow = Row({extChange_, extChangeImg_}, false);
    extRow->addLayout(replace);
    extRow->addStretch(1);

    auto* layout = new QVBoxLayout(changePage_);
    layout->addLayout(Row({new QLabel(tr("Change to")), changeTo_, changeToImg_}));
    layout->addLayout(Row({u["CEMan_Adv_ChangeConfNoParamCheck"], u["CEMan_Adv_ChangeCondNoParam"]}));
    layout->addLayout(Row({u["CEMan_Adv_ChangeCondCheck"], u["CEMan_Adv_ChangeCondWithParam"], changeCondEl_,
                           changeCondElImg_, u["CEMan_Adv_ChangeCondSide"]}));
    layout->addLayout(Row({delayRow, delayRandom_, delayType_}));
    layout->addWidget(u["CEMan_Adv_Explode"]);
    layout->addWidget(extChangeCheck_);
    layout->addLayout(extRow);

    changePage_->hide();
    changePage_->setEnabled(false);
    return changePage_;
}

QWidget* CeManagerPage::BuildHexEditing()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Named(new QLabel(tr(kHexNotice)), "CEMan_Hex_Notice"));
    layout->addStretch(1);
    return page;
}

QWidget* CeManagerPage::BuildStoredEntries()
{
    auto* page = cusxGroup_ = Named(new QGroupBox(tr("Stored entries (CUSX chunk, read-only)")), "CEMan_Cusx_Group");
    auto* layout = new QVBoxLayout(page);
    cusxEntries_ = Named(new QListWidget, "CEMan_Cusx_Entries");
    cusxEntries_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(cusxEntries_, 1);
    layout->addWidget(new QLabel(tr("Elements of the selected entry:")));
    cusxEntryImg_ = new ElementCodesImage(kBlockImage, kBlockImage, "CEMan_Cusx_EntryImg");
    layout->addWidget(cusxEntryImg_);
    connect(cusxEntries_, &QListWidget::currentRowChanged, this, [this] { CEMan_Cusx_EntriesClick(); });
    page->hide();
    return page;
}

void CeManagerPage::SetCeList(const std::vector<std::string>& lines)
{
    ceList_->clear();
    for (const std::string& line : lines) {
        auto* item = new QListWidgetItem(FromLatin1(line), ceList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void CeManagerPage::Reset()
{
    ceList_->clear();
    import_.Clear();
    if (SubPagesBuilt()) importedList_->clear();
    ResetViews();
}

void CeManagerPage::ResetViews()
{
    ShowNotice({});
    if (!SubPagesBuilt()) return;  // built later, they start empty
    canChange_->setChecked(false);
    canChange_->setEnabled(true);
    changePage_->hide();
    changePage_->setEnabled(false);
    explodeCont_->clear();
    name_->clear();
    graphicOf_->clear();
    graphicOfCheck_->setChecked(false);
    graphicOfCheck_->setEnabled(true);
    SetPageSpin(1, kPageSpinDesignMax, 1, true);
    changeTo_->clear();
    changeCondEl_->clear();
    extChange_->clear();
    extChangeCheck_->setChecked(false);
    delayType_->setCurrentIndex(kDelayTypeFramesIndex);
    delayCheck_->setChecked(false);
    delayFixed_->setValue(0);
    delayRandom_->setValue(0);
    cusxEntries_->clear();
    cusxGroup_->hide();
    SetUnboundEnabled(true);
    ResetUnbound();
}

void CeManagerPage::ClearPictures()
{
    if (!SubPagesBuilt()) return;
    for (ElementCodesImage* image :
         {explodeContImg_, graphicOfImg_, changeToImg_, changeCondElImg_, extChangeImg_, cusxEntryImg_})
        DrawElementCodes({}, *image);
    pageLabel_->setText(Text(ChangePageLabel(kPageSpinDesignMax)));
}

void CeManagerPage::ResetUnbound()
{
    for (const CeUnboundControl& c : CeUnboundControls())
        if (auto* w = findChild<QWidget*>(QString::fromStdString(c.Name))) ShowUnboundValue(w, c);
}

void CeManagerPage::CEMan_CEListClick()
{
    EnsureSubPages();
    ResetUnbound();  // every CE shows the same defaults, whatever showed before
    doc_.Run([this] {
        if (const auto cusx = CusxViewOfLine(doc_.Level(), ceList_->currentRow())) {
            ShowCusxView(*cusx);
            return;
        }
        cusxEntries_->clear();
        cusxGroup_->hide();
        SetUnboundEnabled(true);
        const int row = ceList_->currentRow();
        const std::vector<std::string> lines = CeListLines();
        const bool listed = row >= 0 && static_cast<std::size_t>(row) < lines.size();
        if (const auto view = CeViewOfLine(doc_.Level(), row, listed ? lines[static_cast<std::size_t>(row)] : ""))
            ShowCeView(*view);
    });
}

void CeManagerPage::CEMan_Adv_PageChange()
{
    EnsureSubPages();
    doc_.Run([this] {
        if (const auto view = ChangePageViewOf(doc_.Level(), ceList_->currentRow(), page_->value()))
            ShowChangePage(*view);
    });
}

void CeManagerPage::CEMan_Adv_CanChangeClick()
{
    EnsureSubPages();
    doc_.Run([this] {
        const bool on = canChange_->isChecked();
        changePage_->setVisible(on);
        changePage_->setEnabled(on);
    });
}

std::vector<std::string> CeManagerPage::CeListLines() const
{
    const std::vector<LoadReport>& loads = doc_.Doc().LoadsSinceClose();
    return loads.empty() ? std::vector<std::string>() : std::vector<std::string>(loads.back().CeList);
}

// The import list's lines as the core holds them; the selected line stays selected.
void CeManagerPage::ShowImportList()
{
    EnsureSubPages();
    const int row = importedList_->currentRow();
    importedList_->clear();
    for (const std::string& line : import_.Lines) importedList_->addItem(FromLatin1(line));
    if (row >= 0 && row < importedList_->count()) importedList_->setCurrentRow(row);
}

void CeManagerPage::CEMan_ExportBtnClick()
{
    EnsureSubPages();
    doc_.Run([this] {
        std::vector<bool> checked;
        for (int i = 0; i < ceList_->count(); ++i) checked.push_back(ceList_->item(i)->checkState() == Qt::Checked);
        const ExportPlan plan = PlanExport(doc_.Level(), CeListLines(), checked);
        Tell(plan.Refusals, doc_.Ui());
        if (WriteExport(plan, doc_.Ui()).Written) doc_.Ui().Message(ExportedMessage(plan.Exported, plan.Path));
    });
}

void CeManagerPage::CEMan_Info_LoadVCEClick()
{
    EnsureSubPages();
    doc_.Run([this] {
        const std::string folder = PathOf(doc_.Level().LevelPath()).parent_path().string();
        const VceLoadResult loaded = ChooseAndLoadVceFile(doc_.Level(), import_, doc_.Ui(), folder);
        if (loaded.Refusal) Tell(*loaded.Refusal, doc_.Ui());
        if (loaded) ShowImportList();
    });
    FitListScrollWidth(ceList_);
    FitListScrollWidth(importedList_);
}

void CeManagerPage::CEMan_Info_ImportedCEListClick()
{
    EnsureSubPages();
    doc_.Run([this] {
        if (const auto id = ImportAtOfLine(import_, importedList_->currentRow())) importAt_->setValue(*id);
    });
}

void CeManagerPage::CEMan_Info_SetImportPosClick()
{
    EnsureSubPages();
    doc_.Run([this] {
        if (SetImportPos(CeListLines(), import_, importedList_->currentRow(), importAt_->value(), doc_.Ui()))
            ShowImportList();
    });
}

void CeManagerPage::CEMan_Info_IncDecAllClick()
{
    EnsureSubPages();
    doc_.Run([this] {
        IncDecAll(import_, incDecValue_->value());
        ShowImportList();
    });
}

void CeManagerPage::CEMan_Info_FinishImportClick()
{
    EnsureSubPages();
    doc_.Run([this] {
        // A long import shows how far it is in the caption, at most every tenth of a second.
        QElapsedTimer sinceShown;
        sinceShown.start();
        FinishImportOptions options;
        if (showDetails_->isChecked()) options.ShowBytes = [this](const std::string& hex) { doc_.Ui().Message(hex); };
        options.Progress = [&](std::size_t i, std::size_t n) {
            if (sinceShown.elapsed() < 100) return;
            sinceShown.restart();
            doc_.ShowCaption(QStringLiteral("%1 - Importing custom elements: %2 of %3")
                                 .arg(QString::fromLatin1(kCaption))
                                 .arg(i + 1)
                                 .arg(n));
        };
        ImportResult result;
        try {
            result = FinishImport(doc_.Level(), CeListLines(), import_, doc_.Ui(), options);
        } catch (...) {
            doc_.ShowCaption(QString::fromLatin1(kCaption));
            throw;
        }
        doc_.ShowCaption(QString::fromLatin1(kCaption));
        Tell(ImportNotices(result), doc_.Ui());
        if (result.Status != ImportStatus::Imported) return;
        // The CE list shows the imported CEs at once; the import is done with.
        doc_.Doc().AddCeListLines(result.NewCeLines);
        SetCeList(CeListLines());
        import_.Clear();
        importedList_->clear();
    });
}

void CeManagerPage::ShowCeView(const CeView& view)
{
    EnsureSubPages();
    name_->setText(Text(view.Name));
    graphicOfCheck_->setChecked(view.UseGraphicOf);
    graphicOfCheck_->setEnabled(view.UseGraphicOfEnabled);
    graphicOf_->setText(Text(view.GraphicOf));
    DrawElementCodes(view.GraphicOf, *graphicOfImg_);

    if (view.PageEnabled) SetPageSpin(view.PageMin, view.PageMax, view.PageValue, true);
    else SetPageSpin(0, 0, 0, false);
    pageLabel_->setText(Text(view.ChangePageLabel));
    canChange_->setEnabled(view.PageEnabled);
    ShowChangePage(view.ChangePage);

    explodeCont_->setPlainText(MemoLines(view.ExplodeContLines));
    DrawElementCodes(MemoText(view.ExplodeContLines), *explodeContImg_);
    ShowNotice(view.Notice);
}

void CeManagerPage::ShowCusxView(const CusxView& view)
{
    const CusxBaseControls base = CusxControlsOf(view);
    name_->setText(FromLatin1(view.Name));
    graphicOfCheck_->setChecked(base.UseGraphicOf);
    graphicOfCheck_->setEnabled(true);
    graphicOf_->setText(Text(base.GraphicOf));
    DrawElementCodes(base.GraphicOf, *graphicOfImg_);
    explodeCont_->setPlainText(MemoLines(base.ExplodeContLines));
    DrawElementCodes(MemoText(base.ExplodeContLines), *explodeContImg_);
    SetUnboundEnabled(false);
    // The change pages are listed with the entries; the older page controls stay off.
    SetPageSpin(0, 0, 0, false);
    pageLabel_->setText(Text(ChangePageLabel(view.PageCount)));
    ShowChangePage(CeChangePageView{});
    canChange_->setEnabled(false);
    {
        const QSignalBlocker block(cusxEntries_);
        cusxEntries_->clear();
        for (const CusxEntryView& entry : view.Entries) {
            auto* item = new QListWidgetItem(FromLatin1(CusxEntryLine(entry)), cusxEntries_);
            item->setData(Qt::UserRole, FromLatin1(entry.Codes));
        }
    }
    DrawElementCodes({}, *cusxEntryImg_);
    cusxGroup_->show();
    ShowNotice(kCusxNotice);
}

void CeManagerPage::SetUnboundEnabled(bool on)
{
    for (const CeUnboundControl& c : CeUnboundControls())
        if (auto* w = findChild<QWidget*>(QString::fromStdString(c.Name))) w->setEnabled(on);
}

void CeManagerPage::CEMan_Cusx_EntriesClick()
{
    const QListWidgetItem* item = cusxEntries_->currentItem();
    DrawElementCodes(item ? ToLatin1(item->data(Qt::UserRole).toString()) : std::string(), *cusxEntryImg_);
}

void CeManagerPage::ShowChangePage(const CeChangePageView& page)
{
    EnsureSubPages();
    canChange_->setChecked(page.CanChange);
    changePage_->setVisible(page.GroupVisible);
    changePage_->setEnabled(page.GroupVisible);
    changeTo_->setText(Text(page.ChangeTo));
    DrawElementCodes(page.ChangeTo, *changeToImg_);
    changeCondEl_->setText(Text(page.ChangeCondEl));
    DrawElementCodes(page.ChangeCondEl, *changeCondElImg_);
    delayFixed_->setValue(page.DelayFixed);
    delayRandom_->setValue(page.DelayRandom);
    delayType_->setCurrentIndex(page.DelayTypeIndex);
    delayCheck_->setChecked(page.DelayCheck);
    extChangeCheck_->setChecked(page.ExtChangeCheck);
    extChange_->setPlainText(MemoLines(page.ExtChangeLines));
    DrawElementCodes(MemoText(page.ExtChangeLines), *extChangeImg_);
}

// The page spin edit without raising a page change: with no page to offer it
// shows blank and is disabled.
void CeManagerPage::SetPageSpin(int min, int max, int value, bool enabled)
{
    EnsureSubPages();
    const QSignalBlocker block(page_);
    page_->setSpecialValueText(enabled ? QString() : QStringLiteral(" "));
    page_->setRange(min, max);
    page_->setValue(value);
    page_->setEnabled(enabled);
}

void CeManagerPage::ShowNotice(const std::string& text)
{
    notice_->setText(FromBytes(text));
    notice_->setVisible(!text.empty());
}

}  // namespace vantrel
