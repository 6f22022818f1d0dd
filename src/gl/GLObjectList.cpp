#include "gl/GLObjectList.h"

#include <algorithm>

namespace kv {

TGLObjectList::~TGLObjectList()
{
    // The items are freed with the list; none may see a half-destroyed list as its Owner.
    for (const std::unique_ptr<TGLObject>& item : Items_)
        item->Owner_ = nullptr;
}

int32_t TGLObjectList::IndexOf(const TGLObject* item) const
{
    const auto found = std::find_if(Items_.begin(), Items_.end(),
                                    [&](const std::unique_ptr<TGLObject>& p) { return p.get() == item; });
    return found == Items_.end() ? -1 : static_cast<int32_t>(found - Items_.begin());
}

int32_t TGLObjectList::Add(std::unique_ptr<TGLObject> item, TGLObjectList* owner)
{
    TGLObject* added = item.get();
    Items_.push_back(std::move(item));
    added->Owner_ = owner;
    Notify(added, lnAdded);
    FireChange();
    return Count() - 1;
}

TGLObject* TGLObjectList::AddNew()
{
    std::unique_ptr<TGLObject> item = NewItem();
    TGLObject* added = item.get();
    Add(std::move(item));
    return added;
}

void TGLObjectList::Clear()
{
    while (!Items_.empty())
        Delete(Count() - 1);
    FireChange();
}

void TGLObjectList::Assign(const TGLObjectList& source)
{
    if (&source == this)
        return;
    OnChange = source.OnChange;
    OnNotify = source.OnNotify;
    Clear();
    for (const std::unique_ptr<TGLObject>& item : source.Items_)
        AddNew()->Assign(*item);
}

void TGLObjectList::Delete(int32_t index)
{
    std::unique_ptr<TGLObject> item = std::move(Items_.at(static_cast<size_t>(index)));
    Items_.erase(Items_.begin() + index);
    item->Owner_ = nullptr;
    Notify(item.get(), lnDeleted);
}

std::unique_ptr<TGLObject> TGLObjectList::Extract(TGLObject* item)
{
    const int32_t index = IndexOf(item);
    if (index < 0)
        return nullptr;
    std::unique_ptr<TGLObject> taken = std::move(Items_[static_cast<size_t>(index)]);
    Items_.erase(Items_.begin() + index);
    taken->Owner_ = nullptr;
    Notify(item, lnExtracted);
    return taken;
}

void TGLObjectList::FireChange()
{
    if (OnChange)
        OnChange(this);
}

void TGLObjectList::Notify(TGLObject* item, TListNotification action)
{
    if (OnNotify)
        OnNotify(item, action);
}

} // namespace kv
