#include "gui/counter/CounterPage.h"

#include "base/UserInterface.h"
#include "gui/base/NamedWidget.h"
#include "gui/base/QtText.h"
#include "counter/Counter.h"
#include "gui/level/LevelDocumentQt.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vantrel {

namespace {

const char* const kMemoLines[] = {
    "When creating a counter, remember this:",
    "",
    "- Vantrel does create the counter CEs as needed,",
    " but does NOT place anything on the map.",
    "",
    "- There may be some extra elements created",
    " when counting backwards (change < 0)",
    "",
    "- Vantrel might create more CEs (when needed) than ",
    " what it says on the button caption below,",
    " make sure you have at least 10 CE spots avalibe.",
    "",
    "- If it was a bad result, don't worry,",
    " a backup of your level has been created by Vantrel",
};

QSpinBox* Spin(const char* name, int min, int max, int value, bool enabled = true)
{
    auto* spin = Named(new QSpinBox, name);
    spin->setRange(min, max);
    spin->setValue(value);
    spin->setEnabled(enabled);
    return spin;
}

QLabel* LabelFor(const char* text, QWidget* control)
{
    auto* label = new QLabel(QString::fromLatin1(text));
    label->setBuddy(control);
    label->setEnabled(control->isEnabled());
    return label;
}

}  // namespace

CounterPage::CounterPage(LevelDocumentQt& doc) : doc_(doc)
{
    digitCount_ = Spin("CC_DigitCount", 2, 125, 3, false);
    digitSteps_ = Spin("CC_DigitSteps", kMinDigitSteps, kMaxDigitSteps, 10);
    specialChange_ = Spin("CC_SpecialChange", 0, 0, 0, false);
    changeInc_ = Named(new QListWidget, "CC_ChangeInc");
    ShowIncrements();
    changeInc_->installEventFilter(this);
    currentChange_ = Spin("CC_CurrentChange", -1000, 1000, 1);
    addInc_ = Named(new QPushButton(QStringLiteral("Add Increament")), "CC_AddInc");
    startWriteAt_ = Spin("CC_StartWriteAt", kFirstCounterStartCe, kLastCounterStartCe, 1);
    createMode_ = Named(new QComboBox, "CC_CreateMode");
    createMode_->addItem(QStringLiteral("Kelbrin and Orvel (A couple of CEs and some space...)"));
    createMode_->addItem(QStringLiteral("Orvel (3+z CEs) (UNSUPPORTED)"));
    createMode_->setCurrentIndex(0);
    doCreate_ = Named(new QPushButton(QString::fromLatin1(kCreateButtonStartCaption)), "CC_DoCreate");
    memo_ = Named(new QPlainTextEdit, "Memo1");
    QStringList memo;
    for (const char* line : kMemoLines) memo << QString::fromLatin1(line);
    memo_->setPlainText(memo.join(QLatin1Char('\n')));
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* form = new QGridLayout;
    auto* stepsLabel = LabelFor("Number of steps for each digit (Normal = 10, Hexadecimal = 16, Binary = 2)",
                                digitSteps_);
    stepsLabel->setWordWrap(true);
    int row = 0;
    for (const auto& [label, control] : {std::pair{LabelFor("Number of Digits:", digitCount_), digitCount_},
                                         std::pair{stepsLabel, digitSteps_},
                                         std::pair{LabelFor("Special change on count:", specialChange_), specialChange_},
                                         std::pair{LabelFor("Start writing Counter CEs at CE:", startWriteAt_),
                                                   startWriteAt_}}) {
        form->addWidget(label, row, 0);
        form->addWidget(control, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
        ++row;
    }
    form->setColumnStretch(0, 1);

    auto* addRow = new QHBoxLayout;
    addRow->addWidget(currentChange_);
    addRow->addWidget(addInc_);
    addRow->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(LabelFor("Different changes (max 16)", changeInc_));
    left->addWidget(changeInc_, 1);
    left->addLayout(addRow);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(memo_, 1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top, 1);
    page->addWidget(createMode_);
    page->addWidget(doCreate_);

    for (QSpinBox* spin : {digitCount_, digitSteps_, specialChange_, currentChange_})
        connect(spin, &QSpinBox::valueChanged, this, &CounterPage::CC_DigitCountChange);
    connect(createMode_, &QComboBox::currentIndexChanged, this, &CounterPage::CC_CreateModeChange);
    connect(addInc_, &QPushButton::clicked, this, &CounterPage::CC_AddIncClick);
    connect(doCreate_, &QPushButton::clicked, this, &CounterPage::CC_DoCreateClick);
    connect(&doc_, &LevelDocumentQt::loaded, this, &CounterPage::ProposeStart);
    ProposeStart();  // built after a load, the page proposes for that level
}

CounterSettings CounterPage::Settings() const
{
    return {digitSteps_->value(), increments_, startWriteAt_->value()};
}

void CounterPage::ProposeStart()
{
    if (doc_.Level().LevelOpen()) startWriteAt_->setValue(FirstFreeCounterStart(doc_.Level(), Settings()));
}

bool CounterPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == changeInc_ && event->type() == QEvent::KeyPress)
        CC_ChangeIncKeyDown(static_cast<QKeyEvent*>(event)->key());
    return QWidget::eventFilter(watched, event);
}

void CounterPage::ShowIncrements()
{
    changeInc_->clear();
    for (const std::int32_t increment : increments_) changeInc_->addItem(QString::number(increment));
}

void CounterPage::CC_DigitCountChange()
{
    const int needed = CEsNeededForCounter(createMode_->currentIndex(), specialChange_->value(),
                                           digitSteps_->value(), static_cast<int>(increments_.size()));
    doCreate_->setText(FromBytes(CreateButtonCaption(needed)));
}

void CounterPage::CC_CreateModeChange()
{
    CC_DigitCountChange();
}

void CounterPage::CC_AddIncClick()
{
    if (increments_.size() < kMaxIncrementLines) {
        increments_.push_back(currentChange_->value());
        ShowIncrements();
    }
    CC_DigitCountChange();
}

void CounterPage::CC_ChangeIncKeyDown(int key)
{
    QListWidgetItem* selected = changeInc_->currentItem();
    if (key != Qt::Key_Delete || !selected || !selected->isSelected()) return;
    const int row = changeInc_->row(selected);
    if (row < 0 || static_cast<std::size_t>(row) >= increments_.size()) return;
    increments_.erase(increments_.begin() + row);
    ShowIncrements();
    CC_DigitCountChange();
}

void CounterPage::CC_DoCreateClick()
{
    CounterSettings settings = Settings();
    bool created = false;
    doc_.Run([&] {
        const CounterResult result = CreateCounter(doc_.Level(), settings, doc_.Ui());
        created = result.Outcome == CounterOutcome::Created;
        if (!result.Message.empty()) doc_.Ui().Message(result.Message);
    });
    // The lines the run added stay in the list; the button counts them.
    if (settings.Increments.size() > increments_.size()) {
        increments_ = settings.Increments;
        ShowIncrements();
    }
    CC_DigitCountChange();
    if (created) ProposeStart();  // the next run starts after this one
}

}  // namespace vantrel
