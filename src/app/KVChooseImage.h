#pragma once
// "Select Image": which page's picture the image commands save, copy or print. A page whose
// picture cannot be taken yet shows its choice disabled.

#include <QDialog>

class QButtonGroup;

namespace kv {

enum TImageType { itDEMMap, itTopoMap, it3DTerrainModel, itOverlayScreen };
inline constexpr int ImageTypeCount = 4;

class TChooseImageDlg : public QDialog {
public:
    explicit TChooseImageDlg(QWidget* parent);

    TImageType ImageType() const;
    void SetImageType(TImageType type);
    // Enables or disables one choice; a disabled current choice gives way to the first enabled one
    // (so the first page that offers a picture is chosen once one does).
    void SetAvailable(TImageType type, bool available);
    bool Available(TImageType type) const;

private:
    QButtonGroup* ImageRadio_;
};

} // namespace kv
