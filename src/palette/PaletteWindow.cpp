#include "palette/PaletteWindow.h"
#include "base/NamedWidget.h"

#include "palette/PaletteCodes.h"
#include "base/ErrorBoundary.h"
#include "view/AtlasQt.h"
#include "view/Tiles.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace vantrel {

namespace {

constexpr int kClientWidth = 257;
constexpr int kClientHeight = 403;

}  // namespace

// --- El ---

AtlasPicture::AtlasPicture(FormEl& form, QWidget* parent) : QWidget(parent), form_(form)
{
    setObjectName(QStringLiteral("El"));
    setMouseTracking(true);  // moves are reported without a button held
}

void AtlasPicture::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void AtlasPicture::paintEvent(QPaintEvent*)
{
    if (picture_.isNull()) return;
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

// --- the window ---

FormEl::FormEl(UserInterface& ui, QWidget* parent) : QWidget(parent, Qt::Window), ui_(ui)
{
    setObjectName(QStringLiteral("FormEl"));
    setWindowTitle(QStringLiteral("FormEl"));
    setFixedSize(kClientWidth, kClientHeight);  // a fixed border: not resizable

    el_ = new AtlasPicture(*this, this);
    el_->setGeometry(0, 0, kAtlasWidth, kAtlasHeight);
    RunGuarded(ui_, [this] { el_->SetPicture(ElementAtlas().Atlas()); });

    el2_ = Named(new QLabel(this), "El2");
    el2_->setGeometry(226, 379, kTileSize, kTileSize);

    checkElId_ = Named(new QLineEdit(QStringLiteral("000"), this), "CheckElId");
    checkElId_->setMaxLength(4);
    checkElId_->setGeometry(6, 376, 127, checkElId_->sizeHint().height());

    doCheck_ = Named(new QPushButton(tr("Check It"), this), "DoCheck");
    doCheck_->setGeometry(142, 374, 75, 25);
    connect(doCheck_, &QPushButton::clicked, this, [this] { DoCheckClick(); });
}

void FormEl::ShowTile(std::uint16_t code)
{
    el2_->setPixmap(QPixmap::fromImage(ElementAtlas().Tile(code)));
}

void FormEl::ElMouseMove(QPoint at)
{
    paletteCode_ = PaletteCodeAt(at.x(), at.y());
    paletteIdText_ = vantrel::PaletteIdText(paletteCode_);
    setWindowTitle(QString::fromLatin1(PaletteMoveTitle(paletteCode_)));
    el_->setToolTip(QString::fromLatin1(PaletteHint(paletteCode_)));
}

void FormEl::ElMouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton) return;
    RunGuarded(ui_, [this] {
        checkElId_->setText(QString::fromLatin1(paletteIdText_));
        ShowTile(paletteCode_);
    });
}

void FormEl::DoCheckClick()
{
    RunGuarded(ui_, [this] {
        // A conversion error ends the command here: title and El2 stay as they were.
        const std::uint16_t code = CheckEntryCode(checkElId_->text().left(4).toStdString());
        ShowTile(code);
        paletteCode_ = code;
        paletteIdText_ = vantrel::PaletteIdText(code);
        setWindowTitle(QString::fromLatin1(PaletteCheckTitle(code)));
    });
}

void FormEl::closeEvent(QCloseEvent* event)
{
    // Closing only hides the palette; it lives as long as the program.
    hide();
    event->ignore();
}

}  // namespace vantrel
