#pragma once

#include <QWidget>

namespace vantrel {

// The "Files Archive" page: where Vantrel lives on the web, and what is to come.
class ArchivePage : public QWidget {
    Q_OBJECT
public:
    ArchivePage();
};

}  // namespace vantrel
