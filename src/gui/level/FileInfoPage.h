// The "File Info" page: the header of the open level, the load log, the
// time/emeralds button and the forum quote memo.
#pragma once

#include <QStringList>
#include <QWidget>

class QLineEdit;
class QSpinBox;
class QPlainTextEdit;
class QPushButton;
class QHBoxLayout;

namespace vantrel {

class LevelDocumentQt;
struct LoadReport;

class FileInfoPage : public QWidget {
    Q_OBJECT
public:
    explicit FileInfoPage(LevelDocumentQt& doc);

    // Fills the boxes that a load set (all of them, or those set before a failure).
    void ShowLoad(const LoadReport& report);
    // Empties the boxes (Save and Close).
    void Clear();
    // Shows the load log as the document now holds it.
    void ShowLog();
    // Shows the quote memo's text as the document now holds it.
    void ShowQuote();

    void Edit_LevelNameKeyPress();
    void Edit_AuthorKeyPress();
    void Edit_SaveTimeAndCollectClick();

    // The captions of the boxes that hold a change not yet written into the
    // open level (empty when none does, or no level is open).
    QStringList UnwrittenBoxes() const;
    // Before the level is closed or replaced: when a box holds a change not
    // yet written, asks whether to write it (Yes), drop it (No) or keep the
    // level open (Cancel). True when the level may be closed.
    bool MayCloseLevel();

    QPlainTextEdit* QuotePost() const { return quotePost_; }
    QPushButton* AddQuoteButton(const QString& caption, const QString& objectName);
    // Adds a widget below the quote memo.
    void AddQuoteWidget(QWidget* widget);

protected:
    // Ctrl+Z and Ctrl+Shift+Z (Ctrl+Y) in the title or author box go to the
    // box while it holds typing not yet written, else to Edit > Undo and Redo.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LevelDocumentQt& doc_;
    QLineEdit* title_;
    QLineEdit* author_;
    QLineEdit* fileVersion_;
    QLineEdit* mapSize_;
    QSpinBox* time_;
    QSpinBox* emeralds_;
    QPushButton* saveTimeAndCollect_ = nullptr;
    QPlainTextEdit* log_;
    QPlainTextEdit* quotePost_;
    QHBoxLayout* quoteButtons_;
    // What the open level holds, as last loaded or written.
    QString writtenTitle_;
    QString writtenAuthor_;
    int writtenTime_ = 0;
    int writtenEmeralds_ = 0;
};

}  // namespace vantrel
