#pragma once

#include "vxVector.h"

class vxBaseSceneObject;
class vxOpenGLView;

// Sets up a part picture: moves the object so that its centre is at the
// origin and puts the view's camera on a fixed three-quarter line (from the
// front, the right and above) so that the part's bounding sphere fills the
// picture. False when the object has no usable triangles.
bool vxFramePartPicture(vxOpenGLView& view, vxBaseSceneObject& object);

// The colour a part picture draws a part in: near-black colours are lifted
// to a dark grey, since the unlit sides of the view are black.
vxVector vxPartPictureColor(const vxVector& color);
