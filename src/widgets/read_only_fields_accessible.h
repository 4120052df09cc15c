// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How assistive technology sees ReadOnlyFields: the shown fields, in order,
// as the widget's children, each a read-only text named by what it shows.

#include <QAccessible>
#include <QString>

class QObject;

namespace tk358 {

// An accessibility factory (QAccessible::installFactory): the interface of a
// ReadOnlyFields, nothing for any other object.
QAccessibleInterface* MakeReadOnlyFieldsAccessible(const QString& className, QObject* object);

}  // namespace tk358
