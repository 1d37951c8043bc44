#include "guide/KeyboardGuide.h"

#include "platform/TDXDraw.h"
#include "platform/TDXImageList.h"

void DrawKeyboardPicture(TDXDraw &surface, const TDXImageList &pictures)
{
    surface.Canvas().Draw(-1, -1, pictures.Items(KeyboardPictureIndex).Picture);
}
