#include "gui/level/FileInfoPage.h"
#include "gui/base/NamedWidget.h"

#include "base/UserInterface.h"
#include "format/RecordLayouts.h"
#include "gui/base/QtText.h"
#include "gui/level/LevelDocumentQt.h"
#include "level/HeaderEdit.h"
#include "tell/Tell.h"

#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <optional>

namespace vantrel {

namespace {

QSpinBox* WordSpin(const char* name)
{
    auto* spin = Named(new QSpinBox, name);
    spin->setRange(0, 65535);
    return spin;
}

}  // namespace

FileInfoPage::FileInfoPage(LevelDocumentQt& doc) : doc_(doc)
{
    title_ = Named(new QLineEdit, "Edit_LevelName");
    title_->setMaxLength(kLevelTextLength);
    author_ = Named(new QLineEdit, "Edit_Author");
    author_->setMaxLength(kLevelTextLength);
    fileVersion_ = Named(new QLineEdit, "FileVersion");
    fileVersion_->setReadOnly(true);
    mapSize_ = Named(new QLineEdit, "Edit_MapSize");
    mapSize_->setReadOnly(true);
    time_ = WordSpin("Edit_Time");
    emeralds_ = WordSpin("Edit_Emeralds");
    auto* save = Named(new QPushButton(tr("Save time left and emeralds to collect")), "Edit_SaveTimeAndCollect");
    saveTimeAndCollect_ = save;
    // The title and author boxes show all the characters a level holds; boxes
    // the user cannot change look read-only.
    const int textWidth =
        QFontMetrics(title_->font()).horizontalAdvance(QString(kLevelTextLength, QLatin1Char('M'))) / 4 * 3;
    title_->setMinimumWidth(textWidth);
    author_->setMinimumWidth(textWidth);
    for (QLineEdit* box : {fileVersion_, mapSize_}) {
        QPalette look = box->palette();
        look.setColor(QPalette::Base, look.color(QPalette::Window));
        box->setPalette(look);
        box->setFocusPolicy(Qt::ClickFocus);
    }

    auto* header = new QGroupBox(tr("Level"));
    auto* form = new QFormLayout(header);
    form->addRow(tr("Level Title:"), title_);
    form->addRow(tr("Author:"), author_);
    form->addRow(tr("File Version:"), fileVersion_);
    form->addRow(tr("Map Size:"), mapSize_);
    form->addRow(tr("Time left:"), time_);
    form->addRow(tr("Emeralds to collect:"), emeralds_);
    form->addRow(save);
    auto* hint = new QLabel(tr("Press Enter in the title box to write the title into the level file."));
    hint->setWordWrap(true);
    form->addRow(hint);

    log_ = Named(new QPlainTextEdit, "Log");
    log_->setReadOnly(true);
    // Read with the keyboard too: its cursor shows where the focus is.
    log_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    log_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* logBox = new QVBoxLayout;
    logBox->addWidget(new QLabel(tr("Map Scan Log:")));
    logBox->addWidget(log_);

    auto* top = new QHBoxLayout;
    top->addWidget(header, 1);
    top->addLayout(logBox, 1);

    quotePost_ = Named(new QPlainTextEdit, "Info_QuotePost");
    quotePost_->setLineWrapMode(QPlainTextEdit::NoWrap);
    quotePost_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    quotePost_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control; a post has no use for tab characters.
    quotePost_->setTabChangesFocus(true);
    log_->setTabChangesFocus(true);
    quoteButtons_ = new QHBoxLayout;
    quoteButtons_->addWidget(new QLabel(tr("Forum post (Level Sketch):")));
    quoteButtons_->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top, 3);
    page->addLayout(quoteButtons_);
    page->addWidget(quotePost_, 2);

    title_->installEventFilter(this);
    author_->installEventFilter(this);
    connect(title_, &QLineEdit::returnPressed, this, &FileInfoPage::Edit_LevelNameKeyPress);
    connect(author_, &QLineEdit::returnPressed, this, &FileInfoPage::Edit_AuthorKeyPress);
    connect(save, &QPushButton::clicked, this, &FileInfoPage::Edit_SaveTimeAndCollectClick);

    doc_.SetCloseGuard([page = QPointer<FileInfoPage>(this)] { return !page || page->MayCloseLevel(); });
    connect(&doc_, &LevelDocumentQt::loaded, this, &FileInfoPage::ShowLoad);
    connect(&doc_, &LevelDocumentQt::closed, this, &FileInfoPage::Clear);
    connect(&doc_, &LevelDocumentQt::logChanged, this, &FileInfoPage::ShowLog);
    connect(&doc_, &LevelDocumentQt::quoteChanged, this, &FileInfoPage::ShowQuote);
    connect(quotePost_, &QPlainTextEdit::textChanged, this,
            [this] { doc_.SetQuoteText(ToLatin1(quotePost_->toPlainText())); });

    // A page built after loads shows what it would show had it been there from the start.
    for (const LoadReport& load : doc_.Doc().LoadsSinceClose()) ShowLoad(load);
    ShowLog();
    ShowQuote();
}

void FileInfoPage::ShowQuote()
{
    const QString text = FromLatin1(doc_.Doc().QuoteText());
    if (quotePost_->toPlainText() != text) quotePost_->setPlainText(text);
}

QPushButton* FileInfoPage::AddQuoteButton(const QString& caption, const QString& objectName)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(objectName);
    quoteButtons_->addWidget(button);
    return button;
}

void FileInfoPage::AddQuoteWidget(QWidget* widget)
{
    layout()->addWidget(widget);
}

void FileInfoPage::ShowLoad(const LoadReport& report)
{
    if (report.FileVersion) fileVersion_->setText(FromBytes(*report.FileVersion));
    if (report.HeaderBoxes) {
        mapSize_->setText(QString::fromStdString(report.HeaderBoxes->MapSize));
        time_->setValue(report.HeaderBoxes->Time);
        emeralds_->setValue(report.HeaderBoxes->Emeralds);
    } else if (report.Completed) {
        // A level without a header shows empty boxes, never the previous level's values.
        mapSize_->clear();
        time_->setValue(0);
        emeralds_->setValue(0);
        time_->clear();
        emeralds_->clear();
    }
    // A level open for viewing only: nothing on this page can change it.
    const bool writable = !doc_.Level().ReadOnly();
    title_->setReadOnly(!writable);
    author_->setReadOnly(!writable);
    saveTimeAndCollect_->setEnabled(writable);
    if (report.TitleAuthorSet) {
        title_->setText(FromLatin1(UpToZero(report.Title)));
        author_->setText(FromLatin1(UpToZero(report.Author)));
    }
    writtenTitle_ = title_->text();
    writtenAuthor_ = author_->text();
    writtenTime_ = time_->value();
    writtenEmeralds_ = emeralds_->value();
}

bool FileInfoPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && (watched == title_ || watched == author_)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool undoKey = key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                             key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
        const QString& written = watched == title_ ? writtenTitle_ : writtenAuthor_;
        if (undoKey && static_cast<QLineEdit*>(watched)->text() == written) {
            event->ignore();  // not taken by the box: the window's shortcut runs
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QStringList FileInfoPage::UnwrittenBoxes() const
{
    QStringList boxes;
    if (!doc_.Level().LevelOpen() || doc_.Level().ReadOnly()) return boxes;
    if (title_->text() != writtenTitle_) boxes << tr("Level Title");
    if (author_->text() != writtenAuthor_) boxes << tr("Author");
    if (time_->value() != writtenTime_) boxes << tr("Time left");
    if (emeralds_->value() != writtenEmeralds_) boxes << tr("Emeralds to collect");
    return boxes;
}

bool FileInfoPage::MayCloseLevel()
{
    const QStringList boxes = UnwrittenBoxes();
    if (boxes.isEmpty()) return true;
    const QString question =
        boxes.size() == 1
            ? tr("The box \"%1\" holds a change not yet written into the level. Write it before the level is closed?")
            : tr("The boxes \"%1\" hold changes not yet written into the level. Write them before the level is "
                 "closed?");
    switch (doc_.Ui().WarningYesNoCancel(ToPath(question.arg(boxes.join(QStringLiteral("\", \"")))))) {
    case UserInterface::Answer::Cancel: return false;
    case UserInterface::Answer::No: return true;
    case UserInterface::Answer::Yes: break;
    }
    if (title_->text() != writtenTitle_) Edit_LevelNameKeyPress();
    if (author_->text() != writtenAuthor_) Edit_AuthorKeyPress();
    if (time_->value() != writtenTime_ || emeralds_->value() != writtenEmeralds_) Edit_SaveTimeAndCollectClick();
    return UnwrittenBoxes().isEmpty();  // a write was refused: the level stays open, the typing with it
}

void FileInfoPage::Clear()
{
    title_->setReadOnly(false);
    author_->setReadOnly(false);
    saveTimeAndCollect_->setEnabled(true);
    title_->clear();
    author_->clear();
    mapSize_->clear();
    fileVersion_->clear();
    emeralds_->setValue(0);
    time_->setValue(0);
}

void FileInfoPage::ShowLog()
{
    QStringList lines;
    for (const std::string_view line : doc_.Level().Log()) lines << FromBytes(std::string(line));
    const QString text = lines.join(QLatin1Char('\n'));
    if (log_->toPlainText() != text) log_->setPlainText(text);
}

namespace {

// The text of a box as the level stores it; nothing, after an error box, when
// Latin-1 cannot hold one of its characters.
std::optional<std::string> Latin1Text(const QLineEdit* box, const char* what, UserInterface& ui)
{
    if (const QString c = FirstNonLatin1(box->text()); !c.isEmpty()) {
        ui.Error(NotLatin1Refusal(what, c.toStdString()));
        return std::nullopt;
    }
    return ToLatin1(box->text());
}

}  // namespace

void FileInfoPage::Edit_LevelNameKeyPress()
{
    doc_.Run([this] {
        const auto title = Latin1Text(title_, "title", doc_.Ui());
        if (!title) return;
        const HeaderEditResult result = WriteLevelTitle(doc_.Level(), *title);
        if (result) writtenTitle_ = title_->text();
        Tell(HeaderEditNotices(result), doc_.Ui());
    });
}

void FileInfoPage::Edit_AuthorKeyPress()
{
    doc_.Run([this] {
        const auto author = Latin1Text(author_, "author", doc_.Ui());
        if (!author) return;
        const HeaderEditResult result = WriteLevelAuthor(doc_.Level(), *author);
        if (result) writtenAuthor_ = author_->text();
        Tell(HeaderEditNotices(result), doc_.Ui());
    });
}

void FileInfoPage::Edit_SaveTimeAndCollectClick()
{
    doc_.Run([this] {
        const HeaderEditResult result = WriteTimeAndEmeralds(
            doc_.Level(), static_cast<std::uint16_t>(time_->value()), static_cast<std::uint16_t>(emeralds_->value()));
        if (result) {
            writtenTime_ = time_->value();
            writtenEmeralds_ = emeralds_->value();
        }
        Tell(HeaderEditNotices(result), doc_.Ui());
    });
}

}  // namespace vantrel
