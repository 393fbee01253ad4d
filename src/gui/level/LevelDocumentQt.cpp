#include "gui/level/LevelDocumentQt.h"

#include "tell/ErrorBoundary.h"
#include "gui/base/QtText.h"
#include "tell/Tell.h"

namespace vantrel {

bool LevelDocumentQt::Run(const std::function<void()>& command)
{
    const bool done = RunGuarded(doc_.Ui(), command);
    RunGuarded(doc_.Ui(), [this] { doc_.TakeSteps(); });
    emit historyChanged();
    emit logChanged();
    return done;
}

void LevelDocumentQt::RunLoading(const std::function<bool(LoadReport&, const LoadOptions&)>& command)
{
    Run([this, &command] {
        LoadReport report;
        LoadOptions options;
        options.OnCaption = [this](const std::string& caption) { emit captionChanged(FromBytes(caption)); };
        bool done = false;
        try {
            done = command(report, options);
        } catch (...) {
            Tell(report.Notices, doc_.Ui());  // before the error goes on up
            if (!report.Path.empty()) emit loaded(report);  // a load began: show what it set
            emit captionChanged(FromBytes(LevelCaption(doc_.Level(), kCaption)));
            throw;
        }
        Tell(report.Notices, doc_.Ui());
        if (done) emit loaded(report);
        emit captionChanged(FromBytes(LevelCaption(doc_.Level(), done ? report.Caption : std::string(kCaption))));
    });
}

void LevelDocumentQt::LoadLevel()
{
    RunLoading([this](LoadReport& r, const LoadOptions& o) { return doc_.LoadLevelCommand(r, o); });
}

void LevelDocumentQt::Undo()
{
    RunLoading([this](LoadReport& r, const LoadOptions& o) { return doc_.UndoCommand(r, o); });
}

void LevelDocumentQt::Redo()
{
    RunLoading([this](LoadReport& r, const LoadOptions& o) { return doc_.RedoCommand(r, o); });
}

void LevelDocumentQt::RestoreFromBackup()
{
    RunLoading([this](LoadReport& r, const LoadOptions& o) { return doc_.RestoreBackupCommand(r, o); });
}

void LevelDocumentQt::SaveAndClose()
{
    Run([this] {
        Tell(doc_.SaveAndClose(), doc_.Ui());
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
