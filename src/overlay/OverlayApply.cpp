#include "overlay/OverlayApply.h"

#include "overlay/Resizebm.h"

#include "overlay/OverlayLayout.h"
#include "platform/KVError.h"

namespace kv {

void ApplyOverlay(const TOverlayDocument& doc, const TOverlayGround& ground, TGLMesh& mesh)
{
    if (doc.OverlayBitmap.Empty())
        throw EKorvelaError("There is no overlay picture to apply; load or paste one first.");
    if (!(ground.EastSpacing > 0.0) || !(ground.NorthSpacing > 0.0) || !(ground.UnitFactor > 0.0) || ground.Cols <= 0 ||
        ground.Rows <= 0)
        throw EKorvelaError("The overlay cannot be applied: the terrain's grid spacing is not known.");
    const double metresX = ground.EastSpacing * ground.UnitFactor; // mesh units per column
    const double metresZ = ground.NorthSpacing * ground.UnitFactor;

    mesh.SetColor(0xFFFFFF);
    TGLObjectTexture& texture = *mesh.Texture;
    texture.LoadFromBitmap(doc.OverlayBitmap);
    texture.SetManualTextureMap(mmPlanar);
    texture.SetPitch(-90.0);
    if (doc.Rotation == 0.0) {
        texture.TextureMode = tmComputed;
        texture.SetScale({doc.ScaleX / metresX, doc.ScaleY / metresZ});
        texture.SetOffset({doc.OffsetX, -1.0 - doc.OffsetY});
        texture.SetYaw(0.0);
        texture.SetRoll(0.0);
    } else {
        // The editor draws grid point (c, r) at the picture pixel P = centre + Turn (U - centre),
        // U = (grid centre) + (X / metresX x StepX, Z / metresZ x StepY); s = P.x / width and
        // t = 1 - P.y / height (t counts from the bottom row). Both are affine in X and Z.
        const TOverlayLayout layout = OverlayLayoutFor(doc, ground.Cols, ground.Rows);
        const double w = doc.OverlayBitmap.Width();
        const double h = doc.OverlayBitmap.Height();
        const double px = layout.StepX / metresX; // pixels per mesh unit east
        const double pz = layout.StepY / metresZ; // pixels per mesh unit south
        const TPointD middle = GridPointOnPicture(layout, (ground.Cols - 1) / 2.0, (ground.Rows - 1) / 2.0);
        const double c = layout.Cos, s = layout.Sin;
        // d(P.x) = px cos dX + pz sin dZ; d(P.y) = -px sin dX + pz cos dZ.
        texture.TextureMode = tmGenerated;
        texture.AutoTextureMap = amObjectLinear;
        texture.SetSPlane(MakeFloat4(px * c / w, 0.0, pz * s / w, middle.X / w));
        texture.SetTPlane(MakeFloat4(px * s / h, 0.0, -pz * c / h, 1.0 - middle.Y / h));
        texture.SetScale({1.0, 1.0});
        texture.SetOffset({0.0, 0.0});
        texture.SetYaw(0.0);
        texture.SetRoll(0.0);
    }
    texture.Enabled = true;
    texture.Changed();
}

TOverlayDocument StretchedOverlay(const TBitmap& loaded, int32_t cols, int32_t rows)
{
    if (loaded.Empty())
        throw EKorvelaError("The picture to drape has no pixels.");
    TOverlayDocument doc;
    TakeLoadedPicture(doc, loaded, {}, true);
    const TOverlaySize size = DefaultOverlaySize(loaded.Width(), loaded.Height());
    doc.OverlayBitmap = ResampleAndPad(loaded, size, SharpnessFilter(shMedium), doc.ChosenFormat);
    const double w = doc.OverlayBitmap.Width(), h = doc.OverlayBitmap.Height();
    // The resampled picture sits at (trunc((w - a) / 2), trunc((h - b) / 2)) in the padded one.
    const double left = std::trunc((w - size.Width) / 2), top = std::trunc((h - size.Height) / 2);
    doc.ScaleX = size.Width / (w * std::max(cols, 1));
    doc.ScaleY = size.Height / (h * std::max(rows, 1));
    doc.OffsetX = -(left + size.Width / 2.0) / w;
    doc.OffsetY = -(top + size.Height / 2.0) / h;
    doc.DefaultOffsetX = doc.OffsetX;
    doc.DefaultOffsetY = doc.OffsetY;
    doc.DefaultScaleX = doc.ScaleX;
    doc.DefaultScaleY = doc.ScaleY;
    return doc;
}

} // namespace kv
