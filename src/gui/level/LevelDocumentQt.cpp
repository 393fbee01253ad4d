#include "gui/level/LevelDocumentQt.h"

#include "base/ErrorBoundary.h"
#include "gui/base/QtText.h"

namespace vantrel {

bool LevelDocumentQt::Run(const std::function<void()>& command)
{
    const bool done = RunGuarded(doc_.Ui(), command);
    emit logChanged();
    return done;
}

void LevelDocumentQt::LoadLevel()
{
    Run([this] {
        LoadReport report;
        LoadOptions options;
        options.OnCaption = [this](const std::string& caption) { emit captionChanged(FromBytes(caption)); };
        bool chosen = false;
        try {
            chosen = doc_.LoadLevelCommand(report, options);
        } catch (...) {
            emit loaded(report);
            emit captionChanged(FromBytes(LevelCaption(doc_.Level(), kCaption)));
            throw;
        }
        if (chosen) {
            emit loaded(report);
            emit captionChanged(FromBytes(LevelCaption(doc_.Level(), report.Caption)));
        } else {
            emit captionChanged(FromBytes(LevelCaption(doc_.Level(), kCaption)));
        }
    });
}

void LevelDocumentQt::SaveAndClose()
{
    Run([this] {
        doc_.SaveAndClose();
        emit closed();
        emit captionChanged(QString::fromLatin1(kCaption));
    });
}

void LevelDocumentQt::SetQuoteText(const std::string& text)
{
    if (doc_.QuoteText() == text) return;
    doc_.SetQuoteText(text);
    emit quoteChanged();
}

void LevelDocumentQt::SetListing(const std::string& dir, std::vector<std::string> files)
{
    doc_.SetListing(dir, std::move(files));
    emit listingChanged();
}

void LevelDocumentQt::SetPaintLevels(bool on)
{
    if (doc_.PaintLevels() == on) return;
    doc_.SetPaintLevels(on);
    emit paintLevelsChanged(on);
}

void LevelDocumentQt::SelectElement(std::uint16_t code)
{
    if (selectedElement_ == code) return;
    selectedElement_ = code;
    emit elementSelected(code);
}

}  // namespace vantrel
