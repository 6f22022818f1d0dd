#pragma once
// The owning list in which frames keep their children: it frees its items when they are deleted
// or the list is cleared or destroyed. (Lists that only refer to objects, such as a frame's flat
// list of everything below it, are plain vectors of pointers.)

#include "gl/GLObject.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kv {

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TGLObjectList {
public:
    TGLObjectList() = default;
    virtual ~TGLObjectList();
    TGLObjectList(const TGLObjectList&) = delete;
    TGLObjectList& operator=(const TGLObjectList&) = delete;

    int32_t Count() const { return static_cast<int32_t>(Items_.size()); }
    // Throws std::out_of_range for an index outside 0..Count-1.
    TGLObject* Items(int32_t index) const { return Items_.at(static_cast<size_t>(index)).get(); }
    int32_t IndexOf(const TGLObject* item) const;

    // Adds the item, makes `owner` its Owner, fires OnChange; returns the index.
    virtual int32_t Add(std::unique_ptr<TGLObject> item, TGLObjectList* owner);
    int32_t Add(std::unique_ptr<TGLObject> item) { return Add(std::move(item), this); }
    // A new item of the list's own kind (NewItem), added; returns it.
    virtual TGLObject* AddNew();
    // Frees every item, then fires OnChange.
    virtual void Clear();
    // Copies the source's events, clears, then adds a new item assigned from each source item.
    virtual void Assign(const TGLObjectList& source);
    // Removes item `index` and frees it.
    void Delete(int32_t index);
    // Takes the item out without freeing it; null when it is not in the list.
    std::unique_ptr<TGLObject> Extract(TGLObject* item);

    std::function<void(TGLObjectList* sender)> OnChange;
    std::function<void(TGLObject* item, TListNotification action)> OnNotify;

protected:
    // The item AddNew and Assign create; lists of a concrete kind create their own class.
    virtual std::unique_ptr<TGLObject> NewItem() const { return std::make_unique<TGLObject>(); }

private:
    friend class TGLObject; // fires the list's OnChange after its own

    std::vector<std::unique_ptr<TGLObject>> Items_;

    void FireChange();
    void Notify(TGLObject* item, TListNotification action);
};

} // namespace kv
