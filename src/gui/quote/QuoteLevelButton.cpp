#include "gui/quote/QuoteLevelButton.h"

#include "base/UserInterface.h"
#include "levelsets/LevelsetConfig.h"

#include "gui/base/QtText.h"
#include "gui/level/FileInfoPage.h"
#include "gui/level/LevelDocumentQt.h"
#include "quote/QuotePost.h"

#include <QLabel>
#include <QPushButton>

namespace vantrel {

// The output directory of the setting, asked for when it is missing.
std::string QuoteOutputDirectory(LevelDocument& doc)
{
    return DirectorySetting(kOutputDirSetting, doc.Settings(), doc.Ui());
}

QuoteLevelButton::QuoteLevelButton(FileInfoPage& page, LevelDocumentQt& doc) : QObject(&page), doc_(doc)
{
    prefix_ = new QLabel;
    prefix_->setObjectName(QStringLiteral("Info_ImagePrefix"));
    prefix_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    page.AddQuoteWidget(prefix_);
    QPushButton* button = page.AddQuoteButton(tr("Make Level From Quote (using IMG tags by forum Level Sketch)"),
                                              QStringLiteral("Info_MakeQuoteLevel"));
    connect(button, &QPushButton::clicked, this, &QuoteLevelButton::Info_MakeQuoteLevelClick);
    ShowImagePrefix();
}

void QuoteLevelButton::ShowImagePrefix()
{
    prefix_->setText(tr("Level Sketch images are read from %1").arg(FromLatin1(ImagePrefix(doc_.Doc().Settings()))));
}

void QuoteLevelButton::Info_MakeQuoteLevelClick()
{
    if (!doc_.Level().Log().empty()) {
        if (!doc_.MayCloseLevel()) return;  // asked before the level is closed
        doc_.SaveAndClose();
    }
    ShowImagePrefix();
    doc_.Run([this] {
        LevelDocument& doc = doc_.Doc();
        const QuoteLevelResult made = MakeLevelFromQuote(doc.QuoteText(), [&doc] { return QuoteOutputDirectory(doc); },
                                                         doc.DirectoryLastListed(), ImagePrefix(doc.Settings()));
        doc.Ui().Message(made.Message);
    });
}

}  // namespace vantrel
