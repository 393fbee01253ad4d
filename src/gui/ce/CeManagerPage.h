// The "CE Manager" page: the CE list of the open level on the left and, on
// the right, the inner notebook CEMan__ with "Information" (the import
// group), "View configuration", "View advanced settings" and "HEX Editing".
// A click on a CE list line fills every bound control from the record; the
// page spin edit refills the change page group. The page only shows: its
// controls are read-only (they look it, and their hints say so), every CE
// shows its own record, and a load of another level empties every view.
#pragma once

#include "ce/CeTransfer.h"
#include "level/Loader.h"

#include <QImage>
#include <QListWidget>
#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;
class QSpinBox;
class QTabWidget;

namespace vantrel {

class LevelDocumentQt;
struct CeView;
struct CeChangePageView;
struct CusxView;

// A fixed-size picture of element tiles (16 x 16 or 48 x 48), white until
// tiles are drawn into it.
class ElementCodesImage : public QWidget {
    Q_OBJECT
public:
    ElementCodesImage(int width, int height, const char* name);
    QImage& Picture() { return picture_; }
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

// Paints the tiles of a text of element codes into image: a text without a
// carriage return is one hexadecimal code for the top-left cell, otherwise
// every CR LF line is a row of three codes. The picture is made white first;
// codes without a picture in the atlas get the "no picture" tile.
void DrawElementCodes(const std::string& text, ElementCodesImage& image);

// The list box's horizontal scroll extent becomes the width of its widest
// line: its text in the list's font, the style's margins and, on a line with
// a check box, the box; returns that extent.
int FitListScrollWidth(QListWidget* list);

// CEMan_CEList: a list box with a check box on every line. A change of the
// current line made with the keyboard is reported as keyboardRowChanged; a
// mouse click is reported by itemClicked.
class CeCheckList : public QListWidget {
    Q_OBJECT
public:
    CeCheckList();
signals:
    void keyboardRowChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class CeManagerPage : public QWidget {
    Q_OBJECT
public:
    explicit CeManagerPage(LevelDocumentQt& doc);
    // The CE list of a load: one line per CUS4 or CUSX chunk, unchecked.
    void SetCeList(const std::vector<std::string>& lines);
    // Back to the empty page (Save and Close): empties both lists, the edits
    // and memos that show record fields, unticks their check boxes, hides the
    // change page group and sets page 1, "Frames" and delays of 0. The label
    // and the pictures keep what they showed.
    void Reset();
    // The sub-pages' views back to empty, the lists kept.
    void ResetViews();
    // After a load: its CE list, fresh sub-pages, the note on entries when the level has CUSX chunks.
    void ShowLoad(const LoadReport& report);

    // Events.
    void CEMan_CEListClick();
    void CEMan_Adv_PageChange();
    void CEMan_Adv_CanChangeClick();
    void CEMan_ExportBtnClick();
    void CEMan_Info_LoadVCEClick();
    void CEMan_Info_ImportedCEListClick();
    void CEMan_Info_SetImportPosClick();
    void CEMan_Info_IncDecAllClick();
    void CEMan_Info_FinishImportClick();
    // A click on a line of "Stored entries": its elements in the preview.
    void CEMan_Cusx_EntriesClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The four sub-pages are built when first needed (the page shown, a CE
    // shown, a handler run), not at the program's start.
    void EnsureSubPages();
    bool SubPagesBuilt() const { return book_ != nullptr; }
    QWidget* BuildInformation();
    QWidget* BuildConfiguration();
    QWidget* BuildAdvanced();
    QWidget* BuildHexEditing();
    QGroupBox* BuildChangePageGroup();
    QWidget* BuildStoredEntries();

    void ShowCeView(const CeView& view);
    void ShowChangePage(const CeChangePageView& page);
    // A custom element stored as entries: its name and page count, its
    // entries listed, the controls of the older record layout off.
    void ShowCusxView(const CusxView& view);
    // The controls no record field feeds: off while a CUSX chunk is shown.
    void SetUnboundEnabled(bool on);
    // Those controls back to their defaults.
    void ResetUnbound();
    // The pictures white and the page label as at start (a load of another level).
    void ClearPictures();
    void SetPageSpin(int min, int max, int value, bool enabled);
    void ShowNotice(const std::string& text);
    // The CE list of the last load, as the document keeps it.
    std::vector<std::string> CeListLines() const;
    void ShowImportList();

    LevelDocumentQt& doc_;
    CeCheckList* ceList_;
    QLabel* notice_;
    QHBoxLayout* layout_;
    QTabWidget* book_ = nullptr;

    // "Information": the import group.
    CeImportList import_;
    QListWidget* importedList_ = nullptr;
    QSpinBox* importAt_ = nullptr;
    QSpinBox* incDecValue_ = nullptr;
    QCheckBox* showDetails_ = nullptr;

    // "View configuration".
    QLineEdit* name_ = nullptr;
    QPlainTextEdit* explodeCont_ = nullptr;
    ElementCodesImage* explodeContImg_ = nullptr;

    // "View advanced settings".
    QCheckBox* graphicOfCheck_ = nullptr;
    QLineEdit* graphicOf_ = nullptr;
    ElementCodesImage* graphicOfImg_ = nullptr;
    QSpinBox* page_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QCheckBox* canChange_ = nullptr;
    QGroupBox* changePage_ = nullptr;
    QLineEdit* changeTo_ = nullptr;
    ElementCodesImage* changeToImg_ = nullptr;
    QCheckBox* delayCheck_ = nullptr;
    QSpinBox* delayFixed_ = nullptr;
    QSpinBox* delayRandom_ = nullptr;
    QComboBox* delayType_ = nullptr;
    QLineEdit* changeCondEl_ = nullptr;
    ElementCodesImage* changeCondElImg_ = nullptr;
    QCheckBox* extChangeCheck_ = nullptr;
    QPlainTextEdit* extChange_ = nullptr;
    ElementCodesImage* extChangeImg_ = nullptr;

    // "Stored entries": the entries of a CUSX chunk, read-only.
    QGroupBox* cusxGroup_ = nullptr;
    QListWidget* cusxEntries_ = nullptr;
    ElementCodesImage* cusxEntryImg_ = nullptr;
};

}  // namespace vantrel
