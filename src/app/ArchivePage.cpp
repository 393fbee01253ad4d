#include "app/ArchivePage.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vantrel {

ArchivePage::ArchivePage()
{
    auto* address = new QLabel(
        QStringLiteral("<a href=\"https://orvel.org/vantrel\">https://orvel.org/vantrel</a>"));
    address->setObjectName(QStringLiteral("Archive_WebAddress"));
    address->setTextFormat(Qt::RichText);
    address->setOpenExternalLinks(true);
    address->setAlignment(Qt::AlignCenter);
    QFont big = address->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    address->setFont(big);

    auto* notice = new QLabel(tr("Vantrel will soon work together with an online archive of level files."));
    notice->setObjectName(QStringLiteral("Archive_Notice"));
    notice->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(address);
    layout->addSpacing(12);
    layout->addWidget(notice);
    layout->addStretch(3);
}

}  // namespace vantrel
