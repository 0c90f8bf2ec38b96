#pragma once
// The commands that change the picture with one engine call and no
// questions: filters, mirror and flip, grey, halftone and the colour
// depths. Each runs in the processing frame; none tests for a picture
// first (the frame absorbs the engine's refusal).
class ViewerContext;

namespace process {

void idm_cinverse(ViewerContext& context);  // colour negative
void idm_invert(ViewerContext& context);    // left and right exchanged
void idm_Flip(ViewerContext& context);      // top and bottom exchanged
void idm_Emboss(ViewerContext& context);
void idm_fringer(ViewerContext& context);   // edge detection
void idm_enhanceb(ViewerContext& context);  // edge enhancement
void idm_toGray(ViewerContext& context);    // runs whatever the picture's depth
// Does nothing at all (not even the busy cursor) for a 1-bit picture.
void idm_halftone(ViewerContext& context);

// Each does nothing at all when the picture already has that depth.
void idm_toRGB(ViewerContext& context);
void idm_to8bit(ViewerContext& context);
void idm_to4Bit(ViewerContext& context);
void idm_to1Bit(ViewerContext& context);

}  // namespace process
