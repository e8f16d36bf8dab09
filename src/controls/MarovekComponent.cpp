#include "MarovekComponent.h"

#include <QFont>
#include <QWidget>

TWordSymbol *MakeSymbolLabel(const QString &name, QWidget *parent)
{
    auto *label = new TWordSymbol(parent);
    label->hide();
    label->setObjectName(name);
    label->SetColor(parent ? quint32(parent->property("tag").toInt()) : 0u);
    QFont font = label->font();
    font.setFamily(QStringLiteral("Arial"));
    label->setFont(font);
    label->SetLayout(TCustomSymbol::TTextLayout::Bottom);
    label->SetParentColor(false);
    label->SetAutoSize(false);
    label->SetWordWrap(false);
    label->SetTransparent(!name.contains(QLatin1String("Decorate")));
    return label;
}
