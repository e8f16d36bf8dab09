#include "store/Catalogue.h"

TBookInfo *TBookInfo::AddChild(std::unique_ptr<TBookInfo> child)
{
    Children.push_back(std::move(child));
    return Children.back().get();
}

TBookInfo *TBookInfo::Child(int index) const
{
    return index >= 0 && index < ChildCount() ? Children[static_cast<size_t>(index)].get()
                                              : nullptr;
}

TText *TTexts::Add(std::unique_ptr<TText> text)
{
    m_items.push_back(std::move(text));
    return m_items.back().get();
}

TText *TTexts::Get(int index) const
{
    return index >= 0 && index < Count() ? m_items[static_cast<size_t>(index)].get() : nullptr;
}
