#pragma once

#include "vxVector.h"

class vxBaseSceneObject;
class vxOpenGLView;

// Sets up a part picture: moves the object so that its centre is at the
// origin and puts the view's camera on a fixed three-quarter line (from the
// front, the right and above) so that the part's bounding sphere fills the
// picture. False when the object has no usable triangles.
bool vxFramePartPicture(vxOpenGLView& view, vxBaseSceneObject& object);

// How large a part shows in a part picture: the width and height (model
// units) of its box's corners seen along the part pictures' three-quarter
// line without perspective, and its box's longest and middle edge.
struct vxPartPictureExtent {
    double width = 0, height = 0;
    double longest = 0, middle = 0;
};
// False when the object has no usable triangles.
bool vxMeasurePartPicture(const vxBaseSceneObject& object, vxPartPictureExtent& extent);

// Sets up a part picture at a fixed scale: the object centred as
// vxFramePartPicture does, seen along the same line without perspective,
// the picture's height showing halfHeight * 2 model units. Pictures framed
// with one halfHeight per picture height show every part at one scale.
// False when the object has no usable triangles or halfHeight is not
// positive.
bool vxFramePartPictureAtScale(vxOpenGLView& view, vxBaseSceneObject& object, double halfHeight);

// The colour a part picture draws a part in: near-black colours are lifted
// to a dark grey, since the unlit sides of the view are black.
vxVector vxPartPictureColor(const vxVector& color);
