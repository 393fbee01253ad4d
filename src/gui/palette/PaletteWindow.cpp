#include "gui/palette/PaletteWindow.h"
#include "gui/base/NamedWidget.h"

#include "base/ElementTable.h"
#include "palette/PaletteCodes.h"
#include "base/Error.h"
#include "tell/ErrorBoundary.h"
#include "gui/level/LevelDocumentQt.h"
#include "gui/view/AtlasQt.h"
#include "view/Tiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace vantrel {

namespace {

// A long title the window shows: the selected element's id, code and name.
constexpr char kLongestTitle[] = "Element id 360 ($0168): Custom element 256";
// Room a title bar takes besides its text: icon and buttons.
constexpr int kTitleBarExtras = 140;

}  // namespace

// --- El ---

AtlasPicture::AtlasPicture(PaletteWindow& form, QWidget* parent) : QWidget(parent), form_(form)
{
    setObjectName(QStringLiteral("El"));
    setMouseTracking(true);  // moves are reported without a button held
}

void AtlasPicture::paintEvent(QPaintEvent*)
{
    // The atlas is decoded when the palette is first drawn, not at the program's start.
    if (picture_.isNull()) {
        try {
            picture_ = BuiltInAtlasQt().Atlas();
        } catch (const VantrelError&) {
            return;  // nothing to draw; the tile boxes say why when they ask for a tile
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void AtlasPicture::mouseMoveEvent(QMouseEvent* event)
{
    form_.ElMouseMove(event->position().toPoint());
}

void AtlasPicture::mousePressEvent(QMouseEvent* event)
{
    form_.ElMouseDown(event->button());
}

void AtlasPicture::leaveEvent(QEvent*)
{
    form_.ElMouseLeave();
}

// --- the window ---

PaletteWindow::PaletteWindow(LevelDocumentQt& doc, QWidget* parent) : QWidget(parent, Qt::Window), doc_(doc)
{
    setObjectName(QStringLiteral("FormEl"));
    selectedTitle_ = tr("Element View");
    setWindowTitle(selectedTitle_);

    atlas_ = new AtlasPicture(*this, this);
    atlas_->setFixedSize(kAtlasWidth, kAtlasHeight);

    chosenTile_ = Named(new QLabel, "El2");
    chosenTile_->setFixedSize(kTileSize, kTileSize);

    checkElId_ = Named(new QLineEdit(QStringLiteral("000")), "CheckElId");
    checkElId_->setMaxLength(4);
    connect(checkElId_, &QLineEdit::returnPressed, this, [this] { DoCheckClick(); });

    doCheck_ = Named(new QPushButton(tr("Check It")), "DoCheck");
    connect(doCheck_, &QPushButton::clicked, this, [this] { DoCheckClick(); });

    meaning_ = Named(new QLabel, "CheckElIdMeaning");
    meaning_->setTextFormat(Qt::PlainText);
    meaning_->setWordWrap(true);
    meaning_->setContentsMargins(6, 0, 6, 6);
    meaning_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    meaning_->setMinimumHeight(2 * meaning_->fontMetrics().lineSpacing() + 6);

    // The atlas on top, the id box, Check It and the checked tile in a row
    // under it, and how the id was read under them.
    auto* row = new QHBoxLayout;
    row->setContentsMargins(6, 4, 6, 6);
    row->addWidget(checkElId_, 1);
    row->addWidget(doCheck_);
    row->addSpacing(6);
    row->addWidget(chosenTile_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(atlas_, 0, Qt::AlignHCenter);
    layout->addLayout(row);
    layout->addWidget(meaning_);
    // A fixed border, wide enough for the atlas and for the longest title.
    const int titleWidth = QFontMetrics(QApplication::font("QWorkspaceTitleBar")).horizontalAdvance(
                               QString::fromLatin1(kLongestTitle)) + kTitleBarExtras;
    setFixedSize(std::max({kAtlasWidth + 1, titleWidth, layout->sizeHint().width()}), layout->sizeHint().height());
    // The level view's eyedropper selects here too.
    connect(&doc_, &LevelDocumentQt::elementSelected, this, [this](std::uint16_t code) {
        if (echo_) ShowSelected(code);
    });
}

void PaletteWindow::ShowTile(std::uint16_t code)
{
    chosenTile_->setPixmap(QPixmap::fromImage(BuiltInAtlasQt().Tile(code)));
}

void PaletteWindow::ShowSelected(std::uint16_t code)
{
    RunGuarded(doc_.Ui(), [this, code] {
        ShowTile(code);
        checkElId_->setText(QString::fromLatin1(vantrel::PaletteIdText(code)));
        selectedTitle_ = QString::fromLatin1(PaletteSelectedTitle(code));
        setWindowTitle(selectedTitle_);
        chosenTile_->setToolTip(QString::fromLatin1(ElementLabel(code)));
        meaning_->clear();
    });
}

void PaletteWindow::ElMouseMove(QPoint at)
{
    // The title and the hint name the element under the pointer.
    paletteCode_ = PaletteCodeAt(at.x(), at.y());
    paletteIdText_ = vantrel::PaletteIdText(paletteCode_);
    setWindowTitle(QString::fromLatin1(PaletteMoveTitle(paletteCode_)));
    atlas_->setToolTip(QString::fromLatin1(PaletteHint(paletteCode_)));
}

void PaletteWindow::ElMouseLeave()
{
    setWindowTitle(selectedTitle_);
}

void PaletteWindow::ElMouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton) return;
    ShowSelected(paletteCode_);
    doc_.SelectElement(paletteCode_);
}

void PaletteWindow::DoCheckClick()
{
    RunGuarded(doc_.Ui(), [this] {
        // A conversion error ends the command here: title and El2 stay as they were.
        const std::string entry = checkElId_->text().left(4).toStdString();
        const std::uint16_t code = CheckEntryCode(entry);
        paletteCode_ = code;
        paletteIdText_ = vantrel::PaletteIdText(code);
        ShowTile(code);
        selectedTitle_ = QString::fromLatin1(PaletteSelectedTitle(code));
        setWindowTitle(selectedTitle_);
        chosenTile_->setToolTip(QString::fromLatin1(ElementLabel(code)));
        meaning_->setText(QString::fromLatin1(CheckEntryMeaning(entry)));
        // A code that names no element is shown but never painted: painting keeps its element.
        if (ElementByCode(code) == nullptr) return;
        echo_ = false;  // the entry keeps what was typed
        doc_.SelectElement(code);
        echo_ = true;
    });
}

void PaletteWindow::closeEvent(QCloseEvent* event)
{
    // Closing only hides the palette; it lives as long as the program.
    hide();
    event->ignore();
}

}  // namespace vantrel
