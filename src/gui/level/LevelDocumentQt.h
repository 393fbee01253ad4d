// The level document as the window sees it: one small QObject around the
// core document that runs each command inside the error boundary and tells
// the pages what changed. Pages take this, never the main window.
#pragma once

#include "level/LevelDocument.h"

#include <QObject>
#include <QString>
#include <functional>

namespace vantrel {

class LevelDocumentQt : public QObject {
    Q_OBJECT
public:
    explicit LevelDocumentQt(LevelDocument& doc, QObject* parent = nullptr) : QObject(parent), doc_(doc) {}

    LevelDocument& Doc() { return doc_; }
    OpenLevel& Level() { return doc_.Level(); }
    UserInterface& Ui() { return doc_.Ui(); }

    // Runs one command inside the error boundary, then tells the pages that
    // the load log may have changed. False when the command failed.
    bool Run(const std::function<void()>& command);

    // File > Load Level and Save and Close, with their signals.
    void LoadLevel();
    void SaveAndClose();

    // Replaces the quote memo's text; signals when it changed.
    void SetQuoteText(const std::string& text);

signals:
    void captionChanged(const QString& caption);
    // A load ended: report holds what it set (all of it, or what came before a failure).
    void loaded(const LoadReport& report);
    void closed();
    void logChanged();
    void quoteChanged();

private:
    LevelDocument& doc_;
};

}  // namespace vantrel
