#pragma once

#include <QString>

namespace vantrel {

// Gives a control its name, by which the program and the tests find it.
template <typename W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace vantrel
