#pragma once

// The painted symbol controls and their helpers in one include.
#include "Choices.h"
#include "MarovekUtils.h"
#include "Symbols.h"

#include <QString>

class QWidget;

// A symbol label for the stored screen layout, owned and parented by `parent`: hidden,
// background colour taken from the parent's "tag" property, font "Arial", caption at the
// bottom, no parent colour, no auto size, no word wrap, transparent unless `name`
// contains "Decorate". Its object name is `name`.
TWordSymbol *MakeSymbolLabel(const QString &name, QWidget *parent);
