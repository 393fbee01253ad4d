// "Make Level From Quote" on the File Info page: the button beside the
// quote memo, a label telling which image address the post is read with,
// and the button's handler.
#pragma once

#include <QObject>
#include <string>

class QLabel;

namespace vantrel {

class FileInfoPage;
class LevelDocument;
class LevelDocumentQt;

// The output directory for a new level: the "outputdir" setting when it
// names a directory, otherwise the one the user chooses (then stored);
// the stored value, also a missing directory, when the user cancels.
std::string QuoteOutputDirectory(LevelDocument& doc);

class QuoteLevelButton : public QObject {
    Q_OBJECT
public:
    // Adds the button and the label to page; lives as long as the page.
    QuoteLevelButton(FileInfoPage& page, LevelDocumentQt& doc);

    // Closes the open level, then makes a new level from the memo's text.
    void Info_MakeQuoteLevelClick();

private:
    void ShowImagePrefix();

    LevelDocumentQt& doc_;
    QLabel* prefix_;
};

}  // namespace vantrel
