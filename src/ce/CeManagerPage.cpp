#include "ce/CeManagerPage.h"

#include "shell/MainWindow.h"
#include "shell/QtUserInterface.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace vantrel {

CeManagerPage::CeManagerPage(AMain& main) : main_(main)
{
    ceList_ = new QListWidget;
    ceList_->setObjectName(QStringLiteral("CEMan_CEList"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ceList_);
}

void CeManagerPage::SetCeList(const std::vector<std::string>& lines)
{
    ceList_->clear();
    for (const std::string& line : lines) {
        auto* item = new QListWidgetItem(FromLatin1(line), ceList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void CeManagerPage::Reset()
{
    ceList_->clear();
}

}  // namespace vantrel
