#include "gl/GLFrame.h"

namespace kv {

TGLFrame::TGLFrame()
    : Meshes_(std::make_unique<TGLMeshList>()), Strings_(std::make_unique<TGLStringList3D>()),
      Lines_(std::make_unique<TGLLineList>()), Frames_(std::make_unique<TGLFrameList>())
{
    WireLists();
}

TGLFrame::~TGLFrame()
{
    // The lists free their items without reporting to a frame that is going away.
    Meshes_->OnChange = nullptr;
    Strings_->OnChange = nullptr;
    Lines_->OnChange = nullptr;
    Frames_->OnChange = nullptr;
}

void TGLFrame::WireLists()
{
    const auto changed = [this](TGLObjectList*) { ListChanged(); };
    Meshes_->OnChange = changed;
    Strings_->OnChange = changed;
    Lines_->OnChange = changed;
    Frames_->OnChange = changed;
}

void TGLFrame::ListChanged()
{
    Changed();
}

namespace {

// Visits the items of the four lists in the order the extents are taken: lines, meshes,
// 3D strings, frames.
template <typename TVisit>
void ForEachItem(const TGLFrame& frame, TVisit visit)
{
    const TGLObjectList* lists[] = {&frame.Lines(), &frame.Meshes(), &frame.Strings(), &frame.Frames()};
    for (const TGLObjectList* list : lists)
        for (int32_t i = 0; i < list->Count(); ++i)
            visit(*list->Items(i));
}

// Empties the list, then adds a copy of each source item, made by the list's own kind.
void CopyItems(TGLObjectList& list, const TGLObjectList& source)
{
    list.Clear();
    for (int32_t i = 0; i < source.Count(); ++i)
        list.AddNew()->Assign(*source.Items(i));
}

} // namespace

Vector3D TGLFrame::GetExtentMax() const
{
    bool any = false;
    Vector3D max;
    ForEachItem(*this, [&](const TGLObject& item) {
        max = any ? VectorMax(max, item.GetExtentMax()) : item.GetExtentMax();
        any = true;
    });
    return any ? max : ExtentMax;
}

Vector3D TGLFrame::GetExtentMin() const
{
    bool any = false;
    Vector3D min;
    ForEachItem(*this, [&](const TGLObject& item) {
        min = any ? VectorMin(min, item.GetExtentMin()) : item.GetExtentMin();
        any = true;
    });
    return any ? min : ExtentMin;
}

void TGLFrame::Assign(const TGLObject& source)
{
    if (&source == this)
        return;
    TGLObject::Assign(source);
    if (const auto* frame = dynamic_cast<const TGLFrame*>(&source)) {
        // Copied item by item rather than by the lists' own assignment, which would also take over
        // the source lists' events: this frame's lists keep reporting to this frame.
        CopyItems(*Meshes_, *frame->Meshes_);
        CopyItems(*Strings_, *frame->Strings_);
        CopyItems(*Lines_, *frame->Lines_);
        CopyItems(*Frames_, *frame->Frames_);
    }
}

int64_t TGLFrame::TriangleCount() const
{
    int64_t total = Meshes_->TriangleCount();
    for (int32_t i = 0; i < Frames_->Count(); ++i)
        total += Frames_->Frame(i)->TriangleCount();
    return total;
}

void TGLFrame::ApplyTree(const Matrix4x4& parentMatrix)
{
    ApplyTransform(parentMatrix);
    const TGLObjectList* lists[] = {Meshes_.get(), Strings_.get(), Lines_.get()};
    for (const TGLObjectList* list : lists)
        for (int32_t i = 0; i < list->Count(); ++i)
            list->Items(i)->ApplyTransform(ModelMatrix);
    for (int32_t i = 0; i < Frames_->Count(); ++i)
        Frames_->Frame(i)->ApplyTree(ModelMatrix);
}

int32_t TGLFrameList::NewFrame()
{
    auto frame = std::make_unique<TGLFrame>();
    TGLFrame* added = frame.get();
    const int32_t index = Add(std::move(frame));
    added->SetName("Frame-" + std::to_string(index + 1));
    return index;
}

namespace {

void CollectObjects(const TGLFrame& frame, std::vector<TFrameItem>& out)
{
    const std::pair<const TGLObjectList*, TFrameListKind> lists[] = {
        {&frame.Meshes(), fkMeshes}, {&frame.Strings(), fkStrings}, {&frame.Lines(), fkLines}};
    for (const auto& [list, kind] : lists)
        for (int32_t i = 0; i < list->Count(); ++i)
            out.push_back({list->Items(i), kind});
    for (int32_t i = 0; i < frame.Frames().Count(); ++i) {
        TGLFrame* sub = frame.Frames().Frame(i);
        out.push_back({sub, fkFrames});
        CollectObjects(*sub, out);
    }
}

} // namespace

const std::vector<TFrameItem>& TGLBaseFrame::AllObjects() const
{
    if (!AllObjectsValid_) {
        AllObjects_.clear();
        CollectObjects(*this, AllObjects_);
        AllObjectsValid_ = true;
    }
    return AllObjects_;
}

void TGLBaseFrame::ListChanged()
{
    AllObjectsValid_ = false;
    TGLFrame::ListChanged();
}

} // namespace kv
