#pragma once
// The tag a control carries while the program itself changes it (-1), so that
// its change handler knows to stay quiet; 0 otherwise.

#include <QObject>
#include <QVariant>

inline int Tag(const QObject* control)
{
    return control->property("Tag").toInt();
}

inline void SetTag(QObject* control, int tag)
{
    control->setProperty("Tag", tag);
}
